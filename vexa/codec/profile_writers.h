#pragma once
// The two file forms written key by key as a sink receives them, so that a
// structure can be saved without building a key tree first. Text reaches
// the file in `codePage`; ASCII passes as it is.
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/base/code_page.h"
#include "vexa/codec/archive.h"
#include "vexa/codec/profile_stream.h"

namespace vexa {

class CBinaryProfileWriter final : public IProfileSink {
 public:
  // Without a stream the bytes stay for take(); with one they go out piece
  // by piece, and finish() sends the rest.
  explicit CBinaryProfileWriter(const ICodePage& codePage, std::ostream* stream = nullptr)
      : codePage_(codePage), stream_(stream) {}

  void reserve(size_t bytes) { out_.reserve(bytes); }
  void beginKey(std::string_view name) override;
  void valueMap() override;
  void value(std::string_view name, std::string_view value) override;
  void endKey() override;
  // The file's bytes, once every key has ended.
  std::string take();
  void finish();

 private:
  void writeText(std::string_view utf8);
  // A key's value map is complete when its first child begins or it ends.
  void finishRecord();

  void send();

  CArchiveWriter out_;
  const ICodePage& codePage_;
  std::ostream* stream_;
  std::vector<uint32_t> children_{0};  // per open level, the root first: children so far
  std::vector<uint32_t> path_;         // the open keys' positions
  bool recordOpen_ = false;
  bool mapOpen_ = false;
  uint64_t pairs_ = 0;
  size_t countAt_ = 0;
};

class CTextProfileWriter final : public IProfileSink {
 public:
  // Without a code page the text stays UTF-8.
  explicit CTextProfileWriter(const ICodePage* codePage) : codePage_(codePage) {}

  void reserve(size_t bytes) { out_.reserve(bytes); }
  void beginKey(std::string_view name) override;
  void valueMap() override {}
  void value(std::string_view name, std::string_view value) override;
  void endKey() override;
  std::string take() { return std::move(out_); }

 private:
  void append(std::string& to, std::string_view utf8) const;

  const ICodePage* codePage_;
  std::string out_;
  std::string path_;                 // the open keys' names joined, in the file's code page
  std::vector<size_t> pathLengths_;  // path_'s length before each open key and its backslash
};

}  // namespace vexa
