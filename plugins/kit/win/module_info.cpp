#include "plugins/kit/win/module_info.h"

#include <vector>

namespace vexa::kit {

HMODULE thisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&thisModule), &module);
  return module;
}

std::string modulePathA() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(thisModule(), path, MAX_PATH);
  return std::string(path, length < MAX_PATH ? length : 0);
}

std::string helpFile(const char* fileName) {
  std::string folder = modulePathA();
  const size_t slash = folder.find_last_of("\\/");
  folder.resize(slash == std::string::npos ? 0 : slash);
  const std::string file = folder + "\\help\\" + fileName;
  return GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES ? std::string() : file;
}

std::string versionString(const char* entry) {
  const std::string path = modulePathA();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return {};
  std::vector<char> data(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, data.data())) return {};
  const std::string query = std::string("\\StringFileInfo\\040904b0\\") + entry;
  char* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
    return {};
  return value;
}

void showAbout(const char* helpFileName, const char* caption) {
  const std::string help = helpFile(helpFileName);
  if (!help.empty() && WinHelpA(nullptr, help.c_str(), HELP_CONTENTS, 0)) return;
  const std::string text = versionString("FileDescription") + "\nVersion " + versionString("FileVersion") + "\n" +
                           versionString("LegalCopyright");
  MessageBoxA(nullptr, text.c_str(), caption, MB_OK | MB_ICONINFORMATION);
}

}  // namespace vexa::kit
