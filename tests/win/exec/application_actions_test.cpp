// "Execute application" and "Close application" on the marker application,
// and the foreground test of an application folder.
#include <gtest/gtest.h>

#include "vexa/exec/win/window_list.h"

#include "support/temp_folder.h"
#include "exec_test_support.h"
#include "vexa/exec/win/application_actions.h"
#include "vexa/model/app_folder.h"
#include "vexa/model/catalogue.h"
#include "vexa/winlib/unicode.h"

namespace vexa::test {
namespace {

class ApplicationActionsTest : public ::testing::Test {
 protected:
  CMD action(std::string fileName, std::string param = {}) {
    CMD a;
    a.typeName = std::string(kExecuteApplication);
    a.fileName = std::move(fileName);
    a.param = std::move(param);
    return a;
  }
  bool execute(const CMD& a, std::string& message) {
    return actions.execute({a, ActionType::kExecute, command, 0, false}, message);
  }
  bool close(const CMD& a, std::string& message) {
    return actions.close({a, ActionType::kClose, command, 0, false}, message);
  }
  std::string params() const { return markerParams(title, startFile(), closeMarker()); }
  std::filesystem::path startFile() const { return folder.path() / "start.txt"; }
  std::filesystem::path closeMarker() const { return folder.path() / "close.txt"; }

  CTempFolder folder;
  std::string title = uniqueName("vexa-app");
  CMarkerCleanup cleanup{title};
  std::unique_ptr<exec::IProcessList> list = exec::chooseProcessList();
  exec::CProcessNameCache cache;
  exec::CRunEnvironment environment{*list, cache, false};
  exec::CApplicationActions actions{environment};
  CommandSnapshot command;
  std::string marker = win::toUtf8(markerApp().wstring());
};

TEST_F(ApplicationActionsTest, ExecuteStartsInTheFilesFolderAndCloseEndsIt) {
  std::string message;
  ASSERT_TRUE(execute(action(marker, params()), message));
  EXPECT_EQ(message, "Executed application " + marker);
  ASSERT_TRUE(pumpUntil([&] { return findTitled(title) != nullptr; }, 10000));
  // The working folder is the file's own folder.
  EXPECT_EQ(fileText(startFile()), win::toUtf8(markerApp().parent_path().wstring()) + "\n");
  EXPECT_TRUE(environment.isRunning(marker, false));

  ASSERT_TRUE(close(action(marker), message));
  EXPECT_EQ(message, "Closed application " + marker);
  EXPECT_TRUE(pumpUntil([&] { return findTitled(title) == nullptr; }, 5000));
  EXPECT_EQ(countLines(closeMarker(), "syscommand"), 1);
  EXPECT_TRUE(pumpUntil([&] { return !environment.isRunning(marker, false); }, 5000));
}

TEST_F(ApplicationActionsTest, VariablesAreExpandedBeforeStartAndClose) {
  SetEnvironmentVariableW(L"VEXA_MARKER_DIR", markerApp().parent_path().c_str());
  const std::string written = "%VEXA_MARKER_DIR%\\marker_app.exe";
  std::string message;
  ASSERT_TRUE(execute(action(written, params()), message));
  EXPECT_EQ(message, "Executed application " + marker);
  ASSERT_TRUE(pumpUntil([&] { return findTitled(title) != nullptr; }, 10000));
  EXPECT_TRUE(environment.isRunning(environment.expand(written), false));
  // Success names the file as written.
  ASSERT_TRUE(close(action(written), message));
  EXPECT_EQ(message, "Closed application " + written);
}

TEST_F(ApplicationActionsTest, NoApplicationDoesNothingAndSaysNothing) {
  for (const std::string name : {"n/a", "N/A", ""}) {
    std::string message;
    EXPECT_FALSE(execute(action(name), message)) << name;
    EXPECT_FALSE(close(action(name), message)) << name;
    EXPECT_EQ(message, "") << name;
  }
}

TEST_F(ApplicationActionsTest, FailuresNameTheExpandedFile) {
  SetEnvironmentVariableW(L"VEXA_MARKER_DIR", markerApp().parent_path().c_str());
  const std::string missing = "%VEXA_MARKER_DIR%\\no_such_program.exe";
  const std::string expanded = environment.expand(missing);
  std::string message;
  EXPECT_FALSE(execute(action(missing), message));
  EXPECT_EQ(message, "'Execute application' failed - " + expanded);
  EXPECT_FALSE(close(action(missing), message));
  EXPECT_EQ(message, "'Close application' failed - " + expanded);
}

TEST_F(ApplicationActionsTest, AnEmptyFieldMeansTheFoldersApplication) {
  command.inFolder = true;
  command.folder.fileName = marker;
  std::string message;
  ASSERT_TRUE(execute(action("", params()), message));
  ASSERT_TRUE(pumpUntil([&] { return findTitled(title) != nullptr; }, 10000));
  ASSERT_TRUE(close(action(""), message));
  EXPECT_EQ(message, "Closed application " + marker);
}

TEST_F(ApplicationActionsTest, ForegroundTestByProcessAndByWindowName) {
  startMarker(title, startFile(), closeMarker());
  const HWND window = findTitled(title);
  ASSERT_TRUE(window);
  SetForegroundWindow(window);
  ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == window; }, 3000));

  APPFOLDER byProcess("Marker");
  byProcess.loadFileName(marker);
  EXPECT_TRUE(environment.passesForegroundTest(byProcess));

  APPFOLDER byName("Marker");
  byName.loadFileName(marker);
  byName.windowName = title;
  EXPECT_TRUE(environment.passesForegroundTest(byName));
  byName.windowName = "no window is called this";
  EXPECT_FALSE(environment.passesForegroundTest(byName));
  // Through the window list, as a run asks the main window: "title (class)" and patterns.
  exec::CWindowList list;
  environment.setWindowFinder([&](std::string_view name) {
    list.refresh();
    return list.find(name);
  });
  byName.windowName = title + " (VexaMarkerApp)";
  EXPECT_TRUE(environment.passesForegroundTest(byName));
  byName.windowName = " (VexaMarker?pp)";
  EXPECT_TRUE(environment.passesForegroundTest(byName));

  // Another application's folder fails while the marker is in front.
  APPFOLDER other("Other");
  other.loadFileName("C:\\nowhere\\not_running.exe");
  EXPECT_FALSE(environment.passesForegroundTest(other));
}

}  // namespace
}  // namespace vexa::test
