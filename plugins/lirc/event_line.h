#pragma once
// The network remote server's event lines, "<code> <repeat> <button> <remote>"
// ended by a line feed: framing a TCP byte stream into lines and reading a
// line into the names a command record carries.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::lirc {

// The command record holds 256 bytes per name, its NUL included.
inline constexpr size_t kMaxNameLength = 255;
// Servers write the repeat count as "%02x"; more digits than this are not a count.
inline constexpr size_t kMaxRepeatDigits = 7;

struct EventLine {
  std::string button;
  int repeat = 0;
  std::string remote;
  bool operator==(const EventLine&) const = default;
};

// One line without its line feed. The code and repeat fields must be
// hexadecimal; a carriage return before the line feed is not part of the
// remote; names longer than the record holds are cut to kMaxNameLength.
std::optional<EventLine> parseEventLine(std::string_view line);

// Splits received bytes into lines. A partial line waits for the next
// receive; one that grows past kMaxLineBytes without a line feed is dropped
// up to its line feed and reported as one unreadable line, so a server that
// never ends a line costs bounded memory.
class CLineFramer {
 public:
  static constexpr size_t kMaxLineBytes = 1024;

  struct Result {
    std::vector<std::string> lines;  // complete lines, without their line feeds
    size_t overlong = 0;             // lines dropped for their length
  };

  Result feed(std::string_view bytes);
  size_t pendingBytes() const { return partial_.size(); }
  void reset();

 private:
  std::string partial_;
  bool discarding_ = false;
};

// "Received message format not supported" opens a modal box, whose nested
// message loop would let every further bad line open another inside it. One
// box at a time: lines that arrive while it is open are counted for the
// status line instead.
class CUnreadableLines {
 public:
  enum class Action { ShowBox, Count };

  Action onUnreadable();
  void boxClosed();
  int countWhileOpen() const { return count_; }
  // The status text for the lines counted while the box is open.
  std::string statusText() const;

 private:
  bool boxOpen_ = false;
  int count_ = 0;
};

inline constexpr std::string_view kMsgFormatNotSupported = "Received message format not supported";

}  // namespace vexa::lirc
