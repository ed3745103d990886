#include "plugins/padrem/packet_decoder.h"

#include <array>

namespace vexa::padrem {

namespace {

constexpr std::array<MovePointer, 16> kDirections{{{0, -2}, {1, -2}, {2, -2}, {2, -1}, {2, 0}, {2, 1},
                                                   {2, 2}, {1, 2}, {0, 2}, {-1, 2}, {-2, 2}, {-2, 1},
                                                   {-2, 0}, {-2, -1}, {-2, -2}, {-1, -2}}};
constexpr uint8_t kLowestPadByte = 56;
constexpr uint8_t kLowestMoveByte = 64;
constexpr uint8_t kReleaseByte = 56;
constexpr uint8_t kLeftByte = 57;
constexpr uint8_t kRightByte = 58;
constexpr unsigned kSlowBytes = 15;  // a stroke speeds up after these
constexpr unsigned kBytesPerRepeat = 5;

}  // namespace

MovePointer padDirection(uint8_t byte) { return kDirections[byte & 0xF]; }

MovePointer padMove(uint8_t byte, unsigned index) {
  const double speed = (byte >> 4) - (index < kSlowBytes ? 3.5 : 3.0);
  const MovePointer direction = padDirection(byte);
  return {static_cast<int>(speed * direction.dx), static_cast<int>(speed * direction.dy)};
}

std::vector<PadEvent> CPacketDecoder::feed(uint8_t byte, DecoderMode mode) {
  if (!m_inPacket) {
    if (byte == kPacketStart) {
      m_inPacket = true;
      m_index = 0;
      m_current.reset();
    }
    return {};
  }
  if (byte == kPacketEnd) {
    m_inPacket = false;
    return {};
  }
  const unsigned index = m_index++;
  if (mode.learning) {
    if (index == 0) return {LearnCode{byte}};
    return {};
  }
  if (mode.mousepad && byte >= kLowestPadByte) {
    if (byte >= kLowestMoveByte) return {padMove(byte, index)};
    if (index == 0) return padByte(byte);
    return {};
  }
  if (index == 0) m_current = m_lookup ? m_lookup(byte) : std::nullopt;
  std::vector<PadEvent> events;
  if (m_current) events.emplace_back(SendCommand{*m_current, static_cast<int32_t>(index / kBytesPerRepeat)});
  return events;
}

std::vector<PadEvent> CPacketDecoder::padByte(uint8_t byte) {
  std::vector<PadEvent> events;
  if (byte == kReleaseByte) return releaseAll();
  if (byte == kLeftByte) press(MouseButton::kLeft, events);
  if (byte == kRightByte) press(MouseButton::kRight, events);
  return events;
}

void CPacketDecoder::press(MouseButton button, std::vector<PadEvent>& events) {
  bool& down = button == MouseButton::kLeft ? m_leftDown : m_rightDown;
  // A second press without a release in between would leave the system
  // counting two presses for one release.
  if (down) return;
  down = true;
  events.emplace_back(std::in_place_type<PressButton>, button);
}

std::vector<PadEvent> CPacketDecoder::releaseAll() {
  std::vector<PadEvent> events;
  if (m_leftDown) events.emplace_back(std::in_place_type<ReleaseButton>, MouseButton::kLeft);
  if (m_rightDown) events.emplace_back(std::in_place_type<ReleaseButton>, MouseButton::kRight);
  m_leftDown = m_rightDown = false;
  return events;
}

}  // namespace vexa::padrem
