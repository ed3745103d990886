#pragma once
// The receiver's vendor driver, when its setup registered one: two libraries
// whose numbered entry points open the driver, find the receiver and attach a
// window that then receives the key events as messages.
#include <windows.h>

#include <array>

#include "vexa/winlib/module.h"

namespace vexa::padrem {

class CVendorDriver {
 public:
  CVendorDriver() = default;
  ~CVendorDriver() { Release(); }
  CVendorDriver(const CVendorDriver&) = delete;
  CVendorDriver& operator=(const CVendorDriver&) = delete;

  // Loads the libraries from the registered folder and opens the driver;
  // false (and nothing held) when there is no driver.
  bool Open();
  bool IsOpen() const { return m_open; }
  bool FindReceiver();
  bool Attach(HWND window, UINT message);
  void Detach();
  // Closes the driver and unloads its libraries.
  void Release();

 private:
  static constexpr int kFirstOrdinal = 100, kEntries = 14;
  FARPROC Entry(int ordinal) const { return m_entries[static_cast<size_t>(ordinal - kFirstOrdinal)]; }

  win::CModule m_driver;
  win::CModule m_remote;
  std::array<FARPROC, kEntries> m_entries{};
  bool m_open = false;
  HANDLE m_receiver = nullptr;
  HANDLE m_attachment = nullptr;
};

}  // namespace vexa::padrem
