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

void CArchiveWriter::grow(size_t n) {
  constexpr size_t kLeast = 64 * 1024;
  out_.resize(std::max({out_.size() * 2, used_ + n, kLeast}));
}

std::string CArchiveWriter::take() {
  out_.resize(used_);
  used_ = 0;
  return std::move(out_);
}

size_t CArchiveWriter::writeCountPlaceholder() {
  const size_t at = used_;
  writeWord(0);
  return at;
}

void CArchiveWriter::patchCount(size_t at, uint64_t count) {
  const uint16_t word = count < 0xFFFF ? static_cast<uint16_t>(count) : 0xFFFF;
  putWord(out_.data() + at, word);
  if (word != 0xFFFF) return;
  room(4);
  char* const tail = out_.data() + at + 2;
  std::char_traits<char>::move(tail + 4, tail, used_ - 4 - (at + 2));
  putDword(tail, static_cast<uint32_t>(count));
}

void CArchiveWriter::writeLongString(std::string_view s) {
  const size_t n = s.size();
  writeByte(0xFF);
  if (n < 0xFFFE) {
    writeWord(static_cast<uint16_t>(n));
  } else {
    writeWord(0xFFFF);
    writeDword(static_cast<uint32_t>(n));
  }
  std::char_traits<char>::copy(room(n), s.data(), n);
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
  std::char_traits<char>::copy(room(kStringMapClass.size()), kStringMapClass.data(), kStringMapClass.size());
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

uint32_t CArchiveReader::readCheckedCount(size_t minItemBytes) {
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

std::string_view CArchiveReader::readLongStringView() {
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
