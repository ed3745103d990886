#pragma once
// Stands in for the main window: records what plug-ins, the device host and
// execution runs send it, and answers as the main window does.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "vexa/exec/command_snapshot.h"
#include "vexa/exec/exec_messages.h"
#include "vexa/winlib/window.h"

namespace vexa::test {

struct StatusEntry {
  unsigned code;
  std::string text;
  bool hadText;
};

struct ReceivedRecord {
  std::string remote, command;
  int repeat;
};

struct ReceivedRequest {
  uint32_t code;
  std::string text;
  const void* object;
  uint32_t repeat;
  int32_t value;
};

class CRecordingWindow : public win::CWindow {
 public:
  CRecordingWindow() = default;
  ~CRecordingWindow() override;
  // A top-level window titled "Vexa device test", so that device pages can be its children.
  bool Create();

  std::vector<StatusEntry> statuses;
  std::vector<ReceivedRecord> records;
  std::vector<ReceivedRequest> requests;
  std::vector<ServerRecord> serverRecords;
  int settingsChanged = 0;  // by the plug-in (code 1) or a page
  int trayFlashes = 0;

  // Status texts are freed and answered with 1, as the main window does; with
  // takeTexts false they are neither freed nor taken (answer 0).
  bool takeTexts = true;
  // Taken texts stay allocated until the window goes, so that a sender that
  // freed or reused a block after handing it over shows in the tests.
  std::vector<char*> statusBlocks;

  // The answer to a layout-selector request (code 301), and the command it puts in.
  intptr_t selectorAnswer = 1;
  std::optional<CommandSnapshot> selectorReplacement;

  bool sawStatus(unsigned code, const std::string& text) const;
  bool sawCode(unsigned code) const;
  // The texts of temporary statuses (code 100 and the runs' own), in order.
  std::vector<std::string> temporaryTexts() const;
  // How many display requests of this code arrived.
  int count(uint32_t code) const;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  LRESULT onVexaMessage(WPARAM code, LPARAM lp);
};

}  // namespace vexa::test
