#include "recording_window.h"

#include <memory>

#include "vexa/base/program_messages.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/exec/display_request.h"

namespace vexa::test {

CRecordingWindow::~CRecordingWindow() {
  Destroy();
  for (char* block : statusBlocks) delete[] block;
}

bool CRecordingWindow::Create() {
  return CWindow::Create(L"VexaTestNotifyWindow", L"Vexa device test", WS_OVERLAPPEDWINDOW, 0, {0, 0, 640, 480});
}

bool CRecordingWindow::sawStatus(unsigned code, const std::string& text) const {
  for (const auto& s : statuses)
    if (s.code == code && s.text == text) return true;
  return false;
}

bool CRecordingWindow::sawCode(unsigned code) const {
  for (const auto& s : statuses)
    if (s.code == code) return true;
  return false;
}

std::vector<std::string> CRecordingWindow::temporaryTexts() const {
  std::vector<std::string> texts;
  for (const auto& s : statuses)
    if (s.code == abi::MainCode::kTemporaryStatus || s.code == ProgramMessage::kRunStatus) texts.push_back(s.text);
  return texts;
}

int CRecordingWindow::count(uint32_t code) const {
  int n = 0;
  for (const auto& r : requests) n += r.code == code;
  return n;
}

LRESULT CRecordingWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case abi::kVexaMessage:
      return onVexaMessage(wp, lp);
    case ProgramMessage::kServerRecord:
      serverRecords.push_back(*std::unique_ptr<ServerRecord>(reinterpret_cast<ServerRecord*>(wp)));
      return 0;
    case ProgramMessage::kPageSettingsChanged:
      ++settingsChanged;
      return 0;
    case ProgramMessage::kFlashTray:
      ++trayFlashes;
      return 0;
    default:
      return CWindow::OnMessage(msg, wp, lp);
  }
}

LRESULT CRecordingWindow::onVexaMessage(WPARAM code, LPARAM lp) {
  if (code == abi::MainCode::kCommand) {
    std::unique_ptr<abi::CommandRecord> record(reinterpret_cast<abi::CommandRecord*>(lp));
    records.push_back({std::string(record->remote, abi::fieldLength(record->remote)),
                       std::string(record->command, abi::fieldLength(record->command)), record->repeatCount});
    return 1;
  }
  if (code == abi::MainCode::kCodeBlock || code == abi::MainCode::kTimingSample) {
    const HWND page = FindWindowExW(Handle(), nullptr, nullptr, L"VEXADeviceConfig");
    return page ? SendMessageW(page, abi::kVexaMessage, code, lp) : 0;
  }
  if (code == ProgramMessage::kDisplayRequest) {
    auto* r = reinterpret_cast<DisplayRequest*>(lp);
    requests.push_back({r->code, r->text, r->object, r->repeat, r->value});
    if (r->code != DisplayRequest::kLayoutSelector) return 1;
    if (selectorReplacement) r->replacement = *selectorReplacement;
    return selectorAnswer;
  }
  if (code == abi::MainCode::kSettingsChanged) ++settingsChanged;
  if (code < abi::MainCode::kRestoreStatus && code != ProgramMessage::kRunStatus) return 1;
  char* text = reinterpret_cast<char*>(lp);
  statuses.push_back({static_cast<unsigned>(code), text ? text : "", text != nullptr});
  if (!takeTexts) return 0;
  if (text) statusBlocks.push_back(text);
  return 1;
}

}  // namespace vexa::test
