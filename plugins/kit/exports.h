#pragma once
// Every export a plug-in may have, declared once with the contract's own
// function types: a definition takes the contract's calling convention from
// here, and one (in a plug-in or a test fake) whose arguments or result differ
// does not compile.
#include <type_traits>

#include "vexa/device/plugin_abi.h"

#define VEXA_PLUGIN_EXPORT extern "C"

namespace vexa::kit {
template <class FnPointer>
using ExportType = std::remove_pointer_t<FnPointer>;
}  // namespace vexa::kit

#define VEXA_DECLARE_EXPORT(name) VEXA_PLUGIN_EXPORT ::vexa::kit::ExportType<::vexa::abi::name##Fn> name

// First generation.
VEXA_DECLARE_EXPORT(GetPlugInfo);
VEXA_DECLARE_EXPORT(Release);
VEXA_DECLARE_EXPORT(StartMsgLoop);
VEXA_DECLARE_EXPORT(EndMsgLoop);
VEXA_DECLARE_EXPORT(WriteConfig);
VEXA_DECLARE_EXPORT(ReadConfig);
VEXA_DECLARE_EXPORT(CreateCfgDlg);
VEXA_DECLARE_EXPORT(About);
VEXA_DECLARE_EXPORT(GetFirstRmt);
VEXA_DECLARE_EXPORT(GetNextRmt);
VEXA_DECLARE_EXPORT(GetFirstCmd);
VEXA_DECLARE_EXPORT(GetNextCmd);
VEXA_DECLARE_EXPORT(LoadPreset);
VEXA_DECLARE_EXPORT(SavePreset);
VEXA_DECLARE_EXPORT(MsgLoop);

// Second generation.
VEXA_DECLARE_EXPORT(DeviceInfo);
VEXA_DECLARE_EXPORT(OnInit);
VEXA_DECLARE_EXPORT(OnRelease);
VEXA_DECLARE_EXPORT(MonitorDevice);
VEXA_DECLARE_EXPORT(OnAbout);
VEXA_DECLARE_EXPORT(OnWriteConfig);
VEXA_DECLARE_EXPORT(OnReadConfig);
VEXA_DECLARE_EXPORT(OnFillSelector);
VEXA_DECLARE_EXPORT(OnSetup);
VEXA_DECLARE_EXPORT(OnChangeDevice);

#undef VEXA_DECLARE_EXPORT

// After each definition, in case the declarations above were bypassed.
#define VEXA_EXPORT_MATCHES_CONTRACT(name)                                   \
  static_assert(std::is_same_v<decltype(&name), ::vexa::abi::name##Fn>, \
                #name " differs from the plug-in contract")
