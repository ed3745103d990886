#pragma once
// The exports of each plug-in generation, looked up once into typed pointers.
// A missing optional export stays null.
#include "vexa/device/plugin_abi.h"
#include "vexa/winlib/module.h"

namespace vexa::device {

// Both generations may enumerate their own remotes and buttons.
struct EnumerationExports {
  abi::GetFirstRmtFn getFirstRmt = nullptr;
  abi::GetNextRmtFn getNextRmt = nullptr;
  abi::GetFirstCmdFn getFirstCmd = nullptr;
  abi::GetNextCmdFn getNextCmd = nullptr;
};

struct FirstGenerationExports {
  abi::ReleaseFn release = nullptr;
  abi::StartMsgLoopFn startMsgLoop = nullptr;
  abi::EndMsgLoopFn endMsgLoop = nullptr;
  abi::WriteConfigFn writeConfig = nullptr;
  abi::ReadConfigFn readConfig = nullptr;
  abi::CreateCfgDlgFn createCfgDlg = nullptr;
  abi::AboutFn about = nullptr;
  abi::LoadPresetFn loadPreset = nullptr;
  abi::SavePresetFn savePreset = nullptr;
};

struct SecondGenerationExports {
  abi::OnInitFn onInit = nullptr;
  abi::OnReleaseFn onRelease = nullptr;
  abi::MonitorDeviceFn monitorDevice = nullptr;
  abi::OnAboutFn onAbout = nullptr;
  abi::OnWriteConfigFn onWriteConfig = nullptr;
  abi::OnReadConfigFn onReadConfig = nullptr;
  abi::OnFillSelectorFn onFillSelector = nullptr;
  abi::OnSetupFn onSetup = nullptr;
  abi::OnChangeDeviceFn onChangeDevice = nullptr;
};

EnumerationExports resolveEnumerationExports(const win::CModule& module);
FirstGenerationExports resolveFirstGenerationExports(const win::CModule& module);
SecondGenerationExports resolveSecondGenerationExports(const win::CModule& module);

}  // namespace vexa::device
