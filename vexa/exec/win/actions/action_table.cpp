#include "vexa/exec/win/actions/action_table.h"

#include "vexa/exec/win/actions/winmm_mixer.h"

namespace vexa::exec {

namespace {

CActionTable buildTable() {
  CActionTable table;
  registerApplicationActions(table);
  registerWindowActions(table);
  registerKeyActions(table);
  registerSystemActions(table);
  registerMouseActions(table);
  registerAudioActions(table);
  registerDialUpActions(table);
  registerMessageActions(table);
  return table;
}

}  // namespace

const CActionTable& CActionTable::instance() {
  static const CActionTable table = buildTable();
  return table;
}

CActionServices::CActionServices()
    : system(std::make_unique<CWindowsSystemActions>()), mixer(std::make_unique<CWinmmMixer>()) {}

}  // namespace vexa::exec
