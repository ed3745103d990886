// The stand-in driver's answers, apart from the kernel's request plumbing
// (win/driver.c): one call per control request.

#include "modules/hwport_sys/win/request_handler.h"

#include <string.h>

#include <new>

#include "hwport/control_codes.h"
#include "modules/hwport_sys/capture_card.h"
#include "modules/hwport_sys/sim_requests.h"

// No C++ runtime in a driver: an abstract base's table still names this.
extern "C" void __cxa_pure_virtual() {}

namespace {

using namespace vexa::hwsim;
namespace code = vexa::hwport::code;

using Status = uint32_t;
constexpr Status STATUS_SUCCESS = 0;
constexpr Status STATUS_INVALID_PARAMETER = 0xC000000D;
constexpr Status STATUS_INVALID_DEVICE_REQUEST = 0xC0000010;
constexpr Status STATUS_BUFFER_TOO_SMALL = 0xC0000023;
constexpr Status STATUS_DEVICE_DOES_NOT_EXIST = 0xC00000C0;
constexpr Status STATUS_INVALID_DEVICE_STATE = 0xC0000184;

struct DriverState {
  CaptureCard card;
  uint8_t ports[0x10000] = {};
  SimStats stats = {};
};

struct Buffers {
  const uint8_t* input;
  uint32_t inputBytes;
  void* output;
  uint32_t outputBytes;
  uint32_t written;
  uint32_t nowMs;
};

uint32_t Word(const Buffers& io, uint32_t index) {
  uint32_t value = 0;
  for (int b = 0; b < 4; ++b) value |= uint32_t{io.input[index * 4 + b]} << (8 * b);
  return value;
}

Status PutWords(Buffers& io, const uint32_t* words, uint32_t count) {
  if (!io.output || io.outputBytes < count * 4) return STATUS_BUFFER_TOO_SMALL;
  memcpy(io.output, words, count * 4);
  io.written = count * 4;
  return STATUS_SUCCESS;
}

Status PutWord(Buffers& io, uint32_t word) { return PutWords(io, &word, 1); }

uint32_t ReadPorts(const DriverState& s, uint32_t port, int width) {
  uint32_t value = 0;
  for (int b = 0; b < width; ++b) value |= uint32_t{s.ports[(port + b) & 0xFFFF]} << (8 * b);
  return value;
}

void WritePorts(DriverState& s, uint32_t port, uint32_t value, int width) {
  for (int b = 0; b < width; ++b) s.ports[(port + b) & 0xFFFF] = static_cast<uint8_t>(value >> (8 * b));
}

bool WindowOffsetValid(const DriverState& s, uint32_t offset) {
  return s.stats.mapped && offset <= kWindowBytes - 4 && offset % 4 == 0;
}

Status MapWindow(DriverState& s, Buffers& io) {
  ++s.stats.mapRequests;
  const uint32_t base = Word(io, 0), size = Word(io, 1);
  if (!s.card.present() || base != kSimWindowBase || size == 0 || size > kWindowBytes)
    return STATUS_INVALID_PARAMETER;
  s.stats.mapped = 1;
  s.stats.mappedBase = base;
  return PutWord(io, base);
}

Status UnmapWindow(DriverState& s, Buffers& io) {
  ++s.stats.unmapRequests;
  if (Word(io, 0) == s.stats.mappedBase) s.stats = {s.stats.mapRequests, s.stats.unmapRequests, 0, 0};
  return STATUS_SUCCESS;
}

Status Configure(DriverState& s, Buffers& io) {
  if (io.inputBytes < kSimSetupHeaderBytes) return STATUS_INVALID_PARAMETER;
  SimSetup setup{};
  memcpy(&setup, io.input, io.inputBytes < sizeof(setup) ? io.inputBytes : sizeof(setup));
  if (setup.stepCount > kMaxScriptSteps ||
      io.inputBytes < kSimSetupHeaderBytes + setup.stepCount * sizeof(ScriptStep))
    return STATUS_INVALID_PARAMETER;
  s.card.configure(setup, io.nowMs);
  return STATUS_SUCCESS;
}

// The single-word requests; the rest carry three words, the test requests their own.
uint32_t InputBytesNeeded(uint32_t controlCode) {
  switch (controlCode) {
    case code::readPort:
    case code::readPortW:
    case code::readPortL:
    case code::memRead:
    case code::memAlloc:
    case code::memFree:
      return 4;
    case kSetupCode:
    case kStatsCode:
      return 0;
    default:
      return 12;
  }
}

Status Handle(DriverState& s, uint32_t controlCode, Buffers& io) {
  if (io.inputBytes < InputBytesNeeded(controlCode)) return STATUS_INVALID_PARAMETER;
  switch (controlCode) {
    case code::readPort: return PutWord(io, ReadPorts(s, Word(io, 0), 1));
    case code::readPortW: return PutWord(io, ReadPorts(s, Word(io, 0), 2));
    case code::readPortL: return PutWord(io, ReadPorts(s, Word(io, 0), 4));
    case code::writePort: WritePorts(s, Word(io, 0), Word(io, 1), 1); return STATUS_SUCCESS;
    case code::writePortW: WritePorts(s, Word(io, 0), Word(io, 1), 2); return STATUS_SUCCESS;
    case code::writePortL: WritePorts(s, Word(io, 0), Word(io, 1), 4); return STATUS_SUCCESS;
    case code::memMap: return MapWindow(s, io);
    case code::memUnmap: return UnmapWindow(s, io);
    case code::memRead:
      if (!WindowOffsetValid(s, Word(io, 0))) return STATUS_INVALID_DEVICE_STATE;
      return PutWord(io, s.card.readRegister(Word(io, 0), io.nowMs));
    case code::memWrite:
      if (!WindowOffsetValid(s, Word(io, 0))) return STATUS_INVALID_DEVICE_STATE;
      s.card.writeRegister(Word(io, 0), Word(io, 1), io.nowMs);
      return STATUS_SUCCESS;
    case code::pciConfig: {
      if (!s.card.matches(Word(io, 0), Word(io, 1))) return STATUS_DEVICE_DOES_NOT_EXIST;
      if (!io.output || io.outputBytes < 256) return STATUS_BUFFER_TOO_SMALL;
      uint8_t config[256];
      s.card.pciConfig(config);
      memcpy(io.output, config, sizeof(config));
      io.written = sizeof(config);
      return STATUS_SUCCESS;
    }
    // Nobody calls these three; they answer in the right shapes.
    case code::memMapEx: return PutWord(io, Word(io, 0) | 1);
    case code::memAlloc: {
      const uint32_t words[3] = {0x00100000, 0x80100000, Word(io, 0)};
      return PutWords(io, words, 3);
    }
    case code::memFree: return STATUS_SUCCESS;
    case kSetupCode: return Configure(s, io);
    case kStatsCode: return PutWords(io, &s.stats.mapRequests, sizeof(SimStats) / 4);
    default: return STATUS_INVALID_DEVICE_REQUEST;
  }
}

}  // namespace

extern "C" {

uint32_t hwsim_state_size(void) { return sizeof(DriverState); }
void hwsim_state_init(void* memory) { new (memory) DriverState(); }
void hwsim_state_destroy(void* state) { static_cast<DriverState*>(state)->~DriverState(); }

uint32_t hwsim_handle(void* state, uint32_t controlCode, const void* input, uint32_t inputBytes, void* output,
                      uint32_t outputBytes, uint32_t nowMs, uint32_t* written) {
  Buffers io{static_cast<const uint8_t*>(input), input ? inputBytes : 0, output, outputBytes, 0, nowMs};
  const Status status = Handle(*static_cast<DriverState*>(state), controlCode, io);
  *written = io.written;
  return status;
}

}  // extern "C"
