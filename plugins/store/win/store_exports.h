#pragma once
// The exports that a plug-in built on the command store shares with every other
// one: it expands them once, in its exports file, beside its own GetPlugInfo,
// Release and StartMsgLoop. There, device() returns the plug-in's device, and
// Dialog is its configuration page with Create, Refresh and TakeData.
#include "plugins/kit/exports.h"
#include "plugins/kit/win/module_info.h"

#define VEXA_STORE_PLUGIN_EXPORTS(Dialog, helpFile, aboutCaption)                                        \
  VEXA_PLUGIN_EXPORT void VEXA_PLUGIN_CALL EndMsgLoop() { device().EndMsgLoop(); }                      \
  VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL MsgLoop(vexa::abi::WindowHandle target) {                     \
    return device().MsgLoop(static_cast<HWND>(target));                                                 \
  }                                                                                                     \
  VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL ReadConfig(vexa::abi::KeyHandle key) {                        \
    const int result = device().ReadConfig(static_cast<HKEY>(key));                                     \
    Dialog::Refresh();                                                                                  \
    return result;                                                                                      \
  }                                                                                                     \
  VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL WriteConfig(vexa::abi::KeyHandle key) {                       \
    Dialog::TakeData();                                                                                 \
    return device().WriteConfig(static_cast<HKEY>(key));                                                \
  }                                                                                                     \
  VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL SavePreset(const char* file) {                                \
    Dialog::TakeData();                                                                                 \
    return device().SavePreset(file);                                                                   \
  }                                                                                                     \
  VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL LoadPreset(const char* file) {                                \
    const int result = device().LoadPreset(file);                                                       \
    Dialog::Refresh();                                                                                  \
    return result;                                                                                      \
  }                                                                                                     \
  VEXA_PLUGIN_EXPORT vexa::abi::WindowHandle VEXA_PLUGIN_CALL CreateCfgDlg(vexa::abi::Point* position,  \
                                                                           vexa::abi::WindowHandle parent) { \
    device().SetHostWindow(static_cast<HWND>(parent));                                                  \
    return Dialog::Create(static_cast<HWND>(parent), position);                                         \
  }                                                                                                     \
  VEXA_PLUGIN_EXPORT void VEXA_PLUGIN_CALL About() { vexa::kit::showAbout(helpFile, aboutCaption); }    \
  VEXA_PLUGIN_EXPORT intptr_t VEXA_PLUGIN_CALL GetFirstRmt(char* name) {                                \
    return device().Names().firstRemote(name);                                                          \
  }                                                                                                     \
  VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL GetNextRmt(int* index, char* name) {                          \
    return device().Names().nextRemote(index, name);                                                    \
  }                                                                                                     \
  VEXA_PLUGIN_EXPORT intptr_t VEXA_PLUGIN_CALL GetFirstCmd(const char* remote, char* name) {            \
    return device().Names().firstCommand(remote, name);                                                 \
  }                                                                                                     \
  VEXA_PLUGIN_EXPORT int VEXA_PLUGIN_CALL GetNextCmd(intptr_t* cursor, char* name) {                    \
    return device().Names().nextCommand(cursor, name);                                                  \
  }                                                                                                     \
  VEXA_EXPORT_MATCHES_CONTRACT(GetPlugInfo);                                                            \
  VEXA_EXPORT_MATCHES_CONTRACT(Release);                                                                \
  VEXA_EXPORT_MATCHES_CONTRACT(StartMsgLoop);                                                           \
  VEXA_EXPORT_MATCHES_CONTRACT(EndMsgLoop);                                                             \
  VEXA_EXPORT_MATCHES_CONTRACT(MsgLoop);                                                                \
  VEXA_EXPORT_MATCHES_CONTRACT(ReadConfig);                                                             \
  VEXA_EXPORT_MATCHES_CONTRACT(WriteConfig);                                                            \
  VEXA_EXPORT_MATCHES_CONTRACT(SavePreset);                                                             \
  VEXA_EXPORT_MATCHES_CONTRACT(LoadPreset);                                                             \
  VEXA_EXPORT_MATCHES_CONTRACT(CreateCfgDlg);                                                           \
  VEXA_EXPORT_MATCHES_CONTRACT(About);                                                                  \
  VEXA_EXPORT_MATCHES_CONTRACT(GetFirstRmt);                                                            \
  VEXA_EXPORT_MATCHES_CONTRACT(GetNextRmt);                                                             \
  VEXA_EXPORT_MATCHES_CONTRACT(GetFirstCmd);                                                            \
  VEXA_EXPORT_MATCHES_CONTRACT(GetNextCmd)
