#include "vexa/presets/ini_profile.h"

#include "vexa/base/strings.h"

namespace vexa {

void CIniProfile::deleteTree(std::string_view section) {
  const std::string below = std::string(section) + "\\";
  for (const std::string& name : file_.sectionNames())
    if (iequals(name, section) || istartsWith(name, below)) file_.deleteSection(name);
}

}  // namespace vexa
