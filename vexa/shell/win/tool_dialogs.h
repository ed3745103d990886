#pragma once
// The two pickers of the Action Definition dialog and the folder page: the
// window picker ("Available windows") and the keystroke table.
#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "vexa/model/action_fields.h"
#include "vexa/shell/win/action_sources.h"
#include "vexa/winlib/dialog.h"

namespace vexa::shell {

class CWindowPicker : public win::CModalDialog {
 public:
  // The titles to offer; by default the open windows.
  explicit CWindowPicker(std::vector<std::string> titles = openWindowTitles()) : m_titles(std::move(titles)) {}
  // The chosen title; nothing on Cancel.
  std::optional<std::string> Run(HWND owner);

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification, HWND control) override;
  void OnOK() override;

 private:
  std::vector<std::string> m_titles;
  std::string m_chosen;
};

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
