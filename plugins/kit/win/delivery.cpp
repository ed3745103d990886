#include "plugins/kit/win/delivery.h"

#include <cstring>
#include <memory>
#include <string>

#include "vexa/device/plugin_abi.h"

namespace vexa::kit {

LRESULT deliverCodeBlock(HWND target, const uint8_t* bytes, uint32_t count) {
  abi::CodeBlock block{count, bytes};
  return SendMessageA(target, abi::kVexaMessage, abi::PageCode::kCodeBlock, reinterpret_cast<LPARAM>(&block));
}

bool deliverTimingSample(HWND target, uint32_t sample) {
  return SendMessageA(target, abi::kVexaMessage, abi::PageCode::kTimingSample, static_cast<LPARAM>(sample)) != 0;
}

bool deliverCommand(HWND target, std::string_view remote, std::string_view command, int32_t repeatCount) {
  if (!target || !IsWindow(target)) return false;
  auto record = std::make_unique<abi::CommandRecord>();  // zero-filled
  abi::copyField(record->command, std::string(command).c_str());
  abi::copyField(record->remote, std::string(remote).c_str());
  record->repeatCount = repeatCount;
  // From here on the record is the main window's, whatever it decides.
  SendMessageA(target, abi::kVexaMessage, abi::MainCode::kCommand, reinterpret_cast<LPARAM>(record.release()));
  return true;
}

LRESULT sendStatus(HWND mainWindow, unsigned code, std::string_view text) {
  if (!mainWindow) return 0;
  char* copy = nullptr;
  if (!text.empty()) {
    copy = new char[text.size() + 1];
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
  }
  return SendMessageA(mainWindow, abi::kVexaMessage, code, reinterpret_cast<LPARAM>(copy));
}

}  // namespace vexa::kit
