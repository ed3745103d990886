#pragma once
// The little-endian persistent-data format of the Windows class library's
// archives, as far as key trees use it: integers, counts, strings and the
// object tags that introduce a string-to-string map.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/base/code_page.h"

namespace vexa {

inline constexpr std::string_view kStringMapClass = "CMapStringToString";

class CArchiveWriter {
 public:
  void writeByte(uint8_t v) { *room(1) = static_cast<char>(v); }
  void writeWord(uint16_t v) { putWord(room(2), v); }
  void writeDword(uint32_t v) { putDword(room(4), v); }
  void writeCount(uint64_t count) {
    if (count < 0xFFFF) return writeWord(static_cast<uint16_t>(count));
    writeWord(0xFFFF);
    writeDword(static_cast<uint32_t>(count));
  }
  // Short strings, nearly all of a file, in one step.
  void writeString(std::string_view s) {
    if (s.size() >= 0xFF) return writeLongString(s);
    char* at = room(1 + s.size());
    *at = static_cast<char>(s.size());
    std::char_traits<char>::copy(at + 1, s.data(), s.size());
  }
  // Writes `s` only if it is ASCII, and says whether it did: the check
  // rides along with the copy.
  bool writeAsciiString(std::string_view s) {
    if (s.size() >= 0xFF) {
      if (!isAscii(s)) return false;
      writeLongString(s);
      return true;
    }
    const size_t before = used_;
    char* at = room(1 + s.size());
    *at = static_cast<char>(s.size());
    if (copyAscii(at + 1, s)) return true;
    used_ = before;
    return false;
  }
  void writeNullObject() { writeWord(0); }
  // Class tag of a string map: the full class record on first use, a
  // reference to it afterwards.
  void writeStringMapTag();

  // A count not known yet: a placeholder now, the count once known (which
  // may widen it to the escape and a 32-bit count).
  size_t writeCountPlaceholder();
  void patchCount(size_t at, uint64_t count);

  size_t size() const { return used_; }
  std::string_view bytes() const { return {out_.data(), used_}; }
  // Drops the bytes written so far (once sent elsewhere), keeping the space.
  void clear() { used_ = 0; }
  std::string take();
  void reserve(size_t n) {
    if (out_.size() < n) out_.resize(n);
  }

 private:
  // `n` bytes to write at the end: the buffer is grown ahead, not byte by byte.
  char* room(size_t n) {
    if (out_.size() - used_ < n) grow(n);
    char* at = out_.data() + used_;
    used_ += n;
    return at;
  }
  void grow(size_t n);
  void writeLongString(std::string_view s);
  // Copies in whole words, the last ones overlapping, and tells whether
  // any byte was above ASCII.
  static bool copyAscii(char* to, std::string_view s) {
    const char* from = s.data();
    const size_t n = s.size();
    const auto move = [&](size_t at, auto word) {
      std::memcpy(&word, from + at, sizeof word);
      std::memcpy(to + at, &word, sizeof word);
      return static_cast<uint64_t>(word);
    };
    uint64_t seen = 0;
    if (n >= 8) {
      for (size_t at = 0; at + 8 <= n; at += 8) seen |= move(at, uint64_t{});
      seen |= move(n - 8, uint64_t{});
    } else if (n >= 4) {
      seen = move(0, uint32_t{}) | move(n - 4, uint32_t{});
    } else if (n >= 2) {
      seen = move(0, uint16_t{}) | move(n - 2, uint16_t{});
    } else if (n == 1) {
      seen = move(0, uint8_t{});
    }
    return (seen & 0x8080808080808080ull) == 0;
  }
  static void putWord(char* at, uint16_t v) {
    at[0] = static_cast<char>(v);
    at[1] = static_cast<char>(v >> 8);
  }
  static void putDword(char* at, uint32_t v) {
    putWord(at, static_cast<uint16_t>(v));
    putWord(at + 2, static_cast<uint16_t>(v >> 16));
  }

  std::string out_;  // its size is the room; the bytes written are the first used_
  size_t used_ = 0;
  bool mapClassWritten_ = false;
};

class CArchiveReader {
 public:
  explicit CArchiveReader(std::string_view bytes) : in_(bytes) {}

  // Input read piece by piece: while more is to come, running short of bytes
  // throws Short rather than failing, so the caller can rewind to the start
  // of the record, add bytes and read it again.
  struct Short {};
  void setMoreToCome(bool more) { moreToCome_ = more; }
  struct Mark {
    size_t pos;
    uint32_t nextIndex;
    size_t mapClasses;
  };
  Mark mark() const { return {pos_, nextIndex_, mapClassIndexes_.size()}; }
  void rewind(const Mark& m) {
    pos_ = m.pos;
    nextIndex_ = m.nextIndex;
    mapClassIndexes_.resize(m.mapClasses);
  }
  // Continues in `bytes`, which start with the first byte not yet read.
  void continueIn(std::string_view bytes) {
    in_ = bytes;
    pos_ = 0;
  }

  bool atEnd() const { return pos_ >= in_.size(); }
  // The bytes read since `offset`.
  std::string_view bytesSince(size_t offset) const { return in_.substr(offset, pos_ - offset); }
  size_t offset() const { return pos_; }
  size_t remaining() const { return in_.size() - pos_; }

  // The common cases inline: a file is mostly these.
  uint8_t readByte() {
    if (remaining() < 1) need(1);
    return static_cast<uint8_t>(in_[pos_++]);
  }
  uint16_t readWord() {
    if (remaining() < 2) need(2);
    const auto lo = static_cast<uint8_t>(in_[pos_]);
    const auto hi = static_cast<uint8_t>(in_[pos_ + 1]);
    pos_ += 2;
    return static_cast<uint16_t>(lo | (hi << 8));
  }
  uint32_t readDword() {
    const uint32_t lo = readWord();
    const uint32_t hi = readWord();
    return lo | (hi << 16);
  }
  // Counts are checked against the bytes left: each counted item needs at
  // least minItemBytes, so no caller can allocate for a count the file
  // cannot hold. A short count that fits, nearly every one, inline.
  uint32_t readCount(size_t minItemBytes) {
    if (remaining() >= 2) {
      const auto count = static_cast<uint32_t>(static_cast<uint8_t>(in_[pos_]) | (static_cast<uint8_t>(in_[pos_ + 1]) << 8));
      if (count != 0xFFFF && uint64_t{count} * minItemBytes <= remaining() - 2) {
        pos_ += 2;
        return count;
      }
    }
    return readCheckedCount(minItemBytes);
  }
  std::string readString() { return std::string(readStringView()); }
  // The string's bytes inside the archive, valid as long as its bytes are.
  std::string_view readStringView() {
    if (remaining() >= 1) {
      const auto length = static_cast<uint8_t>(in_[pos_]);
      if (length < 0xFF && remaining() - 1 >= length) {
        const std::string_view s = in_.substr(pos_ + 1, length);
        pos_ += 1 + length;
        return s;
      }
    }
    return readLongStringView();
  }

  enum class ObjectKind { Null, NewMap, OldMap };
  struct ObjectTag {
    ObjectKind kind;
    uint32_t objectIndex;  // for OldMap: the object referred to
  };
  // Reads the tag of an object that must be a string map (or null). Objects
  // are numbered as the library does: classes and objects share one index
  // sequence that starts at 1.
  ObjectTag readStringMapTag();
  // Registers a newly read object so later back-references resolve.
  uint32_t registerObject() { return nextIndex_++; }

  [[noreturn]] void fail(const std::string& what) const;

 private:
  void need(size_t n) const;
  uint32_t readCheckedCount(size_t minItemBytes);
  // Any string the short form cannot hold, and every fault.
  std::string_view readLongStringView();
  // A length or count that the bytes at hand cannot hold.
  [[noreturn]] void tooLarge(size_t at, const std::string& what);

  std::string_view in_;
  size_t pos_ = 0;
  bool moreToCome_ = false;
  uint32_t nextIndex_ = 1;
  std::vector<uint32_t> mapClassIndexes_;
};

}  // namespace vexa
