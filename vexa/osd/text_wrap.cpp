#include "vexa/osd/text_wrap.h"

namespace vexa::osd {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool continues(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::string_view trimRight(std::string_view s) {
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The longest start of `word` that fits, at least one whole character.
size_t fittingPrefix(std::string_view word, int width, const TextMeasure& measure) {
  size_t best = 0;
  for (size_t end = 1; end <= word.size(); ++end) {
    if (end < word.size() && continues(word[end])) continue;
    if (best > 0 && measure(word.substr(0, end)) > width) break;
    best = end;
  }
  return best;
}

void wrapParagraph(std::string_view paragraph, int width, const TextMeasure& measure, std::vector<std::string>& out) {
  const size_t before = out.size();
  std::string line;
  size_t pos = 0;
  const auto flush = [&] {
    out.emplace_back(trimRight(line));
    line.clear();
  };
  while (pos < paragraph.size()) {
    size_t start = pos;
    while (start < paragraph.size() && isBlank(paragraph[start])) ++start;
    size_t end = start;
    while (end < paragraph.size() && !isBlank(paragraph[end])) ++end;
    if (start == end) break;
    std::string_view word = paragraph.substr(start, end - start);
    const std::string candidate = line.empty() ? std::string(word) : line + std::string(paragraph.substr(pos, end - pos));
    if (measure(candidate) <= width) {
      line = candidate;
      pos = end;
      continue;
    }
    if (!line.empty()) {
      flush();
      pos = start;
      continue;
    }
    const size_t cut = fittingPrefix(word, width, measure);
    line = std::string(word.substr(0, cut));
    flush();
    pos = start + cut;
  }
  // A paragraph without words is an empty line of its own.
  if (!line.empty() || out.size() == before) flush();
}

}  // namespace

std::vector<std::string> wrapText(std::string_view text, int width, const TextMeasure& measure) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    wrapParagraph(text.substr(pos, end - pos), width, measure, lines);
    if (end == text.size()) break;
    // "\r\n" is one break.
    pos = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

}  // namespace vexa::osd
