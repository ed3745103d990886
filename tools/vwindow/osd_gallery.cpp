// osd_gallery: shows one kind of on-screen display, or one preset window,
// with the program's own classes, and prints its screen rectangle
// (X Y WIDTH HEIGHT) once it is up, so that `make screenshots` can take it.
//   osd_gallery volume|mute|popup|popup-held|shutdown|selector-single|selector-extra|
//               osd-settings|export-wizard|preset-manager|learn [presets folder]
// The process ends by itself a few seconds later.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "vexa/base/program_messages.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/device/win/device.h"
#include "vexa/device/win/learn_dialog.h"
#include "vexa/exec/display_request.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/osd/osd_modes.h"
#include "vexa/osd/win/osd.h"
#include "vexa/osd/win/osd_settings_dialog.h"
#include "vexa/presets/win/export_wizard.h"
#include "vexa/presets/win/preset_manager.h"
#include "vexa/shell/win/main_window.h"
#include "vexa/winlib/message_loop.h"

namespace {

using namespace vexa;
constexpr DWORD kShownMs = 4000;

// Prints the rectangle of the first window found by `find`, then ends the process.
void reportThenQuit(std::function<HWND()> find) {
  std::thread([find = std::move(find)] {
    for (int i = 0; i < 100; ++i) {
      Sleep(100);
      const HWND w = find();
      RECT r{};
      if (!w || !IsWindowVisible(w) || !GetWindowRect(w, &r)) continue;
      Sleep(500);  // painted and settled
      GetWindowRect(w, &r);
      std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
      std::fflush(stdout);
      break;
    }
    Sleep(kShownMs);
    ExitProcess(0);
  }).detach();
}

std::unique_ptr<CCmdArray> layout(const char* command) {
  auto play = std::make_unique<CCmdArray>(command, "Music");
  for (const char* name : {"Start the player", "Open the playlist", "Play", "Show visuals"}) {
    auto action = std::make_unique<CMD>();
    action->name = name;
    play->appendAction(std::move(action));
  }
  CCmdArray& video = play->addLayout("Video");
  for (const char* name : {"Start the video player", "Full screen"}) {
    auto action = std::make_unique<CMD>();
    action->name = name;
    video.appendAction(std::move(action));
  }
  return play;
}

LRESULT request(HWND main, uint32_t code, const std::string& text, const void* object, uint32_t repeat) {
  DisplayRequest r;
  r.code = code;
  r.text = text;
  r.object = object;
  r.repeat = repeat;
  return SendMessageW(main, abi::kVexaMessage, ProgramMessage::kDisplayRequest, reinterpret_cast<LPARAM>(&r));
}

HWND barWindow() { return FindWindowW(osd::win::kBarWindowClass, nullptr); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  const std::wstring kind = argc > 1 ? argv[1] : L"";
  const std::filesystem::path folder = argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::current_path();
  shell::CMainWindow main;
  const HICON icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  if (!main.Create(icon, icon)) return 1;
  CCmdTree tree;
  CCmdItem& remote = tree.insertRemote("Remote");
  CCmdItem& play = tree.appendCommand(remote, layout("Play"));
  tree.appendCommand(remote, std::make_unique<CCmdArray>("Menu"));
  main.SetCommandTree(&tree);
  osd::win::COsd& display = main.Dispatch()->Osd();
  shell::DispatchSettings settings;
  settings.osd.timeoutSeconds = 30;
  settings.typematicDelayMs = 30000;
  settings.osd.selectorMode = kind == L"selector-extra" ? osd::SelectorMode::ExtraButton : osd::SelectorMode::SingleButton;
  settings.osd.selectorCommand = "Menu";
  main.Dispatch()->ApplySettings(settings);
  presets::win::PresetUi ui;
  ui.programFolder = folder;
  ui.resources = GetModuleHandleW(nullptr);

  std::unique_ptr<device::CDevice> host;  // the "Learn" window's
  if (kind == L"volume") {
    display.ShowBar(osd::Mode::kVolume, static_cast<int32_t>((30000u << 16) | 47000u), "Master", 30000);
    reportThenQuit(barWindow);
  } else if (kind == L"mute") {
    display.ShowBar(osd::Mode::kMute, static_cast<int32_t>((30000u << 16) | 30000u), "Master", 30000, nullptr, true);
    reportThenQuit(barWindow);
  } else if (kind == L"shutdown") {
    display.ShowShutdown("Shutdown", 15, 15, nullptr);
    reportThenQuit(barWindow);
  } else if (kind == L"popup") {
    display.ShowTitlePopup(
        "Quarterly report - final version with the comments of the whole team, the figures of the last three "
        "months and the plans for the next year - Word processor",
        main.Handle());
    reportThenQuit([] { return FindWindowW(osd::win::kPopupWindowClass, nullptr); });
  } else if (kind == L"popup-held") {
    // The command popup of a run that a held button started instead of its own command.
    DisplayRequest executed;
    executed.code = DisplayRequest::kCommandExecuted;
    executed.text = "Play";
    executed.object = play.command();
    executed.heldFrom = "Menu";
    SendMessageW(main.Handle(), abi::kVexaMessage, ProgramMessage::kDisplayRequest, reinterpret_cast<LPARAM>(&executed));
    reportThenQuit([] { return FindWindowW(osd::win::kPopupWindowClass, nullptr); });
  } else if (kind == L"selector-single") {
    const void* identity = play.command();
    request(main.Handle(), osd::Mode::kLayoutSelector, "Play", identity, 0);
    request(main.Handle(), osd::Mode::kLayoutSelector, "Play", nullptr, 1);
    reportThenQuit(barWindow);
  } else if (kind == L"selector-extra") {
    request(main.Handle(), osd::Mode::kLayoutSelector, "Menu", nullptr, 0);
    reportThenQuit(barWindow);
  } else if (kind == L"osd-settings") {
    reportThenQuit([] { return FindWindowW(nullptr, L"On-screen display"); });
    osd::win::runOsdSettingsDialog(nullptr, GetModuleHandleW(nullptr), display.Settings(), nullptr);
  } else if (kind == L"export-wizard") {
    reportThenQuit([] { return FindWindowW(nullptr, presets::win::kExportTitle); });
    presets::win::runExportWizard(nullptr, ui);
  } else if (kind == L"learn") {
    // Over the configuration window, as the device page opens it.
    main.Open();
    device::DeviceHostOptions options;
    options.programFolder = folder;
    host = std::make_unique<device::CDevice>(std::move(options));
    device::CLearnDialog::Open(*host, main.Handle(), "TV Remote", "Power", {});
    reportThenQuit([] { return FindWindowW(device::kLearnWindowClass, nullptr); });
  } else if (kind == L"preset-manager") {
    reportThenQuit([] { return FindWindowW(nullptr, L"Preset Manager"); });
    presets::win::runPresetManager(nullptr, ui);
  } else {
    std::fputs("usage: osd_gallery volume|mute|popup|popup-held|shutdown|selector-single|selector-extra|osd-settings|"
               "export-wizard|preset-manager|learn [presets folder]\n",
               stderr);
    return 2;
  }
  return win::RunMessageLoop();
}
