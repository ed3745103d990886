#pragma once
// Shared pieces of the execution tests: the marker application and a
// stand-in main window that records what the runs send it.
#include <windows.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "vexa/exec/display_request.h"
#include "vexa/exec/exec_messages.h"
#include "support/win/pump.h"
#include "support/win/recording_window.h"

namespace vexa::test {

std::filesystem::path markerApp();
// The marker's command line: title, start marker, close marker, window count, mode.
std::string markerParams(const std::string& title, const std::filesystem::path& start,
                         const std::filesystem::path& close, int windows = 1, const std::string& mode = {});
// Starts the marker directly and waits for its window; the process id.
DWORD startMarker(const std::string& title, const std::filesystem::path& start, const std::filesystem::path& close,
                  int windows = 1, const std::string& mode = {});
HWND findTitled(const std::string& title);
int countTitled(const std::string& title);
// Ends every process that owns a window of that title.
void endProcessesTitled(const std::string& title);
bool processAlive(DWORD pid);

std::string fileText(const std::filesystem::path& file);
int countLines(const std::filesystem::path& file, const std::string& line);
std::string uniqueName(const std::string& base);

// Ends every marker process, also one whose window is gone but which has not
// ended yet: the next test would still find the marker running.
void endMarkerProcesses();

// Ends leftover marker processes however a test ends.
class CMarkerCleanup {
 public:
  explicit CMarkerCleanup(std::string title) : m_title(std::move(title)) {}
  ~CMarkerCleanup() {
    endProcessesTitled(m_title);
    endMarkerProcesses();
  }

 private:
  std::string m_title;
};

// The terminate event back to not signalled: tests share it within the process.
void resetTerminateEvent();
void signalTerminateEvent();

// The stand-in main window that runs report to.
class CTestMainWindow : public CRecordingWindow {
 public:
  CTestMainWindow() { Create(); }
  HWND handle() const { return Handle(); }
};

}  // namespace vexa::test
