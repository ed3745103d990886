#pragma once
// The simulated remote's buttons: each key has a fixed, distinct 6-byte code,
// and the learned-code sections a configuration needs to recognise them.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexa::vremote {

inline constexpr size_t kCodeLength = 6;
using Code = std::array<uint8_t, kCodeLength>;

struct RemoteKey {
  const char* name;    // also the button name in the configuration
  const char* legend;  // what to press
  Code code;
};

const std::array<RemoteKey, 16>& remoteKeys();
const RemoteKey* findKey(std::string_view name);  // case-insensitive

// Two letters per byte: 'A' + low nibble, then 'A' + high nibble.
std::string binaryText(const uint8_t* bytes, size_t count);

// The host's sections for every key learned on a remote of that name.
std::string vdpSections(std::string_view remoteName);

// The same keys as a mouse-pad remote sends them: a packet of one button code
// (below the pad's bytes), or for an arrow a stroke of pad bytes that moves
// the pointer that way.
std::string padPacket(const RemoteKey& key);
// The button code of a key in its pad packet; nothing for an arrow (a stroke).
std::optional<uint8_t> padButtonCode(const RemoteKey& key);

// The "Irman" side of initialisation: feed it what the plug-in sends; it
// returns the answer to write back once it has seen the init string.
class CIrmanResponder {
 public:
  std::optional<std::string> Feed(std::string_view bytes);
  int InitsAnswered() const { return m_answered; }

 private:
  std::string m_pending;
  int m_answered = 0;
};

}  // namespace vexa::vremote
