#pragma once
// The keystroke table of the Action Definition dialog ("Keystroke Table").
#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "vexa/model/action_fields.h"
#include "vexa/shell/win/action_sources.h"
#include "vexa/winlib/dialog.h"

namespace vexa::shell {

class CKeystrokeTable : public win::CModalDialog {
 public:
  CKeystrokeTable(std::filesystem::path programFolder, HWND mainWindow)
      : m_folder(std::move(programFolder)), m_main(mainWindow) {}
  // The keystroke token chosen (a key of the table or one pressed); nothing on Cancel.
  std::optional<std::string> Run(HWND owner);

 protected:
  bool OnInitDialog() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;
  void OnOK() override;

 private:
  std::filesystem::path m_folder;
  HWND m_main;
  std::vector<KeyTableEntry> m_keys;
  CHotKeyField m_hotKey;
  std::string m_token;
};

}  // namespace vexa::shell
