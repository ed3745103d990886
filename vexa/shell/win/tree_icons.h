#pragma once
// The command tree's item icons: fixed slots for remotes, commands and the
// special folder, and one slot per application folder holding its
// executable's icon.
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string_view>

namespace vexa {
class APPFOLDER;
class CCmdItem;
}  // namespace vexa

namespace vexa::shell {

// A file name as the validity check sees it: a path is looked for in its
// folder, a bare name along the search path; only "not found" counts.
bool applicationFileFound(std::string_view fileName);

class CTreeIcons {
 public:
  enum Slot : int { kRemote = 0, kCommand = 1, kInvalidCommand = 2, kFolderNotFound = 5, kSpecialFolder = 6 };

  CTreeIcons();
  ~CTreeIcons();
  CTreeIcons(const CTreeIcons&) = delete;
  CTreeIcons& operator=(const CTreeIcons&) = delete;

  HIMAGELIST List() const { return m_list; }
  // The slot for the item now; an application folder's icon is (re)loaded.
  int SlotOf(const CCmdItem& item);
  // The executable's first icon, else shell32's icon 2, else the standard one. Owned by the caller.
  static HICON ApplicationIcon(std::string_view fileName);

 private:
  int FolderSlot(const APPFOLDER& folder);

  HIMAGELIST m_list = nullptr;
  std::map<const APPFOLDER*, int> m_folderSlots;
};

}  // namespace vexa::shell
