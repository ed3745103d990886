#pragma once
// An initialisation file that behaves like the Windows private-profile
// functions: section and key names are case-insensitive, the first match
// wins, and lines the program does not own (comments, blank lines, unknown
// keys) survive a rewrite. The document is UTF-8; the file on disk is in the
// code page that load and save are given.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "vexa/base/code_page.h"

namespace vexa {

class CIniFile {
 public:
  using Entry = std::pair<std::string, std::string>;

  CIniFile() = default;
  static CIniFile parse(std::string_view text);
  // A missing file is an empty document; an unreadable one throws FileError.
  static CIniFile load(const std::filesystem::path& file, const ICodePage& codePage);
  void save(const std::filesystem::path& file, const ICodePage& codePage) const;  // atomic replace
  std::string text() const;

  bool hasSection(std::string_view section) const;
  std::vector<std::string> sectionNames() const;
  // Key/value pairs of the first section of that name, in file order.
  std::vector<Entry> entries(std::string_view section) const;

  std::optional<std::string> find(std::string_view section, std::string_view key) const;
  std::string getString(std::string_view section, std::string_view key, std::string_view fallback = {}) const;
  // Like GetPrivateProfileInt: missing gives the fallback, text gives 0.
  int getInt(std::string_view section, std::string_view key, int fallback) const;

  void setString(std::string_view section, std::string_view key, std::string_view value);
  void setInt(std::string_view section, std::string_view key, long long value);
  void deleteKey(std::string_view section, std::string_view key);
  void deleteSection(std::string_view section);
  // Appends a section (or adds to the first of that name) without searching
  // keys: for writers that produce a whole section at once.
  void appendEntries(std::string_view section, const std::vector<Entry>& entries);

 private:
  struct Line {
    std::string key;    // empty for lines that are not "key=value"
    std::string value;
    std::string raw;    // kept verbatim for other lines
  };
  struct Section {
    std::string name;
    std::vector<Line> lines;
  };

  const Section* findSection(std::string_view name) const;
  Section* findSection(std::string_view name);
  Section& sectionFor(std::string_view name);
  void reindex();

  std::vector<std::string> preamble_;
  std::vector<Section> sections_;
  std::unordered_map<std::string, size_t> firstSection_;  // lower-cased name -> index
};

}  // namespace vexa
