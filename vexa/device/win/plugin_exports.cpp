#include "vexa/device/win/plugin_exports.h"

namespace vexa::device {

EnumerationExports resolveEnumerationExports(const win::CModule& module) {
  EnumerationExports e;
  e.getFirstRmt = module.GetProc<abi::GetFirstRmtFn>(abi::kGetFirstRmt);
  e.getNextRmt = module.GetProc<abi::GetNextRmtFn>(abi::kGetNextRmt);
  e.getFirstCmd = module.GetProc<abi::GetFirstCmdFn>(abi::kGetFirstCmd);
  e.getNextCmd = module.GetProc<abi::GetNextCmdFn>(abi::kGetNextCmd);
  return e;
}

FirstGenerationExports resolveFirstGenerationExports(const win::CModule& module) {
  FirstGenerationExports e;
  e.release = module.GetProc<abi::ReleaseFn>(abi::kRelease);
  e.startMsgLoop = module.GetProc<abi::StartMsgLoopFn>(abi::kStartMsgLoop);
  e.endMsgLoop = module.GetProc<abi::EndMsgLoopFn>(abi::kEndMsgLoop);
  e.writeConfig = module.GetProc<abi::WriteConfigFn>(abi::kWriteConfig);
  e.readConfig = module.GetProc<abi::ReadConfigFn>(abi::kReadConfig);
  e.createCfgDlg = module.GetProc<abi::CreateCfgDlgFn>(abi::kCreateCfgDlg);
  e.about = module.GetProc<abi::AboutFn>(abi::kAbout);
  e.loadPreset = module.GetProc<abi::LoadPresetFn>(abi::kLoadPreset);
  e.savePreset = module.GetProc<abi::SavePresetFn>(abi::kSavePreset);
  return e;
}

SecondGenerationExports resolveSecondGenerationExports(const win::CModule& module) {
  SecondGenerationExports e;
  e.onInit = module.GetProc<abi::OnInitFn>(abi::kOnInit);
  e.onRelease = module.GetProc<abi::OnReleaseFn>(abi::kOnRelease);
  e.monitorDevice = module.GetProc<abi::MonitorDeviceFn>(abi::kMonitorDevice);
  e.onAbout = module.GetProc<abi::OnAboutFn>(abi::kOnAbout);
  e.onWriteConfig = module.GetProc<abi::OnWriteConfigFn>(abi::kOnWriteConfig);
  e.onReadConfig = module.GetProc<abi::OnReadConfigFn>(abi::kOnReadConfig);
  e.onFillSelector = module.GetProc<abi::OnFillSelectorFn>(abi::kOnFillSelector);
  e.onSetup = module.GetProc<abi::OnSetupFn>(abi::kOnSetup);
  e.onChangeDevice = module.GetProc<abi::OnChangeDeviceFn>(abi::kOnChangeDevice);
  return e;
}

}  // namespace vexa::device
