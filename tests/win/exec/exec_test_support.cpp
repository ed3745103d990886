#include "exec_test_support.h"

#include <tlhelp32.h>

#include <fstream>
#include <sstream>

#include "vexa/device/plugin_abi.h"
#include "vexa/exec/exec_names.h"
#include "vexa/winlib/handle.h"
#include "vexa/winlib/module.h"
#include "vexa/winlib/unicode.h"
#include "vexa/base/program_messages.h"

namespace vexa::test {

std::filesystem::path markerApp() { return win::modulePath().parent_path() / "marker_app.exe"; }

std::string markerParams(const std::string& title, const std::filesystem::path& start,
                         const std::filesystem::path& close, int windows, const std::string& mode) {
  std::string p = "\"" + title + "\" \"" + win::toUtf8(start.wstring()) + "\" \"" + win::toUtf8(close.wstring()) +
                  "\" " + std::to_string(windows);
  if (!mode.empty()) p += " " + mode;
  return p;
}

HWND findTitled(const std::string& title) { return FindWindowW(nullptr, win::toWide(title).c_str()); }

namespace {

struct TitleCount {
  std::wstring title;
  int n = 0;
};

BOOL CALLBACK countIfTitled(HWND w, LPARAM p) {
  auto& c = *reinterpret_cast<TitleCount*>(p);
  wchar_t text[256] = {};
  GetWindowTextW(w, text, 256);
  c.n += c.title == text;
  return TRUE;
}

}  // namespace

int countTitled(const std::string& title) {
  TitleCount count{win::toWide(title)};
  EnumWindows(countIfTitled, reinterpret_cast<LPARAM>(&count));
  return count.n;
}

DWORD startMarker(const std::string& title, const std::filesystem::path& start, const std::filesystem::path& close,
                  int windows, const std::string& mode) {
  std::wstring line = L"\"" + markerApp().wstring() + L"\" " + win::toWide(markerParams(title, start, close, windows, mode));
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 0;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  pumpUntil([&] { return countTitled(title) == windows; }, 10000);
  return pi.dwProcessId;
}

void endProcessesTitled(const std::string& title) {
  for (int i = 0; i < 8; ++i) {
    HWND w = findTitled(title);
    if (!w) return;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    win::CHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
    if (!process) return;
    TerminateProcess(process.Get(), 9);
    process.Wait(5000);
  }
}

void endMarkerProcesses() {
  const HANDLE all = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (all == INVALID_HANDLE_VALUE) return;
  const win::CHandle snapshot(all);
  const std::wstring image = markerApp().filename().wstring();
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
    if (_wcsicmp(entry.szExeFile, image.c_str()) != 0) continue;
    win::CHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID));
    if (!process) continue;
    TerminateProcess(process.Get(), 9);
    process.Wait(5000);
  }
}

bool processAlive(DWORD pid) {
  win::CHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
  return process && !process.Wait(0);
}

std::string fileText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

int countLines(const std::filesystem::path& file, const std::string& line) {
  std::istringstream in(fileText(file));
  int n = 0;
  for (std::string l; std::getline(in, l);) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    if (l == line) ++n;
  }
  return n;
}

std::string uniqueName(const std::string& base) {
  static int counter = 0;
  return base + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
}

namespace {

win::CHandle openTerminateEvent() {
  return win::CHandle(OpenEventW(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, win::toWide(kExecTerminateEvent).c_str()));
}

}  // namespace

void resetTerminateEvent() {
  if (auto e = openTerminateEvent()) ResetEvent(e.Get());
}

void signalTerminateEvent() {
  if (auto e = openTerminateEvent()) SetEvent(e.Get());
}

}  // namespace vexa::test
