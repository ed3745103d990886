#include "vexa/device/lircd_import.h"

#include <algorithm>
#include <map>
#include <optional>

#include "vexa/base/errors.h"
#include "vexa/base/strings.h"
#include "vexa/device/device_settings.h"
#include "vexa/device/plugin_abi.h"

namespace vexa::device {

namespace {

[[noreturn]] void refuse(int line, const std::string& what) {
  VEXA_THROW(NotSupportedError, "line " + std::to_string(line) + ": " + what);
}

struct Pair {
  uint64_t pulse = 0;
  uint64_t space = 0;
};

enum class Encoding { Unknown, Space, BiPhase, Raw };

// What one remote's settings say about how it transmits.
struct Shape {
  Encoding encoding = Encoding::Unknown;
  int encodingLine = 0;
  bool rc6 = false;
  bool constLength = false;
  bool repeatHeader = false;
  bool noHeadRep = false;
  Pair header, one, zero, pre, post, repeat;
  uint64_t plead = 0, ptrail = 0, gap = 0, repeatGap = 0;
  int bits = 0, preBits = 0, postBits = 0;
  uint64_t preData = 0, postData = 0, toggleMask = 0, rc6Mask = 0;
};

// Neighbouring intervals of one polarity merge, as they do on the air.
class CPulseTrain {
 public:
  void add(bool pulse, uint64_t micros) {
    if (micros == 0) return;
    if (!parts_.empty() && parts_.back().first == pulse)
      parts_.back().second += micros;
    else
      parts_.emplace_back(pulse, micros);
    total_ += micros;
  }
  void pair(const Pair& p) {
    add(true, p.pulse);
    add(false, p.space);
  }
  uint64_t total() const { return total_; }
  const std::vector<std::pair<bool, uint64_t>>& parts() const { return parts_; }

 private:
  std::vector<std::pair<bool, uint64_t>> parts_;
  uint64_t total_ = 0;
};

struct Frame {
  std::vector<uint32_t> signal;
  uint32_t gap = 0;
};

uint64_t numberOf(const LircdSetting& s, size_t index) {
  uint64_t v = 0;
  if (index >= s.values.size()) refuse(s.line, "\"" + s.key + "\" needs " + std::to_string(index + 1) + " values");
  if (!parseLircdNumber(s.values[index], v))
    refuse(s.line, "\"" + s.values[index] + "\" of \"" + s.key + "\" is not a number");
  return v;
}

int bitCount(const LircdSetting& s) {
  const uint64_t v = numberOf(s, 0);
  if (v > 64) refuse(s.line, "\"" + s.key + "\" of more than 64 bits");
  return static_cast<int>(v);
}

uint64_t durationOf(const LircdSetting& s, size_t index) {
  const uint64_t v = numberOf(s, index);
  if (v >= abi::kMaxDurationUs)
    refuse(s.line, "\"" + s.key + "\" of " + std::to_string(v) + " microseconds is longer than a receiver reports");
  return v;
}

Pair pairOf(const LircdSetting& s) { return {durationOf(s, 0), durationOf(s, 1)}; }

void readFlags(const LircdSetting& s, Shape& shape) {
  std::string all;
  for (const auto& v : s.values) all += v;
  size_t start = 0;
  while (start <= all.size()) {
    const size_t bar = std::min(all.find('|', start), all.size());
    const std::string flag = all.substr(start, bar - start);
    start = bar + 1;
    if (flag.empty()) continue;
    auto encoding = [&](Encoding e) {
      if (shape.encoding != Encoding::Unknown && shape.encoding != e)
        refuse(s.line, "flag " + flag + " names a second encoding");
      shape.encoding = e;
      shape.encodingLine = s.line;
    };
    if (iequals(flag, "SPACE_ENC")) {
      encoding(Encoding::Space);
    } else if (iequals(flag, "RC5") || iequals(flag, "SHIFT_ENC")) {
      encoding(Encoding::BiPhase);
    } else if (iequals(flag, "RC6")) {
      encoding(Encoding::BiPhase);
      shape.rc6 = true;
    } else if (iequals(flag, "RAW_CODES")) {
      encoding(Encoding::Raw);
    } else if (iequals(flag, "CONST_LENGTH")) {
      shape.constLength = true;
    } else if (iequals(flag, "REPEAT_HEADER")) {
      shape.repeatHeader = true;
    } else if (iequals(flag, "NO_HEAD_REP")) {
      shape.noHeadRep = true;
    } else if (iequals(flag, "NO_FOOT_REP")) {
      // No foot is ever sent here, so there is none to leave out.
    } else {
      refuse(s.line, "flag " + flag + " is not supported");
    }
  }
}

bool ignored(std::string_view key) {
  // Receiving tolerances, the carrier and how often the daemon sends: none
  // of them changes the pulse/space train the receiver sees.
  for (std::string_view k : {"eps", "aeps", "frequency", "duty_cycle", "min_repeat", "min_code_repeat",
                             "suppress_repeat", "ignore_mask", "manual_sort", "driver"})
    if (iequals(key, k)) return true;
  return false;
}

bool refusedWhenSet(std::string_view key) {
  for (std::string_view k : {"two", "three", "foot", "toggle_mask", "repeat_mask", "toggle_bit", "baud", "serial_mode"})
    if (iequals(key, k)) return true;
  return false;
}

Shape shapeOf(const LircdRemote& remote) {
  Shape shape;
  const std::map<std::string_view, Pair Shape::*> pairs{{"header", &Shape::header}, {"one", &Shape::one},
                                                         {"zero", &Shape::zero},     {"pre", &Shape::pre},
                                                         {"post", &Shape::post},     {"repeat", &Shape::repeat}};
  const std::map<std::string_view, uint64_t Shape::*> singles{
      {"gap", &Shape::gap},
      {"repeat_gap", &Shape::repeatGap}, {"pre_data", &Shape::preData},   {"post_data", &Shape::postData},
      {"toggle_bit_mask", &Shape::toggleMask}, {"rc6_mask", &Shape::rc6Mask}};
  const std::map<std::string_view, int Shape::*> counts{
      {"bits", &Shape::bits}, {"pre_data_bits", &Shape::preBits}, {"post_data_bits", &Shape::postBits}};
  for (const LircdSetting& s : remote.settings) {
    const std::string key = toLower(s.key);
    if (key == "flags") {
      readFlags(s, shape);
    } else if (auto p = pairs.find(key); p != pairs.end()) {
      shape.*(p->second) = pairOf(s);
    } else if (key == "plead" || key == "ptrail") {
      shape.*(key == "plead" ? &Shape::plead : &Shape::ptrail) = durationOf(s, 0);
    } else if (auto one = singles.find(key); one != singles.end()) {
      shape.*(one->second) = numberOf(s, 0);  // a second gap value alternates on some remotes: the first serves
    } else if (auto c = counts.find(key); c != counts.end()) {
      shape.*(c->second) = bitCount(s);
    } else if (refusedWhenSet(key)) {
      for (size_t i = 0; i < s.values.size(); ++i)
        if (numberOf(s, i) != 0) refuse(s.line, "\"" + s.key + "\" is not supported");
    } else if (!ignored(key)) {
      refuse(s.line, "unknown setting \"" + s.key + "\"");
    }
  }
  if (!remote.rawCodes.empty()) {
    if (!remote.codes.empty()) refuse(remote.codes.front().line, "a remote with both codes and raw_codes");
    if (shape.encoding != Encoding::Unknown && shape.encoding != Encoding::Raw)
      refuse(shape.encodingLine, "raw_codes with an encoding flag");
    shape.encoding = Encoding::Raw;
  }
  if (shape.encoding == Encoding::Unknown)
    refuse(remote.line, "the remote names no encoding this program reads (SPACE_ENC, RC5, RC6 or raw_codes)");
  if (shape.encoding != Encoding::Raw && shape.bits == 0) refuse(remote.line, "the remote has no \"bits\"");
  if (shape.preBits + shape.bits + shape.postBits > 64) refuse(remote.line, "codes of more than 64 bits");
  if (shape.gap == 0) refuse(remote.line, "the remote has no \"gap\"");
  return shape;
}

void addBit(CPulseTrain& t, const Shape& shape, bool bit, bool doubled) {
  const Pair& p = bit ? shape.one : shape.zero;
  if (shape.encoding == Encoding::Space) {
    t.pair(p);
    return;
  }
  // Bi-phase: a one is a space then a pulse, a zero the other way round; the
  // mask's bit (RC6's trailer bit) lasts twice as long.
  const uint64_t m = doubled ? 2 : 1;
  if (bit) {
    t.add(false, p.space * m);
    t.add(true, p.pulse * m);
  } else {
    t.add(true, p.pulse * m);
    t.add(false, p.space * m);
  }
}

// Every bit of pre_data, the code and post_data, with "pre" and "post" between.
void addData(CPulseTrain& t, const Shape& shape, uint64_t full) {
  const int total = shape.preBits + shape.bits + shape.postBits;
  for (int i = total - 1; i >= 0; --i) {
    if (i == shape.bits + shape.postBits - 1 && shape.preBits > 0 && shape.pre.pulse && shape.pre.space)
      t.pair(shape.pre);
    if (i == shape.postBits - 1 && shape.post.pulse && shape.post.space) t.pair(shape.post);
    const uint64_t mask = uint64_t{1} << i;
    addBit(t, shape, (full & mask) != 0, shape.rc6 && (shape.rc6Mask & mask));
  }
}

uint64_t fullCode(const Shape& shape, uint64_t code) {
  auto field = [](uint64_t v, int bits) { return bits >= 64 ? v : v & ((uint64_t{1} << bits) - 1); };
  uint64_t full = field(shape.postData, shape.postBits);
  if (shape.bits < 64) full |= field(code, shape.bits) << shape.postBits;
  else full = code;
  if (shape.preBits > 0 && shape.bits + shape.postBits < 64)
    full |= field(shape.preData, shape.preBits) << (shape.bits + shape.postBits);
  return full;
}

// The train as samples, its trailing space folded into the gap that follows
// (a receiver cannot tell them apart); the gap of a constant-length remote
// fills the frame up to its length.
Frame finish(const CPulseTrain& t, const Shape& shape, uint64_t gap, int line) {
  Frame f;
  uint64_t trailing = 0;
  auto parts = t.parts();
  if (!parts.empty() && !parts.back().first) {
    trailing = parts.back().second;
    parts.pop_back();
  }
  for (const auto& [pulse, micros] : parts) {
    if (micros >= abi::kMaxDurationUs)
      refuse(line, "a " + std::string(pulse ? "pulse" : "space") + " of " + std::to_string(micros) +
                       " microseconds is longer than a receiver reports");
    f.signal.push_back(abi::makeSample(pulse, static_cast<uint32_t>(micros)));
  }
  if (f.signal.empty()) refuse(line, "a button without a signal");
  const uint64_t fill = shape.constLength ? (gap > t.total() ? gap - t.total() : 0) : gap;
  f.gap = abi::makeSample(false, static_cast<uint32_t>(std::min<uint64_t>(trailing + fill, abi::kMaxDurationUs - 1)));
  return f;
}

Frame codeFrame(const Shape& shape, uint64_t full, bool repeatFrame, int line) {
  CPulseTrain t;
  if (!(repeatFrame && shape.noHeadRep)) t.pair(shape.header);
  t.add(true, shape.plead);
  addData(t, shape, full);
  t.add(true, shape.ptrail);
  const uint64_t gap = repeatFrame && shape.repeatGap ? shape.repeatGap : shape.gap;
  return finish(t, shape, gap, line);
}

Frame repeatCodeFrame(const Shape& shape, int line) {
  CPulseTrain t;
  if (shape.repeatHeader) t.pair(shape.header);
  t.add(true, shape.plead);
  t.pair(shape.repeat);
  t.add(true, shape.ptrail);
  return finish(t, shape, shape.repeatGap ? shape.repeatGap : shape.gap, line);
}

Frame rawFrame(const Shape& shape, const LircdRawCode& raw) {
  CPulseTrain t;
  for (size_t i = 0; i < raw.durations.size(); ++i) t.add(i % 2 == 0, raw.durations[i]);
  return finish(t, shape, shape.gap, raw.line);
}

bool reservedName(std::string_view name) { return name.find_first_of("\\#[]@=|") != std::string_view::npos; }

void checkName(std::string_view what, std::string_view name, int line) {
  if (reservedName(name))
    refuse(line, std::string(what) + " \"" + std::string(name) +
                     "\" holds a character the settings file reserves (\\#[]@=|)");
}

// The repeat code and its gap: the remote's special repeat frame, or the
// frame without its header for remotes that leave it out of repeats.
void addRepeat(DeviceCode& code, const Shape& shape, std::optional<uint64_t> full, int line) {
  if (shape.repeat.pulse || shape.repeat.space) {
    const Frame r = repeatCodeFrame(shape, line);
    code.repeat = r.signal;
    code.repeatGap = r.gap;
  } else if (full && shape.noHeadRep && (shape.header.pulse || shape.header.space)) {
    const Frame r = codeFrame(shape, *full, true, line);
    code.repeat = r.signal;
    code.repeatGap = r.gap;
  } else {
    code.repeatGap = shape.repeatGap ? finish(CPulseTrain(), shape, shape.repeatGap, line).gap : code.gap;
    return;
  }
  code.flags |= CodeFlag::kRepeatCode;
}

DeviceCode timingCode(const Frame& frame) {
  DeviceCode code;
  code.flags = CodeFlag::kTiming | CodeFlag::kGapKnown;
  code.raw = frame.signal;
  code.gap = frame.gap;
  code.repeatGap = frame.gap;
  return code;
}

DeviceCode encodedButton(const Shape& shape, const LircdCode& c) {
  if (c.codes.size() > 1) refuse(c.line, "button \"" + c.name + "\" sends a sequence of codes");
  const uint64_t full = fullCode(shape, c.codes.front());
  DeviceCode code = timingCode(codeFrame(shape, full, false, c.line));
  code.flags |= shape.encoding == Encoding::Space ? 2u : 1u;  // space or shift (bi-phase) encoded
  code.flags |= CodeFlag::kDecoded;
  code.decoded = static_cast<uint32_t>(c.codes.front());
  if (shape.toggleMask != 0) {
    code.toggled = codeFrame(shape, full ^ shape.toggleMask, false, c.line).signal;
    code.flags |= CodeFlag::kToggling;
  }
  addRepeat(code, shape, full, c.line);
  return code;
}

}  // namespace

const LircdRemote& chooseLircdRemote(const std::vector<LircdRemote>& remotes, std::optional<std::string_view> name) {
  std::string names;
  for (const auto& r : remotes) {
    if (name && iequals(r.name, *name)) return r;
    names += (names.empty() ? "" : ", ") + r.name;
  }
  if (remotes.empty()) VEXA_THROW(NotSupportedError, "the file describes no remote");
  if (!name && remotes.size() == 1) return remotes.front();
  if (!name) VEXA_THROW(NotSupportedError, "the file describes several remotes; choose one of: " + names);
  VEXA_THROW(NotSupportedError, "no remote \"" + std::string(*name) + "\"; the file describes: " + names);
}

ImportedRemote importLircdRemote(const LircdRemote& remote) {
  checkName("the remote name", remote.name, remote.line);
  const Shape shape = shapeOf(remote);
  ImportedRemote out{remote.name, {}};
  out.remote.mode = 1;
  std::map<std::string, int, NameLess> seen;
  auto add = [&](const std::string& name, int line, DeviceCode code) {
    checkName("the button name", name, line);
    if (auto [it, fresh] = seen.emplace(name, line); !fresh)
      refuse(line, "button \"" + name + "\" is defined twice (first at line " + std::to_string(it->second) + ")");
    out.remote.commands.emplace(name, std::move(code));
  };
  if (shape.encoding == Encoding::Raw) {
    for (const LircdRawCode& raw : remote.rawCodes) {
      DeviceCode code = timingCode(rawFrame(shape, raw));
      addRepeat(code, shape, std::nullopt, raw.line);
      add(raw.name, raw.line, std::move(code));
    }
  } else {
    for (const LircdCode& c : remote.codes) add(c.name, c.line, encodedButton(shape, c));
  }
  if (out.remote.commands.empty()) refuse(remote.line, "the remote has no buttons");
  return out;
}

void addImportedRemote(CCodeStore& store, const ImportedRemote& imported) {
  store.deleteRemote(imported.name);
  store.setRemoteSettings(imported.name, imported.remote.tolerance, imported.remote.mode);
  for (const auto& [name, code] : imported.remote.commands) store.setCode(imported.name, name, code);
}

bool deviceFileHasRemote(const CIniFile& deviceFile, std::string_view remote) {
  if (iequals(remote, kDeviceConfigSection)) return false;
  for (const auto& section : deviceFile.sectionNames()) {
    const size_t at = section.find('@');
    if (at == std::string::npos ? iequals(section, remote)
                                : at > 0 && iequals(std::string_view(section).substr(at + 1), remote))
      return true;
  }
  return false;
}

void addImportedRemote(CIniFile& deviceFile, const ImportedRemote& imported) {
  for (const auto& section : deviceFile.sectionNames()) {
    const size_t at = section.find('@');
    const bool ours = at == std::string::npos ? iequals(section, imported.name)
                                              : at > 0 && iequals(std::string_view(section).substr(at + 1), imported.name);
    if (ours && !iequals(section, kDeviceConfigSection)) deviceFile.deleteSection(section);
  }
  writeRemoteSections(deviceFile, imported.name, imported.remote);
}

}  // namespace vexa::device
