#pragma once
#include <string>
#include <string_view>

namespace vexa {

// Names are compared case-insensitively in ASCII only: configuration files
// carry bytes, and the same rule must hold on every platform.
char asciiLower(char c);
std::string toLower(std::string_view s);
bool iequals(std::string_view a, std::string_view b);
int icompare(std::string_view a, std::string_view b);
bool istartsWith(std::string_view s, std::string_view prefix);

// Like atoi: leading blanks, optional sign, digits; anything else reads as 0.
// Out-of-range values saturate instead of invoking undefined behaviour.
long long parseInteger(std::string_view s);
int parseInt(std::string_view s);

std::string_view trim(std::string_view s);

// "%s_%d"
std::string numberedName(std::string_view base, int counter);

}  // namespace vexa
