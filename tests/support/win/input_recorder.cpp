#include "support/win/input_recorder.h"

#include <algorithm>
#include <fstream>

#include "support/win/pump.h"
#include "vexa/winlib/module.h"
#include "vexa/winlib/unicode.h"

namespace vexa::test {

std::vector<std::string> fileLines(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::vector<std::string> out;
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

bool waitForLine(const std::filesystem::path& file, const std::string& line, unsigned timeoutMs) {
  return pumpUntil(
      [&] {
        const auto all = fileLines(file);
        return std::find(all.begin(), all.end(), line) != all.end();
      },
      timeoutMs);
}

HWND startInputRecorder(const std::string& title, const std::filesystem::path& record, RecorderMode mode) {
  // The recorder appends; a file left by an ended run of the same process id
  // (Wine reuses them) would say "ready" before this recorder is.
  std::error_code stale;
  std::filesystem::remove(record, stale);
  const auto exe = win::modulePath().parent_path() / "input_recorder_app.exe";
  std::wstring line = L"\"" + exe.wstring() + L"\" \"" + win::toWide(title) + L"\" \"" + record.wstring() + L"\"";
  if (mode == RecorderMode::Timed) line += L" timed";
  if (mode == RecorderMode::TwoFields) line += L" fields";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return nullptr;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  if (!waitForLine(record, "ready", 10000)) return nullptr;
  return FindWindowW(kInputRecorderClass, win::toWide(title).c_str());
}

void endInputRecorder(HWND window) {
  DWORD pid = 0;
  if (!window || !GetWindowThreadProcessId(window, &pid)) return;
  if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
    TerminateProcess(process, 9);
    WaitForSingleObject(process, 5000);
    CloseHandle(process);
  }
}

}  // namespace vexa::test
