#include <gtest/gtest.h>

#include <algorithm>

#include "vexa/base/errors.h"
#include "vexa/base/windows_1252.h"
#include "vexa/codec/archive.h"
#include "vexa/codec/profile_codec.h"

using namespace vexa;

namespace {

const CWindows1252 kCp1252;

const std::string kSample =
    "[Commands]\n"
    "[Commands\\TV]\n"
    "ID=0\n"
    "[Commands\\TV\\Player]\n"
    "ID=2\n"
    "Index=-1\n"
    "File=C:\\Program Files\\Player\\player.exe\n"
    "Wnd=\n"
    "Command=Power\n"
    "Flags=9\n"
    "[Commands\\TV\\Player\\App:Power]\n"
    "ID=1\n"
    "[Commands\\TV\\Player\\App:Power\\Layout 1]\n"
    "HotKey=0\n"
    "Index=-1\n"
    "Flags=0\n"
    "ID=1\n"
    "[Commands\\TV\\Player\\App:Power\\Layout 1\\Execute]\n"
    "ID=3\n"
    "Index=0\n"
    "Action=Execute/Close application\n"
    "Flags=0\n"
    "Delay=0\n"
    "xParam1=a=b\n"
    "[Commands\\Startup Macro]\n"
    "ID=0\n";

std::string bytes(std::initializer_list<int> list) {
  std::string s;
  for (int b : list) s.push_back(static_cast<char>(b));
  return s;
}

std::string roundTrip(const std::string& text) {
  CProfileTree first;
  readProfileText(text, first);
  const std::string binary = writeProfileBinary(first, kCp1252);
  CProfileTree second;
  readProfileBinary(binary, second, kCp1252);
  return writeProfileText(second);
}

std::string archiveError(const std::string& data) {
  CProfileTree tree;
  try {
    readProfileBinary(data, tree, kCp1252);
  } catch (const ArchiveError& e) {
    return e.what();
  }
  return "";
}

}  // namespace

TEST(ProfileText, ReadsSectionsInAnyOrderAndCreatesThePath) {
  CProfileTree tree;
  readProfileText("[A\\B\\C]\r\nx=1\r\n\r\n[A]\ny=2=3\nnot a value\n[A\\B]\n", tree);
  const CProfileKey* a = tree.findTopKey("A");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(tree.childCount(), 1u);
  EXPECT_EQ(a->value("y"), "2=3");  // split at the first "="
  ASSERT_EQ(a->childCount(), 1u);
  const CProfileKey* b = a->child(0);
  EXPECT_FALSE(b->hasValueMap());
  ASSERT_NE(b->findChild("C"), nullptr);
  EXPECT_EQ(b->findChild("C")->value("x"), "1");
  EXPECT_EQ(a->values().size(), 1u);
}

TEST(ProfileText, WritesInTreeOrder) {
  CProfileTree tree;
  readProfileText(kSample, tree);
  EXPECT_EQ(writeProfileText(tree), kSample);
}

TEST(ProfileText, RepeatedSectionsAddToTheSameKey) {
  CProfileTree tree;
  readProfileText("[K]\na=1\n[L]\n[K]\nb=2\na=3\n", tree);
  ASSERT_EQ(tree.childCount(), 2u);
  EXPECT_EQ(tree.child(0)->value("a"), "3");
  EXPECT_EQ(tree.child(0)->value("b"), "2");
}

TEST(ProfileEncoding, DetectionLooksAtFiveBytes) {
  EXPECT_TRUE(looksLikeText("[Comm"));
  EXPECT_TRUE(looksLikeText("\r\n[Co"));
  EXPECT_FALSE(looksLikeText("[Com"));  // too short
  EXPECT_FALSE(looksLikeText(bytes({1, 0, 0, 0, 0, 0})));
  EXPECT_FALSE(looksLikeText(std::string("[Co\tm")));
  CProfileTree tree;
  readProfile(writeProfileBinary([] {
                static CProfileTree t;
                if (!t.childCount()) t.appendChild("Commands").setValue("ID", "0");
                return std::cref(t);
              }(), kCp1252),
              tree, kCp1252);
  ASSERT_NE(tree.findTopKey("Commands"), nullptr);
  EXPECT_EQ(tree.findTopKey("Commands")->value("ID"), "0");
}

TEST(ProfileBinary, ExactBytesOfClassTagsAndPaths) {
  CProfileTree tree;
  readProfileText("[Commands]\n[Commands\\TV]\nID=0\n[Commands\\Radio]\nID=0\n", tree);
  const std::string expected =
      bytes({1, 0, 0, 0, 0, 0, 8}) + "Commands" + bytes({0, 0}) +
      bytes({2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2}) + "TV" + bytes({0xFF, 0xFF, 0, 0, 18, 0}) + "CMapStringToString" +
      bytes({1, 0, 2}) + "ID" + bytes({1}) + "0" +
      bytes({2, 0, 0, 0, 0, 0, 1, 0, 0, 0, 5}) + "Radio" + bytes({0x01, 0x80, 1, 0, 2}) + "ID" + bytes({1}) + "0";
  EXPECT_EQ(writeProfileBinary(tree, kCp1252), expected);
}

TEST(ProfileBinary, TextBinaryTextIsByteIdentical) { EXPECT_EQ(roundTrip(kSample), kSample); }

TEST(ProfileBinary, LongStringsAndLargeCountsUseTheirEscapes) {
  CProfileTree tree;
  CProfileKey& key = tree.appendChild("K");
  const std::string mid(300, 'm'), huge(70000, 'h');
  key.setValue("mid", mid);
  key.setValue("huge", huge);
  CProfileKey& many = tree.appendChild("Many");
  for (int i = 0; i < 70000; ++i) many.appendValue("v" + std::to_string(i), "");
  const std::string binary = writeProfileBinary(tree, kCp1252);
  // 300 characters: 0xFF then a 16-bit length.
  EXPECT_NE(binary.find(bytes({0xFF, 0x2C, 0x01}) + mid), std::string::npos);
  // 70000 characters: 0xFF, 0xFFFF, then a 32-bit length.
  EXPECT_NE(binary.find(bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}) + "hhhh"), std::string::npos);
  // A count of 70000 pairs: the 0xFFFF escape and a 32-bit count.
  EXPECT_NE(binary.find(bytes({0x01, 0x80, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})), std::string::npos);
  CProfileTree back;
  readProfileBinary(binary, back, kCp1252);
  EXPECT_EQ(back.findTopKey("K")->value("huge"), huge);
  EXPECT_EQ(back.findTopKey("K")->value("mid"), mid);
  EXPECT_EQ(back.findTopKey("Many")->values().size(), 70000u);
  EXPECT_EQ(writeProfileBinary(back, kCp1252), binary);
}

TEST(ProfileBinary, ReaderAcceptsOtherWritersTags) {
  // Any schema, the big-index class tag and a back-reference to an earlier map.
  const std::string data = bytes({1, 0, 0, 0, 0, 0, 1}) + "A" + bytes({0xFF, 0xFF, 7, 0, 18, 0}) +
                           "CMapStringToString" + bytes({1, 0, 1}) + "x" + bytes({1}) + "1" +
                           bytes({1, 0, 1, 0, 0, 0, 1}) + "B" + bytes({0xFF, 0x7F, 1, 0, 0, 0x80, 0, 0}) +
                           bytes({2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}) + "C" + bytes({2, 0});  // object 2 = A's map
  CProfileTree tree;
  readProfileBinary(data, tree, kCp1252);
  ASSERT_EQ(tree.childCount(), 2u);
  EXPECT_EQ(tree.child(0)->value("x"), "1");
  EXPECT_TRUE(tree.child(1)->hasValueMap());
  EXPECT_TRUE(tree.child(1)->values().empty());
  ASSERT_EQ(tree.child(0)->childCount(), 1u);
  EXPECT_EQ(tree.child(0)->child(0)->value("x"), "1");
}

TEST(ProfileBinary, MalformedInputFailsWithTheOffset) {
  const std::string good = bytes({1, 0, 0, 0, 0, 0, 1}) + "A" + bytes({0, 0});
  EXPECT_EQ(archiveError(good), "");
  // Cut anywhere inside the record.
  for (size_t cut = 1; cut < good.size(); ++cut) {
    const std::string message = archiveError(good.substr(0, cut));
    EXPECT_NE(message.find("offset"), std::string::npos) << cut;
  }
  // A string longer than the file.
  EXPECT_NE(archiveError(bytes({1, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F})).find("at offset 6"),
            std::string::npos);
  // A map count no file of this size can hold must not be trusted.
  EXPECT_NE(archiveError(good.substr(0, good.size() - 2) + bytes({0xFF, 0xFF, 0, 0, 18, 0}) + "CMapStringToString" +
                         bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F}))
                .find("Count"),
            std::string::npos);
  // A path of four billion levels.
  EXPECT_NE(archiveError(bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})).find("at offset 0"), std::string::npos);
  // A position that skips a sibling, and a parent that does not exist.
  EXPECT_NE(archiveError(bytes({1, 0, 1, 0, 0, 0, 1}) + "A" + bytes({0, 0})).find("does not follow"),
            std::string::npos);
  EXPECT_NE(archiveError(bytes({2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}) + "A" + bytes({0, 0})).find("does not exist"),
            std::string::npos);
  // Another class where a map belongs; a reference to an unknown class or object.
  EXPECT_NE(archiveError(good.substr(0, good.size() - 2) + bytes({0xFF, 0xFF, 0, 0, 4, 0}) + "CObj").find("CObj"),
            std::string::npos);
  EXPECT_NE(archiveError(good.substr(0, good.size() - 2) + bytes({0x05, 0x80})).find("unknown class"),
            std::string::npos);
  EXPECT_NE(archiveError(good.substr(0, good.size() - 2) + bytes({0x09, 0x00})).find("unknown object"),
            std::string::npos);
  EXPECT_NE(archiveError(bytes({1, 0, 0, 0, 0, 0, 0xFF, 0xFE, 0xFF})).find("Wide"), std::string::npos);
}

TEST(ProfileBinary, FailedReadOfAFileLeavesAPartialScratchTreeOnly) {
  // readProfile fills the tree it is given; callers use a scratch tree and
  // commit it only on success, so a failure must surface as an exception.
  CProfileTree tree;
  EXPECT_THROW(readProfile(bytes({1, 0, 0, 0, 0, 0, 5, 'A'}), tree, kCp1252), ArchiveError);
}

TEST(ProfileCodecs, DeepNestingNeitherRecursesNorLosesKeys) {
  CProfileTree tree;
  CProfileKey* k = &tree;
  // Each record repeats its whole path, so the file grows with the square of
  // the depth; 3000 levels is already far beyond any real configuration.
  for (int i = 0; i < 3000; ++i) k = &k->appendChild("k");
  k->setValue("leaf", "1");
  CProfileTree fromBinary;
  readProfileBinary(writeProfileBinary(tree, kCp1252), fromBinary, kCp1252);
  const CProfileKey* walk = &fromBinary;
  int depth = 0;
  while (walk->childCount()) {
    walk = walk->child(0);
    ++depth;
  }
  EXPECT_EQ(depth, 3000);
  EXPECT_EQ(walk->value("leaf"), "1");
  const std::string text = "[" + std::string(3000, '\\') + "]\nv=1\n";
  CProfileTree fromText;
  readProfileText(text, fromText);
  const std::string written = writeProfileText(fromText);
  EXPECT_EQ(std::count(written.begin(), written.end(), '['), 3001);
  EXPECT_EQ(written.substr(written.size() - 4), "v=1\n");
  CProfileTree again;
  readProfileText(written, again);
  EXPECT_EQ(writeProfileText(again), written);
}

namespace {

// The archive string header for a length, as the format switches at 255 and 65534.
std::string lengthHeader(size_t n) {
  if (n < 0xFF) return bytes({static_cast<int>(n)});
  if (n < 0xFFFE) return bytes({0xFF, static_cast<int>(n & 0xFF), static_cast<int>(n >> 8)});
  return bytes({0xFF, 0xFF, 0xFF, static_cast<int>(n & 0xFF), static_cast<int>((n >> 8) & 0xFF),
                static_cast<int>((n >> 16) & 0xFF), 0});
}

constexpr size_t kLengthBoundaries[] = {254, 255, 256, 65533, 65534, 65535, 65536};

}  // namespace

TEST(ProfileBinary, ValuesAtEveryLengthBoundaryRoundTrip) {
  for (size_t n : kLengthBoundaries) {
    SCOPED_TRACE(n);
    CProfileTree tree;
    const std::string value(n, 'v');
    CProfileKey& key = tree.appendChild("K");
    key.setValue("before", "b");
    key.setValue("value", value);
    key.setValue("after", "a");  // a misread length would swallow or split this pair
    const std::string binary = writeProfileBinary(tree, kCp1252);
    EXPECT_NE(binary.find(lengthHeader(n) + value), std::string::npos);
    CProfileTree back;
    readProfileBinary(binary, back, kCp1252);
    ASSERT_NE(back.findTopKey("K"), nullptr);
    EXPECT_EQ(back.findTopKey("K")->values(), key.values());
  }
}

TEST(ProfileBinary, KeyNamesAtEveryLengthBoundaryRoundTrip) {
  for (size_t n : kLengthBoundaries) {
    SCOPED_TRACE(n);
    CProfileTree tree;
    const std::string name(n, 'k');
    tree.appendChild(name).appendChild("child").setValue("x", "1");
    tree.appendChild("next");
    const std::string binary = writeProfileBinary(tree, kCp1252);
    EXPECT_NE(binary.find(lengthHeader(n) + name), std::string::npos);
    CProfileTree back;
    readProfileBinary(binary, back, kCp1252);
    ASSERT_EQ(back.childCount(), 2u);
    EXPECT_EQ(back.child(0)->name(), name);
    ASSERT_EQ(back.child(0)->childCount(), 1u);
    EXPECT_EQ(back.child(0)->child(0)->value("x"), "1");
    EXPECT_EQ(back.child(1)->name(), "next");
  }
}

TEST(ProfileText, ASectionOnAnotherBranchWithTheSameChildNameIsThatBranchsChild) {
  // Each pair shares a child name with the section before it but not its parent.
  CProfileTree tree;
  readProfileText(
      "[A\\X]\nv=1\n[B\\X]\nw=2\n"
      "[R\\A\\X]\nv=3\n[R\\B\\X]\nw=4\n[R\\A\\X\\Y]\nu=5\n",
      tree);
  const auto key = [&](std::initializer_list<const char*> path) -> const CProfileKey* {
    const CProfileKey* k = &tree;
    for (const char* name : path)
      if (!(k = k->findChild(name))) return nullptr;
    return k;
  };
  ASSERT_NE(key({"B", "X"}), nullptr);
  EXPECT_EQ(key({"B", "X"})->value("w"), "2");
  EXPECT_EQ(key({"A", "X"})->findValue("w"), nullptr);
  ASSERT_NE(key({"R", "B", "X"}), nullptr);
  EXPECT_EQ(key({"R", "B", "X"})->value("w"), "4");
  EXPECT_EQ(key({"R", "A", "X"})->findValue("w"), nullptr);
  ASSERT_NE(key({"R", "A", "X", "Y"}), nullptr);
  EXPECT_EQ(key({"R", "A", "X", "Y"})->value("u"), "5");
  EXPECT_EQ(key({"R", "B", "X"})->childCount(), 0u);
}

TEST(ArchiveWriter, AsciiCopyRefusesAByteAboveAsciiAtAnyPositionAndWritesNothing) {
  for (size_t length = 0; length < 20; ++length) {
    std::string s(length, 'a');
    for (size_t i = 0; i < length; ++i) s[i] = static_cast<char>('a' + i);
    CArchiveWriter out;
    out.writeByte(7);
    ASSERT_TRUE(out.writeAsciiString(s)) << length;
    EXPECT_EQ(out.bytes(), bytes({7, static_cast<int>(length)}) + s) << length;
    for (size_t at = 0; at < length; ++at) {
      std::string high = s;
      high[at] = '\xE9';
      EXPECT_FALSE(out.writeAsciiString(high)) << length << " " << at;
      EXPECT_EQ(out.size(), 2 + length) << length << " " << at;
    }
    out.writeByte(8);  // a refused string leaves no trace for what follows
    EXPECT_EQ(out.bytes(), bytes({7, static_cast<int>(length)}) + s + bytes({8}));
  }
  CArchiveWriter out;
  EXPECT_FALSE(out.writeAsciiString(std::string(300, 'x') + "\x80"));
  EXPECT_EQ(out.size(), 0u);
  EXPECT_TRUE(out.writeAsciiString(std::string(300, 'x')));
  EXPECT_EQ(out.take(), bytes({0xFF, 0x2C, 0x01}) + std::string(300, 'x'));
}

TEST(ArchiveWriter, AWidenedCountMovesWhatFollowsAcrossAGrownBuffer) {
  CArchiveWriter out;
  out.writeByte(1);
  const size_t at = out.writeCountPlaceholder();
  const std::string filler(100 * 1024, 'f');  // more than the writer starts with
  out.writeString(filler);
  out.patchCount(at, 70000);
  const std::string written = out.take();
  EXPECT_EQ(written.substr(0, 7), bytes({1, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}));
  EXPECT_EQ(written.substr(7), bytes({0xFF, 0xFF, 0xFF, 0x00, 0x90, 0x01, 0x00}) + filler);
}
