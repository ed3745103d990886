#pragma once
// Turning a remote the Linux infrared daemon describes into learned timing
// codes, as the Learn window would have stored them after watching the
// remote: each button's first frame without its gap, the gap, the special
// repeat code a held button sends and the space after it, and both forms of
// a code with a toggle bit. What cannot be expressed that way is refused.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/device/code_store.h"
#include "vexa/device/lircd_config.h"
#include "vexa/codec/ini_file.h"

namespace vexa::device {

struct ImportedRemote {
  std::string name;
  DeviceRemote remote;  // timing mode, default tolerance
};

// The remote named `name` (case-insensitive), or the only one when no name is
// given. Throws NotSupportedError naming the remotes there are otherwise.
const LircdRemote& chooseLircdRemote(const std::vector<LircdRemote>& remotes, std::optional<std::string_view> name);

// Throws NotSupportedError with a message that names the feature and its line.
ImportedRemote importLircdRemote(const LircdRemote& remote);

// Puts the remote into a code store, replacing a remote of the same name with all its buttons.
void addImportedRemote(CCodeStore& store, const ImportedRemote& imported);

// Whether a device settings file holds a remote of that name or buttons of it.
bool deviceFileHasRemote(const CIniFile& deviceFile, std::string_view remote);

// Adds the remote's sections to a device settings file, keeping everything
// else in it; a remote of the same name is replaced with all its buttons.
void addImportedRemote(CIniFile& deviceFile, const ImportedRemote& imported);

}  // namespace vexa::device
