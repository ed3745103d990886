#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "vexa/base/file_io.h"
#include "vexa/base/windows_1252.h"
#include "vexa/presets/config_files.h"

using namespace vexa;

TEST(CommandPart, ReadsTextBinaryAndLegacy) {
  vexa::test::CTempFolder dir;
  writeFileAtomically(dir / "text.vcp", "[Commands]\n[Commands\\R]\nID=0\n[Commands\\R\\C]\nID=1\n");
  CCmdTree tree;
  LoadResult r = loadCommandPart(dir / "text.vcp", tree, CWindows1252());
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_FALSE(r.legacy);
  ASSERT_NE(tree.findRemote("R"), nullptr);

  saveCommandPart(dir / "bin.vcp", tree, CWindows1252());
  EXPECT_EQ(readFileBytes(dir / "bin.vcp").substr(0, 2), std::string("\x01\x00", 2));
  CCmdTree fromBinary;
  ASSERT_TRUE(loadCommandPart(dir / "bin.vcp", fromBinary, CWindows1252()).ok);
  EXPECT_EQ(fromBinary.findRemote("R")->children().size(), 1u);

  writeFileAtomically(dir / "old.cfg",
                      "[Vexa Config]\nFormatVersion=1.0\nPlugIn=Irman\nCmdCount=2\n[Play@Remote1#3]\nAction=Mute\n");
  r = loadCommandPart(dir / "old.cfg", tree, CWindows1252());
  EXPECT_TRUE(r.ok);
  EXPECT_TRUE(r.legacy);
  EXPECT_EQ(r.legacyPlugIn, "Irman");
  EXPECT_EQ(tree.findRemote("R"), nullptr);  // loading replaces the tree
  EXPECT_NE(tree.findRemote("Remote1"), nullptr);
}

TEST(CommandPart, MissingFileIsEmptyAndBadFileChangesNothing) {
  vexa::test::CTempFolder dir;
  CCmdTree tree;
  tree.insertRemote("Kept");
  writeFileAtomically(dir / "bad.vcp", std::string("\x01\x00\x00\x00\x00\x00\x40" "Comm", 11));
  const LoadResult bad = loadCommandPart(dir / "bad.vcp", tree, CWindows1252());
  EXPECT_FALSE(bad.ok);
  EXPECT_NE(bad.error.find("bad.vcp"), std::string::npos);
  EXPECT_NE(bad.error.find("offset"), std::string::npos);
  EXPECT_NE(tree.findRemote("Kept"), nullptr);
  EXPECT_TRUE(loadCommandPart(dir / "none.vcp", tree, CWindows1252()).ok);
  EXPECT_TRUE(tree.empty());
}

TEST(DevicePart, PlugInNameWithFallback) {
  EXPECT_EQ(devicePartPlugIn(CIniFile::parse("[PlugIn Preset]\nPluginName=Serial\n[Device Config]\nDeviceName=Old\n")),
            "Serial");
  EXPECT_EQ(devicePartPlugIn(CIniFile::parse("[Device Config]\nDeviceName=Old\n")), "Old");
  EXPECT_EQ(devicePartPlugIn(CIniFile::parse("[Other]\n")), "");
  EXPECT_EQ(newDevicePart("Irman").text(), "[PlugIn Preset]\r\nPluginName=Irman\r\n");
}

TEST(Presets, PathsAndExistingFiles) {
  vexa::test::CTempFolder dir;
  auto all = presetPaths(dir.path(), "Living room", false);
  ASSERT_TRUE(all);
  EXPECT_EQ(all->commandPart, dir.path() / "presets" / "Living room.vcp");
  EXPECT_EQ(all->devicePart, dir.path() / "presets" / "Living room.vdp");
  EXPECT_FALSE(presetPaths(dir.path(), "Living room", true));
  std::filesystem::create_directories(dir / "presets");
  writeFileAtomically(all->commandPart, "x");
  auto existing = presetPaths(dir.path(), "Living room", true);
  ASSERT_TRUE(existing);
  EXPECT_EQ(existing->commandPart, all->commandPart);
  EXPECT_TRUE(existing->devicePart.empty());
}
