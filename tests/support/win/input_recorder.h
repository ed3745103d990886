#pragma once
// input_recorder_app.exe (tests/win/exec): a window of another process that
// records keys, characters, messages and mouse events in a file, one line
// each. Test programs that use it have a copy beside them.
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace vexa::test {

inline constexpr const wchar_t* kInputRecorderClass = L"VexaInputRecorder";

enum class RecorderMode {
  Plain,
  Timed,      // each key down also writes "t <performance counter>"
  TwoFields,  // two child fields, "first" (focused) and "second", of class "VexaRecorderField"
};

// Starts the recorder titled `title` writing to `record` and waits for its
// window; null when it did not come.
HWND startInputRecorder(const std::string& title, const std::filesystem::path& record,
                        RecorderMode mode = RecorderMode::Plain);
// Ends the recorder's process.
void endInputRecorder(HWND window);
std::vector<std::string> fileLines(const std::filesystem::path& file);
bool waitForLine(const std::filesystem::path& file, const std::string& line, unsigned timeoutMs = 3000);

}  // namespace vexa::test
