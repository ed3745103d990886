#include "tools/vremote/remote_keys.h"

#include <cctype>

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
