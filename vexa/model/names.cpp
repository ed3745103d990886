#include "vexa/model/names.h"

#include "vexa/base/strings.h"

namespace vexa {

bool hasReservedChar(std::string_view name) { return name.find_first_of(kReservedChars) != std::string_view::npos; }

bool isSpecialFolderName(std::string_view name) { return iequals(name, kNoRunningApplications); }

std::string makeUniqueName(std::string_view wanted, const std::function<bool(std::string_view)>& taken) {
  if (!taken(wanted)) return std::string(wanted);
  for (int counter = 1;; ++counter) {
    std::string candidate = numberedName(wanted, counter);
    if (!taken(candidate)) return candidate;
  }
}

}  // namespace vexa
