#pragma once
// Where the plug-in lives, its version resource, its help file and its About box.
#include <windows.h>

#include <string>

namespace vexa::kit {

// The plug-in's own module (this code is linked into it).
HMODULE thisModule();
std::string modulePathA();
// "<plug-in folder>\help\<fileName>" when that file exists, else empty.
std::string helpFile(const char* fileName);
// An entry of the version resource's "040904b0" block.
std::string versionString(const char* entry);
// The help file's contents when it exists; otherwise a box captioned `caption`
// with the description, version and copyright of the version resource.
void showAbout(const char* helpFileName, const char* caption);

}  // namespace vexa::kit
