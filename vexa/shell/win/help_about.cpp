#include "vexa/shell/win/help_about.h"

#include <shellapi.h>

#include "vexa/shell/win/main_window.h"
#include "vexa/shell/win/system_info.h"
#include "vexa/winlib/unicode.h"

namespace vexa::shell {

namespace {

constexpr int kReadmeLevels = 6;  // the build folders nest this deep below the sources

bool shellOpen(HWND owner, const std::filesystem::path& file) {
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(owner, L"open", file.c_str(), nullptr, file.parent_path().c_str(), SW_SHOWNORMAL));
  return result > 32;
}

}  // namespace

std::wstring aboutText(HMODULE program) {
  return std::wstring(kMainWindowTitle) + L"\nInfrared remote control for the PC\n\nVersion " +
         win::toWide(moduleVersionText(program));
}

void showAbout(HWND owner, win::IPrompt& prompt) {
  prompt.Ask(owner, aboutText(GetModuleHandleW(nullptr)), kAboutTitle, MB_OK | MB_ICONINFORMATION);
}

std::filesystem::path helpFile(const std::filesystem::path& programFolder) {
  return programFolder / L"help" / L"Vexa.hlp";
}

std::optional<std::filesystem::path> findReadme(const std::filesystem::path& programFolder) {
  std::filesystem::path folder = programFolder;
  for (int level = 0; level < kReadmeLevels && !folder.empty(); ++level) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(folder / L"README.md", ec)) return folder / L"README.md";
    if (folder == folder.parent_path()) break;
    folder = folder.parent_path();
  }
  return std::nullopt;
}

std::wstring noHelpText(const std::filesystem::path& help, const std::optional<std::filesystem::path>& readme) {
  std::wstring text = L"The help file " + help.wstring() + L" is not installed.\n\n";
  if (readme) return text + L"How to use Vexa is described in the README:\n" + readme->wstring();
  return text + L"How to use Vexa is described in README.md, in the main folder of Vexa's sources.";
}

bool openHelp(HWND owner, const std::filesystem::path& programFolder, win::IPrompt& prompt, FileOpener open) {
  const std::filesystem::path help = helpFile(programFolder);
  std::error_code ec;
  if (std::filesystem::is_regular_file(help, ec)) {
    if (open ? open(owner, help) : shellOpen(owner, help)) return true;
    prompt.Ask(owner, L"Could not open the help file " + help.wstring(), kMainWindowTitle, MB_OK | MB_ICONERROR);
    return false;
  }
  prompt.Ask(owner, noHelpText(help, findReadme(programFolder)), kMainWindowTitle, MB_OK | MB_ICONINFORMATION);
  return false;
}

}  // namespace vexa::shell
