// "Mouse Position Tool" and "Message Capture" driven from another thread, as
// the hook module and a person would drive them, against windows of the test.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <algorithm>
#include <atomic>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "vexa/base/program_messages.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/shell/res/editor_resource.h"
#include "vexa/shell/win/action_dialog.h"
#include "vexa/shell/win/hook_module.h"
#include "vexa/shell/win/message_capture.h"
#include "vexa/shell/win/mouse_position_tool.h"
#include "vexa/winlib/unicode.h"
#include "vexa/winlib/window.h"

namespace vexa::test {
namespace {

// The dialog once it is shown: its hooks are in by then.
HWND waitForWindow(const wchar_t* title) {
  for (int i = 0; i < 500; ++i) {
    if (const HWND w = FindWindowW(nullptr, title); w && IsWindowVisible(w)) return w;
    Sleep(10);
  }
  return nullptr;
}

bool waitFor(const std::function<bool()>& done, unsigned timeoutMs = 10000) {
  for (const ULONGLONG end = GetTickCount64() + timeoutMs; GetTickCount64() < end; Sleep(10))
    if (done()) return true;
  return done();
}

std::wstring itemText(HWND dialog, int id) {
  wchar_t text[256] = L"";
  GetDlgItemTextW(dialog, id, text, 256);
  return text;
}

// A plain window at a known place, owned by the test (a static control would
// be transparent to the pointer).
struct CPlainWindow {
  HWND handle;
  CPlainWindow(const wchar_t* title, int x, int y) {
    WNDCLASSW type{};
    type.lpfnWndProc = DefWindowProcW;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = L"VexaPointTarget";
    RegisterClassW(&type);  // fails harmlessly once registered
    handle = CreateWindowExW(0, L"VexaPointTarget", title, WS_POPUP | WS_VISIBLE, x, y, 200, 150, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  }
  ~CPlainWindow() { DestroyWindow(handle); }
};

LRESULT sendCode(HWND window, WPARAM code, LPARAM lp) { return SendMessageW(window, abi::kVexaMessage, code, lp); }
LPARAM position(int x, int y) { return static_cast<LPARAM>(x * 65536 + y); }

void movePointer(int x, int y) {
  INPUT move{};
  move.type = INPUT_MOUSE;
  move.mi.dx = x * 65536 / GetSystemMetrics(SM_CXSCREEN) + 1;
  move.mi.dy = y * 65536 / GetSystemMetrics(SM_CYSCREEN) + 1;
  move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &move, sizeof(move));
}

// The real pointer, parked at (x, y) once the tool's hook reported it there
// over `nameShown`, (dx, dy) inside it: any later report (a window shown under
// the pointer makes one) then says the same.
bool parkPointer(HWND tool, int x, int y, const std::wstring& nameShown, int dx, int dy) {
  movePointer(x, y);
  return waitFor([&] {
    return itemText(tool, IDC_MP_NOW_NAME) == nameShown && itemText(tool, IDC_MP_NOW_X) == L"x: " + std::to_wstring(dx) &&
           itemText(tool, IDC_MP_NOW_Y) == L"y: " + std::to_wstring(dy);
  });
}

class MousePositionToolTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(hooks.Load()); }  // as the program holds it
  shell::CHookModule hooks;
  CPlainWindow target{L"Target", 20, 30};  // clear of the centred tool
  std::vector<std::wstring> told;
  shell::CMousePositionTool tool{[this](const std::wstring& text) { told.push_back(text); }};
};

TEST_F(MousePositionToolTest, F2TakesThePositionRelativeToTheWindowUnderThePointer) {
  std::atomic<bool> driven{false};
  std::wstring shownAfterMove;
  LRESULT hookHandle = 0;
  std::thread driver([&] {
    const HWND dialog = waitForWindow(L"Mouse Position Tool");
    if (!dialog) return;
    // The real hook: the pointer moved over the target.
    parkPointer(dialog, 50, 50, L"Target (VexaPointTarget)", 30, 20);
    shownAfterMove = itemText(dialog, IDC_MP_NOW_NAME);
    hookHandle = sendCode(dialog, ProgramMessage::kMouseHookHandle, 0);
    SendDlgItemMessageW(dialog, IDC_MP_CLASS_ONLY, BM_CLICK, 0, 0);
    sendCode(dialog, ProgramMessage::kMousePosition, position(50, 50));
    sendCode(dialog, ProgramMessage::kHotKeyEvent, 0x41);  // not F2: nothing taken
    sendCode(dialog, ProgramMessage::kHotKeyEvent, 0x20071);  // Ctrl+F2 still takes
    driven = true;
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  const auto result = tool.Run(nullptr);
  driver.join();
  ASSERT_TRUE(driven);
  EXPECT_EQ(shownAfterMove, L"Target (VexaPointTarget)");
  EXPECT_NE(hookHandle, 0);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->field1, "WND: (VexaPointTarget)");
  EXPECT_EQ(result->field2, "30x20");
  EXPECT_TRUE(told.empty());
}

TEST_F(MousePositionToolTest, OnTheDesktopThePositionIsTheScreensAndNoWindowIsNamed) {
  std::thread driver([&] {
    const HWND dialog = waitForWindow(L"Mouse Position Tool");
    if (!dialog) return;
    SendDlgItemMessageW(dialog, IDC_MP_DESKTOP, BM_CLICK, 0, 0);
    parkPointer(dialog, 130, 120, L"", 130, 120);
    sendCode(dialog, ProgramMessage::kMousePosition, position(130, 120));
    sendCode(dialog, ProgramMessage::kHotKeyEvent, 0x71);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  const auto result = tool.Run(nullptr);
  driver.join();
  ASSERT_TRUE(result);
  EXPECT_EQ(result->field1, "");
  EXPECT_EQ(result->field2, "130x120");
}

TEST(MousePositionToolAlone, WithoutTheHookModuleItSaysSo) {
  ASSERT_EQ(GetModuleHandleW(L"tapmod"), nullptr);
  std::vector<std::wstring> told;
  shell::CMousePositionTool tool([&](const std::wstring& text) { told.push_back(text); });
  std::thread driver([] {
    if (const HWND dialog = waitForWindow(L"Mouse Position Tool")) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_FALSE(tool.Run(nullptr));
  driver.join();
  EXPECT_EQ(told, std::vector<std::wstring>{L"Could not load hook library"});
}

// The program whose messages are captured: a window with a button, on the
// test's thread; it notes the commands that reach it.
class CTargetWindow : public win::CWindow {
 public:
  bool Create() {
    if (!CWindow::Create(L"VexaCaptureTarget", L"Capture Target", WS_OVERLAPPEDWINDOW | WS_VISIBLE)) return false;
    button = CreateWindowExW(0, L"BUTTON", L"Go", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 60, 20, Handle(),
                             reinterpret_cast<HMENU>(kButtonId), nullptr, nullptr);
    return button != nullptr;
  }
  // What the capture writes for a click of the button: its command, naming the button.
  std::string ButtonCommandText() const {
    char text[64];
    std::snprintf(text, sizeof text, "WM_COMMAND:0x%08x:0x%08x", kButtonId,
                  static_cast<uint32_t>(reinterpret_cast<uintptr_t>(button)));
    return text;
  }
  static constexpr int kButtonId = 1001;
  HWND button = nullptr;
  std::vector<WPARAM> commands;
  std::vector<UINT> clicks;  // left button down and up

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_COMMAND) commands.push_back(wp);
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP) clicks.push_back(msg);
    return CWindow::OnMessage(msg, wp, lp);
  }
};

std::wstring rowText(HWND dialog, int row) {
  wchar_t text[64] = L"";
  LVITEMW item{};
  item.pszText = text;
  item.cchTextMax = 64;
  SendDlgItemMessageW(dialog, IDC_MC_LIST, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  return text;
}

int rowCount(HWND dialog) { return static_cast<int>(SendDlgItemMessageW(dialog, IDC_MC_LIST, LVM_GETITEMCOUNT, 0, 0)); }

void sendCopyData(HWND dialog, ULONG_PTR kind, const void* data, DWORD bytes) {
  COPYDATASTRUCT copy{kind, bytes, const_cast<void*>(data)};
  SendMessageW(dialog, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
}

TEST(MessageCapture, ClicksOfTheTargetAreListedTestedAndReturned) {
  CTargetWindow target;
  ASSERT_TRUE(target.Create());
  shell::CMessageCapture capture("Capture Target");
  std::atomic<bool> driven{false};
  int afterClicks = 0, afterNoise = 0, afterTest = 0;
  std::vector<std::wstring> rows;
  std::thread driver([&] {
    const HWND dialog = waitForWindow(L"Message Capture");
    if (!dialog) return;
    SendMessageW(target.button, BM_CLICK, 0, 0);  // sends WM_COMMAND to the target
    PostMessageW(target.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    PostMessageW(target.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
    waitFor([&] { return rowCount(dialog) >= 3; });
    SendMessageW(target.Handle(), WM_NULL, 0, 0);  // the target's thread is done with the posted messages
    afterClicks = rowCount(dialog);
    for (int row = 0; row < afterClicks; ++row) rows.push_back(rowText(dialog, row));
    // Data a hook of another kind, or a short one, might send; and a window of another program.
    const uint32_t values[4] = {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(target.Handle())), WM_COMMAND, 7, 0};
    sendCopyData(dialog, 91, values, sizeof values);
    sendCopyData(dialog, 93, values, 8);
    sendCopyData(dialog, 93, nullptr, 16);
    const uint32_t desktop[4] = {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(GetDesktopWindow())), WM_COMMAND,
                                 7, 0};
    sendCopyData(dialog, 93, desktop, sizeof desktop);
    afterNoise = rowCount(dialog);
    // "Test" on the button's command, then the capture goes on.
    const int commandRow = static_cast<int>(std::find(rows.begin(), rows.end(), L"WM_COMMAND") - rows.begin());
    LVITEMW select{};
    select.stateMask = select.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendDlgItemMessageW(dialog, IDC_MC_LIST, LVM_SETITEMSTATE, commandRow, reinterpret_cast<LPARAM>(&select));
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_MC_TEST, BN_CLICKED), 0);
    SendMessageW(target.button, BM_CLICK, 0, 0);
    waitFor([&] { return rowCount(dialog) > afterNoise; });
    afterTest = rowCount(dialog);
    driven = true;
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  const auto chosen = capture.Run(nullptr);
  driver.join();
  ASSERT_TRUE(driven);
  // The button's own click, its command to the target, the posted click; the pointer move is no row.
  EXPECT_EQ(rows, (std::vector<std::wstring>{L"WM_LBUTTONDOWN", L"WM_COMMAND", L"WM_LBUTTONDOWN"}));
  EXPECT_EQ(afterNoise, afterClicks);
  EXPECT_GT(afterTest, afterNoise);
  // The click's command, then the one "Test" posted, with the same wParam.
  ASSERT_GE(target.commands.size(), 2u);
  EXPECT_EQ(target.commands[0], static_cast<WPARAM>(CTargetWindow::kButtonId));
  EXPECT_EQ(target.commands[1], static_cast<WPARAM>(CTargetWindow::kButtonId));
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->windowName, "Capture Target");
  const std::string expected = target.ButtonCommandText();
  EXPECT_EQ(chosen->messageText, expected);
}

TEST(MessageCapture, TestPostsAClickAsTheActionDoesWithTheButtonLetGo) {
  CTargetWindow target;
  ASSERT_TRUE(target.Create());
  shell::CMessageCapture capture("Capture Target");
  bool tested = false;
  std::thread driver([&] {
    const HWND dialog = waitForWindow(L"Message Capture");
    if (!dialog) return;
    PostMessageW(target.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
    if (waitFor([&] { return rowCount(dialog) >= 1; }) && rowText(dialog, 0) == L"WM_LBUTTONDOWN") {
      LVITEMW select{};
      select.stateMask = select.state = LVIS_SELECTED | LVIS_FOCUSED;
      SendDlgItemMessageW(dialog, IDC_MC_LIST, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&select));
      SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_MC_TEST, BN_CLICKED), 0);
      tested = true;
    }
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_FALSE(capture.Run(nullptr));
  driver.join();
  ASSERT_TRUE(tested);
  MSG msg;
  while (PeekMessageW(&msg, target.Handle(), 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  // The captured click, then the test's: down and up, so that the button is not left held.
  EXPECT_EQ(target.clicks, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDOWN, WM_LBUTTONUP}));
}

}  // namespace
}  // namespace vexa::test

namespace vexa::test {
namespace {

// Another program, as a person would use the capture: the hooks run inside it.
class CNotepad {
 public:
  CNotepad() {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    wchar_t command[] = L"notepad.exe";
    if (!CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_process)) return;
    // Its window exists before notepad gives it its title: only once notepad
    // waits for input is the window as a person would pick it.
    WaitForInputIdle(m_process.hProcess, 10000);
    waitFor([&] { return (window = OwnWindow()) != nullptr; });
  }
  ~CNotepad() {
    if (window) PostMessageW(window, WM_CLOSE, 0, 0);
    if (m_process.hProcess) {
      if (WaitForSingleObject(m_process.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(m_process.hProcess, 1);
      CloseHandle(m_process.hProcess);
      CloseHandle(m_process.hThread);
    }
  }
  HWND window = nullptr;

 private:
  HWND OwnWindow() const {
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"Notepad", nullptr));) {
      DWORD process = 0;
      GetWindowThreadProcessId(w, &process);
      if (process == m_process.dwProcessId && IsWindowVisible(w)) return w;
    }
    return nullptr;
  }
  PROCESS_INFORMATION m_process{};
};

TEST(MessageCaptureOfAnotherProgram, ItsClicksAreListed) {
  CNotepad notepad;
  ASSERT_NE(notepad.window, nullptr);
  wchar_t title[256] = L"";
  GetWindowTextW(notepad.window, title, 256);
  shell::CMessageCapture capture(win::toUtf8(title));
  std::vector<std::wstring> rows;
  std::thread driver([&] {
    const HWND dialog = waitForWindow(L"Message Capture");
    if (!dialog) return;
    // The hooks reach notepad's thread when it next takes a message: one sent
    // first (and not listed) is answered only once they are in.
    DWORD_PTR answered = 0;
    SendMessageTimeoutW(notepad.window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answered);
    PostMessageW(notepad.window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(40, 40));
    waitFor([&] {
      for (int row = 0, n = rowCount(dialog); row < n; ++row)
        if (rowText(dialog, row) == L"WM_LBUTTONDBLCLK") return true;
      return false;
    });
    // Answered once notepad is done with the click and has reported all it saw of it.
    SendMessageTimeoutW(notepad.window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answered);
    for (int row = 0, n = rowCount(dialog); row < n; ++row) rows.push_back(rowText(dialog, row));
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_FALSE(capture.Run(nullptr));
  driver.join();
  // The double click, and whatever commands notepad's own controls send it meanwhile.
  EXPECT_EQ(std::count(rows.begin(), rows.end(), L"WM_LBUTTONDBLCLK"), 1);
  for (const std::wstring& row : rows) EXPECT_TRUE(row == L"WM_LBUTTONDBLCLK" || row == L"WM_COMMAND") << row.size();
}

}  // namespace
}  // namespace vexa::test

namespace vexa::test {
namespace {

// The tools as a person reaches them: the browse buttons of "Action Definition".
class ActionDefinitionToolsTest : public ::testing::Test {
 protected:
  std::optional<CMD> edit(const char* type, const std::function<void(HWND dialog)>& drive) {
    CMD action;
    action.name = "Act";
    action.typeName = type;
    shell::ActionDialogContext context;
    context.tell = [](const std::wstring&, const std::wstring&) {};
    shell::CActionDefinitionDialog dialog(action, context);
    std::thread driver([&] {
      if (const HWND window = waitForWindow(L"Action Definition")) drive(window);
    });
    const bool ok = dialog.Run(nullptr);
    driver.join();
    return ok ? std::optional<CMD>(dialog.Action()) : std::nullopt;
  }
  static void browse(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
  }
  // A tool is gone once it handed its result to the action.
  static void waitUntilClosed(const wchar_t* title) {
    waitFor([&] { return FindWindowW(nullptr, title) == nullptr; });
  }
};

TEST_F(ActionDefinitionToolsTest, SetMousePositionTakesThePositionFromTheTool) {
  shell::CHookModule hooks;
  ASSERT_TRUE(hooks.Load());
  CPlainWindow target(L"Target", 20, 30);
  const auto action = edit("Set Mouse Position", [](HWND dialog) {
    browse(dialog, IDC_AD_BROWSE1);
    const HWND tool = waitForWindow(L"Mouse Position Tool");
    if (!tool) return;
    if (parkPointer(tool, 50, 50, L"Target (VexaPointTarget)", 30, 20))
      sendCode(tool, ProgramMessage::kHotKeyEvent, 0x71);
    PostMessageW(tool, WM_COMMAND, IDOK, 0);
    waitUntilClosed(L"Mouse Position Tool");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  ASSERT_TRUE(action);
  EXPECT_EQ(action->fileName, "WND:Target (VexaPointTarget)");
  EXPECT_EQ(action->param, "30x20");
}

TEST_F(ActionDefinitionToolsTest, PostMessageTakesTheCapturedMessage) {
  CTargetWindow target;
  ASSERT_TRUE(target.Create());
  const auto action = edit("PostMessage", [&](HWND dialog) {
    // The name as the window list writes it, not only the bare title.
    SetDlgItemTextW(dialog, IDC_AD_FIELD1, L"Capture Target (VexaCaptureTarget)");
    browse(dialog, IDC_AD_BROWSE2);
    const HWND capture = waitForWindow(L"Message Capture");
    if (!capture) return;
    SendMessageW(target.button, BM_CLICK, 0, 0);
    waitFor([&] { return rowCount(capture) >= 2; });
    for (int row = 0, n = rowCount(capture); row < n; ++row)
      if (rowText(capture, row) == L"WM_COMMAND") {
        LVITEMW select{};
        select.stateMask = select.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendDlgItemMessageW(capture, IDC_MC_LIST, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&select));
      }
    PostMessageW(capture, WM_COMMAND, IDOK, 0);
    waitUntilClosed(L"Message Capture");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  ASSERT_TRUE(action);
  EXPECT_EQ(action->fileName, "Capture Target (VexaCaptureTarget)");
  const std::string expected = target.ButtonCommandText();
  EXPECT_EQ(action->param, expected);
}

}  // namespace
}  // namespace vexa::test
