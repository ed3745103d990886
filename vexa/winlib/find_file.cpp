#include "vexa/winlib/find_file.h"

namespace vexa::win {

CFindFile::CFindFile(const std::filesystem::path& pattern) {
  m_search = FindFirstFileW(pattern.c_str(), &m_entry);
  m_found = m_search != INVALID_HANDLE_VALUE;
}

CFindFile::~CFindFile() {
  if (m_search != INVALID_HANDLE_VALUE) FindClose(m_search);
}

bool CFindFile::Next() {
  m_found = m_found && FindNextFileW(m_search, &m_entry) != FALSE;
  return m_found;
}

}  // namespace vexa::win
