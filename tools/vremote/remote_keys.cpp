#include "tools/vremote/remote_keys.h"

#include <cctype>
#include <utility>

#include "vexa/device/binary_text.h"

namespace vexa::vremote {

namespace {
// Codes look like an Irman's: six bytes, distinct per key, none all zero.
constexpr std::array<RemoteKey, 16> kKeys{{
    {"0", "0", {0x52, 0x10, 0x00, 0x00, 0x00, 0x00}},
    {"1", "1", {0x52, 0x11, 0x01, 0x00, 0x00, 0x00}},
    {"2", "2", {0x52, 0x12, 0x02, 0x00, 0x00, 0x00}},
    {"3", "3", {0x52, 0x13, 0x03, 0x00, 0x00, 0x00}},
    {"4", "4", {0x52, 0x14, 0x04, 0x00, 0x00, 0x00}},
    {"5", "5", {0x52, 0x15, 0x05, 0x00, 0x00, 0x00}},
    {"6", "6", {0x52, 0x16, 0x06, 0x00, 0x00, 0x00}},
    {"7", "7", {0x52, 0x17, 0x07, 0x00, 0x00, 0x00}},
    {"8", "8", {0x52, 0x18, 0x08, 0x00, 0x00, 0x00}},
    {"9", "9", {0x52, 0x19, 0x09, 0x00, 0x00, 0x00}},
    {"Up", "arrow up", {0x52, 0x20, 0x40, 0x01, 0x00, 0x00}},
    {"Down", "arrow down", {0x52, 0x21, 0x41, 0x01, 0x00, 0x00}},
    {"Left", "arrow left", {0x52, 0x22, 0x42, 0x01, 0x00, 0x00}},
    {"Right", "arrow right", {0x52, 0x23, 0x43, 0x01, 0x00, 0x00}},
    {"Space", "space bar", {0x52, 0x30, 0x80, 0x02, 0x00, 0x00}},
    {"Enter", "Enter", {0x52, 0x31, 0x81, 0x02, 0x00, 0x00}},
}};
}  // namespace

const std::array<RemoteKey, 16>& remoteKeys() { return kKeys; }

const RemoteKey* findKey(std::string_view name) {
  for (const RemoteKey& key : kKeys) {
    const std::string_view keyName = key.name;
    if (keyName.size() != name.size()) continue;
    bool same = true;
    for (size_t i = 0; i < name.size() && same; ++i)
      same = std::tolower(static_cast<unsigned char>(name[i])) == std::tolower(static_cast<unsigned char>(keyName[i]));
    if (same) return &key;
  }
  return nullptr;
}

namespace {
constexpr uint8_t kPadStart = 0xA0, kPadEnd = 0xAA;
constexpr uint8_t kStrokeSpeed = 0x60;  // 2.5, then 3 pixels per unit once the stroke is long
constexpr int kStrokeBytes = 20;
// Directions of the pad's table: up, right, down, left.
constexpr std::array<std::pair<std::string_view, uint8_t>, 4> kArrows{{{"Up", 0}, {"Right", 4}, {"Down", 8}, {"Left", 12}}};
}  // namespace

std::optional<uint8_t> padButtonCode(const RemoteKey& key) {
  for (const auto& [name, direction] : kArrows)
    if (name == key.name) return std::nullopt;
  // The Irman code's second byte is distinct per key; its low six bits stay below the pad's bytes (56..).
  const uint8_t code = key.code[1] & 0x3F;
  return code;
}

std::string padPacket(const RemoteKey& key) {
  std::string packet(1, static_cast<char>(kPadStart));
  if (auto code = padButtonCode(key)) {
    packet += static_cast<char>(*code);
  } else {
    for (const auto& [name, direction] : kArrows)
      if (name == key.name) packet.append(kStrokeBytes, static_cast<char>(kStrokeSpeed | direction));
  }
  packet += static_cast<char>(kPadEnd);
  return packet;
}

std::string binaryText(const uint8_t* bytes, size_t count) { return vexa::device::encodeBinaryText(bytes, count); }

std::string vdpSections(std::string_view remoteName) {
  const std::string remote(remoteName);
  std::string text = "[" + remote + "]\r\ndwTolerance=0\r\ndwMode=0\r\n";
  for (const RemoteKey& key : kKeys) {
    text += "[" + std::string(key.name) + "@" + remote + "]\r\n";
    text += "Flags=32\r\n";
    text += "Signature=" + binaryText(key.code.data(), key.code.size()) + "\r\n";
  }
  return text;
}

std::optional<std::string> CIrmanResponder::Feed(std::string_view bytes) {
  m_pending.append(bytes);
  const size_t at = m_pending.find("IR");
  if (at == std::string::npos) {
    // Keep only what could still start the init string.
    if (m_pending.size() > 1) m_pending.erase(0, m_pending.size() - 1);
    return std::nullopt;
  }
  m_pending.erase(0, at + 2);
  ++m_answered;
  return std::string("OK");
}

}  // namespace vexa::vremote
