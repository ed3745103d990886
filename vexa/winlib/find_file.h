#pragma once
// A directory search (FindFirstFile and its neighbours) that closes itself.
#include <windows.h>

#include <filesystem>

namespace vexa::win {

class CFindFile {
 public:
  // Starts the search for `pattern` ("folder\*.dll"); Found() says whether anything matched.
  explicit CFindFile(const std::filesystem::path& pattern);
  ~CFindFile();
  CFindFile(const CFindFile&) = delete;
  CFindFile& operator=(const CFindFile&) = delete;

  bool Found() const { return m_found; }
  // The current entry; valid while Found().
  const WIN32_FIND_DATAW& Entry() const { return m_entry; }
  bool IsFolder() const { return (m_entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
  // Moves to the next entry; false (and Found() false) at the end.
  bool Next();

 private:
  HANDLE m_search = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAW m_entry{};
  bool m_found = false;
};

}  // namespace vexa::win
