#include <gtest/gtest.h>

#include <sstream>

#include "support/temp_folder.h"
#include "tools/vexacfg/vexacfg.h"
#include "vexa/base/file_io.h"

using namespace vexa;

namespace {

struct Outcome {
  int status;
  std::string out, err;
};

Outcome run(std::vector<std::string> args) {
  std::ostringstream out, err;
  const int status = runVexacfg(args, out, err);
  return {status, out.str(), err.str()};
}

const std::string kText =
    "[Commands]\n[Commands\\R]\nID=0\n[Commands\\R\\Play]\nID=1\n[Commands\\R\\Play\\Layout 1]\n"
    "HotKey=0\nIndex=-1\nFlags=0\nID=1\n[Commands\\R\\Play\\Layout 1\\Go]\nID=3\nIndex=0\n"
    "Action=Execute application\nFilename=C:\\p.exe\nFlags=0\nDelay=0\nxParam1=\n";

}  // namespace

TEST(Vexacfg, ConvertsBothWaysAndDumpsEither) {
  vexa::test::CTempFolder dir;
  writeFileAtomically(dir / "a.txt", kText);
  ASSERT_EQ(run({"convert", "--to", "binary", (dir / "a.txt").string(), (dir / "a.vcp").string()}).status, 0);
  EXPECT_EQ(readFileBytes(dir / "a.vcp")[0], '\x01');
  EXPECT_EQ(run({"dump", (dir / "a.vcp").string()}).out, kText);
  ASSERT_EQ(run({"convert", "--to", "text", (dir / "a.vcp").string(), (dir / "b.txt").string()}).status, 0);
  EXPECT_EQ(readFileBytes(dir / "b.txt"), kText);
  EXPECT_EQ(run({"check", (dir / "a.vcp").string()}).status, 0);
}

TEST(Vexacfg, CheckReportsEveryProblemWithItsPath) {
  vexa::test::CTempFolder dir;
  writeFileAtomically(dir / "bad.txt",
                      "[Commands\\R]\nID=0\n"
                      "[Commands\\R\\Play]\nID=1\n"
                      "[Commands\\R\\Play\\Layout 1]\nFlags=4\n"
                      "[Commands\\R\\Play\\Layout 1\\A]\nAction=Launch rockets\nDelay=20000\n"
                      "[Commands\\R\\Play\\Layout 1\\B]\nAction=Mute\nIndex=x\n"
                      "[Commands\\R\\play]\nID=1\n[Commands\\R\\play\\L]\n"
                      "[Commands\\R\\F]\nID=2\n[Commands\\R\\F\\G]\nID=2\n");
  const Outcome r = run({"check", (dir / "bad.txt").string()});
  EXPECT_EQ(r.status, 1);
  for (const char* expected :
       {"[Commands\\R\\Play\\Layout 1] \"Flags\" has unknown bits 4",
        "[Commands\\R\\Play\\Layout 1\\A] unknown action type \"Launch rockets\"",
        "[Commands\\R\\Play\\Layout 1\\A] \"Delay\"=20000 is outside 0..10000",
        "[Commands\\R\\Play\\Layout 1\\B] \"Index\" is not a number: \"x\"",
        "[Commands\\R\\play] An item \"play\" already exists here",
        "[Commands\\R\\F\\G] an application folder must be directly under a remote"})
    EXPECT_NE(r.out.find(expected), std::string::npos) << expected << "\n" << r.out;
}

TEST(Vexacfg, BadInputAndUsage) {
  vexa::test::CTempFolder dir;
  writeFileAtomically(dir / "broken.vcp", std::string("\x01\x00\x00\x00\x00\x00\x30", 7));
  const Outcome broken = run({"dump", (dir / "broken.vcp").string()});
  EXPECT_EQ(broken.status, 2);
  EXPECT_NE(broken.err.find("offset"), std::string::npos);
  EXPECT_EQ(run({"dump", (dir / "missing.vcp").string()}).status, 2);
  EXPECT_EQ(run({"convert", "--to", "xml", "a", "b"}).status, 2);
  EXPECT_NE(run({}).err.find("usage"), std::string::npos);
}

TEST(Vexacfg, FilesAreWindows1252UnlessToldOtherwiseAndWhatItPrintsIsUtf8) {
  vexa::test::CTempFolder dir;
  const std::string ansi = "[Commands]\n[Commands\\T\xE9l\xE9]\nID=0\n";
  const std::string utf8 = "[Commands]\n[Commands\\T\xC3\xA9l\xC3\xA9]\nID=0\n";
  writeFileAtomically(dir / "ansi.txt", ansi);
  EXPECT_EQ(run({"dump", (dir / "ansi.txt").string()}).out, utf8);
  ASSERT_EQ(run({"convert", "--to", "binary", (dir / "ansi.txt").string(), (dir / "ansi.vcp").string()}).status, 0);
  EXPECT_NE(readFileBytes(dir / "ansi.vcp").find("\x04T\xE9l\xE9"), std::string::npos);
  EXPECT_EQ(run({"--codepage", "1252", "dump", (dir / "ansi.vcp").string()}).out, utf8);

  writeFileAtomically(dir / "utf8.txt", utf8);
  EXPECT_EQ(run({"--codepage", "utf-8", "dump", (dir / "utf8.txt").string()}).out, utf8);
  ASSERT_EQ(run({"--codepage", "65001", "convert", "--to", "binary", (dir / "utf8.txt").string(),
                 (dir / "utf8.vcp").string()})
                .status,
            0);
  EXPECT_NE(readFileBytes(dir / "utf8.vcp").find("\x06T\xC3\xA9l\xC3\xA9"), std::string::npos);

  const Outcome unknown = run({"--codepage", "850", "dump", (dir / "ansi.txt").string()});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("850"), std::string::npos);
  EXPECT_NE(run({}).err.find("--codepage"), std::string::npos);
}

TEST(Vexacfg, ImportsALircdRemoteIntoADeviceFile) {
  vexa::test::CTempFolder dir;
  const std::string conf =
      "begin remote\n name tv\n bits 8\n flags SPACE_ENC\n header 9000 4500\n one 560 1690\n zero 560 560\n"
      " ptrail 560\n gap 40000\n begin codes\n  power 0x10\n  play 0x88\n end codes\nend remote\n"
      "begin remote\n name odd\n bits 8\n flags XMP\n gap 1000\n begin codes\n  x 1\n end codes\nend remote\n";
  writeFileAtomically(dir / "lircd.conf", conf);
  const std::string before = "[Device Config]\nDeviceName=Receiver\n";
  writeFileAtomically(dir / "carrio.vdp", before);
  const std::string to = (dir / "carrio.vdp").string();

  // A feature it cannot express: refused, named with its line, nothing written.
  auto r = run({"import-lircd", (dir / "lircd.conf").string(), "--remote", "odd", "--to", to});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "vexacfg: line 18: flag XMP is not supported\n");
  EXPECT_EQ(readFileBytes(dir / "carrio.vdp"), before);
  // Two remotes and none chosen.
  r = run({"import-lircd", (dir / "lircd.conf").string(), "--to", to});
  EXPECT_EQ(r.err, "vexacfg: the file describes several remotes; choose one of: tv, odd\n");

  r = run({"import-lircd", (dir / "lircd.conf").string(), "--remote", "tv", "--to", to});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Imported 2 buttons of remote \"tv\" into " + to + "\n");
  const std::string after = readFileBytes(dir / "carrio.vdp");
  EXPECT_EQ(after.rfind("[Device Config]\r\nDeviceName=Receiver\r\n", 0), 0u);
  EXPECT_NE(after.find("[power@tv]\r\nFlags=262170\r\nRaw="), std::string::npos);

  // Importing again would throw away what the file holds of "tv": only on request.
  r = run({"import-lircd", (dir / "lircd.conf").string(), "--remote", "tv", "--to", to});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "vexacfg: " + to + " already holds remote \"tv\"; --replace replaces it and all its buttons\n");
  EXPECT_EQ(readFileBytes(dir / "carrio.vdp"), after);
  r = run({"import-lircd", (dir / "lircd.conf").string(), "--remote", "TV", "--replace", "--to", to});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(readFileBytes(dir / "carrio.vdp"), after);
}
