#include <gtest/gtest.h>

#include "plugins/lirc/lirc_settings.h"

namespace vexa::lirc {
namespace {

TEST(LircSettings, MissingAndOddValuesRead) {
  const LircFields none = fieldsFromStored({});
  EXPECT_EQ(none.address, "127.0.0.1");
  EXPECT_EQ(none.port, 8765);
  EXPECT_FALSE(none.autoStart);
  EXPECT_EQ(none.seconds, 120);
  EXPECT_TRUE(none.reconnect);
  // Below ten seconds reconnecting is off; ten is the first period that counts.
  StoredValues s;
  s.reconnect = 5;
  EXPECT_EQ(fieldsFromStored(s).seconds, 0);
  EXPECT_FALSE(fieldsFromStored(s).reconnect);
  s.reconnect = 10;
  EXPECT_EQ(fieldsFromStored(s).seconds, 10);
  s.autoStart = 2;  // only 1 means on
  EXPECT_FALSE(fieldsFromStored(s).autoStart);
  s.ip = std::string(300, '1');
  EXPECT_EQ(fieldsFromStored(s).address.size(), kMaxAddressLength);
  // Before any settings are read, the dialog retries every 15 s.
  EXPECT_EQ(LircFields().seconds, 15);
}

TEST(LircSettings, WrittenValuesFollowTheTicks) {
  LircFields f;
  f.autoStart = true;  // without a path there is nothing to start
  f.reconnect = false;
  f.seconds = 60;
  StoredValues s = storedFromFields(f);
  EXPECT_EQ(s.autoStart, 0u);
  EXPECT_EQ(s.reconnect, 0u);
  f.path = "C:\\lirc\\winlirc.exe";
  f.reconnect = true;
  s = storedFromFields(f);
  EXPECT_EQ(s.autoStart, 1u);
  EXPECT_EQ(s.reconnect, 60u);
  f.seconds = 0;
  EXPECT_EQ(storedFromFields(f).reconnect, 0u);
  // What was written reads back as the same fields.
  f.seconds = 45;
  EXPECT_TRUE(sameAsSaved(fieldsFromStored(storedFromFields(f)), f));
}

TEST(LircSettings, ApplyStateComparesEachField) {
  LircFields saved;
  saved.path = "C:\\Lirc\\WinLirc.exe";
  LircFields f = saved;
  f.path = "c:\\lirc\\winlirc.EXE";
  EXPECT_TRUE(sameAsSaved(f, saved));  // the path ignores case
  f = saved;
  f.address = "127.0.0.01";
  EXPECT_FALSE(sameAsSaved(f, saved));  // the address does not
  for (auto change : {+[](LircFields& x) { x.port = 8766; }, +[](LircFields& x) { x.autoStart = !x.autoStart; },
                      +[](LircFields& x) { x.reconnect = !x.reconnect; }, +[](LircFields& x) { x.seconds += 15; }}) {
    f = saved;
    change(f);
    EXPECT_FALSE(sameAsSaved(f, saved));
  }
}

}  // namespace
}  // namespace vexa::lirc
