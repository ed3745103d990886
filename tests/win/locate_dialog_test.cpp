#include "vexa/shell/win/locate_dialog.h"

#include <gtest/gtest.h>

#include <string>

namespace vexa::shell {
namespace {

std::wstring textOf(HWND window) {
  wchar_t text[256] = L"";
  GetWindowTextW(window, text, 256);
  return text;
}

TEST(LocateDialogTest, AsksAgainUntilAPathIsAccepted) {
  HWND dialog = nullptr;
  std::vector<std::string> typed;
  LocateDialogHooks hooks;
  hooks.shown = [&](HWND d) {
    dialog = d;
    SetWindowTextW(GetDlgItem(d, 500), L"C:\\Tools\\player");
    PostMessageW(d, WM_COMMAND, IDOK, 0);
  };
  hooks.accept = [&](std::string_view t) -> std::optional<std::string> {
    typed.emplace_back(t);
    if (typed.size() == 1) {  // refused: the user corrects the path and presses OK again
      SetWindowTextW(GetDlgItem(dialog, 500), L"C:\\Tools\\player.exe");
      PostMessageW(dialog, WM_COMMAND, IDOK, 0);
      return std::nullopt;
    }
    return std::string(t);
  };
  const auto result = runLocateDialog(nullptr, "player.exe", hooks);
  ASSERT_TRUE(result);
  EXPECT_EQ(*result, "C:\\Tools\\player.exe");
  EXPECT_EQ(typed, (std::vector<std::string>{"C:\\Tools\\player", "C:\\Tools\\player.exe"}));
  EXPECT_FALSE(IsWindow(dialog));
}

TEST(LocateDialogTest, TitleNamesTheFileAndCancelGivesNothing) {
  std::wstring title;
  LocateDialogHooks hooks;
  hooks.accept = [](std::string_view) { return std::optional<std::string>("unused"); };
  hooks.shown = [&](HWND d) {
    title = textOf(d);
    PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
  };
  EXPECT_FALSE(runLocateDialog(nullptr, "viewer.exe", hooks));
  EXPECT_EQ(title, L"Locate viewer.exe");
}

}  // namespace
}  // namespace vexa::shell
