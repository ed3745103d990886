// Before windows.h, which would otherwise bring the older sockets header.
#include "vexa/winlib/socket.h"

#include "vexa/shell/win/system_info.h"

#include <cstdio>
#include <vector>

#include "vexa/winlib/module.h"
#include "vexa/winlib/unicode.h"

namespace vexa::shell {

namespace {

std::string fixedVersion(const std::vector<BYTE>& data) {
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &size) || !fixed ||
      size < sizeof(VS_FIXEDFILEINFO) || fixed->dwSignature != VS_FFI_SIGNATURE)
    return {};
  char text[64];
  std::snprintf(text, sizeof text, "%d.%d.%d.%d", static_cast<int>(HIWORD(fixed->dwFileVersionMS)),
                static_cast<int>(LOWORD(fixed->dwFileVersionMS)), static_cast<int>(HIWORD(fixed->dwFileVersionLS)),
                static_cast<int>(LOWORD(fixed->dwFileVersionLS)));
  return text;
}

std::string stringVersion(const std::vector<BYTE>& data) {
  wchar_t* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), L"\\StringFileInfo\\040904b0\\FileVersion", reinterpret_cast<void**>(&value),
                      &length) ||
      !value || length == 0)
    return {};
  return win::toUtf8(std::wstring_view(value, wcsnlen(value, length)));
}

}  // namespace

std::string moduleVersionText(HMODULE module) { return fileVersionText(win::modulePath(module)); }

std::string fileVersionText(const std::filesystem::path& file) {
  const std::wstring path = file.wstring();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return "<unknown>";
  std::vector<BYTE> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return "<unknown>";
  std::string version = fixedVersion(data);
  if (version.empty()) version = stringVersion(data);
  return version.empty() ? "<unknown>" : version;
}

std::string loadedModuleVersion(const std::wstring& moduleName) {
  const HMODULE module = GetModuleHandleW(moduleName.c_str());
  return module ? moduleVersionText(module) : "Not loaded";
}

std::optional<OsVersion> currentOsVersion() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExW(&info)) return std::nullopt;
#pragma GCC diagnostic pop
  OsVersion os;
  os.nt = info.dwPlatformId == VER_PLATFORM_WIN32_NT;
  os.major = info.dwMajorVersion;
  os.minor = info.dwMinorVersion;
  os.build = info.dwBuildNumber;
  os.servicePack = win::toUtf8(info.szCSDVersion);
  os.languageId = GetUserDefaultLangID();
  return os;
}

std::optional<WinsockVersion> currentWinsockVersion() {
  const win::CWinsock winsock(MAKEWORD(1, 1));
  if (!winsock.Started()) return std::nullopt;
  const WSADATA& data = winsock.Data();
  WinsockVersion version;
  version.major = LOBYTE(data.wVersion);
  version.minor = HIBYTE(data.wVersion);
  version.description = data.szDescription;
  version.status = data.szSystemStatus;
  return version;
}

}  // namespace vexa::shell
