#include <gtest/gtest.h>

#include <exception>
#include <string>
#include <vector>

#include "support/win/dialog_template.h"
#include "support/win/pump.h"
#include "vexa/base/errors.h"
#include "vexa/winlib/dialog.h"
#include "vexa/winlib/failure_sink.h"
#include "vexa/winlib/module.h"
#include "vexa/winlib/property_sheet.h"
#include "vexa/winlib/reg_key.h"
#include "vexa/winlib/sync.h"

namespace vexa::win {
namespace {

class RegKeyTest : public ::testing::Test {
 protected:
  const std::wstring path =
      L"Software\\Vexa Tests\\winlib " + std::to_wstring(GetCurrentProcessId());

  void TearDown() override {
    CRegKey parent;
    if (parent.Open(HKEY_CURRENT_USER, L"Software", KEY_ALL_ACCESS)) {
      parent.DeleteTree(L"Vexa Tests");
    }
  }
};

TEST_F(RegKeyTest, StoresAndReadsBackValues) {
  {
    CRegKey key;
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, path));
    EXPECT_TRUE(key.SetString(L"Name", L"Stereo K\u00FCche"));
    EXPECT_TRUE(key.SetString(L"Empty", L""));
    EXPECT_TRUE(key.SetDword(L"Options", 0x80000001u));
  }  // closed and opened again: values must come from the registry, not from us
  CRegKey key;
  ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, path));
  EXPECT_EQ(key.QueryString(L"Name"), L"Stereo K\u00FCche");
  EXPECT_EQ(key.QueryString(L"Empty"), L"");
  EXPECT_EQ(key.QueryDword(L"Options"), 0x80000001u);
  EXPECT_FALSE(key.QueryString(L"Missing").has_value());
  // A value of the other type is not silently converted.
  EXPECT_FALSE(key.QueryDword(L"Name").has_value());
  EXPECT_FALSE(key.QueryString(L"Options").has_value());
}

TEST_F(RegKeyTest, DeletesValuesAndFailsOnMissingKeys) {
  CRegKey key;
  ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, path));
  ASSERT_TRUE(key.SetDword(L"FirstRun", 1));
  EXPECT_TRUE(key.DeleteValue(L"FirstRun"));
  EXPECT_FALSE(key.QueryDword(L"FirstRun").has_value());
  EXPECT_FALSE(key.DeleteValue(L"FirstRun"));

  CRegKey missing;
  EXPECT_FALSE(missing.Open(HKEY_CURRENT_USER, path + L"\\does not exist"));
  EXPECT_FALSE(missing.IsValid());
}

TEST(ModuleTest, LooksUpExportsAtRunTime) {
  CModule kernel;
  ASSERT_TRUE(kernel.Load(L"kernel32.dll"));
  using GetTickCountFn = DWORD(WINAPI*)();
  const auto tick = kernel.GetProc<GetTickCountFn>("GetTickCount");
  ASSERT_NE(tick, nullptr);
  EXPECT_GT(tick(), 0u);
  EXPECT_EQ(kernel.GetProc<GetTickCountFn>("NoSuchExportAnywhere"), nullptr);

  CModule missing;
  EXPECT_FALSE(missing.Load(L"no-such-library-vexa.dll"));
}

TEST(SyncTest, NamedEventIsSharedAndSignals) {
  const std::wstring name = L"VexaTestEvent " + std::to_wstring(GetCurrentProcessId());
  CEvent first;
  ASSERT_TRUE(first.Create(name, true, false));
  EXPECT_FALSE(first.AlreadyExisted());
  CEvent second;
  ASSERT_TRUE(second.Create(name, true, false));
  EXPECT_TRUE(second.AlreadyExisted());

  EXPECT_FALSE(second.Wait(0));
  ASSERT_TRUE(first.Set());
  EXPECT_TRUE(second.Wait(0));
  EXPECT_TRUE(second.Wait(0));  // manual reset: stays signalled
  ASSERT_TRUE(first.Reset());
  EXPECT_FALSE(second.Wait(0));
}

TEST(SyncTest, MovedHandleIsClosedOnce) {
  CEvent event;
  ASSERT_TRUE(event.CreateAnonymous(false, true));
  const HANDLE raw = event.Get();
  CHandle moved(std::move(event));
  EXPECT_FALSE(event.IsValid());
  EXPECT_EQ(moved.Get(), raw);
  EXPECT_TRUE(moved.Close());
  EXPECT_FALSE(moved.IsValid());
  EXPECT_TRUE(moved.Close());  // nothing left to close
}

// ---- Dialogs

constexpr int kEdit = 100, kCheck = 101;

test::CDialogTemplate formTemplate() {
  test::CDialogTemplate t(L"Form", 160, 60);
  t.add(test::CDialogTemplate::kEdit, kEdit, L"", 4, 4, 100, 12, WS_BORDER | ES_AUTOHSCROLL)
      .add(test::CDialogTemplate::kButton, kCheck, L"Check", 4, 20, 100, 12, BS_AUTOCHECKBOX)
      .add(test::CDialogTemplate::kButton, IDOK, L"OK", 110, 4, 40, 14, BS_DEFPUSHBUTTON);
  return t;
}

// Fills its fields, then presses a button the way a user would.
class CFormDialog : public CModalDialog {
 public:
  explicit CFormDialog(int press) : m_press(press) {}
  std::string text;
  std::optional<int> number;
  bool checked = false;
  int okCalls = 0;

 protected:
  bool OnInitDialog() override {
    SetItemText(kEdit, "Caf\xC3\xA9 42");
    CheckButton(kCheck, true);
    PostMessageW(m_hwnd, WM_COMMAND, MAKEWPARAM(m_press, BN_CLICKED), 0);
    return true;
  }
  void OnOK() override {
    ++okCalls;
    text = ItemText(kEdit);
    checked = IsButtonChecked(kCheck);
    SetItemText(kEdit, "-17");
    number = ItemInt(kEdit);
    CModalDialog::OnOK();
  }

 private:
  int m_press;
};

TEST(DialogTest, ModalDialogRunsItsHooksAndEndsWithTheButtonPressed) {
  const auto form = formTemplate();
  CFormDialog ok(IDOK);
  EXPECT_EQ(ok.DoModal(nullptr, form.get()), IDOK);
  EXPECT_EQ(ok.okCalls, 1);
  EXPECT_EQ(ok.text, "Caf\xC3\xA9 42");  // UTF-8 in and out through the wide controls
  EXPECT_TRUE(ok.checked);
  EXPECT_EQ(ok.number, -17);
  EXPECT_EQ(ok.Handle(), nullptr);

  CFormDialog cancel(IDCANCEL);
  EXPECT_EQ(cancel.DoModal(nullptr, form.get()), IDCANCEL);
  EXPECT_EQ(cancel.okCalls, 0);
}

class CToolDialog : public CModelessDialog {
 public:
  int commands = 0;

 protected:
  bool OnCommand(int id, int notification, HWND control) override {
    if (id == kCheck) ++commands;
    return CModelessDialog::OnCommand(id, notification, control);
  }
};

TEST(DialogTest, ModelessDialogLivesBesideTheLoopAndGoesOnCancel) {
  const auto form = formTemplate();
  CToolDialog tool;
  ASSERT_TRUE(tool.Create(nullptr, form.get()));
  EXPECT_FALSE(tool.Create(nullptr, form.get()));  // one window per object
  tool.EnableItem(kEdit, false);
  EXPECT_FALSE(IsWindowEnabled(tool.Item(kEdit)));
  EXPECT_FALSE(tool.ItemInt(kEdit).has_value());  // empty is not a number
  SendMessageW(tool.Item(kCheck), BM_CLICK, 0, 0);
  EXPECT_EQ(tool.commands, 1);
  EXPECT_TRUE(tool.IsButtonChecked(kCheck));
  PostMessageW(tool.Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_TRUE(test::pumpUntil([&] { return tool.Handle() == nullptr; }, 2000));
}

// ---- Failures inside message handlers

class CFailingDialog : public CModelessDialog {
 public:
  int commands = 0;

 protected:
  bool OnCommand(int id, int notification, HWND control) override {
    if (id == kCheck && ++commands == 1) VEXA_THROW(FileError, "Cannot open \"a.vcp\"");
    return CModelessDialog::OnCommand(id, notification, control);
  }
};

TEST(FailureScopeTest, AHandlerThatThrowsIsReportedAndItsWindowHandlesTheNextMessage) {
  std::vector<std::string> reported;
  const CFailureScope scope([&](std::exception_ptr error, const char*, int, const char*) {
    try {
      std::rethrow_exception(error);
    } catch (const FileError& e) {
      reported.push_back(e.what());
    } catch (...) {
      reported.push_back("?");
    }
  });
  const auto form = formTemplate();
  CFailingDialog dialog;
  ASSERT_TRUE(dialog.Create(nullptr, form.get()));
  SendMessageW(dialog.Item(kCheck), BM_CLICK, 0, 0);
  EXPECT_EQ(reported, std::vector<std::string>{"Cannot open \"a.vcp\""});
  SendMessageW(dialog.Item(kCheck), BM_CLICK, 0, 0);
  EXPECT_EQ(dialog.commands, 2);
  EXPECT_EQ(reported.size(), 1u);
  dialog.Destroy();
}

class CCountingPage : public CPropertyPage {
 public:
  explicit CCountingPage(bool pressOk) : m_pressOk(pressOk) {}
  int applied = 0, resets = 0;

 protected:
  bool OnInitDialog() override {
    // The sheet is the page's parent once the page exists.
    PostMessageW(GetParent(m_hwnd), PSM_PRESSBUTTON, m_pressOk ? PSBTN_OK : PSBTN_CANCEL, 0);
    return true;
  }
  bool OnApply() override {
    ++applied;
    return true;
  }
  void OnReset() override { ++resets; }

 private:
  bool m_pressOk;
};

TEST(DialogTest, PropertySheetAppliesItsPagesOnOkOnly) {
  const auto form = formTemplate();
  CCountingPage first(true), second(true);
  EXPECT_TRUE(runPropertySheet(nullptr, L"Sheet", {first.Describe(form.get(), L"One"), second.Describe(form.get())}));
  EXPECT_EQ(first.applied, 1);

  CCountingPage cancelled(false);
  EXPECT_FALSE(runPropertySheet(nullptr, L"Sheet", {cancelled.Describe(form.get())}));
  EXPECT_EQ(cancelled.applied, 0);
  EXPECT_EQ(cancelled.resets, 1);
}

}  // namespace
}  // namespace vexa::win
