#pragma once
// A receiver played on the far end of a plug-in's port: it answers the
// plug-in's wake-up string the way the test asks, and sends code bytes on demand.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

#include "vexa/winlib/handle.h"
#include "vexa/winlib/sync.h"

namespace vexa::test {

enum class Answer {
  kIrman,         // "OK" to "IR"
  kSilent,        // nothing
  kWrong,         // "ERR" to "IR"
  kNulSeparated,  // "\0O\0K\0" to "IR"
  kEndless,       // once "IR" came, never stops sending
  kOkLineEnd,     // "OK\r\n" to "IR"
};

class CReceiverSim {
 public:
  explicit CReceiverSim(Answer answer) : m_answer(answer) {}
  ~CReceiverSim() { Stop(); }

  bool Start(const char* port = "\\\\.\\COM6");
  void Stop();
  bool Send(const std::string& bytes);
  int InitsSeen() const { return m_inits; }
  // Holds each answer back this long (a slow receiver).
  void DelayAnswers(DWORD ms) { m_answerDelayMs = ms; }
  std::string Received() const;

 private:
  static DWORD WINAPI ThreadMain(void* self);
  void Run();
  void OnBytes(const char* bytes, DWORD count);
  void Answer();

  const enum Answer m_answer;
  win::CHandle m_port;
  win::CHandle m_thread;
  win::CEvent m_stop;
  std::atomic<int> m_inits{0};
  std::atomic<bool> m_endless{false};
  std::atomic<DWORD> m_answerDelayMs{0};
  mutable std::mutex m_lock;
  std::string m_received;
  size_t m_scanFrom = 0;
};

}  // namespace vexa::test
