#include "vexa/osd/osd_settings.h"

#include <cstring>

#include "vexa/base/strings.h"

namespace vexa::osd {

namespace {

constexpr size_t kWeightOffset = 16;
constexpr size_t kItalicOffset = 20;
constexpr size_t kCharSetOffset = 23;
constexpr size_t kFaceOffset = 28;
constexpr uint8_t kDefaultCharSet = 1;

void put32(uint8_t* at, int32_t value) {
  const auto u = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(u >> (8 * i));
}

int32_t get32(const uint8_t* at) {
  uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u |= static_cast<uint32_t>(at[i]) << (8 * i);
  return static_cast<int32_t>(u);
}

}  // namespace

std::string_view positionName(OsdPosition position) {
  switch (position) {
    case OsdPosition::Top: return "Top";
    case OsdPosition::Center: return "Center";
    case OsdPosition::Bottom: return "Bottom";
  }
  return "Bottom";
}

std::optional<OsdPosition> parsePosition(std::string_view name) {
  for (OsdPosition p : {OsdPosition::Top, OsdPosition::Center, OsdPosition::Bottom})
    if (iequals(name, positionName(p))) return p;
  return std::nullopt;
}

std::array<uint8_t, OsdFont::kStoredSize> OsdFont::encode(const ICodePage& codePage) const {
  std::array<uint8_t, kStoredSize> bytes{};
  put32(bytes.data(), height);
  put32(bytes.data() + kWeightOffset, weight);
  bytes[kItalicOffset] = italic ? 1 : 0;
  bytes[kCharSetOffset] = kDefaultCharSet;
  // A longer face is cut so that its terminator fits.
  std::string stored = codePage.fromUtf8(face);
  if (stored.size() > kFaceSize - 1) stored.resize(kFaceSize - 1);
  std::memcpy(bytes.data() + kFaceOffset, stored.data(), stored.size());
  return bytes;
}

std::optional<OsdFont> OsdFont::decode(std::string_view bytes, const ICodePage& codePage) {
  if (bytes.size() != kStoredSize) return std::nullopt;
  const auto* b = reinterpret_cast<const uint8_t*>(bytes.data());
  OsdFont font;
  font.height = get32(b);
  font.weight = get32(b + kWeightOffset);
  font.italic = b[kItalicOffset] != 0;
  std::string_view face(bytes.data() + kFaceOffset, kFaceSize);
  face = face.substr(0, face.find('\0'));
  font.face = codePage.toUtf8(face);
  return font;
}

void OsdSettings::setStoredSelector(std::string_view stored) {
  // "n/a" is the value's default: it names no command, so it means single-button mode.
  if (stored.empty() || iequals(stored, kNoSelectorCommand)) {
    selectorMode = SelectorMode::SingleButton;
    return;
  }
  selectorMode = SelectorMode::ExtraButton;
  selectorCommand = std::string(stored);
}

}  // namespace vexa::osd
