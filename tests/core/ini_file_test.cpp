#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "vexa/base/file_io.h"
#include "vexa/base/windows_1252.h"
#include "vexa/codec/ini_file.h"
#include "vexa/presets/ini_profile.h"

using namespace vexa;

TEST(IniFile, LooksUpLikeThePrivateProfileFunctions) {
  const CIniFile ini = CIniFile::parse(
      "; comment\r\n"
      "[PlugIn Preset]\r\n"
      "PluginName = Serial Receiver \r\n"
      "pluginname=second\r\n"
      "Quoted=\"  padded  \"\r\n"
      "Number=12abc\r\n"
      "Text=abc\r\n"
      "[plugin preset]\r\n"
      "Other=hidden\r\n");
  EXPECT_EQ(ini.getString("plugin PRESET", "PLUGINNAME"), "Serial Receiver");  // first match, trimmed
  EXPECT_EQ(ini.getString("PlugIn Preset", "Quoted"), "  padded  ");
  EXPECT_EQ(ini.getString("PlugIn Preset", "Other", "none"), "none");  // only the first section counts
  EXPECT_EQ(ini.getInt("PlugIn Preset", "Number", 7), 12);
  EXPECT_EQ(ini.getInt("PlugIn Preset", "Text", 7), 0);
  EXPECT_EQ(ini.getInt("PlugIn Preset", "Missing", 7), 7);
  EXPECT_FALSE(ini.find("Nope", "x").has_value());
  EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"PlugIn Preset", "plugin preset"}));
  EXPECT_EQ(ini.entries("PLUGIN PRESET").size(), 5u);
}

TEST(IniFile, WritesKeepWhatTheyDoNotTouch) {
  CIniFile ini = CIniFile::parse("; keep\n[A]\nx=1\n; note\n\n[B]\ny=2\n");
  ini.setString("a", "X", "10");  // replaces in place, keeps the key's spelling
  ini.setString("A", "z", "3");   // new key after the last one, before the blank line
  ini.setString("C", "w", "4");   // new section at the end
  ini.setInt("B", "n", -5);
  EXPECT_EQ(ini.text(), "; keep\r\n[A]\r\nx=10\r\n; note\r\nz=3\r\n\r\n[B]\r\ny=2\r\nn=-5\r\n[C]\r\nw=4\r\n");
  ini.deleteKey("A", "x");
  ini.deleteSection("b");
  EXPECT_EQ(ini.text(), "; keep\r\n[A]\r\n; note\r\nz=3\r\n\r\n[C]\r\nw=4\r\n");
  EXPECT_EQ(ini.getString("C", "w"), "4");  // the index follows deleted sections
}

TEST(IniFile, TextRoundTripsAndSavesAtomically) {
  vexa::test::CTempFolder dir;
  CIniFile ini;
  ini.appendEntries("Remote", {{"Play", "ABCD"}, {"Stop", "EFGH"}});
  ini.setString("Remote", "Pause", "IJ=KL");
  ini.save(dir / "codes.vdp", CWindows1252());
  const CIniFile back = CIniFile::load(dir / "codes.vdp", CWindows1252());
  EXPECT_EQ(back.text(), ini.text());
  EXPECT_EQ(back.getString("remote", "pause"), "IJ=KL");
  EXPECT_TRUE(CIniFile::load(dir / "missing.vdp", CWindows1252()).sectionNames().empty());
}

TEST(IniFile, LongValuesAreNotTruncated) {
  const std::string big(100000, 'A');
  const CIniFile ini = CIniFile::parse("[S]\nv=" + big + "\n");
  EXPECT_EQ(ini.getString("S", "v"), big);
}

TEST(IniProfile, KeepsActiveLayoutsAsDecimalText) {
  CIniFile file = CIniFile::parse("[Commands\\R\\F\\Play]\nActiveLayout=1\n[Commands\\R\\F\\Stop]\nActiveLayout=2\n"
                                  "[CommandsElsewhere]\nx=1\n[Other]\ny=2\n");
  CIniProfile profile(file);
  EXPECT_EQ(profile.readInt("commands\\r\\f\\play", "activelayout", 0), 1);
  profile.deleteTree("Commands");
  EXPECT_EQ(file.sectionNames(), (std::vector<std::string>{"CommandsElsewhere", "Other"}));
  EXPECT_TRUE(profile.writeInt("Commands\\R\\F\\Play", "ActiveLayout", 3));
  EXPECT_EQ(file.getString("Commands\\R\\F\\Play", "ActiveLayout"), "3");
}
