// What every plug-in shares, portable half: enumeration cursors and the model list.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "plugins/kit/device_info.h"
#include "plugins/kit/enum_cursor.h"

namespace vexa {

using kit::CNameCursor;

TEST(NameCursor, WalksEveryNameOnceThenStops) {
  const std::vector<std::string> names{"TV", "Radio", "DVD"};
  char out[abi::kEnumNameBuffer] = {};
  int cursor = CNameCursor::first(names, out);
  ASSERT_NE(cursor, 0);
  std::vector<std::string> seen{out};
  while (CNameCursor::next(names, &cursor, out)) seen.emplace_back(out);
  EXPECT_EQ(seen, names);
  EXPECT_EQ(CNameCursor::next(names, &cursor, out), 0);  // and stays exhausted
}

TEST(NameCursor, EmptyListsAndForeignCursorsGiveNothing) {
  char out[abi::kEnumNameBuffer] = "untouched";
  EXPECT_EQ(CNameCursor::first({}, out), 0);
  EXPECT_STREQ(out, "untouched");
  const std::vector<std::string> names{"One"};
  for (int cursor : {0, -3, 1, 99}) EXPECT_EQ(CNameCursor::next(names, &cursor, out), 0) << cursor;
  EXPECT_EQ(CNameCursor::next(names, nullptr, out), 0);
}

TEST(NameCursor, NamesAreCutToWhatTheHostExpects) {
  const std::vector<std::string> names{std::string(400, 'n')};
  char out[abi::kEnumNameBuffer];
  std::memset(out, 'x', sizeof out);
  ASSERT_NE(CNameCursor::first(names, out), 0);
  EXPECT_EQ(std::strlen(out), kit::kMaxEnumName);
}

TEST(DeviceInfo, FillsTheRecordWithADoubleNulEndedList) {
  abi::DeviceInfoRecord info{};
  std::unique_ptr<char[]> names(kit::fillDeviceInfo(&info, kit::nameList({"A", "Bc"}), abi::kSerialPorts, 3));
  EXPECT_EQ(info.size, abi::kDeviceInfoSize);
  EXPECT_EQ(info.deviceNames, names.get());
  EXPECT_EQ(info.selectorKind, abi::kSerialPorts);
  EXPECT_EQ(info.capabilities, 3u);
  EXPECT_EQ(std::string(names.get(), 6), std::string("A\0Bc\0\0", 6));
  // No models still makes a list the host can walk.
  std::unique_ptr<char[]> none(kit::fillDeviceInfo(nullptr, kit::nameList({}), abi::kSerialPorts, 3));
  EXPECT_EQ(none[0], '\0');
}

}  // namespace vexa
