#pragma once
// Shared pieces of the execution tests: the marker application, waiting
// while messages are handled, and a stand-in main window that records what
// the runs send it.
#include <windows.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "vexa/exec/display_request.h"
#include "vexa/exec/exec_messages.h"

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

// Waits until `done` holds, handling this thread's messages; false on time-out.
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
void pumpFor(DWORD ms);

std::string fileText(const std::filesystem::path& file);
int countLines(const std::filesystem::path& file, const std::string& line);
std::string uniqueName(const std::string& base);

// Ends leftover marker processes however a test ends.
class CMarkerCleanup {
 public:
  explicit CMarkerCleanup(std::string title) : m_title(std::move(title)) {}
  ~CMarkerCleanup() { endProcessesTitled(m_title); }

 private:
  std::string m_title;
};

// The terminate event back to not signalled: tests share it within the process.
void resetTerminateEvent();
void signalTerminateEvent();

struct ReceivedRequest {
  uint32_t code;
  std::string text;
  const void* object;
  uint32_t repeat;
};

class CTestMainWindow {
 public:
  CTestMainWindow();
  ~CTestMainWindow();
  CTestMainWindow(const CTestMainWindow&) = delete;
  CTestMainWindow& operator=(const CTestMainWindow&) = delete;

  HWND handle() const { return m_window; }

  // Texts as they arrived, and the blocks themselves: kept until the end so
  // that a sender that freed or reused a text after handing it over shows.
  std::vector<std::string> statuses;
  std::vector<char*> statusBlocks;
  std::vector<ReceivedRequest> requests;
  std::vector<ServerRecord> serverRecords;
  int trayFlashes = 0;
  intptr_t selectorAnswer = 1;
  std::optional<CommandSnapshot> selectorReplacement;

  int count(uint32_t code) const;

 private:
  static LRESULT CALLBACK proc(HWND window, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);

  HWND m_window = nullptr;
};

}  // namespace vexa::test
