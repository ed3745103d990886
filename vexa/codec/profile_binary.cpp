#include <string>
#include <unordered_map>
#include <vector>

#include "vexa/codec/archive.h"
#include "vexa/codec/profile_codec.h"
#include "vexa/codec/profile_walk.h"

namespace vexa {

namespace {

void writeValueMap(const CProfileKey& key, CArchiveWriter& out, const ICodePage& codePage) {
  if (!key.hasValueMap()) {
    out.writeNullObject();
    return;
  }
  out.writeStringMapTag();
  out.writeCount(key.values().size());
  for (const auto& [name, value] : key.values()) {
    out.writeString(codePage.fromUtf8(name));
    out.writeString(codePage.fromUtf8(value));
  }
}

constexpr uint32_t kSmallMap = 16;

class BinaryReader {
 public:
  BinaryReader(std::string_view bytes, CProfileTree& tree, const ICodePage& codePage)
      : in_(bytes), tree_(tree), codePage_(codePage) {}

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

  std::string readText() { return codePage_.toUtf8(in_.readString()); }

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
  const ICodePage& codePage_;
  std::vector<const CProfileKey*> mapOwners_;  // by object index; classes leave holes
};

}  // namespace

void readProfileBinary(std::string_view bytes, CProfileTree& tree, const ICodePage& codePage) {
  BinaryReader(bytes, tree, codePage).run();
}

std::string writeProfileBinary(const CProfileTree& tree, const ICodePage& codePage) {
  CArchiveWriter out;
  walkProfile(tree, [&](const CProfileKey& key, const std::vector<size_t>& positions) {
    out.writeCount(positions.size());
    for (size_t p : positions) out.writeDword(static_cast<uint32_t>(p));
    out.writeString(codePage.fromUtf8(key.name()));
    writeValueMap(key, out, codePage);
  });
  return out.take();
}

void readProfile(std::string_view bytes, CProfileTree& tree, const ICodePage& codePage) {
  if (looksLikeText(bytes))
    readProfileText(codePage.toUtf8(bytes), tree);
  else
    readProfileBinary(bytes, tree, codePage);
}

std::string writeProfile(const CProfileTree& tree, ProfileEncoding encoding, const ICodePage& codePage) {
  return encoding == ProfileEncoding::Text ? codePage.fromUtf8(writeProfileText(tree))
                                           : writeProfileBinary(tree, codePage);
}

}  // namespace vexa
