// Configuration files read straight into the command tree and written
// straight from it must give what the key tree gives, byte for byte.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "support/temp_folder.h"
#include "vexa/base/errors.h"
#include "vexa/base/file_io.h"
#include "vexa/base/windows_1252.h"
#include "vexa/codec/profile_codec.h"
#include "vexa/model/cmd_tree_store.h"

using namespace vexa;

namespace {

const CWindows1252 kCp1252;

// Remotes, a folder with its application command, layouts, actions placed
// out of order and over each other, keys of no kind with items below,
// misplaced items, text outside ASCII and a value past the 255-byte escape.
const std::string kConfig =
    "[Other]\nID=0\n"
    "[Commands]\n"
    "[Commands\\TV]\nID=0\n"
    "[Commands\\TV\\Player]\nID=2\nIndex=-1\nFile=C:\\Programme\\Spieler\\spieler.exe\nWnd=\nCommand=Power\nFlags=9\n"
    "[Commands\\TV\\Player\\App:Power]\nID=1\n"
    "[Commands\\TV\\Player\\App:Power\\Layout 1]\nHotKey=0\nIndex=-1\nFlags=0\nID=1\n"
    "[Commands\\TV\\Player\\App:Power\\Layout 1\\Execute]\nID=3\nIndex=0\nAction=Execute application\n"
    "[Commands\\TV\\Player\\Pause]\nID=1\nActiveLayout=1\n"
    "[Commands\\TV\\Player\\Pause\\Main]\nHotKey=5\nIndex=3\nFlags=1\nID=1\n"
    "[Commands\\TV\\Player\\Pause\\Main\\Third]\nIndex=2\n"
    "[Commands\\TV\\Player\\Pause\\Main\\First]\nIndex=0\nbDelay=1\nDelay=500\nParam=Caf\xC3\xA9 \xE2\x82\xAC\n"
    "[Commands\\TV\\Player\\Pause\\Main\\Replaced]\nIndex=2\n"
    "[Commands\\TV\\Player\\Pause\\Main\\Appended]\nFilename=x\n"
    "[Commands\\TV\\Player\\Pause\\main]\nHotKey=6\n"
    "[Commands\\TV\\Player\\Inner]\nID=2\n"
    "[Commands\\TV\\Group]\nID=7\n"
    "[Commands\\TV\\Group\\R\xC3\xBC" "ckw\xC3\xA4rts]\nID=1\n"
    "[Commands\\TV\\Group\\R\xC3\xBC" "ckw\xC3\xA4rts\\L]\nID=1\n"
    "[Commands\\TV\\Group\\R\xC3\xBC" "ckw\xC3\xA4rts\\L\\Long]\nParam=" +
    std::string(300, 'p') +
    "\n"
    "[Commands\\TV\\Group\\Radio]\nID=0\n"
    "[Commands\\TV\\Group\\Radio\\Tune]\nID=1\n"
    "[Commands\\Loose]\nID=1\n"
    "[Commands\\Startup Macro]\nID=0\n";

std::unique_ptr<CProfileTree> keysOf(const std::string& text) {
  auto keys = std::make_unique<CProfileTree>();
  readProfileText(text, *keys);
  return keys;
}

// What a tree holds, as the text form shows it.
std::string dump(const CCmdTree& tree) {
  CProfileTree keys;
  saveCommandTree(tree, keys);
  return writeProfileText(keys);
}

struct Loaded {
  std::string content;
  TreeLoadResult result;
  std::vector<std::string> status;
};

Loaded viaKeyTree(std::string_view bytes) {
  Loaded l;
  CProfileTree keys;
  readProfile(bytes, keys, kCp1252);
  CCmdTree tree;
  l.result = loadCommandTree(tree, keys, kCommandsKey, [&](const std::string& s) { l.status.push_back(s); });
  l.content = dump(tree);
  return l;
}

template <typename Source>
Loaded straight(Source&& bytes) {
  Loaded l;
  CCmdTree tree;
  l.result = decodeCommandTree(tree, bytes, kCp1252, [&](const std::string& s) { l.status.push_back(s); });
  l.content = dump(tree);
  return l;
}

// A file that has to go through the key tree after all starts its progress
// over; only where it ends is the same.
enum class Progress { Same, EndsTheSame };

void expectSame(const Loaded& a, const Loaded& b, Progress progress = Progress::Same) {
  EXPECT_EQ(a.content, b.content);
  EXPECT_EQ(a.result.ok, b.result.ok);
  EXPECT_EQ(a.result.problems, b.result.problems);
  if (progress == Progress::Same)
    EXPECT_EQ(a.status, b.status);
  else
    EXPECT_EQ(a.status.back(), b.status.back());
}

std::string bytes(std::initializer_list<int> list) {
  std::string s;
  for (int b : list) s.push_back(static_cast<char>(b));
  return s;
}

}  // namespace

TEST(ConfigStream, SavedFilesAreTheKeyTreesBytesInBothForms) {
  CCmdTree tree;
  ASSERT_FALSE(loadCommandTree(tree, *keysOf(kConfig)).ok);  // the misplaced items are reported
  CProfileTree keys;
  saveCommandTree(tree, keys);
  for (auto encoding : {ProfileEncoding::Binary, ProfileEncoding::Text})
    EXPECT_EQ(encodeCommandTree(tree, encoding, kCp1252), writeProfile(keys, encoding, kCp1252));

  vexa::test::CTempFolder dir;
  saveCommandTreeFile(tree, dir / "current.vcp", kCp1252);
  EXPECT_EQ(readFileBytes(dir / "current.vcp"), writeProfile(keys, ProfileEncoding::Binary, kCp1252));
  // Text outside ASCII reaches the file in the code page.
  EXPECT_NE(readFileBytes(dir / "current.vcp").find("Caf\xE9 \x80"), std::string::npos);
}

TEST(ConfigStream, ReadingStraightIntoTheTreeGivesWhatTheKeyTreeGives) {
  const std::string binary = writeProfile(*keysOf(kConfig), ProfileEncoding::Binary, kCp1252);
  const Loaded expected = viaKeyTree(binary);
  EXPECT_FALSE(expected.result.problems.empty());
  expectSame(straight(std::string_view(binary)), expected);
  std::istringstream stream(binary);
  expectSame(straight(stream), expected);
  const std::string text = writeProfile(*keysOf(kConfig), ProfileEncoding::Text, kCp1252);
  expectSame(straight(std::string_view(text)), viaKeyTree(text));

  // Two items of one name under one remote: only the binary form can hold them.
  const auto twiceKeys = keysOf("[Commands]\n[Commands\\R]\nID=0\n[Commands\\R\\C]\nID=1\n");
  CProfileTree& twice = *twiceKeys;
  twice.findTopKey("Commands")->child(0)->appendChild("C").setValue("ID", "1");
  const std::string doubled = writeProfileBinary(twice, kCp1252);
  const Loaded renamed = straight(std::string_view(doubled));
  expectSame(renamed, viaKeyTree(doubled));
  EXPECT_NE(renamed.content.find("[Commands\\R\\C_1]"), std::string::npos);
}

TEST(ConfigStream, FilesInAnotherOrderOrSharingAValueMapStillLoadWhole) {
  const std::string idMap = bytes({0xFF, 0xFF, 0, 0, 18, 0}) + "CMapStringToString" + bytes({1, 0, 2}) + "ID";
  const auto record = [](std::initializer_list<int> path, const std::string& name, const std::string& id) {
    std::string r = bytes({static_cast<int>(path.size()), 0});
    for (int p : path) r += bytes({p, 0, 0, 0});
    return r + bytes({static_cast<int>(name.size())}) + name + bytes({0x01, 0x80, 1, 0, 2}) + "ID" + bytes({1}) + id;
  };
  // Command E is added to remote R after remote S and its command D began:
  // at the position S's next child would take.
  const std::string lateChild = bytes({1, 0, 0, 0, 0, 0, 8}) + "Commands" + bytes({0, 0}) +
                                bytes({2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}) + "R" + idMap + bytes({1}) + "0" +
                                record({0, 0, 0}, "C", "1") + record({0, 1}, "S", "0") + record({0, 1, 0}, "D", "1") +
                                record({0, 0, 1}, "E", "1");
  const Loaded late = straight(std::string_view(lateChild));
  expectSame(late, viaKeyTree(lateChild), Progress::EndsTheSame);
  EXPECT_NE(late.content.find("[Commands\\R\\E]"), std::string::npos);

  // Remote S shares R's value map (object 2) instead of a map of its own.
  const std::string shared = bytes({1, 0, 0, 0, 0, 0, 8}) + "Commands" + bytes({0, 0}) +
                             bytes({2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}) + "R" + idMap + bytes({1}) + "0" +
                             bytes({2, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1}) + "S" + bytes({2, 0});
  const Loaded both = straight(std::string_view(shared));
  expectSame(both, viaKeyTree(shared), Progress::EndsTheSame);
  EXPECT_NE(both.content.find("[Commands\\S]\nID=0\n"), std::string::npos);
}

TEST(ConfigStream, TextThatComesBackToAKeyStillLoadsWhole) {
  // R gets a command after S began; a folder gets more values in a second
  // section; a section of the key open just before adds to it too.
  const std::string laterChild =
      "[Commands]\n[Commands\\R]\nID=0\n[Commands\\S]\nID=0\n[Commands\\R\\C]\nID=1\n";
  const std::string laterValues = "[Commands]\n[Commands\\S]\nID=0\n[Commands\\S\\Folder]\nID=2\n"
                                  "[Commands\\S\\Folder]\nFile=f.exe\n";
  const std::string openAgain =
      "[Commands]\n[Commands\\R]\nID=0\n[Commands\\R\\C]\nID=1\n[Commands\\R]\nID=7\n";
  for (const std::string& text : {laterChild, laterValues, openAgain})
    expectSame(straight(std::string_view(text)), viaKeyTree(text), Progress::EndsTheSame);
  EXPECT_NE(straight(std::string_view(laterChild)).content.find("[Commands\\R\\C]"), std::string::npos);
  EXPECT_NE(straight(std::string_view(laterValues)).content.find("File=f.exe"), std::string::npos);
}

TEST(ConfigStream, AMalformedFileFailsAsTheKeyTreeReaderSaysAndChangesNothing) {
  const std::string binary = writeProfile(*keysOf(kConfig), ProfileEncoding::Binary, kCp1252);
  for (size_t cut : {size_t{3}, binary.size() / 2, binary.size() - 1}) {
    const std::string_view part = std::string_view(binary).substr(0, cut);
    std::string expected;
    try {
      CProfileTree keys;
      readProfileBinary(part, keys, kCp1252);
    } catch (const ArchiveError& e) {
      expected = e.what();
    }
    ASSERT_FALSE(expected.empty()) << cut;
    CCmdTree tree;
    tree.insertRemote("Kept");
    std::istringstream stream{std::string(part)};
    for (int from = 0; from < 2; ++from) {
      try {
        if (from == 0)
          decodeCommandTree(tree, part, kCp1252);
        else
          decodeCommandTree(tree, stream, kCp1252);
        ADD_FAILURE() << "no error at cut " << cut;
      } catch (const ArchiveError& e) {
        EXPECT_EQ(e.what(), expected) << cut;
      }
      EXPECT_NE(tree.findRemote("Kept"), nullptr);
    }
  }
}

TEST(ConfigStream, AStreamReadInPiecesGivesWhatTheWholeBytesGive) {
  // Records cross the reader's pieces everywhere, and one value is longer
  // than a piece.
  const auto tree = keysOf(kConfig);
  CProfileTree& keys = *tree;
  CProfileKey& remote = keys.findTopKey("Commands")->appendChild("Many");
  remote.setValue("ID", "0");
  for (int c = 0; c < 3000; ++c) {
    CProfileKey& command = remote.appendChild("Button " + std::to_string(c));
    command.setValue("ID", "1");
    CProfileKey& action = command.appendChild("Layout 1").appendChild("Key");
    action.setValue("Param", std::string(static_cast<size_t>(c % 400), 'k'));
  }
  remote.child(1500)->child(0)->child(0)->setValue("Param", std::string(600 * 1024, 'x'));
  const std::string binary = writeProfileBinary(keys, kCp1252);
  ASSERT_GT(binary.size(), 2u * 600 * 1024);
  std::istringstream stream(binary);
  const Loaded pieces = straight(stream);
  expectSame(pieces, straight(std::string_view(binary)));
  EXPECT_NE(pieces.content.find(std::string(600 * 1024, 'x')), std::string::npos);
}

TEST(ConfigStream, ASaveThatFailsMidwayKeepsThePreviousFile) {
  vexa::test::CTempFolder dir;
  writeFileAtomically(dir / "current.vcp", "before");
  EXPECT_THROW(writeFileAtomically(dir / "current.vcp",
                                   [](std::ostream& out) {
                                     out << "half";
                                     VEXA_THROW(FileError, "gone");
                                   }),
               FileError);
  EXPECT_EQ(readFileBytes(dir / "current.vcp"), "before");
  EXPECT_FALSE(std::filesystem::exists(dir / "current.vcp.tmp"));
}

TEST(ConfigStream, AsciiScanFindsAByteAboveAsciiAtAnyPosition) {
  for (size_t length = 0; length < 20; ++length) {
    std::string s(length, 'a');
    EXPECT_TRUE(isAscii(s)) << length;
    for (size_t at = 0; at < length; ++at) {
      s[at] = '\x80';
      EXPECT_FALSE(isAscii(s)) << length << " " << at;
      s[at] = '\x7F';
    }
  }
}

namespace {

// A command with one layout, whose actions the caller adds.
std::unique_ptr<CProfileTree> oneLayout(CProfileKey*& layout) {
  auto keys = keysOf("[Commands]\n[Commands\\R]\nID=0\n[Commands\\R\\C]\nID=1\n[Commands\\R\\C\\L]\nID=1\n");
  layout = keys->findTopKey("Commands")->child(0)->child(0)->child(0);
  return keys;
}

const CMD& firstAction(const CCmdTree& tree) { return *tree.remotes()[0]->children()[0]->command()->actions()[0]; }

}  // namespace

TEST(ConfigStream, AnActionsRepeatedValueCountsTheLastOneEvenWhenEmpty) {
  // Only the archive form can hold one name twice in a key.
  CProfileKey* layout = nullptr;
  const auto keys = oneLayout(layout);
  CProfileKey& action = layout->appendChild("A");
  const std::pair<const char*, const char*> values[] = {
      {"Action", "Execute application"}, {"Delay", "500"}, {"bDelay", "1"}, {"Param", "kept"}, {"Delay", ""},
      {"Action", "Keystroke to application"}, {"bDelay", "0"}, {"ID", "9"}, {"ID", "3"}};
  for (const auto& [name, value] : values) action.appendValue(name, value);
  const std::string binary = writeProfileBinary(*keys, kCp1252);
  expectSame(straight(std::string_view(binary)), viaKeyTree(binary));
  CCmdTree tree;
  ASSERT_TRUE(decodeCommandTree(tree, binary, kCp1252).ok);
  const CMD& a = firstAction(tree);
  EXPECT_EQ(a.typeName, "Keystroke to application");
  EXPECT_EQ(a.delay, 0);
  EXPECT_FALSE(a.delayEnabled());
  EXPECT_EQ(a.param, "kept");
  EXPECT_EQ(a.kind, 3);
}

TEST(ConfigStream, TextOutsideAsciiIsConvertedWhereverItStandsInAKey) {
  CProfileKey* layout = nullptr;
  const auto keys = oneLayout(layout);
  layout->appendChild("First").setValue("Param", "Caf\xC3\xA9");
  // A long value's length is itself a byte above ASCII; the text after it is not.
  CProfileKey& last = layout->appendChild("Last");
  last.setValue("Param", std::string(200, 'p'));
  last.setValue("xParam1", "\xE2\x82\xAC");
  layout->appendChild("Na\xC3\xAFve").setValue("Pr\xC3\xA9" "fix", "\xC3\xBC");
  const std::string binary = writeProfileBinary(*keys, kCp1252);
  const Loaded loaded = straight(std::string_view(binary));
  expectSame(loaded, viaKeyTree(binary));
  EXPECT_NE(loaded.content.find("Param=Caf\xC3\xA9\n"), std::string::npos);
  EXPECT_NE(loaded.content.find("Param=" + std::string(200, 'p') + "\n"), std::string::npos);
  EXPECT_NE(loaded.content.find("xParam1=\xE2\x82\xAC\n"), std::string::npos);
  EXPECT_NE(loaded.content.find("\\Na\xC3\xAFve]"), std::string::npos);
}

TEST(ConfigStream, AFileSavedInManyPiecesHoldsWhatTheTreeHolds) {
  CCmdTree tree;
  loadCommandTree(tree, *keysOf(kConfig));
  CCmdItem& remote = tree.insertRemote("Many");
  for (int c = 0; c < 4000; ++c) {
    auto command = std::make_unique<CCmdArray>("Button " + std::to_string(c));
    command->setIndex(c);
    auto action = std::make_unique<CMD>();
    action->name = c % 7 == 0 ? "Pr\xC3\xBC" "fen " + std::to_string(c) : "Key";
    action->param = std::string(static_cast<size_t>(c % 300), 'q') + (c % 13 == 0 ? "\xE2\x82\xAC" : "");
    command->appendAction(std::move(action));
    tree.insertCommand(remote, std::move(command));
  }
  vexa::test::CTempFolder dir;
  saveCommandTreeFile(tree, dir / "current.vcp", kCp1252);
  const std::string saved = readFileBytes(dir / "current.vcp");
  ASSERT_GT(saved.size(), 3u * 256 * 1024);
  EXPECT_EQ(saved, encodeCommandTree(tree, ProfileEncoding::Binary, kCp1252));
  // The key tree's reader and the text form know nothing of how it was written.
  CProfileTree expected;
  saveCommandTree(tree, expected);
  CProfileTree back;
  readProfileBinary(saved, back, kCp1252);
  EXPECT_EQ(writeProfileText(back), writeProfileText(expected));
}
