#pragma once
// What a plug-in hands to the host, each as the contract has it: a code
// block, a timing sample, a command record, a status text.
#include <windows.h>

#include <cstdint>
#include <string_view>

namespace vexa::kit {

// Code 3 with a CodeBlock on this stack: the host copies it before returning.
LRESULT deliverCodeBlock(HWND target, const uint8_t* bytes, uint32_t count);
// Code 4; false when the host returned 0: the plug-in then drops the samples it holds.
bool deliverTimingSample(HWND target, uint32_t sample);
// Code 0 with a CommandRecord allocated here and freed by the main window;
// false (and nothing leaked) when there is no window to take it.
bool deliverCommand(HWND target, std::string_view remote, std::string_view command, int32_t repeatCount);
// Codes 100 and above with a text the main window frees; an empty text goes as 0.
LRESULT sendStatus(HWND mainWindow, unsigned code, std::string_view text);

}  // namespace vexa::kit
