#include "plugins/tunerbox/setup_analysis.h"

#include <cstdio>

namespace vexa::tunerbox {
namespace {

uint32_t highestBit(uint32_t value) {
  uint32_t bit = 0;
  for (uint32_t b = 1; b; b <<= 1) {
    if (value & b) bit = b;
  }
  return bit;
}

uint32_t lowestBit(uint32_t value) { return value & (~value + 1); }
bool severalBits(uint32_t value) { return (value & (value - 1)) != 0; }

uint32_t pairwiseDifferences(const std::vector<uint32_t>& values) {
  uint32_t mask = 0;
  for (size_t i = 0; i < values.size(); ++i) {
    for (size_t j = i + 1; j < values.size(); ++j) mask |= values[i] ^ values[j];
  }
  return mask;
}

std::string hex(const char* format, uint32_t value) {
  char text[64];
  std::snprintf(text, sizeof text, format, static_cast<unsigned>(value));
  return text;
}

// Idle shows the release: a bit of the idle value that no pressed button
// shows may mark the released state.
void releaseFromIdle(const SetupMeasurements& m, uint32_t idle, uint32_t down, SetupAnalysis& r) {
  r.btnupMask = idle;
  if (!idle) return;
  uint32_t pressed = 0;
  for (size_t k = 1; k < m.buttons.size(); ++k) pressed |= r.irMask & m.buttons[k];
  const uint32_t candidates = idle & ~pressed;
  if (candidates && !(candidates & down)) {
    r.btnupMask = highestBit(candidates);
    r.flags = gpio_flags::kMasked | gpio_flags::kUpMask;
  }
  if (r.btnupMask & down) {
    uint32_t common = r.btnupMask;
    for (size_t k = 1; k < m.buttons.size(); ++k) common &= r.irMask & m.buttons[k];
    common &= ~idle;
    if (common) {
      r.btndwnMask = highestBit(common);
      r.btnupMask = 0;
      r.flags &= ~gpio_flags::kUpMask;
    }
  }
}

// The bits that change between held and released tell which state they mark.
void releaseFromDifference(uint32_t up, uint32_t down, SetupAnalysis& r) {
  const uint32_t changed = up ^ down;
  r.btnupMask = changed;
  if (changed & up) r.flags |= gpio_flags::kUpMask;
  if (changed & down) {
    r.btndwnMask = changed;
    r.btnupMask = 0;
    r.flags &= ~gpio_flags::kUpMask;
  }
}

}  // namespace

SetupAnalysis analyseSetup(const SetupMeasurements& m) {
  SetupAnalysis r;
  r.irMask = pairwiseDifferences(m.buttons);
  const uint32_t down = m.btnDown & r.irMask;
  const uint32_t up = m.btnUp & r.irMask;
  const uint32_t idle = m.gpioInit & m.initMask & r.irMask;
  r.ok = true;
  if (up != down) {
    r.flags = gpio_flags::kMasked;
    if (up == idle) releaseFromIdle(m, idle, down, r);
    else releaseFromDifference(up, down, r);
  } else if (down == idle) {
    r.ok = false;
  }
  if (severalBits(r.btnupMask)) r.btnupMask = lowestBit(r.btnupMask);
  if (severalBits(r.btndwnMask)) r.btndwnMask = lowestBit(r.btndwnMask);
  if ((r.btndwnMask & idle) || (r.btndwnMask & r.btnupMask) || (r.btndwnMask && !(r.btndwnMask & down)) ||
      (r.btnupMask && !(r.btnupMask & up))) {
    r.ok = false;
  }
  // A press or release mode without its bit would never report a button
  // (the plain card whose release returns to idle ends here): report each
  // new value once instead.
  if ((r.flags & gpio_flags::kMasked) && !((r.flags & gpio_flags::kUpMask) ? r.btnupMask : r.btndwnMask)) {
    r.flags = 0;
  }
  // Fewer than three values cannot show which bits carry the code.
  if (m.buttons.size() < kMinButtonValues) r.ok = false;
  return r;
}

std::string logValue(const char* label, uint32_t value) { return std::string(label) + hex(": %x\n", value); }

std::string logButtons(const std::vector<uint32_t>& buttons) {
  std::string text = "BTNARRAY\n";
  for (uint32_t value : buttons) text += hex("%x ", value);
  return text + "\n";
}

std::string logAnalysis(const SetupAnalysis& r) {
  return "\n\nANALYZE\n\n" + hex("IR_MASK %x\n", r.irMask) + hex("BTNUP_MASK %x\n", r.btnupMask) +
         hex("BTNDWN_MASK %x\n", r.btndwnMask) + hex("FLAGS %x\n", r.flags) + "\n";
}

std::string logMicrocontroller(uint8_t address) { return hex("I2C: %x\n", address); }

}  // namespace vexa::tunerbox
