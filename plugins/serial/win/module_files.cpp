#include "plugins/serial/win/module_files.h"

#include <vector>

namespace vexa::serial {

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

std::string helpFile() {
  std::string folder = modulePathA();
  folder.resize(folder.find_last_of("\\/") == std::string::npos ? 0 : folder.find_last_of("\\/"));
  const std::string file = folder + "\\help\\Serial.hlp";
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

}  // namespace vexa::serial
