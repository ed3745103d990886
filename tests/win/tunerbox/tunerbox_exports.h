#pragma once
// tunerbox.dll loaded from the test program's folder, as the host loads a
// first-generation plug-in: every export by its plain name.
#include <windows.h>

#include "tests/win/hwport/hwport_test_support.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/winlib/module.h"

namespace vexa::test {

struct TunerboxExports {
  win::CModule module;
  abi::ReadConfigFn readConfig = nullptr;
  abi::WriteConfigFn writeConfig = nullptr;
  abi::StartMsgLoopFn startMsgLoop = nullptr;
  abi::EndMsgLoopFn endMsgLoop = nullptr;
  abi::ReleaseFn release = nullptr;
  abi::GetFirstCmdFn getFirstCmd = nullptr;
  abi::CreateCfgDlgFn createCfgDlg = nullptr;
};

inline TunerboxExports& tunerbox() {
  static TunerboxExports plugin = [] {
    TunerboxExports p;
    if (!p.module.Load(ProgramFolder() + L"\\tunerbox.dll")) return p;
    p.readConfig = p.module.GetProc<abi::ReadConfigFn>("ReadConfig");
    p.writeConfig = p.module.GetProc<abi::WriteConfigFn>("WriteConfig");
    p.startMsgLoop = p.module.GetProc<abi::StartMsgLoopFn>("StartMsgLoop");
    p.endMsgLoop = p.module.GetProc<abi::EndMsgLoopFn>("EndMsgLoop");
    p.release = p.module.GetProc<abi::ReleaseFn>("Release");
    p.getFirstCmd = p.module.GetProc<abi::GetFirstCmdFn>("GetFirstCmd");
    p.createCfgDlg = p.module.GetProc<abi::CreateCfgDlgFn>("CreateCfgDlg");
    return p;
  }();
  return plugin;
}

}  // namespace vexa::test
