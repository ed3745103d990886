#pragma once
// What the latency probes press: a one-action command, and the record a
// plug-in sends to the main window for a button (the window frees it).
#include <windows.h>

#include <memory>
#include <string>

#include "vexa/device/plugin_abi.h"
#include "vexa/model/cmd_array.h"

namespace vexa::test {

inline std::unique_ptr<CCmdArray> oneActionCommand(const char* name, std::string typeName, std::string fileName,
                                                   std::string param = {}) {
  auto command = std::make_unique<CCmdArray>(name);
  auto action = std::make_unique<CMD>();
  action->name = "A";
  action->typeName = std::move(typeName);
  action->fileName = std::move(fileName);
  action->param = std::move(param);
  command->appendAction(std::move(action));
  return command;
}

inline LPARAM newCommandRecord(const char* remote, const char* command) {
  auto* r = new abi::CommandRecord{};
  abi::copyField(r->remote, remote);
  abi::copyField(r->command, command);
  return reinterpret_cast<LPARAM>(r);
}

}  // namespace vexa::test
