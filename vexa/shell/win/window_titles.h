#pragma once
// The main window's class and title: how other programs and a second instance
// find it, and the title of the program's message boxes.
namespace vexa::shell {

inline constexpr const wchar_t* kMainWindowClass = L"VexaMainWindow";
inline constexpr const wchar_t* kMainWindowTitle = L"Vexa";

}  // namespace vexa::shell
