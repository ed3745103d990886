#include "vexa/winlib/shell_folders.h"

#include <windows.h>
#include <shlobj.h>

#include "vexa/winlib/module.h"

namespace vexa::win {

std::optional<std::filesystem::path> appDataFolder() {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)) ||
      path[0] == L'\0') {
    return std::nullopt;
  }
  return std::filesystem::path(path);
}

std::filesystem::path programFolder() { return modulePath().parent_path(); }

}  // namespace vexa::win
