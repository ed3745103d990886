#include "vexa/codec/ini_file.h"

#include "vexa/base/file_io.h"
#include "vexa/base/strings.h"

namespace vexa {

namespace {

// GetPrivateProfileString drops one pair of quotes around a value.
std::string unquote(std::string_view v) {
  if (v.size() >= 2 && ((v.front() == '"' && v.back() == '"') || (v.front() == '\'' && v.back() == '\'')))
    v = v.substr(1, v.size() - 2);
  return std::string(v);
}

}  // namespace

CIniFile CIniFile::parse(std::string_view text) {
  CIniFile ini;
  Section* current = nullptr;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view raw = text.substr(start, end - start);
    start = end + 1;
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    const std::string_view line = trim(raw);
    if (!line.empty() && line.front() == '[') {
      const size_t close = line.find(']');
      const std::string_view name = trim(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
      ini.sections_.push_back({std::string(name), {}});
      current = &ini.sections_.back();
      continue;
    }
    const size_t eq = line.find('=');
    Line entry;
    if (!line.empty() && line.front() != ';' && eq != std::string_view::npos) {
      entry.key = std::string(trim(line.substr(0, eq)));
      entry.value = std::string(trim(line.substr(eq + 1)));
    }
    if (entry.key.empty()) entry.raw = std::string(raw);
    if (current)
      current->lines.push_back(std::move(entry));
    else
      ini.preamble_.push_back(std::string(raw));
  }
  ini.reindex();
  return ini;
}

CIniFile CIniFile::load(const std::filesystem::path& file, const ICodePage& codePage) {
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return {};
  return parse(codePage.toUtf8(readFileBytes(file)));
}

void CIniFile::save(const std::filesystem::path& file, const ICodePage& codePage) const {
  writeFileAtomically(file, codePage.fromUtf8(text()));
}

std::string CIniFile::text() const {
  std::string out;
  for (const auto& p : preamble_) out += p + "\r\n";
  for (const auto& s : sections_) {
    out += '[';
    out += s.name;
    out += "]\r\n";
    for (const auto& l : s.lines) {
      if (l.key.empty()) {
        out += l.raw;
      } else {
        out += l.key;
        out += '=';
        out += l.value;
      }
      out += "\r\n";
    }
  }
  return out;
}

void CIniFile::reindex() {
  firstSection_.clear();
  for (size_t i = 0; i < sections_.size(); ++i) firstSection_.emplace(toLower(sections_[i].name), i);
}

const CIniFile::Section* CIniFile::findSection(std::string_view name) const {
  auto it = firstSection_.find(toLower(name));
  return it == firstSection_.end() ? nullptr : &sections_[it->second];
}

CIniFile::Section* CIniFile::findSection(std::string_view name) {
  return const_cast<Section*>(static_cast<const CIniFile*>(this)->findSection(name));
}

CIniFile::Section& CIniFile::sectionFor(std::string_view name) {
  if (Section* s = findSection(name)) return *s;
  sections_.push_back({std::string(name), {}});
  firstSection_.emplace(toLower(name), sections_.size() - 1);
  return sections_.back();
}

bool CIniFile::hasSection(std::string_view section) const { return findSection(section) != nullptr; }

std::vector<std::string> CIniFile::sectionNames() const {
  std::vector<std::string> names;
  names.reserve(sections_.size());
  for (const auto& s : sections_) names.push_back(s.name);
  return names;
}

std::vector<CIniFile::Entry> CIniFile::entries(std::string_view section) const {
  std::vector<Entry> out;
  if (const Section* s = findSection(section))
    for (const auto& l : s->lines)
      if (!l.key.empty()) out.emplace_back(l.key, unquote(l.value));
  return out;
}

std::optional<std::string> CIniFile::find(std::string_view section, std::string_view key) const {
  const Section* s = findSection(section);
  if (!s) return std::nullopt;
  for (const auto& l : s->lines)
    if (!l.key.empty() && iequals(l.key, key)) return unquote(l.value);
  return std::nullopt;
}

std::string CIniFile::getString(std::string_view section, std::string_view key, std::string_view fallback) const {
  auto v = find(section, key);
  return v ? *v : std::string(fallback);
}

int CIniFile::getInt(std::string_view section, std::string_view key, int fallback) const {
  auto v = find(section, key);
  return v ? parseInt(*v) : fallback;
}

void CIniFile::setString(std::string_view section, std::string_view key, std::string_view value) {
  Section& s = sectionFor(section);
  for (auto& l : s.lines)
    if (!l.key.empty() && iequals(l.key, key)) {
      l.value = std::string(value);
      return;
    }
  // New keys go after the section's last key, before trailing blank lines.
  auto at = s.lines.end();
  while (at != s.lines.begin() && (at - 1)->key.empty() && trim((at - 1)->raw).empty()) --at;
  s.lines.insert(at, Line{std::string(key), std::string(value), {}});
}

void CIniFile::setInt(std::string_view section, std::string_view key, long long value) {
  setString(section, key, std::to_string(value));
}

void CIniFile::deleteKey(std::string_view section, std::string_view key) {
  if (Section* s = findSection(section))
    std::erase_if(s->lines, [&](const Line& l) { return !l.key.empty() && iequals(l.key, key); });
}

void CIniFile::deleteSection(std::string_view section) {
  std::erase_if(sections_, [&](const Section& s) { return iequals(s.name, section); });
  reindex();
}

void CIniFile::appendEntries(std::string_view section, const std::vector<Entry>& entries) {
  Section& s = sectionFor(section);
  for (const auto& [k, v] : entries) s.lines.push_back(Line{k, v, {}});
}

}  // namespace vexa
