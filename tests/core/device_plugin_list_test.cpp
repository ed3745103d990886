#include <gtest/gtest.h>

#include <cstring>

#include "vexa/base/windows_1252.h"
#include "vexa/device/plugin_list.h"

using namespace vexa;
using namespace vexa::device;

TEST(DevicePluginList, DeviceNameListEndsAtTheEmptyNameOrTheLimit) {
  const char list[] = "IRman\0UIR\0\0Hidden\0";
  EXPECT_EQ(parseDeviceNameList(list), (std::vector<std::string>{"IRman", "UIR"}));
  EXPECT_TRUE(parseDeviceNameList("\0").empty());
  EXPECT_TRUE(parseDeviceNameList(nullptr).empty());
  const char unterminated[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(parseDeviceNameList(unterminated, sizeof unterminated), (std::vector<std::string>{"abcd"}));
}

TEST(DevicePluginList, EntriesFromTheRecords) {
  vexa::abi::PlugInfoRecord info{};
  info.size = vexa::abi::kPlugInfoSize;
  std::memset(info.displayName, 'x', sizeof info.displayName);  // not terminated
  const PluginEntry first = makeFirstGenerationEntry(info, "devices/lirc.dll", CWindows1252());
  ASSERT_EQ(first.deviceNames.size(), 1u);
  EXPECT_EQ(first.deviceNames[0].size(), sizeof info.displayName);
  EXPECT_EQ(first.generation, PluginGeneration::First);
  EXPECT_EQ(first.selectorKind, 3u);
  EXPECT_EQ(first.capabilities, 0x10u);

  // Plug-ins name their devices in the system's code page; the host keeps UTF-8.
  char names[] = "A\0R\xE9" "cepteur\0";
  vexa::abi::DeviceInfoRecord dev{vexa::abi::kDeviceInfoSize, names, vexa::abi::kSerialPorts, 11};
  const PluginEntry second = makeSecondGenerationEntry(dev, "devices/serial.dll", CWindows1252());
  EXPECT_EQ(second.deviceNames, (std::vector<std::string>{"A", "R\xC3\xA9" "cepteur"}));
  EXPECT_EQ(second.generation, PluginGeneration::Second);
  EXPECT_EQ(second.capabilities, 11u);
  EXPECT_EQ(second.record.deviceName[0], '\0');
}

TEST(DevicePluginList, SelectionTakesTheFirstEntryInScanOrder) {
  std::vector<PluginEntry> entries(3);
  entries[0].deviceNames = {"Alpha"};
  entries[1].deviceNames = {"Beta", "Shared"};
  entries[2].deviceNames = {"shared"};
  EXPECT_EQ(allDeviceNames(entries), (std::vector<std::string>{"Alpha", "Beta", "Shared", "shared"}));
  EXPECT_EQ(findEntryByDeviceName(entries, "SHARED"), 1u);
  EXPECT_EQ(findEntryByDeviceName(entries, "alpha"), 0u);
  EXPECT_FALSE(findEntryByDeviceName(entries, "Gamma").has_value());
  EXPECT_FALSE(findEntryByDeviceName({}, "").has_value());
}

TEST(DevicePluginList, SelectorVisibilityFollowsTheCapabilityBits) {
  const auto serial = selectorVisibility(11);
  EXPECT_TRUE(serial.caption1 && serial.list1 && serial.setupButton);
  EXPECT_FALSE(serial.selector2);
  const auto captionOnly = selectorVisibility(1);
  EXPECT_TRUE(captionOnly.caption1);
  EXPECT_FALSE(captionOnly.list1);
  EXPECT_FALSE(selectorVisibility(2).list1);  // bit 1 alone shows nothing
  EXPECT_FALSE(selectorVisibility(6).selector2);
  EXPECT_TRUE(selectorVisibility(7).selector2);
  EXPECT_FALSE(selectorVisibility(0x10).caption1);
  EXPECT_EQ(hostSelectorCaption(1), "COM Port");
  EXPECT_EQ(hostSelectorCaption(2), "LPT Port");
  EXPECT_EQ(hostSelectorCaption(3), "");
}

TEST(DevicePluginList, ModuleNamesAndMessages) {
  EXPECT_EQ(moduleFileName("C:\\Vexa\\devices\\serial.dll"), "serial.dll");
  EXPECT_EQ(moduleStem("serial.dll"), "serial");
  EXPECT_EQ(moduleStem("noext"), "noext");
  EXPECT_EQ(initFailureMessage(1), "Initialization failed.\nDevice is in use by another application.");
  EXPECT_EQ(initFailureMessage(2), "Initialization failed.\nNo response from device.");
  EXPECT_EQ(initFailureMessage(3), "Initialization failed.\nBad response from device.");
  EXPECT_EQ(initFailureMessage(4), "");
}
