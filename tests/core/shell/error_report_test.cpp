#include "vexa/shell/error_report.h"

#include <gtest/gtest.h>

#include <new>

#include "vexa/base/errors.h"

namespace vexa::shell {
namespace {

template <class Throw>
ErrorReport reportOf(Throw raise) {
  try {
    raise();
  } catch (...) {
    return reportFromException(std::current_exception(), "handler.cpp", 7, "Dec  8 2026");
  }
  return {};
}

TEST(ErrorReport, ExceptionKindsAndTheirFatalFlag) {
  struct Case {
    ErrorReport report;
    std::string message;
    bool fatal;
  };
  const Case cases[] = {
      {reportOf([] { VEXA_THROW(MemoryError, "no room"); }), "MemoryException: no room", true},
      {reportOf([] { throw std::bad_alloc(); }), "MemoryException: std::bad_alloc", true},
      {reportOf([] { VEXA_THROW(FileError, "a.vcp"); }), "FileException: a.vcp", false},
      {reportOf([] { VEXA_THROW(ResourceError, "icon"); }), "ResourceException: icon", false},
      {reportOf([] { VEXA_THROW(NotSupportedError, "op"); }), "NotSupportedException: op", false},
      {reportOf([] { VEXA_THROW(ArchiveError, "bad"); }), "Exception: bad", false},
      {reportOf([] { throw std::runtime_error("other"); }), "Exception: other", false},
      {reportOf([] { throw 42; }), "", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.report.message, c.message);
    EXPECT_EQ(c.report.fatal, c.fatal) << c.message;
  }
}

TEST(ErrorReport, TypedFailuresKeepWhereTheyWereRaisedOthersTheHandler) {
  const ErrorReport typed = reportOf([] { throw FileError("x", "F:\\work\\vexa\\osd\\osd.cpp", 12); });
  EXPECT_EQ(typed.file, "F:\\work\\vexa\\osd\\osd.cpp");
  EXPECT_EQ(typed.line, 12);
  EXPECT_EQ(typed.date, "Dec  8 2026");
  const ErrorReport other = reportOf([] { throw std::logic_error("y"); });
  EXPECT_EQ(other.file, "handler.cpp");
  EXPECT_EQ(other.line, 7);
}

TEST(ErrorReport, OwnMessageIsCutAt255BytesBetweenCharacters) {
  const std::string longText = std::string(254, 'a') + "\xC3\xA9" + "tail";  // 'é' straddles byte 255
  const ErrorReport report = reportOf([&] { throw FileError(longText, "f", 1); });
  EXPECT_EQ(report.message, "FileException: " + std::string(254, 'a'));
  const ErrorReport exact = reportOf([] { throw FileError(std::string(255, 'b'), "f", 1); });
  EXPECT_EQ(exact.message.size(), std::string("FileException: ").size() + 255);
}

TEST(ErrorReport, ShownFileNameStartsAtTheProjectFolder) {
  EXPECT_EQ(shownFileName("F:\\work\\vexa\\osd"), "vexa\\osd");
  EXPECT_EQ(shownFileName("F:\\Work\\VEXA\\Shell\\Win\\App.cpp"), "vexa\\shell\\win\\app.cpp");
  EXPECT_EQ(shownFileName("/work/main/vexa/shell/win/app.cpp"), "vexa/shell/win/app.cpp");
  EXPECT_EQ(shownFileName("C:\\Other\\File.CPP"), "c:\\other\\file.cpp");
  EXPECT_EQ(shownFileName(""), "<unknown>");
}

TEST(ErrorReport, LogEntryHasTheUtcTimeAndThePosition) {
  const ErrorReport report{42, "F:\\src\\vexa\\osd\\osd.cpp", "Nov 12 2001", "FileException: x", false};
  // 2001-11-05 03:04:09 UTC
  EXPECT_EQ(errorLogEntry(report, 1004929449),
            "05.11.2001 03:04:09\nFileException: x\n(line 42, file vexa\\osd\\osd.cpp, modified Nov 12 2001)\n");
  const ErrorReport empty{};
  EXPECT_EQ(errorLogEntry(empty, 0),
            "01.01.1970 00:00:00\nUnknown exception\n(line 0, file <unknown>, modified <unknown)\n");
}

TEST(ErrorReport, QuestionNamesTheLogOnlyWhenItWasWritten) {
  const ErrorReport report{3, "a.cpp", "", "", true};
  EXPECT_EQ(errorQuestionText(report, std::nullopt),
            "An error occured!\n\nUnknown Exception\n(line 3, file a.cpp, modified <unknown>)"
            "\n\nWould you like to save your current configuration data?\n");
  const std::string withLog = errorQuestionText(report, std::string("C:\\Vexa\\err.log"));
  EXPECT_NE(withLog.find("\nThe error has been logged to:  C:\\Vexa\\err.log\nPlease send this file to " +
                         std::string(kSupportAddress) + "\n\nWould you like"),
            std::string::npos);
}

TEST(ErrorReport, OutcomeSaysWhetherThePresetWasMadeAndWhatHappensNext) {
  EXPECT_EQ(errorOutcomeText(true, true),
            "A new preset 'Error Recovery Backup' was created.\n"
            "Vexa will exit now.\nMaybe you will see another error message from Windows.");
  EXPECT_EQ(errorOutcomeText(false, false).rfind("Vexa will now try to recover from this error,\n", 0), 0u);
}

TEST(ErrorReport, ConfigDumpInItsOrder) {
  ConfigDumpValues v;
  v.programVersion = "0.1.0.0";
  v.serverVersion = "Not loaded";
  v.hookVersion = "1.2.3.4";
  v.os = OsVersion{false, 4, 10, 0x0A0B1234, " A", 0x407};
  v.deviceModule = "serial.dll";
  v.deviceModuleName = "Serial";
  v.activeDevice = "Generic Serial IR Receiver";
  v.selector1 = "COM1";
  v.deviceInitialized = true;
  v.options = 0x244;
  v.serverPort = 1234;
  v.winsock = WinsockVersion{1, 1, "WinSock 2.0", "Running"};
  EXPECT_EQ(configDumpText(v),
            "\nCONFIGDUMP START\n\n"
            "Vexa version:0.1.0.0\nServer module:Not loaded\nHook module:1.2.3.4\n"
            "OS: Windows 4.10.4660 A L407\n"  // the 9x family keeps the low 16 bits of the build
            "Active device module: serial.dll (Serial)\nActive Device:Generic Serial IR Receiver\n"
            "DevSelectorDesc:None\nDevSelector1: COM1\nDevSelector2: None\n"
            "Device initialized: Yes\nDevice running: No\n"
            "Options: 244\nServerPort: 1234\nServer running: No\n"
            "Winsock 1.1 (Desc: WinSock 2.0 -- Status: Running)\n"
            "\nCONFIGDUMP END");
  v.os = OsVersion{true, 6, 1, 0x1DB1, "Service Pack 1", 0x409};
  v.os->build = 0x1DB1;
  v.winsock.reset();
  const std::string nt = configDumpText(v);
  EXPECT_NE(nt.find("OS: Windows NT 6.1.7601Service Pack 1 L409\n"), std::string::npos);
  EXPECT_NE(nt.find("WSAStartup failed\n"), std::string::npos);
  v.os.reset();
  EXPECT_NE(configDumpText(v).find("OS: unknown\n"), std::string::npos);
}

}  // namespace
}  // namespace vexa::shell
