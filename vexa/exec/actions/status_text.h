#pragma once
// Status texts of actions: a format with "%s" (and "%d") places, always cut
// to the 500-byte limit on a whole character, whatever the inserted texts.
#include <string>
#include <string_view>

namespace vexa {

inline constexpr size_t kMaxActionStatus = 500;

// `format` with each "%s" replaced by the next of `texts`, bounded.
std::string statusText(std::string_view format, std::initializer_list<std::string_view> texts);
std::string statusText(std::string_view format, std::string_view text);
std::string boundedStatus(std::string text);

}  // namespace vexa
