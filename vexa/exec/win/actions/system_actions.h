#pragma once
// The effects that end the session or change the machine. The program
// uses CWindowsSystemActions; tests put a recording double in its place.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/exec/actions/display_mode_text.h"

namespace vexa::exec {

struct SuspendResult {
  bool ok = false;
  DWORD error = 0;
};

struct DialResult {
  enum class Outcome { NoService, NoEntry, Failed, Connected };
  Outcome outcome = Outcome::NoService;
  std::string error;  // the dial-up service's text of a failure
};

struct HangUpResult {
  enum class Outcome { NoService, EnumerationFailed, Failed, Done };
  Outcome outcome = Outcome::NoService;
  std::string error;
};

class ISystemActions {
 public:
  virtual ~ISystemActions() = default;
  // ExitWindowsEx with the shutdown type; false when refused.
  virtual bool exitWindows(uint32_t type) = 0;
  virtual SuspendResult suspend(bool hibernate) = 0;
  // Monitor power off through a broadcast; false when not delivered, and
  // `available` false when the system lacks the broadcast entry point.
  virtual bool displayOff(bool& available) = 0;
  // The modes of the primary display, in the driver's order.
  virtual std::vector<DisplayMode> displayModes() = 0;
  virtual bool applyDisplayMode(const DisplayMode& mode) = 0;
  // The TV-out value of the display driver's key; false when it cannot be written.
  virtual bool writeTvOut(uint32_t setting) = 0;
  virtual DialResult dial(std::string_view entry) = 0;
  virtual HangUpResult hangUpAll() = 0;
  // Phone-book entries; none when dial-up is missing.
  virtual std::vector<std::string> dialEntries(bool& available) = 0;
};

class CWindowsSystemActions final : public ISystemActions {
 public:
  // Dial-up comes from `dialUpLibrary`, loaded at each call.
  explicit CWindowsSystemActions(std::wstring dialUpLibrary = L"rasapi32.dll")
      : m_dialUpLibrary(std::move(dialUpLibrary)) {}
  bool exitWindows(uint32_t type) override;
  SuspendResult suspend(bool hibernate) override;
  bool displayOff(bool& available) override;
  std::vector<DisplayMode> displayModes() override;
  bool applyDisplayMode(const DisplayMode& mode) override;
  bool writeTvOut(uint32_t setting) override;
  DialResult dial(std::string_view entry) override;
  HangUpResult hangUpAll() override;
  std::vector<std::string> dialEntries(bool& available) override;

 private:
  std::wstring m_dialUpLibrary;
};

}  // namespace vexa::exec
