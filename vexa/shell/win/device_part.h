#pragma once
// The device part of a configuration (a ".vdp" file that names its plug-in)
// between a file and the device host.
#include <windows.h>

#include <filesystem>
#include <string>

namespace vexa::device {
class CDevice;
}

namespace vexa::shell {

// Selects the plug-in the file names, lets it read its settings and learned
// codes from the file and starts it. False when the file names no plug-in
// or the plug-in cannot be selected (the device host is then in keyboard mode).
bool loadDevicePart(device::CDevice& host, const std::filesystem::path& file, HWND mainWindow);

// Writes "[PlugIn Preset]" with the current device, then the plug-in's and the
// host's sections; the file is replaced whole. Keyboard mode writes "Keyboard".
bool saveDevicePart(device::CDevice& host, const std::filesystem::path& file);

// Selects and starts the plug-in a legacy configuration named (its settings
// stay those the plug-in already had). False when there is no such plug-in.
bool selectLegacyPlugIn(device::CDevice& host, const std::string& plugIn, HWND mainWindow);

}  // namespace vexa::shell
