// The command store of the plug-ins that recognise codes themselves: lookups,
// the enumeration cursors, the registry and preset forms and learning.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <map>
#include <thread>

#include "plugins/store/command_store.h"
#include "plugins/store/learn_state.h"
#include "plugins/store/preset_form.h"
#include "plugins/store/registry_form.h"
#include "plugins/store/store_enumeration.h"
#include "vexa/device/plugin_abi.h"

namespace vexa::store {
namespace {

// A registry key in memory; names compare ignoring case, as the registry's do.
class CMemoryKey : public IRegistryKey {
 public:
  std::map<std::string, std::shared_ptr<CMemoryKey>, NoCaseLess> subkeys;
  std::vector<Value> valueList;

  std::vector<std::string> subkeyNames() const override {
    std::vector<std::string> names;
    for (const auto& [name, key] : subkeys) names.push_back(name);
    return names;
  }
  std::vector<Value> values() const override { return valueList; }
  std::unique_ptr<IRegistryKey> openSubkey(const std::string& name) const override {
    auto it = subkeys.find(name);
    return it == subkeys.end() ? nullptr : std::make_unique<CKeyRef>(it->second);
  }
  std::unique_ptr<IRegistryKey> createSubkey(const std::string& name) override {
    auto& key = subkeys[name];
    if (!key) key = std::make_shared<CMemoryKey>();
    return std::make_unique<CKeyRef>(key);
  }
  bool deleteTree(const std::string& name) override {
    subkeys.erase(name);
    return true;
  }
  bool setDword(const std::string& name, uint32_t data) override {
    valueList.push_back({name, true, data});
    return true;
  }

 private:
  // Forwards to a key that lives on in its parent.
  class CKeyRef : public IRegistryKey {
   public:
    explicit CKeyRef(std::shared_ptr<CMemoryKey> key) : m_key(std::move(key)) {}
    std::vector<std::string> subkeyNames() const override { return m_key->subkeyNames(); }
    std::vector<Value> values() const override { return m_key->values(); }
    std::unique_ptr<IRegistryKey> openSubkey(const std::string& n) const override { return m_key->openSubkey(n); }
    std::unique_ptr<IRegistryKey> createSubkey(const std::string& n) override { return m_key->createSubkey(n); }
    bool deleteTree(const std::string& n) override { return m_key->deleteTree(n); }
    bool setDword(const std::string& n, uint32_t d) override { return m_key->setDword(n, d); }

   private:
    std::shared_ptr<CMemoryKey> m_key;
  };
};

// A preset file in memory that keeps its sections in file order.
class CMemoryPreset : public IPresetFile {
 public:
  std::vector<std::pair<std::string, std::map<std::string, std::string>>> sections;

  std::string read(std::string_view section, std::string_view key, std::string_view fallback) const override {
    for (const auto& [name, values] : sections) {
      if (!equalNoCase(name, section)) continue;
      auto it = values.find(std::string(key));
      if (it != values.end()) return it->second;
    }
    return std::string(fallback);
  }
  bool write(std::string_view section, std::string_view key, std::string_view value) override {
    for (auto& [name, values] : sections)
      if (equalNoCase(name, section)) return values[std::string(key)] = value, true;
    sections.push_back({std::string(section), {{std::string(key), std::string(value)}}});
    return true;
  }
  std::vector<std::string> sectionNames() const override {
    std::vector<std::string> names;
    for (const auto& [name, values] : sections) names.push_back(name);
    return names;
  }
};

const PresetFormat kDecimal{PresetFormat::Radix::kDecimal, {"PlugIn Preset", "Plugin Config"}};
const PresetFormat kHex{PresetFormat::Radix::kHex, {"Plugin Config", "Device Config"}};

std::vector<std::string> namesOf(const CommandList& list) {
  std::vector<std::string> names;
  for (const auto& node : list) names.push_back(node.name);
  return names;
}

TEST(CommandStore, NamesCompareIgnoringCaseAsRegistryKeysDo) {
  CCommandStore store;
  store.appendCommand("TV", "Power", 1);
  store.appendCommand("tv", "Mute", 2);
  EXPECT_EQ(store.remoteNames(), std::vector<std::string>{"TV"});
  EXPECT_EQ(namesOf(*store.commands("Tv")), (std::vector<std::string>{"Power", "Mute"}));
  EXPECT_FALSE(store.addRemote("tV"));
  EXPECT_FALSE(store.renameCommand("TV", "Power", "mute"));  // a sibling has it
  EXPECT_TRUE(store.renameCommand("TV", "Power", "POWER"));  // only its case changes
  EXPECT_EQ(store.findByName("TV", "power")->code, 1u);
  store.addRemote("Radio");
  EXPECT_FALSE(store.renameRemote("Radio", "tv"));
  EXPECT_TRUE(store.renameRemote("tv", "Telly"));
  EXPECT_EQ(namesOf(*store.commands("telly")), (std::vector<std::string>{"POWER", "Mute"}));
  EXPECT_FALSE(store.hasRemote("TV"));
}

TEST(CommandStore, CodeLookupsFollowRemoteThenListOrder) {
  CCommandStore store;
  store.appendCommand("VCR", "Play", 7);
  store.appendCommand("VCR", "Also play", 7);
  store.appendCommand("Amp", "Volume", 7);
  store.appendCommand("Amp", "Mute", 8);
  EXPECT_EQ(store.firstWithCode(7), (FoundCommand{"Amp", "Volume"}));
  EXPECT_EQ(store.firstWithCodePerRemote(7),
            (std::vector<FoundCommand>{{"Amp", "Volume"}, {"VCR", "Play"}}));
  EXPECT_FALSE(store.firstWithCode(9));
  EXPECT_TRUE(store.removeCommand("VCR", "Play"));
  EXPECT_EQ(store.findByCode("VCR", 7)->name, "Also play");
}

TEST(CommandStore, NewRemoteNamesSkipThoseInUse) {
  CCommandStore store;
  EXPECT_EQ(store.newRemoteName(), "New Remote");
  store.addRemote(store.newRemoteName());
  EXPECT_EQ(store.newRemoteName(), "New Remote 2");
  store.addRemote("New Remote 2");
  store.addRemote("New Remote 3");
  store.removeRemote("New Remote 2");
  EXPECT_EQ(store.newRemoteName(), "New Remote 2");
}

// The receiving thread looks codes up while the dialog edits the store.
TEST(CommandStore, LookupsOnAnotherThreadSeeWholeEdits) {
  CCommandStore store;
  std::atomic<bool> stop{false};
  std::atomic<int> seen{0}, torn{0};
  std::thread receiver([&] {
    while (!stop) {
      if (auto found = store.firstWithCode(7)) {
        ++seen;
        if (found->command != "Play" || (found->remote != "TV" && found->remote != "Telly")) ++torn;
      }
    }
  });
  for (int i = 0; i < 2000; ++i) {
    store.appendCommand("TV", "Play", 7);
    store.renameRemote("TV", "Telly");
    store.setRemote("Amp", {{"Volume", 3}});
    store.renameRemote("Telly", "TV");
    store.removeCommand("TV", "Play");
    if (i % 100 == 0) store.clear();
  }
  stop = true;
  receiver.join();
  EXPECT_EQ(torn, 0);
}

TEST(CommandStore, ReservedCharacters) {
  for (const char* name : {"a#b", "[x", "y]", "p@q", "k=v", "l|r"}) EXPECT_TRUE(hasReservedChar(name)) << name;
  EXPECT_FALSE(hasReservedChar("Volume Up (+)"));
}

TEST(StoreEnumeration, WalksRemotesAndCommandsInOrder) {
  CCommandStore store;
  store.appendCommand("TV", "Power", 1);
  store.appendCommand("TV", "Mute", 2);
  store.appendCommand("Amp", "Volume", 3);
  store.addRemote("Empty");
  CStoreEnumeration names(store);
  char out[abi::kEnumNameBuffer];
  ASSERT_EQ(names.firstRemote(out), 1);
  std::vector<std::string> remotes{out};
  int index = 1;
  while (names.nextRemote(&index, out)) remotes.emplace_back(out);
  EXPECT_EQ(remotes, (std::vector<std::string>{"Amp", "Empty", "TV"}));
  EXPECT_EQ(index, 3);
  EXPECT_EQ(names.nextRemote(&index, out), 0);  // index equals the number of remotes

  intptr_t first = names.firstCommand("tv", out);
  ASSERT_NE(first, 0);
  EXPECT_STREQ(out, "Power");
  intptr_t cursor = first;
  ASSERT_EQ(names.nextCommand(&cursor, out), 1);
  EXPECT_STREQ(out, "Mute");
  EXPECT_EQ(names.nextCommand(&cursor, out), 0);
  EXPECT_EQ(names.firstCommand("Empty", out), 0);
  EXPECT_EQ(names.firstCommand("Nowhere", out), 0);
}

TEST(StoreEnumeration, EmptyStoreAndLongNames) {
  CCommandStore store;
  CStoreEnumeration names(store);
  char out[abi::kEnumNameBuffer] = "untouched";
  EXPECT_EQ(names.firstRemote(out), 0);
  EXPECT_STREQ(out, "untouched");
  store.appendCommand(std::string(300, 'r'), std::string(300, 'c'), 1);
  ASSERT_EQ(names.firstRemote(out), 1);
  EXPECT_EQ(std::strlen(out), kMaxName);
  ASSERT_NE(names.firstCommand(std::string(255, 'r').c_str(), out), 0);
  EXPECT_EQ(std::strlen(out), kMaxName);
}

TEST(RegistryForm, RoundTripsAndSkipsOtherValueTypes) {
  CCommandStore store;
  store.appendCommand("TV", "Power", 0x10);
  store.appendCommand("TV", "Mute", 0xFFFFFFFF);
  store.addRemote("Empty");
  CMemoryKey plugin;
  plugin.createSubkey("Commands")->createSubkey("Stale");
  ASSERT_TRUE(writeCommands(plugin, store));
  EXPECT_FALSE(plugin.subkeys["Commands"]->subkeys.count("Stale"));  // the old subtree went

  auto tv = plugin.subkeys["Commands"]->subkeys["TV"];
  tv->valueList.insert(tv->valueList.begin() + 1, {"Label", false, 0});
  CCommandStore back;
  back.appendCommand("tv", "Old", 9);  // replaced by the key's list
  back.appendCommand("Kept", "Other", 3);
  ASSERT_TRUE(readCommands(plugin, back));
  EXPECT_EQ(*back.commands("TV"), (CommandList{{"Power", 0x10}, {"Mute", 0xFFFFFFFF}}));
  EXPECT_TRUE(back.commands("Empty")->empty());
  EXPECT_TRUE(back.hasRemote("Kept"));
}

TEST(RegistryForm, NoCommandsKeyReadsNothing) {
  CMemoryKey plugin;
  CCommandStore store;
  store.appendCommand("TV", "Power", 1);
  EXPECT_FALSE(readCommands(plugin, store));
  EXPECT_EQ(store.commandCount(), 1u);
}

TEST(PresetForm, SignaturesInBothFormats) {
  EXPECT_EQ(formatSignature(kHex, 0x1A), "001a");
  EXPECT_EQ(formatSignature(kHex, 0xABCDEF), "abcdef");
  EXPECT_EQ(formatSignature(kDecimal, 4000000000u), "4000000000");
  EXPECT_EQ(parseSignature(kHex, "00ABCDEF"), 0xABCDEFu);  // every digit counts
  EXPECT_EQ(parseSignature(kHex, "123456"), 0x123456u);
  EXPECT_EQ(parseSignature(kDecimal, "4000000000"), 4000000000u);
  EXPECT_EQ(parseSignature(kDecimal, "junk"), 0u);
}

TEST(PresetForm, SavedPresetLoadsBackInBothFormats) {
  for (const PresetFormat* format : {&kDecimal, &kHex}) {
    CCommandStore store;
    store.appendCommand("TV", "Volume Up", 0x1234);
    store.appendCommand("TV", "Volume Down", 77);
    store.appendCommand("Amp", "Power", 5);
    CMemoryPreset file;
    EXPECT_EQ(saveCommands(file, *format, store), 3u);
    EXPECT_EQ(file.read("Plugin Config", "Count", ""), "3");
    CCommandStore back;
    back.appendCommand("Gone", "Away", 1);
    PresetLoad load = loadCommands(file, *format, back);
    EXPECT_TRUE(load.complete());
    EXPECT_FALSE(back.hasRemote("Gone"));
    EXPECT_EQ(*back.commands("TV"), *store.commands("TV"));
    EXPECT_EQ(*back.commands("Amp"), *store.commands("Amp"));
  }
}

TEST(PresetForm, LoadPassesOverOwnAndMalformedSectionsAndCountsShortfall) {
  CMemoryPreset file;
  file.write("Plugin Config", "Count", "5");
  file.write("Plugin Config", "COM Port", "COM2");
  file.write("PlugIn Preset", "Signature", "1");
  file.write("Volume Up@TV", "Signature", "0010");
  file.write("NoAt", "Signature", "2");
  file.write("@TV", "Signature", "3");
  file.write("Mute@", "Signature", "4");
  file.write("Odd@Name@TV", "Signature", "5");
  file.write("Bare@TV", "Other", "6");
  CCommandStore store;
  PresetLoad load = loadCommands(file, kHex, store);
  EXPECT_EQ(load.declared, 5u);
  ASSERT_EQ(load.imported.size(), 3u);
  EXPECT_FALSE(load.complete());
  EXPECT_EQ(store.findByName("TV", "Volume Up")->code, 0x10u);
  EXPECT_EQ(store.findByName("Name@TV", "Odd")->code, 5u);  // split at the first "@"
  EXPECT_EQ(store.findByName("TV", "Bare")->code, 0u);  // the default signature
}

TEST(PresetForm, ZeroCountEmptiesTheStoreAndReadsNothing) {
  CMemoryPreset file;
  file.write("Volume Up@TV", "Signature", "16");
  CCommandStore store;
  store.appendCommand("Old", "One", 1);
  PresetLoad load = loadCommands(file, kDecimal, store);
  EXPECT_TRUE(load.imported.empty());
  EXPECT_EQ(store.remoteCount(), 0u);
}

TEST(PresetForm, SectionNamesInFileOrder) {
  EXPECT_EQ(sectionNamesOf("[Plugin Config]\r\nCount=2\r\n  [B@R]  \r\n[not a section\n;[x]\n[A@R]"),
            (std::vector<std::string>{"Plugin Config", "B@R", "A@R"}));
}

TEST(LearnState, SameCodeTwiceLearnsItAndLaterCodesAreIgnored) {
  CLearnState learn;
  EXPECT_EQ(learn.feed(5), CLearnState::Outcome::kFirst);
  EXPECT_EQ(learn.progress(), 50);
  EXPECT_EQ(learn.feed(9), CLearnState::Outcome::kMismatch);
  EXPECT_EQ(learn.feed(5), CLearnState::Outcome::kLearned);  // A, B, A learns A
  EXPECT_EQ(learn.code(), 5u);
  EXPECT_EQ(learn.progress(), 100);
  EXPECT_EQ(learn.feed(6), CLearnState::Outcome::kIgnored);
  EXPECT_EQ(learn.code(), 5u);
}

TEST(LearnState, SeventhMismatchStartsOver) {
  CLearnState learn;
  learn.feed(1);
  for (uint32_t code = 2; code < 8; ++code) EXPECT_EQ(learn.feed(code), CLearnState::Outcome::kMismatch);
  EXPECT_EQ(learn.feed(8), CLearnState::Outcome::kRetry);
  EXPECT_EQ(learn.progress(), 0);
  EXPECT_EQ(learn.feed(1), CLearnState::Outcome::kFirst);  // 1 was forgotten
}

TEST(LearnState, ToleratingOneMismatchKeepsItAsCandidate) {
  const LearnRules oneTolerated{1, true};
  CLearnState a(oneTolerated);
  a.feed(1);
  EXPECT_EQ(a.feed(2), CLearnState::Outcome::kMismatch);
  EXPECT_EQ(a.feed(2), CLearnState::Outcome::kLearned);
  EXPECT_EQ(a.code(), 2u);
  CLearnState b(oneTolerated);
  b.feed(1);
  b.feed(2);
  EXPECT_EQ(b.feed(3), CLearnState::Outcome::kRetry);
}

}  // namespace
}  // namespace vexa::store
