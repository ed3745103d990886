#include "vexa/device/lircd_config.h"

#include <charconv>

#include "vexa/base/errors.h"
#include "vexa/base/strings.h"

namespace vexa::device {

namespace {

std::vector<std::string> wordsOf(std::string_view line) {
  // A "#" that starts a word comments out the rest of the line.
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    if (i >= line.size() || line[i] == '#') break;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
    words.emplace_back(line.substr(start, i - start));
  }
  return words;
}

[[noreturn]] void fail(int line, const std::string& what) {
  VEXA_THROW(ArchiveError, "line " + std::to_string(line) + ": " + what);
}

uint64_t number(const std::string& word, int line) {
  uint64_t v = 0;
  if (!parseLircdNumber(word, v)) fail(line, "\"" + word + "\" is not a number");
  return v;
}

bool is(const std::vector<std::string>& w, std::string_view a, std::string_view b) {
  return w.size() >= 2 && iequals(w[0], a) && iequals(w[1], b);
}

class CParser {
 public:
  std::vector<LircdRemote> run(std::string_view text) {
    int lineNo = 0;
    while (!text.empty()) {
      const size_t lf = text.find('\n');
      const std::string_view line = text.substr(0, lf);
      text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
      ++lineNo;
      const auto w = wordsOf(line);
      if (!w.empty()) onWords(w, lineNo);
    }
    if (block_ != Block::None) fail(lineNo, "the file ends inside \"begin " + openName() + "\"");
    return std::move(remotes_);
  }

 private:
  enum class Block { None, Remote, Codes, RawCodes };

  std::string openName() const {
    return block_ == Block::Remote ? "remote" : block_ == Block::Codes ? "codes" : "raw_codes";
  }

  void onWords(const std::vector<std::string>& w, int line) {
    switch (block_) {
      case Block::None:
        if (iequals(w[0], "include")) fail(line, "\"include\" is not supported: import the included file itself");
        if (!is(w, "begin", "remote")) fail(line, "expected \"begin remote\", not \"" + w[0] + "\"");
        remotes_.push_back({});
        remotes_.back().line = line;
        block_ = Block::Remote;
        return;
      case Block::Remote:
        onRemoteWords(w, line);
        return;
      case Block::Codes:
        if (is(w, "end", "codes")) {
          block_ = Block::Remote;
          return;
        }
        onCode(w, line);
        return;
      case Block::RawCodes:
        if (is(w, "end", "raw_codes")) {
          block_ = Block::Remote;
          return;
        }
        onRawWords(w, line);
        return;
    }
  }

  void onRemoteWords(const std::vector<std::string>& w, int line) {
    LircdRemote& r = remotes_.back();
    if (is(w, "end", "remote")) {
      if (r.name.empty()) fail(r.line, "the remote has no name");
      block_ = Block::None;
    } else if (is(w, "begin", "codes")) {
      block_ = Block::Codes;
    } else if (is(w, "begin", "raw_codes")) {
      block_ = Block::RawCodes;
    } else if (iequals(w[0], "begin") || iequals(w[0], "end")) {
      fail(line, "unexpected \"" + w[0] + (w.size() > 1 ? " " + w[1] : std::string()) + "\"");
    } else if (iequals(w[0], "name")) {
      if (w.size() < 2) fail(line, "\"name\" without a name");
      r.name = w[1];
    } else {
      if (w.size() < 2) fail(line, "\"" + w[0] + "\" without a value");
      r.settings.push_back({w[0], {w.begin() + 1, w.end()}, line});
    }
  }

  void onCode(const std::vector<std::string>& w, int line) {
    if (w.size() < 2) fail(line, "button \"" + w[0] + "\" without a code");
    LircdCode c{w[0], {}, line};
    for (size_t i = 1; i < w.size(); ++i) c.codes.push_back(number(w[i], line));
    remotes_.back().codes.push_back(std::move(c));
  }

  void onRawWords(const std::vector<std::string>& w, int line) {
    auto& raw = remotes_.back().rawCodes;
    size_t i = 0;
    if (iequals(w[0], "name")) {
      if (w.size() < 2) fail(line, "\"name\" without a name");
      raw.push_back({w[1], {}, line});
      i = 2;
    }
    for (; i < w.size(); ++i) {
      if (raw.empty()) fail(line, "durations before the first \"name\"");
      const uint64_t v = number(w[i], line);
      if (v == 0 || v > 0x7FFFFFFF) fail(line, "duration \"" + w[i] + "\" is out of range");
      raw.back().durations.push_back(static_cast<uint32_t>(v));
    }
  }

  std::vector<LircdRemote> remotes_;
  Block block_ = Block::None;
};

}  // namespace

const LircdSetting* LircdRemote::find(std::string_view key) const {
  for (const auto& s : settings)
    if (iequals(s.key, key)) return &s;
  return nullptr;
}

bool parseLircdNumber(std::string_view word, uint64_t& value) {
  int base = 10;
  if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
    word.remove_prefix(2);
    base = 16;
  }
  if (word.empty()) return false;
  const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value, base);
  return ec == std::errc() && end == word.data() + word.size();
}

std::vector<LircdRemote> parseLircdConfig(std::string_view text) { return CParser().run(text); }

}  // namespace vexa::device
