#include "plugins/store/win/preset_file.h"

#include <fstream>
#include <sstream>

namespace vexa::store {

std::vector<std::string> CPresetFile::sectionNames() const {
  std::ifstream in(m_file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return sectionNamesOf(text.str());
}

}  // namespace vexa::store
