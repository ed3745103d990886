#include <gtest/gtest.h>

#include "vexa/device/binary_text.h"
#include "vexa/device/code_store.h"

using namespace vexa::device;

TEST(DeviceBinaryText, TwoLettersPerByteLowNibbleFirst) {
  const std::vector<uint8_t> bytes{0x3C, 0x00, 0xFF, 0x12};
  EXPECT_EQ(encodeBinaryText(bytes), "MDAAPPCB");
  EXPECT_EQ(decodeBinaryText("MDAAPPCB"), bytes);
  EXPECT_EQ(decodeBinaryText("mdaa"), (std::vector<uint8_t>{0x3C, 0x00}));
}

TEST(DeviceBinaryText, DamagedTextGivesTheBytesBeforeTheDamage) {
  EXPECT_EQ(decodeBinaryText("MDA"), (std::vector<uint8_t>{0x3C}));    // odd letter ignored
  EXPECT_EQ(decodeBinaryText("MDZZAA"), (std::vector<uint8_t>{0x3C}));  // Z is no nibble
  EXPECT_TRUE(decodeBinaryText("").empty());
}

TEST(DeviceBinaryText, SamplesTrustNoLengthBeyondTheTextAndOnlyWholeWords) {
  const std::vector<uint32_t> samples{0x80000234u, 0x00000456u};
  const std::string text = encodeSamples(samples);
  ASSERT_EQ(text.size(), 16u);
  EXPECT_EQ(decodeSamples(text, 8), samples);
  EXPECT_EQ(decodeSamples(text, 4), (std::vector<uint32_t>{0x80000234u}));
  EXPECT_TRUE(decodeSamples(text, 6).empty());        // not a multiple of 4
  EXPECT_TRUE(decodeSamples(text, -4).empty());
  EXPECT_TRUE(decodeSamples(text, 0).empty());
  EXPECT_EQ(decodeSamples(text, 4000000), samples);   // a huge Len reads only what is there
  EXPECT_TRUE(decodeSamples(text.substr(0, 14), 8).empty());  // 7 bytes decoded: no whole count
}

TEST(DeviceCodeStore, NamesAreCaseInsensitiveAndWalkedInNameOrder) {
  CCodeStore store;
  DeviceCode code;
  code.flags = CodeFlag::kRaw;
  code.signature = {1, 2};
  store.setCode("TV", "Power", code);
  store.setCode("amp", "Mute", code);
  store.setCode("tv", "power", code);  // same button
  ASSERT_EQ(store.remotes().size(), 2u);
  EXPECT_EQ(store.remotes().begin()->first, "amp");
  EXPECT_EQ(store.findRemote("TV")->commands.size(), 1u);
  EXPECT_NE(store.findCode("Tv", "POWER"), nullptr);
  EXPECT_EQ(store.findRemote("amp")->mode, 0);
}

TEST(DeviceCodeStore, NewRemoteNamesCountUpUntilFree) {
  CCodeStore store;
  EXPECT_EQ(store.addNewRemote(), "New Remote");
  EXPECT_EQ(store.addNewRemote(), "New Remote 2");
  // The Part's count alone would give "New Remote 2" again after a rename: the count goes on.
  ASSERT_EQ(store.renameRemote("New Remote", "TV"), RenameResult::Renamed);
  EXPECT_EQ(store.newRemoteName(), "New Remote 3");
  DeviceCode code;
  code.flags = CodeFlag::kRaw;
  code.signature = {9};
  store.setCode("New Remote 3", "Play", code);
  const std::string fresh = store.addNewRemote();
  EXPECT_EQ(fresh, "New Remote 4");
  EXPECT_EQ(store.findRemote("New Remote 3")->commands.size(), 1u);  // never overwritten
}

TEST(DeviceCodeStore, RenameRefusesReservedCharactersAndDuplicates) {
  CCodeStore store;
  DeviceCode code;
  code.flags = CodeFlag::kRaw;
  store.setCode("TV", "Power", code);
  store.setCode("TV", "Mute", code);
  store.ensureRemote("Amp", 0);
  for (const char* bad : {"A#B", "A[B", "A]B", "A@B", "A=B", "A|B", "A\\B"}) {
    EXPECT_EQ(store.renameRemote("TV", bad), RenameResult::ReservedChar) << bad;
    EXPECT_EQ(store.renameCommand("TV", "Power", bad), RenameResult::ReservedChar) << bad;
  }
  EXPECT_EQ(store.renameRemote("TV", "amp"), RenameResult::Duplicate);
  EXPECT_EQ(store.renameCommand("TV", "Power", "MUTE"), RenameResult::Duplicate);
  EXPECT_EQ(store.renameCommand("TV", "Power", ""), RenameResult::Unchanged);
  EXPECT_EQ(store.renameCommand("TV", "Nothing", "Else"), RenameResult::NotFound);
  EXPECT_EQ(store.renameRemote("Radio", "Else"), RenameResult::NotFound);
  EXPECT_EQ(store.renameCommand("TV", "Power", "power"), RenameResult::Renamed);  // only the spelling
  EXPECT_EQ(store.findRemote("TV")->commands.begin()->first, "Mute");
  EXPECT_EQ(std::next(store.findRemote("TV")->commands.begin())->first, "power");
  EXPECT_EQ(store.renameRemote("TV", "Television"), RenameResult::Renamed);
  EXPECT_EQ(store.findRemote("Television")->commands.size(), 2u);
  EXPECT_EQ(renameMessage(RenameResult::ReservedChar, false),
            "Please do not use reserved characters.\n\\#[]@=| are reserved for internal use.");
  EXPECT_EQ(renameMessage(RenameResult::Duplicate, true), "This name already exists.\nPlease choose another");
  EXPECT_EQ(renameMessage(RenameResult::NotFound, true), "Could not rename command.");
  EXPECT_EQ(renameMessage(RenameResult::NotFound, false), "Could not rename remote");
}

TEST(DeviceCodeStore, DeleteAndRevision) {
  CCodeStore store;
  DeviceCode code;
  code.flags = CodeFlag::kRaw;
  store.setCode("TV", "Power", code);
  const auto before = store.revision();
  EXPECT_TRUE(store.deleteCommand("tv", "POWER"));
  EXPECT_GT(store.revision(), before);
  EXPECT_FALSE(store.deleteCommand("tv", "POWER"));
  EXPECT_TRUE(store.deleteRemote("TV"));
  EXPECT_TRUE(store.empty());
  EXPECT_EQ(CCodeStore::deleteRemoteQuestion("TV"), "Delete all commands of TV ?");
}
