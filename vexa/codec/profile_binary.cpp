#include <algorithm>
#include <deque>
#include <istream>
#include <ostream>
#include <string>
#include <unordered_map>
#include <vector>

#include "vexa/base/errors.h"
#include "vexa/codec/archive.h"
#include "vexa/codec/profile_codec.h"
#include "vexa/codec/profile_writers.h"

namespace vexa {

namespace {

// Bytes in the code page to the tree's UTF-8, without a copy for ASCII.
// The piece a writer to a stream holds before sending it on, and the least
// a reader from a stream reads at a time.
constexpr size_t kPiece = 256 * 1024;

class TextDecoder {
 public:
  explicit TextDecoder(const ICodePage& codePage) : codePage_(codePage) {}

  std::string text(std::string_view bytes) const { return isAscii(bytes) ? std::string(bytes) : codePage_.toUtf8(bytes); }

 private:
  const ICodePage& codePage_;
};

constexpr uint32_t kSmallMap = 16;

class BinaryReader {
 public:
  BinaryReader(std::string_view bytes, CProfileTree& tree, const ICodePage& codePage)
      : in_(bytes), tree_(tree), decoder_(codePage) {}

  void run() {
    while (!in_.atEnd()) readKey();
  }

 private:
  void readKey() {
    const size_t recordStart = in_.offset();
    const uint32_t depth = in_.readCount(4);
    if (depth == 0) in_.fail("Key record with an empty position path");
    CProfileKey* parent = &tree_;
    for (uint32_t level = 0; level + 1 < depth; ++level) {
      const uint32_t position = in_.readDword();
      parent = parent->child(position);
      if (!parent) in_.fail("Position path names a key that does not exist");
    }
    const uint32_t position = in_.readDword();
    if (position != parent->childCount())
      in_.fail("Position " + std::to_string(position) + " does not follow the " +
               std::to_string(parent->childCount()) + " keys already read there (record at offset " +
               std::to_string(recordStart) + ")");
    CProfileKey& key = parent->appendChild(readText());
    readValueMap(key);
  }

  void readValueMap(CProfileKey& key) {
    const auto tag = in_.readStringMapTag();
    switch (tag.kind) {
      case CArchiveReader::ObjectKind::Null:
        return;
      case CArchiveReader::ObjectKind::OldMap:
        copyMap(tag.objectIndex, key);
        return;
      case CArchiveReader::ObjectKind::NewMap:
        break;
    }
    const uint32_t object = in_.registerObject();
    if (mapOwners_.size() <= object) mapOwners_.resize(object + 1, nullptr);
    mapOwners_[object] = &key;
    key.createValueMap();
    const uint32_t pairs = in_.readCount(2);  // two empty strings at least
    // A later pair of the same name replaces the earlier one, as in the map;
    // large maps are indexed so that reading stays linear.
    std::unordered_map<std::string, size_t> index;
    for (uint32_t i = 0; i < pairs; ++i) {
      std::string name = readText();
      std::string value = readText();
      const size_t at = pairs <= kSmallMap ? findSmall(key, name) : findIndexed(key, name, index);
      if (at < key.values().size())
        key.setValue(name, value);
      else
        key.appendValue(std::move(name), std::move(value));
    }
  }

  std::string readText() { return decoder_.text(in_.readStringView()); }

  static size_t findSmall(const CProfileKey& key, const std::string& name) {
    const auto& values = key.values();
    for (size_t i = 0; i < values.size(); ++i)
      if (values[i].first == name) return i;
    return values.size();
  }

  static size_t findIndexed(const CProfileKey& key, const std::string& name,
                            std::unordered_map<std::string, size_t>& index) {
    auto [it, fresh] = index.emplace(name, key.values().size());
    return fresh ? key.values().size() : it->second;
  }

  // A back-reference shares the earlier map; a key tree has no sharing, so
  // it gets a copy.
  void copyMap(uint32_t objectIndex, CProfileKey& key) {
    const CProfileKey* owner = objectIndex < mapOwners_.size() ? mapOwners_[objectIndex] : nullptr;
    if (!owner) in_.fail("Back-reference to an object that is not a value map");
    key.createValueMap();
    for (const auto& [name, value] : owner->values()) key.setValue(name, value);
  }

  CArchiveReader in_;
  CProfileTree& tree_;
  TextDecoder decoder_;
  std::vector<const CProfileKey*> mapOwners_;  // by object index; classes leave holes
};

// Hands each key to a visitor as soon as it is read. That needs the keys in
// tree order, as writers put them: a record that adds to a key already
// ended, or a value map that refers back to another, stops it. From a
// stream it holds only the records not yet read whole.
class BinaryStreamReader {
 public:
  BinaryStreamReader(std::string_view bytes, IProfileVisitor& visitor, const ICodePage& codePage)
      : in_(bytes), visitor_(visitor), codePage_(codePage) {}
  BinaryStreamReader(std::istream& source, IProfileVisitor& visitor, const ICodePage& codePage)
      : in_(std::string_view()), source_(&source), visitor_(visitor), codePage_(codePage) {
    in_.setMoreToCome(true);
  }

  bool run() {
    for (;;) {
      if (in_.atEnd() && !refill()) break;
      const CArchiveReader::Mark start = in_.mark();
      try {
        if (!readKey()) return false;
      } catch (const CArchiveReader::Short&) {
        in_.rewind(start);
        refill();
      }
    }
    while (open_.size() > 1) leave();
    return true;
  }

 private:
  struct Level {
    uint32_t position;
    uint32_t children;
  };

  // The record is read whole before the visitor hears of it, so that a
  // record cut short by the end of the bytes at hand can be read again.
  bool readKey() {
    const uint32_t depth = in_.readCount(4);
    if (depth == 0) in_.fail("Key record with an empty position path");
    for (uint32_t level = 1; level < depth; ++level) {
      const uint32_t position = in_.readDword();
      if (level >= open_.size() || open_[level].position != position) return false;
    }
    const uint32_t position = in_.readDword();
    if (depth > open_.size() || position != open_[depth - 1].children) return false;
    converted_.clear();
    const std::string_view name = text(in_.readStringView());
    values_.clear();
    if (!readValues()) return false;
    while (open_.size() > depth) leave();
    ++open_.back().children;
    open_.push_back({position, 0});
    visitor_.enterKey(CKeyRecord(name, values_));
    return true;
  }

  bool readValues() {
    const auto tag = in_.readStringMapTag();
    if (tag.kind == CArchiveReader::ObjectKind::Null) return true;
    if (tag.kind == CArchiveReader::ObjectKind::OldMap) return false;
    in_.registerObject();
    const uint32_t pairs = in_.readCount(2);
    const size_t from = in_.offset();
    for (uint32_t i = 0; i < pairs; ++i) {
      const std::string_view name = in_.readStringView();
      values_.emplace_back(name, in_.readStringView());
    }
    // Short strings' lengths are ASCII bytes too: one look at the whole map
    // clears all its texts at once. Otherwise each is looked at alone.
    if (!isAscii(in_.bytesSince(from)))
      for (auto& [name, value] : values_) {
        name = text(name);
        value = text(value);
      }
    return true;
  }

  // Keeps the bytes not read yet and adds the next piece of the stream, at
  // least as much as it holds already, so that one long record costs no
  // more than linear time. At the stream's end, running short is an error.
  // The buffer keeps its size, so that each piece is read into space made
  // once rather than cleared again; the bytes at hand are its first held_.
  bool refill() {
    if (!source_) return false;
    const size_t before = in_.remaining();
    std::char_traits<char>::move(buffer_.data(), buffer_.data() + (held_ - before), before);
    const size_t wanted = before + std::max(kPiece, before);
    if (buffer_.size() < wanted) buffer_.resize(wanted);
    source_->read(buffer_.data() + before, static_cast<std::streamsize>(wanted - before));
    held_ = before + static_cast<size_t>(source_->gcount());
    if (source_->bad()) VEXA_THROW(FileError, "Cannot read the configuration file");
    const bool added = held_ > before;
    if (!added) in_.setMoreToCome(false);
    in_.continueIn(std::string_view(buffer_.data(), held_));
    return added;
  }

  // ASCII is viewed where it lies; other text is converted into storage
  // that lasts until the next record (a deque keeps each string in place).
  std::string_view text(std::string_view bytes) {
    if (isAscii(bytes)) return bytes;
    converted_.push_back(codePage_.toUtf8(bytes));
    return converted_.back();
  }

  void leave() {
    open_.pop_back();
    visitor_.leaveKey();
  }

  CArchiveReader in_;
  std::istream* source_ = nullptr;
  std::string buffer_;
  size_t held_ = 0;
  IProfileVisitor& visitor_;
  const ICodePage& codePage_;
  std::vector<Level> open_{{0, 0}};  // the root, then each open key
  std::vector<CKeyRecord::Value> values_;
  std::deque<std::string> converted_;
};

}  // namespace

void readProfileBinary(std::string_view bytes, CProfileTree& tree, const ICodePage& codePage) {
  BinaryReader(bytes, tree, codePage).run();
}

std::string writeProfileBinary(const CProfileTree& tree, const ICodePage& codePage) {
  CBinaryProfileWriter out(codePage);
  writeProfileChildren(tree, out);
  return out.take();
}

bool streamProfileBinary(std::string_view bytes, IProfileVisitor& visitor, const ICodePage& codePage) {
  return BinaryStreamReader(bytes, visitor, codePage).run();
}

bool streamProfileBinary(std::istream& bytes, IProfileVisitor& visitor, const ICodePage& codePage) {
  return BinaryStreamReader(bytes, visitor, codePage).run();
}

void CBinaryProfileWriter::beginKey(std::string_view name) {
  finishRecord();
  const uint32_t position = children_.back()++;
  path_.push_back(position);
  children_.push_back(0);
  out_.writeCount(path_.size());
  for (uint32_t p : path_) out_.writeDword(p);
  writeText(name);
  recordOpen_ = true;
}

void CBinaryProfileWriter::valueMap() {
  if (mapOpen_) return;
  out_.writeStringMapTag();
  countAt_ = out_.writeCountPlaceholder();
  mapOpen_ = true;
}

void CBinaryProfileWriter::value(std::string_view name, std::string_view value) {
  valueMap();
  writeText(name);
  writeText(value);
  ++pairs_;
}

void CBinaryProfileWriter::endKey() {
  finishRecord();
  path_.pop_back();
  children_.pop_back();
}

std::string CBinaryProfileWriter::take() {
  finishRecord();
  return out_.take();
}

void CBinaryProfileWriter::finish() {
  finishRecord();
  send();
}

void CBinaryProfileWriter::send() {
  if (!stream_) return;
  stream_->write(out_.bytes().data(), static_cast<std::streamsize>(out_.size()));
  out_.clear();
}

void CBinaryProfileWriter::writeText(std::string_view utf8) {
  if (!out_.writeAsciiString(utf8)) out_.writeString(codePage_.fromUtf8(utf8));
}

void CBinaryProfileWriter::finishRecord() {
  if (!recordOpen_) return;
  if (mapOpen_)
    out_.patchCount(countAt_, pairs_);
  else
    out_.writeNullObject();
  recordOpen_ = mapOpen_ = false;
  pairs_ = 0;
  if (out_.size() >= kPiece) send();
}

void readProfile(std::string_view bytes, CProfileTree& tree, const ICodePage& codePage) {
  if (looksLikeText(bytes) && isAscii(bytes))
    readProfileText(bytes, tree);
  else if (looksLikeText(bytes))
    readProfileText(codePage.toUtf8(bytes), tree);
  else
    readProfileBinary(bytes, tree, codePage);
}

std::string writeProfile(const CProfileTree& tree, ProfileEncoding encoding, const ICodePage& codePage) {
  if (encoding == ProfileEncoding::Binary) return writeProfileBinary(tree, codePage);
  CTextProfileWriter out(&codePage);
  writeProfileChildren(tree, out);
  return out.take();
}

}  // namespace vexa
