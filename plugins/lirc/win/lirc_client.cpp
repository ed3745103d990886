#include "plugins/lirc/win/lirc_client.h"

#include <shellapi.h>

#include "plugins/kit/win/delivery.h"
#include "plugins/kit/win/module_info.h"
#include "vexa/device/plugin_abi.h"

namespace vexa::lirc {

namespace {

constexpr UINT kSocketMessage = WM_APP + 1;
constexpr UINT_PTR kReconnectTimer = 1;
constexpr UINT_PTR kServerStartTimer = 2;
constexpr const char* kWindowClass = "VexaLircClient";

using abi::MainCode::kDeviceNotInitialised;
using abi::MainCode::kDeviceReady;
using abi::MainCode::kInitialising;
using abi::MainCode::kTemporaryStatus;

// The folder part of a program path, empty when it has none.
std::string folderOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

unsigned long addressOf(const std::string& host) {
  unsigned long address = inet_addr(host.c_str());
  if (address != INADDR_NONE) return address;
  if (const hostent* entry = gethostbyname(host.c_str()); entry && entry->h_addr_list[0])
    return *reinterpret_cast<const unsigned long*>(entry->h_addr_list[0]);
  return INADDR_NONE;
}

}  // namespace

CLircClient::CLircClient(FieldsSource fields) : m_fields(std::move(fields)) {}

CLircClient::~CLircClient() {
  CloseSocket();
  if (m_window) DestroyWindow(m_window);
  // The class lives in this module, which may be unloaded and loaded again elsewhere.
  UnregisterClassA(kWindowClass, kit::thisModule());
}

bool CLircClient::EnsureWindow() {
  if (m_window) return true;
  WNDCLASSA wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = kit::thisModule();
  wc.lpszClassName = kWindowClass;
  RegisterClassA(&wc);  // fails harmlessly when a second client registered it already
  m_window = CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, kit::thisModule(), this);
  return m_window != nullptr;
}

LRESULT CALLBACK CLircClient::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
  }
  auto* self = reinterpret_cast<CLircClient*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self && msg == kSocketMessage) {
    self->Guarded([&] { self->OnSocket(static_cast<SOCKET>(wp), WSAGETSELECTEVENT(lp), WSAGETSELECTERROR(lp)); });
    return 0;
  }
  if (self && msg == WM_TIMER) {
    self->Guarded([&] { self->OnTimer(wp); });
    return 0;
  }
  if (self && msg == WM_NCDESTROY) self->m_window = nullptr;
  return DefWindowProcA(hwnd, msg, wp, lp);
}

// A failure nobody expected leaves the connection in an unknown state: the
// host process ends rather than act on it.
void CLircClient::Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (...) {
    ExitProcess(0xFFFFFFFF);
  }
}

void CLircClient::Status(unsigned code, std::string_view text) { kit::sendStatus(m_host, code, text); }

void CLircClient::Box(const char* text, UINT icon) { MessageBoxA(m_host, text, kBoxCaption, MB_OK | icon); }

void CLircClient::CloseSocket() {
  m_socket.Close();
  m_framer.reset();
}

void CLircClient::RestartReconnectTimer(int seconds) {
  m_period = seconds;
  if (!EnsureWindow()) return;
  KillTimer(m_window, kReconnectTimer);
  if (seconds > 0) SetTimer(m_window, kReconnectTimer, static_cast<UINT>(seconds) * 1000u, nullptr);
}

bool CLircClient::Connect() {
  CloseSocket();
  m_connected = false;
  m_connecting = true;
  m_wanted = true;
  Status(kInitialising, "Connecting to server...");
  if (!EnsureWindow() || !m_socket.Open()) {
    Box("Error creating client socket.", MB_ICONERROR);
    Status(kDeviceNotInitialised, "A socket error occured");
    m_connecting = false;
    return false;
  }
  const LircFields fields = m_fields();
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<u_short>(fields.port));
  to.sin_addr.s_addr = addressOf(fields.address);
  WSAAsyncSelect(m_socket.Get(), m_window, kSocketMessage,
                 FD_READ | FD_WRITE | FD_OOB | FD_ACCEPT | FD_CONNECT | FD_CLOSE);
  if (connect(m_socket.Get(), reinterpret_cast<const sockaddr*>(&to), sizeof to) == SOCKET_ERROR &&
      WSAGetLastError() != WSAEWOULDBLOCK) {
    Box("Error connecting to server", MB_ICONERROR);
    Status(kDeviceNotInitialised, "Could not connect to server");
    CloseSocket();
    m_connecting = false;
    return false;
  }
  return true;
}

void CLircClient::UserConnect() {
  Status(kInitialising, {});
  m_serverStarts = 0;
  Connect();
}

bool CLircClient::StartSession() {
  m_serverStarts = 0;
  return Connect();
}

void CLircClient::Disconnect() {
  m_wanted = false;
  if (m_window) KillTimer(m_window, kServerStartTimer);
  CloseSocket();
  m_connected = false;
  m_connecting = false;
}

void CLircClient::OnSocket(SOCKET socket, WORD event, WORD error) {
  // Notifications still queued for a socket closed since are stale.
  if (!m_socket.IsValid() || socket != m_socket.Get()) return;
  switch (event) {
    case FD_CONNECT:
      OnConnectResult(error);
      break;
    case FD_READ:
      OnReadable(error);
      break;
    case FD_CLOSE:
      Status(kDeviceNotInitialised, "Not connected to server");
      m_connecting = false;
      m_connected = false;
      CloseSocket();
      break;
    default:
      break;
  }
}

void CLircClient::OnConnectResult(WORD error) {
  m_connecting = false;
  if (error == 0) {
    Status(kDeviceReady, "Connected to server");
    m_connected = true;
    return;
  }
  Status(kDeviceNotInitialised, "Not connected to server");
  CloseSocket();
  m_connected = false;
  const LircFields fields = m_fields();
  if (fields.autoStart && !fields.path.empty() && m_serverStarts == 0) StartServerProgram(fields.path);
}

// The server gets a few seconds to open its port; the wait runs as a timer
// so that the user-interface thread goes on.
void CLircClient::StartServerProgram(const std::string& path) {
  Status(kTemporaryStatus, "Executing WinLIRC...");
  const std::string folder = folderOf(path);
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.hwnd = m_host;
  info.lpVerb = "open";
  info.lpFile = path.c_str();
  info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExA(&info)) {
    Status(kDeviceNotInitialised, "Could not execute WinLIRC");
    return;
  }
  m_process.Attach(info.hProcess);
  ++m_serverStarts;
  SetTimer(m_window, kServerStartTimer, kServerStartWaitMs, nullptr);
}

void CLircClient::OnReadable(WORD error) {
  if (error != 0) {
    Box("Network connection failed.", MB_ICONERROR);
    Status(kDeviceNotInitialised, "Not connected to server");
    CloseSocket();
    m_connected = false;
    return;
  }
  char block[kReceiveBlock];
  const int got = recv(m_socket.Get(), block, sizeof block, 0);
  if (got <= 0) return;
  // Framed in full before any line is handled: a box below runs a nested
  // message loop in which the next receive may already arrive.
  CLineFramer::Result framed = m_framer.feed(std::string_view(block, static_cast<size_t>(got)));
  for (size_t i = 0; i < framed.overlong; ++i) Unreadable();
  for (const std::string& line : framed.lines) HandleLine(line);
}

void CLircClient::HandleLine(const std::string& line) {
  if (const auto event = parseEventLine(line)) {
    kit::deliverCommand(m_host, event->remote, event->button, event->repeat);
    return;
  }
  Unreadable();
}

void CLircClient::Unreadable() {
  if (m_unreadable.onUnreadable() == CUnreadableLines::Action::Count) {
    Status(kTemporaryStatus, m_unreadable.statusText());
    return;
  }
  Box(std::string(kMsgFormatNotSupported).c_str(), MB_ICONWARNING);
  m_unreadable.boxClosed();
}

void CLircClient::OnTimer(UINT_PTR id) {
  KillTimer(m_window, id);
  if (id == kServerStartTimer) {
    m_process.Close();
    if (!m_wanted) return;
    Status(kInitialising, "Connecting to server...");
    Connect();
    return;
  }
  if (id != kReconnectTimer) return;
  if (m_wanted && !m_connected && !m_connecting) {
    Status(kInitialising, "Connecting to server...");
    CloseSocket();
    Connect();
  }
  if (m_period > 0) SetTimer(m_window, kReconnectTimer, static_cast<UINT>(m_period) * 1000u, nullptr);
}

}  // namespace vexa::lirc
