// Text is UTF-8 inside; files keep the system's code page (Windows-1252 here).
#include <gtest/gtest.h>

#include <set>

#include "support/temp_folder.h"
#include "vexa/base/file_io.h"
#include "vexa/base/utf8.h"
#include "vexa/base/windows_1252.h"
#include "vexa/codec/ini_file.h"
#include "vexa/codec/profile_codec.h"
#include "vexa/codec/profile_file.h"
#include "vexa/presets/config_files.h"

using namespace vexa;

namespace {

const CWindows1252 kCp1252;

// "Télé" and "C:\Café\é.exe" in both encodings.
const std::string kTeleUtf8 = "T\xC3\xA9l\xC3\xA9";
const std::string kTeleAnsi = "T\xE9l\xE9";
const std::string kPathUtf8 = "C:\\Caf\xC3\xA9\\\xC3\xA9.exe";
const std::string kPathAnsi = "C:\\Caf\xE9\\\xE9.exe";

bool contains(const std::string& haystack, const std::string& needle) {
  return haystack.find(needle) != std::string::npos;
}

}  // namespace

TEST(Windows1252, EveryByteIsOneCharacterAndComesBackAsItself) {
  std::set<std::string> characters;
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    const std::string utf8 = kCp1252.toUtf8(byte);
    EXPECT_EQ(kCp1252.fromUtf8(utf8), byte) << b;
    characters.insert(utf8);
  }
  EXPECT_EQ(characters.size(), 256u);  // no two bytes share a character
  EXPECT_EQ(kCp1252.toUtf8("A\xE9\xFF"), "A\xC3\xA9\xC3\xBF");
  EXPECT_EQ(kCp1252.toUtf8("\x80\x9F\x8A"), "\xE2\x82\xAC\xC5\xB8\xC5\xA0");  // euro sign, Y and S with marks
  // The five bytes the code page leaves open stand for the C1 controls, as Windows reads them.
  EXPECT_EQ(kCp1252.toUtf8("\x81\x8D\x8F\x90\x9D"), "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
  EXPECT_EQ(kCp1252.toUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Windows1252, WhatItCannotHoldBecomesAQuestionMark) {
  // A CJK word, a Latin letter outside the code page (no best fit to "A"), a
  // character beyond the basic plane, and U+0080, whose byte is the euro sign.
  EXPECT_EQ(kCp1252.fromUtf8("\xE6\x97\xA5\xE6\x9C\xAC \xC4\x80 \xF0\x9F\x93\xBA \xC2\x80 \xE2\x82\xAC"), "?? ? ? ? \x80");
  // Malformed UTF-8 (cut short, a stray continuation, an overlong form, a surrogate) does not swallow
  // the next character.
  EXPECT_EQ(kCp1252.fromUtf8("a\xC3"), "a?");
  EXPECT_EQ(kCp1252.fromUtf8("\xA9x"), "?x");
  EXPECT_EQ(kCp1252.fromUtf8("\xC0\xAFx"), "??x");
  EXPECT_EQ(kCp1252.fromUtf8("\xED\xA0\x80x"), "???x");
  EXPECT_EQ(kCp1252.fromUtf8("\xC3\xA9t\xC3"), "\xE9t?");
}

TEST(Utf8, ACutToASizeLimitEndsWithAWholeCharacter) {
  const std::string text = "ab" + kTeleUtf8 + "\xE2\x82\xAC";  // a b T é l é €
  EXPECT_EQ(utf8Prefix(text, 100), text);
  EXPECT_EQ(utf8Prefix(text, 4), "abT");  // would split the é
  EXPECT_EQ(utf8Prefix(text, 5), "abT\xC3\xA9");
  EXPECT_EQ(utf8Prefix(text, text.size() - 1), "ab" + kTeleUtf8);
  EXPECT_EQ(utf8Prefix(text, text.size() - 2), "ab" + kTeleUtf8);
  EXPECT_EQ(utf8Prefix(text, 0), "");
}

TEST(FileCodePage, KeyTreeFilesHoldTheCodePageAndTheTreeHoldsUtf8) {
  test::CTempFolder dir;
  CProfileTree tree;
  tree.appendChild("Commands").appendChild(kTeleUtf8).setValue("Filename", kPathUtf8);

  saveProfileFile(tree, dir / "text.vcp", ProfileEncoding::Text, kCp1252);
  const std::string text = readFileBytes(dir / "text.vcp");
  EXPECT_EQ(text, "[Commands]\n[Commands\\" + kTeleAnsi + "]\nFilename=" + kPathAnsi + "\n");

  saveProfileFile(tree, dir / "binary.vcp", ProfileEncoding::Binary, kCp1252);
  const std::string binary = readFileBytes(dir / "binary.vcp");
  // The archive's length prefixes count the file's bytes: four for "Télé", not six.
  EXPECT_TRUE(contains(binary, "\x04" + kTeleAnsi)) << binary;
  EXPECT_TRUE(contains(binary, std::string(1, static_cast<char>(kPathAnsi.size())) + kPathAnsi));
  EXPECT_FALSE(contains(binary, "\xC3\xA9"));

  for (const char* file : {"text.vcp", "binary.vcp"}) {
    CProfileTree back;
    loadProfileFile(dir / file, back, kCp1252);
    const CProfileKey* key = back.findTopKey("Commands") ? back.findTopKey("Commands")->findChild(kTeleUtf8) : nullptr;
    ASSERT_NE(key, nullptr) << file;
    EXPECT_EQ(key->value("Filename"), kPathUtf8) << file;
  }
}

TEST(FileCodePage, CommandPartsAndLegacyFilesAreReadFromTheCodePage) {
  test::CTempFolder dir;
  writeFileAtomically(dir / "text.vcp", "[Commands]\n[Commands\\" + kTeleAnsi + "]\nID=0\n[Commands\\" + kTeleAnsi +
                                            "\\Marche]\nID=1\n");
  CCmdTree tree;
  ASSERT_TRUE(loadCommandPart(dir / "text.vcp", tree, kCp1252).ok);
  ASSERT_NE(tree.findRemote(kTeleUtf8), nullptr);

  saveCommandPart(dir / "binary.vcp", tree, kCp1252);
  EXPECT_TRUE(contains(readFileBytes(dir / "binary.vcp"), "\x04" + kTeleAnsi));

  writeFileAtomically(dir / "old.cfg", "[Vexa Config]\nFormatVersion=1.0\nPlugIn=R\xE9" "cepteur\nCmdCount=1\n[Marche@" +
                                           kTeleAnsi + "#1]\nAction=Execute application\nFilename=" + kPathAnsi + "\n");
  CCmdTree legacy;
  const LoadResult result = loadCommandPart(dir / "old.cfg", legacy, kCp1252);
  ASSERT_TRUE(result.legacy);
  EXPECT_EQ(result.legacyPlugIn, "R\xC3\xA9" "cepteur");
  const CCmdItem* remote = legacy.findRemote(kTeleUtf8);
  ASSERT_NE(remote, nullptr);
  ASSERT_EQ(remote->children().size(), 1u);
  EXPECT_EQ(remote->children()[0]->command()->activeLayout()->actions()[0]->fileName, kPathUtf8);
}

TEST(FileCodePage, IniFilesHoldTheCodePageAndKeepWhatTheyDoNotOwn) {
  test::CTempFolder dir;
  // A plug-in's own line, in the code page, with a byte the code page leaves open.
  writeFileAtomically(dir / "codes.vdp", "[Fake]\r\nName=Salle \xE0 manger \x81\r\n");
  CIniFile ini = CIniFile::load(dir / "codes.vdp", kCp1252);
  EXPECT_EQ(ini.getString("Fake", "Name"), "Salle \xC3\xA0 manger \xC2\x81");
  ini.setString(kTeleUtf8, "Filename", kPathUtf8);
  ini.save(dir / "codes.vdp", kCp1252);
  EXPECT_EQ(readFileBytes(dir / "codes.vdp"),
            "[Fake]\r\nName=Salle \xE0 manger \x81\r\n[" + kTeleAnsi + "]\r\nFilename=" + kPathAnsi + "\r\n");
}
