#include "vexa/exec/actions/status_text.h"

#include "vexa/base/utf8.h"

namespace vexa {

std::string boundedStatus(std::string text) {
  if (text.size() > kMaxActionStatus) text = std::string(utf8Prefix(text, kMaxActionStatus));
  return text;
}

std::string statusText(std::string_view format, std::initializer_list<std::string_view> texts) {
  std::string out;
  auto next = texts.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's' && next != texts.end()) {
      out += *next++;
      ++i;
      // Stop copying early: a title of megabytes must not be built in full.
      if (out.size() > kMaxActionStatus + 4) break;
    } else {
      out += format[i];
    }
  }
  return boundedStatus(std::move(out));
}

std::string statusText(std::string_view format, std::string_view text) { return statusText(format, {text}); }

}  // namespace vexa
