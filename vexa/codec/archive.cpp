#include "vexa/codec/archive.h"

#include <algorithm>

#include "vexa/base/errors.h"

namespace vexa {

namespace {
constexpr uint16_t kNullTag = 0;
constexpr uint16_t kNewClassTag = 0xFFFF;
constexpr uint16_t kClassTag = 0x8000;
constexpr uint16_t kBigObjectTag = 0x7FFF;
constexpr uint32_t kBigClassTag = 0x80000000u;
constexpr uint16_t kMapClassRef = kClassTag | 1;  // the map class is always index 1 in our files
}  // namespace

void CArchiveWriter::writeWord(uint16_t v) {
  const char b[2] = {static_cast<char>(v), static_cast<char>(v >> 8)};
  out_.append(b, 2);
}

void CArchiveWriter::writeDword(uint32_t v) {
  const char b[4] = {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                     static_cast<char>(v >> 24)};
  out_.append(b, 4);
}

void CArchiveWriter::writeCount(uint64_t count) {
  if (count < 0xFFFF) {
    writeWord(static_cast<uint16_t>(count));
  } else {
    writeWord(0xFFFF);
    writeDword(static_cast<uint32_t>(count));
  }
}

size_t CArchiveWriter::writeCountPlaceholder() {
  const size_t at = out_.size();
  writeWord(0);
  return at;
}

void CArchiveWriter::patchCount(size_t at, uint64_t count) {
  const uint16_t word = count < 0xFFFF ? static_cast<uint16_t>(count) : 0xFFFF;
  out_[at] = static_cast<char>(word);
  out_[at + 1] = static_cast<char>(word >> 8);
  if (word != 0xFFFF) return;
  const auto big = static_cast<uint32_t>(count);
  const char b[4] = {static_cast<char>(big), static_cast<char>(big >> 8), static_cast<char>(big >> 16),
                     static_cast<char>(big >> 24)};
  out_.insert(at + 2, b, 4);
}

void CArchiveWriter::writeString(std::string_view s) {
  const size_t n = s.size();
  if (n < 0xFF) {
    writeByte(static_cast<uint8_t>(n));
  } else if (n < 0xFFFE) {
    writeByte(0xFF);
    writeWord(static_cast<uint16_t>(n));
  } else {
    writeByte(0xFF);
    writeWord(0xFFFF);
    writeDword(static_cast<uint32_t>(n));
  }
  out_.append(s);
}

void CArchiveWriter::writeStringMapTag() {
  if (mapClassWritten_) {
    writeWord(kMapClassRef);
    return;
  }
  mapClassWritten_ = true;
  writeWord(kNewClassTag);
  writeWord(0);  // schema
  writeWord(static_cast<uint16_t>(kStringMapClass.size()));
  out_.append(kStringMapClass);
}

void CArchiveReader::fail(const std::string& what) const {
  VEXA_THROW(ArchiveError, what + " at offset " + std::to_string(pos_));
}

void CArchiveReader::need(size_t n) const {
  if (remaining() >= n) return;
  if (moreToCome_) throw Short{};
  fail("Unexpected end of file: " + std::to_string(n) + " bytes needed, " +
         std::to_string(remaining()) + " left");
}

uint8_t CArchiveReader::readByte() {
  need(1);
  return static_cast<uint8_t>(in_[pos_++]);
}

uint16_t CArchiveReader::readWord() {
  need(2);
  const auto lo = static_cast<uint8_t>(in_[pos_]);
  const auto hi = static_cast<uint8_t>(in_[pos_ + 1]);
  pos_ += 2;
  return static_cast<uint16_t>(lo | (hi << 8));
}

uint32_t CArchiveReader::readDword() {
  const uint32_t lo = readWord();
  const uint32_t hi = readWord();
  return lo | (hi << 16);
}

uint32_t CArchiveReader::readCount(size_t minItemBytes) {
  const size_t at = pos_;
  uint32_t count = readWord();
  if (count == 0xFFFF) count = readDword();
  if (minItemBytes > 0 && count > remaining() / minItemBytes)
    tooLarge(at, "Count " + std::to_string(count) + " exceeds what the remaining " + std::to_string(remaining()) +
                     " bytes can hold");
  return count;
}

void CArchiveReader::tooLarge(size_t at, const std::string& what) {
  if (moreToCome_) throw Short{};
  pos_ = at;
  fail(what);
}

std::string_view CArchiveReader::readStringView() {
  const size_t at = pos_;
  uint32_t length = readByte();
  if (length == 0xFF) {
    length = readWord();
    if (length == 0xFFFE) {
      pos_ = at;
      fail("Wide-character strings are not supported");
    }
    if (length == 0xFFFF) length = readDword();
  }
  if (length > remaining())
    tooLarge(at, "String length " + std::to_string(length) + " exceeds the remaining " +
                     std::to_string(remaining()) + " bytes");
  const std::string_view s = in_.substr(pos_, length);
  pos_ += length;
  return s;
}

CArchiveReader::ObjectTag CArchiveReader::readStringMapTag() {
  const size_t at = pos_;
  uint32_t tag = readWord();
  if (tag == kNullTag) return {ObjectKind::Null, 0};
  if (tag == kNewClassTag) {
    readWord();  // schema: any is accepted
    const uint16_t nameLength = readWord();
    need(nameLength);
    const std::string_view name = in_.substr(pos_, nameLength);
    pos_ += nameLength;
    if (name != kStringMapClass) {
      pos_ = at;
      fail("Unexpected class \"" + std::string(name) + "\" where a value map belongs");
    }
    mapClassIndexes_.push_back(nextIndex_++);
    return {ObjectKind::NewMap, 0};
  }
  bool isClass = false;
  uint32_t index = 0;
  if (tag == kBigObjectTag) {
    const uint32_t big = readDword();
    isClass = (big & kBigClassTag) != 0;
    index = big & ~kBigClassTag;
  } else {
    isClass = (tag & kClassTag) != 0;
    index = tag & ~static_cast<uint32_t>(kClassTag);
  }
  if (isClass) {
    if (std::find(mapClassIndexes_.begin(), mapClassIndexes_.end(), index) == mapClassIndexes_.end()) {
      pos_ = at;
      fail("Reference to unknown class index " + std::to_string(index));
    }
    return {ObjectKind::NewMap, 0};
  }
  if (index == 0 || index >= nextIndex_) {
    pos_ = at;
    fail("Reference to unknown object index " + std::to_string(index));
  }
  return {ObjectKind::OldMap, index};
}

}  // namespace vexa
