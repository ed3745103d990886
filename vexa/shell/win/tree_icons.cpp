#include "vexa/shell/win/tree_icons.h"

#include <shellapi.h>

#include "vexa/model/app_library.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/winlib/unicode.h"

namespace vexa::shell {

bool applicationFileFound(std::string_view fileName) {
  const std::wstring name = win::toWide(fileName);
  DWORD error = ERROR_SUCCESS;
  if (name.find_first_of(L"\\/") != std::wstring::npos) {
    if (GetFileAttributesW(name.c_str()) == INVALID_FILE_ATTRIBUTES) error = GetLastError();
  } else {
    wchar_t found[MAX_PATH];
    if (SearchPathW(nullptr, name.c_str(), nullptr, MAX_PATH, found, nullptr) == 0) error = GetLastError();
  }
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

namespace {

HICON shellIcon(int index) {
  HICON icon = nullptr;
  ExtractIconExW(L"shell32.dll", index, nullptr, &icon, 1);
  return icon;
}

void addIcon(HIMAGELIST list, HICON icon) {
  ImageList_AddIcon(list, icon ? icon : LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION)));
  if (icon) DestroyIcon(icon);
}

}  // namespace

CTreeIcons::CTreeIcons() {
  m_list = ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), ILC_COLOR32 | ILC_MASK, 8, 8);
  // Slots 0..6: remote, command, invalid command, two spare, folder not found, special folder.
  for (int shellIndex : {12, 1, 109, 3, 4, 109, 15}) addIcon(m_list, shellIcon(shellIndex));
}

CTreeIcons::~CTreeIcons() {
  if (m_list) ImageList_Destroy(m_list);
}

HICON CTreeIcons::ApplicationIcon(std::string_view fileName) {
  HICON icon = nullptr;
  if (!fileName.empty() && ExtractIconExW(win::toWide(fileName).c_str(), 0, nullptr, &icon, 1) > 0 && icon) return icon;
  if ((icon = shellIcon(2))) return icon;
  return CopyIcon(LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION)));
}

int CTreeIcons::FolderSlot(const APPFOLDER& folder) {
  HICON icon = ApplicationIcon(folder.fileName());
  auto [it, fresh] = m_folderSlots.try_emplace(&folder, -1);
  // The folder keeps its slot; later icons replace it in place.
  it->second = ImageList_ReplaceIcon(m_list, it->second, icon);
  DestroyIcon(icon);
  return it->second;
}

int CTreeIcons::SlotOf(const CCmdItem& item) {
  switch (item.kind()) {
    case ItemKind::Command: return isCommandValid(*item.command()) ? kCommand : kInvalidCommand;
    case ItemKind::Folder: {
      const APPFOLDER& folder = *item.folder();
      if (isSpecialFolderName(folder.name)) return kSpecialFolder;
      if (!isFolderValid(folder, applicationFileFound)) return kFolderNotFound;
      return FolderSlot(folder);
    }
    default: return kRemote;
  }
}

}  // namespace vexa::shell
