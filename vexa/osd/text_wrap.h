#pragma once
// Breaking the popup's text into lines: at carriage returns and line feeds,
// then between words to fit a width.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::osd {

// The width of a UTF-8 text as the window would draw it.
using TextMeasure = std::function<int(std::string_view)>;

// Lines of at most `width` (a word wider than that alone is cut between
// characters, never inside one); trailing blanks and empty last lines are
// dropped.
std::vector<std::string> wrapText(std::string_view text, int width, const TextMeasure& measure);

}  // namespace vexa::osd
