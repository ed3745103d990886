#pragma once
// "&Help" and "&About": the help file beside the program (or where the README
// is when there is none), and the program's version as its resource says.
#include <windows.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "vexa/winlib/prompt.h"

namespace vexa::shell {

inline constexpr const wchar_t* kAboutTitle = L"About Vexa";

// "Vexa", the description and the version of `program`'s version resource.
std::wstring aboutText(HMODULE program);
void showAbout(HWND owner, win::IPrompt& prompt);

// The help file: "help\Vexa.hlp" in the program folder.
std::filesystem::path helpFile(const std::filesystem::path& programFolder);
// The README of the sources the program was built from: the first "README.md"
// in the program folder or above it.
std::optional<std::filesystem::path> findReadme(const std::filesystem::path& programFolder);
// What Help says when there is no help file.
std::wstring noHelpText(const std::filesystem::path& help, const std::optional<std::filesystem::path>& readme);

// Opens the help file with `open` (the shell's "open" when empty); without one
// tells the user where the README is. True when the help file was opened.
using FileOpener = std::function<bool(HWND owner, const std::filesystem::path& file)>;
bool openHelp(HWND owner, const std::filesystem::path& programFolder, win::IPrompt& prompt, FileOpener open = {});

}  // namespace vexa::shell
