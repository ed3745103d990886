#pragma once
// The little-endian persistent-data format of the Windows class library's
// archives, as far as key trees use it: integers, counts, strings and the
// object tags that introduce a string-to-string map.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

inline constexpr std::string_view kStringMapClass = "CMapStringToString";

class CArchiveWriter {
 public:
  void writeByte(uint8_t v) { out_.push_back(static_cast<char>(v)); }
  void writeWord(uint16_t v);
  void writeDword(uint32_t v);
  void writeCount(uint64_t count);
  void writeString(std::string_view s);
  void writeNullObject() { writeWord(0); }
  // Class tag of a string map: the full class record on first use, a
  // reference to it afterwards.
  void writeStringMapTag();

  // A count not known yet: a placeholder now, the count once known (which
  // may widen it to the escape and a 32-bit count).
  size_t writeCountPlaceholder();
  void patchCount(size_t at, uint64_t count);

  size_t size() const { return out_.size(); }
  const std::string& bytes() const { return out_; }
  // Drops the bytes written so far (once sent elsewhere), keeping the space.
  void clear() { out_.clear(); }
  std::string take() { return std::move(out_); }
  void reserve(size_t n) { out_.reserve(n); }

 private:
  std::string out_;
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
  size_t offset() const { return pos_; }
  size_t remaining() const { return in_.size() - pos_; }

  uint8_t readByte();
  uint16_t readWord();
  uint32_t readDword();
  // Counts are checked against the bytes left: each counted item needs at
  // least minItemBytes, so no caller can allocate for a count the file
  // cannot hold.
  uint32_t readCount(size_t minItemBytes);
  std::string readString() { return std::string(readStringView()); }
  // The string's bytes inside the archive, valid as long as its bytes are.
  std::string_view readStringView();

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
  // A length or count that the bytes at hand cannot hold.
  [[noreturn]] void tooLarge(size_t at, const std::string& what);

  std::string_view in_;
  size_t pos_ = 0;
  bool moreToCome_ = false;
  uint32_t nextIndex_ = 1;
  std::vector<uint32_t> mapClassIndexes_;
};

}  // namespace vexa
