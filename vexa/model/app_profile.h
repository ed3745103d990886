#pragma once
// Where the program keeps small settings: the registry under the maker's key,
// or a private profile (INI) file. Sections name subkeys joined by backslashes.
#include <string_view>

namespace vexa {

class IAppProfile {
 public:
  virtual ~IAppProfile() = default;
  virtual int readInt(std::string_view section, std::string_view entry, int fallback) const = 0;
  virtual bool writeInt(std::string_view section, std::string_view entry, int value) = 0;
  // Removes the section and everything below it.
  virtual void deleteTree(std::string_view section) = 0;
};

}  // namespace vexa
