#pragma once
// The code store of second-generation plug-ins: remotes and their learned
// buttons, which received codes are matched against. Names are
// looked up case-insensitively and walked in name order ("map order").
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/base/strings.h"

namespace vexa::device {

// Bits of DeviceCode::flags.
namespace CodeFlag {
inline constexpr uint32_t kEncodingMask = 0x07;  // 1 shift, 2 space, 4 pulse encoded (display only)
inline constexpr uint32_t kTiming = 0x08;        // a timing code (raw/toggled/... valid)
inline constexpr uint32_t kDecoded = 0x10;       // a decoded value is present
inline constexpr uint32_t kRaw = 0x20;           // a raw byte code (signature valid)
inline constexpr uint32_t kRepeatCode = 0x10000;
inline constexpr uint32_t kGapKnown = 0x40000;
inline constexpr uint32_t kToggling = 0x80000;
inline constexpr uint32_t kStopCode = 0x100000;
}  // namespace CodeFlag

// One learned button.
struct DeviceCode {
  std::vector<uint8_t> signature;  // raw byte code
  uint32_t flags = 0;
  std::vector<uint32_t> raw;       // timing samples (bit 31 pulse, microseconds below)
  std::vector<uint32_t> toggled;
  std::vector<uint32_t> repeat;
  std::vector<uint32_t> stop;
  uint32_t gap = 0;
  uint32_t repeatGap = 0;
  uint32_t decoded = 0;
  uint32_t t = 0;

  bool operator==(const DeviceCode&) const = default;
};

struct NameLess {
  bool operator()(std::string_view a, std::string_view b) const { return icompare(a, b) < 0; }
  using is_transparent = void;
};

// A remote control: its buttons, the timing tolerance in percent ("dwTolerance")
// and its mode ("dwMode": 0 raw byte codes, 1 timing codes).
struct DeviceRemote {
  std::map<std::string, DeviceCode, NameLess> commands;
  int tolerance = 0;
  int mode = 0;

  bool operator==(const DeviceRemote&) const = default;
};

using RemoteMap = std::map<std::string, DeviceRemote, NameLess>;

// Messages of the page's editing operations.
inline constexpr std::string_view kNewRemoteName = "New Remote";
inline constexpr std::string_view kMsgReservedChars =
    "Please do not use reserved characters.\n\\#[]@=| are reserved for internal use.";
inline constexpr std::string_view kMsgNameExists = "This name already exists.\nPlease choose another";
inline constexpr std::string_view kMsgCouldNotRenameCommand = "Could not rename command.";
inline constexpr std::string_view kMsgCouldNotRenameRemote = "Could not rename remote";

enum class RenameResult {
  Renamed,
  Unchanged,     // empty or identical name: nothing to do, nothing to say
  ReservedChar,  // kMsgReservedChars
  Duplicate,     // kMsgNameExists
  NotFound,      // kMsgCouldNotRenameRemote / kMsgCouldNotRenameCommand
};

// The user's message for a rename result, empty for Renamed and Unchanged.
std::string_view renameMessage(RenameResult result, bool isCommand);

class CCodeStore {
 public:
  const RemoteMap& remotes() const { return remotes_; }
  bool empty() const { return remotes_.empty(); }
  const DeviceRemote* findRemote(std::string_view remote) const;
  const DeviceCode* findCode(std::string_view remote, std::string_view command) const;

  // Counts every change; matchers drop what they cached when it moves.
  uint64_t revision() const { return revision_; }

  void clear();
  // Creates the remote if needed (with the given mode) and returns it.
  DeviceRemote& ensureRemote(std::string_view remote, int mode);
  // Adds or replaces a learned button (creating its remote with mode 0 for raw
  // codes, 1 for timing codes).
  void setCode(std::string_view remote, std::string_view command, DeviceCode code);
  void setRemoteSettings(std::string_view remote, int tolerance, int mode);
  bool deleteRemote(std::string_view remote);
  bool deleteCommand(std::string_view remote, std::string_view command);
  RenameResult renameRemote(std::string_view from, std::string_view to);
  RenameResult renameCommand(std::string_view remote, std::string_view from, std::string_view to);

  // "New Remote" when no remote name contains that text, else "New Remote %d" starting
  // at one more than the number of such remotes and counting up until the name is free.
  std::string newRemoteName() const;
  // Adds an empty remote under newRemoteName() and returns the name.
  std::string addNewRemote();

  // "Delete all commands of <name> ?", asked only for a remote with buttons.
  static std::string deleteRemoteQuestion(std::string_view remote);

 private:
  RemoteMap remotes_;
  uint64_t revision_ = 0;
};

}  // namespace vexa::device
