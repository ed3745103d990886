#pragma once
// Where the plug-in lives and its help file.
#include <windows.h>

#include <string>

namespace vexa::serial {

HMODULE thisModule();
std::string modulePathA();
// "<plug-in folder>\help\Serial.hlp" when that file exists, else empty.
std::string helpFile();
// An entry of the version resource's "040904b0" block.
std::string versionString(const char* entry);

}  // namespace vexa::serial
