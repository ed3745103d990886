#pragma once
// The connection to the network remote server: a non-blocking stream socket
// whose notifications, the reconnect timer and the wait after starting the
// server program all arrive as messages of one hidden window on the thread
// that made it (the host's user-interface thread), so nothing here blocks or
// locks.
#include <winsock2.h>
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "plugins/lirc/event_line.h"
#include "plugins/lirc/lirc_settings.h"
#include "vexa/winlib/socket.h"
#include "vexa/winlib/handle.h"

namespace vexa::lirc {

inline constexpr const char* kBoxCaption = "WinLIRC PlugIn";
inline constexpr DWORD kServerStartWaitMs = 4000;
inline constexpr int kReceiveBlock = 1000;

class CLircClient {
 public:
  // The fields a connection uses: the dialog's current ones while it exists.
  using FieldsSource = std::function<LircFields()>;

  explicit CLircClient(FieldsSource fields);
  ~CLircClient();
  CLircClient(const CLircClient&) = delete;
  CLircClient& operator=(const CLircClient&) = delete;

  void SetHost(HWND host) { m_host = host; }
  HWND Host() const { return m_host; }
  // Kills the running timer and starts one of the period (seconds; 0: none).
  void RestartReconnectTimer(int seconds);
  // StartMsgLoop and the timer: true while an attempt is under way.
  bool Connect();
  // The Connect button: the server program may be started again.
  void UserConnect();
  // StartMsgLoop: a new session, in which the server program may be started once.
  bool StartSession();
  // EndMsgLoop: closes the socket; the timer makes no attempts until the next connect.
  void Disconnect();
  bool IsConnected() const { return m_connected; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  bool EnsureWindow();
  void Guarded(const std::function<void()>& handler);
  void OnSocket(SOCKET socket, WORD event, WORD error);
  void OnConnectResult(WORD error);
  void OnReadable(WORD error);
  void OnTimer(UINT_PTR id);
  void StartServerProgram(const std::string& path);
  void HandleLine(const std::string& line);
  void Unreadable();
  void CloseSocket();
  void Status(unsigned code, std::string_view text);
  void Box(const char* text, UINT icon);

  FieldsSource m_fields;
  HWND m_window = nullptr;
  HWND m_host = nullptr;
  win::CSocket m_socket;
  bool m_connected = false;
  bool m_connecting = false;
  bool m_wanted = false;  // between a connect and EndMsgLoop
  int m_serverStarts = 0;
  int m_period = 0;
  win::CHandle m_process;
  CLineFramer m_framer;
  CUnreadableLines m_unreadable;
};

}  // namespace vexa::lirc
