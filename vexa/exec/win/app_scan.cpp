#include "vexa/exec/win/app_scan.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "vexa/base/strings.h"
#include "vexa/exec/win/com_scope.h"
#include "vexa/winlib/reg_key.h"
#include "vexa/winlib/system_code_page.h"
#include "vexa/winlib/unicode.h"

namespace vexa::exec {

namespace {

constexpr const wchar_t* kShellFoldersKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

template <class T>
class CComPtr {
 public:
  CComPtr() = default;
  ~CComPtr() {
    if (m_p) m_p->Release();
  }
  CComPtr(const CComPtr&) = delete;
  CComPtr& operator=(const CComPtr&) = delete;
  T* operator->() const { return m_p; }
  T** put() { return &m_p; }
  explicit operator bool() const { return m_p != nullptr; }

 private:
  T* m_p = nullptr;
};

std::optional<ShortcutTarget> resolveShortcut(const std::filesystem::path& file) {
  CComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(link.put()))))
    return std::nullopt;
  CComPtr<IPersistFile> persist;
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(persist.put()))) ||
      FAILED(persist->Load(file.c_str(), STGM_READ)))
    return std::nullopt;
  wchar_t target[MAX_PATH] = {};
  WIN32_FIND_DATAW data{};
  if (link->GetPath(target, MAX_PATH, &data, SLGP_SHORTPATH) != S_OK || !target[0]) return std::nullopt;
  return ShortcutTarget{win::toUtf8(target), win::toUtf8(data.cFileName),
                        GetFileAttributesW(target) != INVALID_FILE_ATTRIBUTES};
}

std::optional<HKEY> rootKey(std::string_view name) {
  if (iequals(name, "HKEY_CLASSES_ROOT")) return HKEY_CLASSES_ROOT;
  if (iequals(name, "HKEY_CURRENT_USER")) return HKEY_CURRENT_USER;
  if (iequals(name, "HKEY_LOCAL_MACHINE")) return HKEY_LOCAL_MACHINE;
  if (iequals(name, "HKEY_USERS")) return HKEY_USERS;
  if (iequals(name, "HKEY_CURRENT_CONFIG")) return HKEY_CURRENT_CONFIG;
  return std::nullopt;
}

}  // namespace

std::optional<std::vector<std::string>> appPathKeyNames() {
  win::CRegKey key;
  if (!key.Open(HKEY_LOCAL_MACHINE, win::toWide(kAppPathsKey), KEY_READ)) return std::nullopt;
  std::vector<std::string> names;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD length = 256;
    const LONG r = RegEnumKeyExW(key.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r == ERROR_SUCCESS) names.push_back(win::toUtf8(std::wstring_view(name, length)));
    else if (r != ERROR_MORE_DATA) break;
  }
  return names;
}

std::vector<std::filesystem::path> startMenuFolders() {
  std::vector<std::filesystem::path> folders;
  win::CRegKey shellFolders;
  if (shellFolders.Open(HKEY_CURRENT_USER, kShellFoldersKey, KEY_READ))
    if (auto user = shellFolders.QueryString(L"Start Menu"); user && !user->empty()) folders.emplace_back(*user);
  wchar_t common[MAX_PATH] = {};
  if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_COMMON_STARTMENU, nullptr, SHGFP_TYPE_CURRENT, common)) && common[0])
    folders.emplace_back(common);
  return folders;
}

void scanShortcuts(const std::filesystem::path& folder, std::vector<ShortcutTarget>& targets) {
  std::error_code ec;
  std::vector<std::filesystem::path> subfolders, shortcuts;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_directory(ec)) subfolders.push_back(it->path());
    else if (iequals(win::toUtf8(it->path().extension().wstring()), ".lnk")) shortcuts.push_back(it->path());
  }
  for (const auto& sub : subfolders) scanShortcuts(sub, targets);
  for (const auto& file : shortcuts)
    if (auto target = resolveShortcut(file)) targets.push_back(std::move(*target));
}

bool buildLocationsFile(const std::filesystem::path& programFolder,
                        const std::vector<std::filesystem::path>& startMenus) {
  const std::filesystem::path apps = programFolder / std::string(kAppsFolder);
  std::error_code ec;
  std::filesystem::create_directories(apps, ec);
  const auto keys = appPathKeyNames();
  if (!keys) return false;
  std::vector<ShortcutTarget> targets;
  {
    CComScope com;
    for (const auto& menu : startMenus) scanShortcuts(menu, targets);
  }
  // Written whole and renamed over the old file.
  buildLocations(*keys, targets).save(apps / std::string(kLocationsFile), win::CSystemCodePage());
  return true;
}

bool buildLocationsFile(const std::filesystem::path& programFolder) {
  return buildLocationsFile(programFolder, startMenuFolders());
}

RegistryReader registryReader() {
  return [](std::string_view root, std::string_view key, std::string_view value) -> std::optional<std::string> {
    const auto hkey = rootKey(root);
    if (!hkey) return std::nullopt;
    win::CRegKey opened;
    if (!opened.Open(*hkey, win::toWide(key), KEY_READ)) return std::nullopt;
    const auto text = opened.QueryString(win::toWide(value));
    if (!text) return std::nullopt;
    return win::toUtf8(*text);
  };
}

}  // namespace vexa::exec
