#pragma once
// The wizard's sampling worker: reads the GPIO data every 100 ms and sends
// each value to a page (0x7FFF, wParam 0, lParam value) until the named event
// "TermIRSetupThread" is set or the page is gone; resetting the event is its
// last act, which is how the page learns that it has ended.
#include <windows.h>

#include <functional>

#include "vexa/winlib/handle.h"
#include "vexa/winlib/sync.h"

namespace vexa::tunerbox {

class CSamplingThread {
 public:
  using Read = std::function<uint32_t()>;
  explicit CSamplingThread(Read read) : m_read(std::move(read)) {}
  ~CSamplingThread() { Stop(); }
  CSamplingThread(const CSamplingThread&) = delete;
  CSamplingThread& operator=(const CSamplingThread&) = delete;

  bool Start(HWND page);
  // Waits for the acknowledgement while this thread keeps answering the
  // worker's messages; bounded, so a stuck worker cannot hang the wizard.
  void Stop();
  bool Running() const { return m_thread.IsValid(); }

 private:
  static DWORD WINAPI Main(void* self);

  Read m_read;
  HWND m_page = nullptr;
  win::CEvent m_terminate;
  win::CHandle m_thread;
};

}  // namespace vexa::tunerbox
