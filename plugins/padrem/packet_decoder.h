#pragma once
// The mouse-pad remote's byte stream: a packet starts with 0xA0 and ends with
// 0xAA or when the line goes quiet. The first byte names the button (or, with
// the pad enabled, a pad byte moves or clicks the pointer); every further byte
// is the button still held, and each five of them count one repeat.
#include <cstdint>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

#include "plugins/store/command_store.h"

namespace vexa::padrem {

inline constexpr uint8_t kPacketStart = 0xA0;
inline constexpr uint8_t kPacketEnd = 0xAA;

enum class MouseButton { kLeft, kRight };

struct LearnCode {
  uint8_t code;
};
struct SendCommand {
  store::FoundCommand command;
  int32_t repeat;
};
struct MovePointer {
  int dx, dy;
};
struct PressButton {
  MouseButton button;
};
struct ReleaseButton {
  MouseButton button;
};
using PadEvent = std::variant<LearnCode, SendCommand, MovePointer, PressButton, ReleaseButton>;

struct DecoderMode {
  bool learning = false;
  bool mousepad = false;
};

// (dx, dy) for the low four bits of a pad byte, clockwise from straight up.
MovePointer padDirection(uint8_t byte);
// The relative move of a pad byte at `index` within its packet.
MovePointer padMove(uint8_t byte, unsigned index);

class CPacketDecoder {
 public:
  using Lookup = std::function<std::optional<store::FoundCommand>(uint32_t code)>;
  explicit CPacketDecoder(Lookup lookup) : m_lookup(std::move(lookup)) {}

  std::vector<PadEvent> feed(uint8_t byte, DecoderMode mode);
  // The line went quiet: the packet, if any, is over.
  void endPacket() { m_inPacket = false; }
  bool inPacket() const { return m_inPacket; }
  // Reception ends: releases what the pad still holds down.
  std::vector<PadEvent> releaseAll();

 private:
  std::vector<PadEvent> padByte(uint8_t byte);
  void press(MouseButton button, std::vector<PadEvent>& events);

  Lookup m_lookup;
  bool m_inPacket = false;
  unsigned m_index = 0;
  std::optional<store::FoundCommand> m_current;
  bool m_leftDown = false;
  bool m_rightDown = false;
};

}  // namespace vexa::padrem
