// vexanet.dll: the exports the program looks up by name. One server per
// process: the module is the server, so its one object lives as long as the
// module does.
#include <winsock2.h>
#include <windows.h>

#include <cstdint>

#include "modules/vexanet/event_line.h"
#include "modules/vexanet/win/tcp_server.h"

namespace {

vexanet::CTcpServer& server() {
  static vexanet::CTcpServer instance;
  return instance;
}

HMODULE thisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&server), &module);
  return module;
}

std::filesystem::path logFile() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(thisModule(), path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  return std::filesystem::path(path).parent_path() / L"vexanet.log";
}

constexpr uint32_t kLogBit = 2;

}  // namespace

// Exported by plain name through the .def file.
extern "C" {

void WINAPI SetOptions(uint32_t flags) {
  server().SetLog((flags & kLogBit) ? logFile() : std::filesystem::path());
}

// Nonzero on success; on failure the socket error is the thread's last error.
int WINAPI StartServer(const char* bindAddress, int port, HWND mainWindow) {
  (void)mainWindow;  // lines go to clients only; nothing is asked of the program
  const int error = server().Start(bindAddress, port);
  if (error) WSASetLastError(error);
  return error == 0 ? 1 : 0;
}

// -1 with the socket error as last error when the server is not running, an
// argument is missing, or a client had to be dropped (the others still got the line).
int WINAPI SendCommand(const char* command, const char* remote, uint32_t repeat) {
  if (!command || !remote) {
    WSASetLastError(WSAEFAULT);
    return -1;
  }
  if (!server().Running()) {
    SetLastError(WSAENOTSOCK);
    return -1;
  }
  if (const int error = server().Send(vexanet::eventLine(command, remote, repeat))) {
    WSASetLastError(error);
    return -1;
  }
  return 0;
}

void WINAPI StopServer() { server().Stop(); }

}  // extern "C"
