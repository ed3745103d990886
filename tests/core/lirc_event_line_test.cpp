#include <gtest/gtest.h>

#include "plugins/lirc/event_line.h"

namespace vexa::lirc {
namespace {

TEST(LircEventLine, ReadsTheFourFields) {
  EXPECT_EQ(parseEventLine("0000000000f40bf0 00 play tv"), (EventLine{"play", 0, "tv"}));
  // The remote is everything after the button, as servers name it.
  EXPECT_EQ(parseEventLine("1 0 KEY_OK my remote"), (EventLine{"KEY_OK", 0, "my remote"}));
}

TEST(LircEventLine, RepeatCountIsHexadecimal) {
  EXPECT_EQ(parseEventLine("00ff 0a vol+ tv")->repeat, 10);
  EXPECT_EQ(parseEventLine("00ff 10 vol+ tv")->repeat, 16);
  EXPECT_EQ(parseEventLine("00ff 1F vol+ tv")->repeat, 31);
  EXPECT_EQ(parseEventLine("00ff fffffff vol+ tv")->repeat, 0xfffffff);
  EXPECT_FALSE(parseEventLine("00ff 10000000 vol+ tv"));  // eight digits: no count
  EXPECT_FALSE(parseEventLine("00ff 0x1 vol+ tv"));
}

TEST(LircEventLine, CarriageReturnIsNotPartOfTheRemote) {
  EXPECT_EQ(parseEventLine("00ff 00 play tv\r")->remote, "tv");
  // Only the one before the line feed: the rest is the server's own naming.
  EXPECT_EQ(parseEventLine("00ff 00 play t\rv")->remote, "t\rv");
}

TEST(LircEventLine, LongNamesAreCutToTheRecord) {
  const std::string longName(400, 'b');
  const auto e = parseEventLine("00ff 00 " + longName + " " + longName + "\r");
  ASSERT_TRUE(e);
  EXPECT_EQ(e->button, std::string(kMaxNameLength, 'b'));
  EXPECT_EQ(e->remote, std::string(kMaxNameLength, 'b'));
}

TEST(LircEventLine, RefusesLinesWithoutFourFields) {
  for (std::string_view bad : {"", "\r", "00ff", "00ff 00", "00ff 00 play", "00ff 00 play ", "00ff 00  tv",
                               "xyz 00 play tv", " 00 play tv", "00ff  play tv", "hello world foo bar"})
    EXPECT_FALSE(parseEventLine(bad)) << '"' << bad << '"';
}

TEST(LircEventLine, ParsesByLengthNotByTerminator) {
  const std::string buffer("00ff 00 play tv\0junk", 20);
  EXPECT_EQ(parseEventLine(std::string_view(buffer.data(), 15))->remote, "tv");
  // An embedded NUL is kept as received rather than ending the line early.
  EXPECT_EQ(parseEventLine(buffer)->remote, std::string("tv\0junk", 7));
}

TEST(LircLineFramer, KeepsAPartialLineForTheNextReceive) {
  CLineFramer f;
  auto r = f.feed("0001 00 play t");
  EXPECT_TRUE(r.lines.empty());
  EXPECT_EQ(f.pendingBytes(), 14u);
  r = f.feed("v\n0002 00 st");
  ASSERT_EQ(r.lines.size(), 1u);
  EXPECT_EQ(r.lines[0], "0001 00 play tv");
  r = f.feed("op tv\n");
  ASSERT_EQ(r.lines.size(), 1u);
  EXPECT_EQ(r.lines[0], "0002 00 stop tv");
  EXPECT_EQ(f.pendingBytes(), 0u);
}

TEST(LircLineFramer, EveryLineOfOneReceiveCounts) {
  CLineFramer f;
  const auto r = f.feed("a 00 b c\r\nd 01 e f\n\n");
  ASSERT_EQ(r.lines.size(), 3u);
  EXPECT_EQ(r.lines[0], "a 00 b c\r");
  EXPECT_EQ(r.lines[1], "d 01 e f");
  EXPECT_EQ(r.lines[2], "");
}

TEST(LircLineFramer, AnEndlessLineCostsBoundedMemory) {
  CLineFramer f;
  const std::string chunk(1000, 'x');
  size_t overlong = 0;
  for (int i = 0; i < 100; ++i) {
    overlong += f.feed(chunk).overlong;
    EXPECT_LE(f.pendingBytes(), CLineFramer::kMaxLineBytes);
  }
  EXPECT_EQ(overlong, 1u);  // reported once, not per receive
  // The rest of the endless line is dropped with it; the next line is read again.
  const auto r = f.feed("tail\n0001 00 play tv\n");
  EXPECT_EQ(r.overlong, 0u);
  ASSERT_EQ(r.lines.size(), 1u);
  EXPECT_EQ(r.lines[0], "0001 00 play tv");
}

TEST(LircLineFramer, ALineOfExactlyTheLimitIsKept) {
  CLineFramer f;
  const std::string line(CLineFramer::kMaxLineBytes, 'y');
  auto r = f.feed(line + "\n");
  EXPECT_EQ(r.overlong, 0u);
  ASSERT_EQ(r.lines.size(), 1u);
  EXPECT_EQ(r.lines[0].size(), CLineFramer::kMaxLineBytes);
  r = f.feed(line + "y\n");
  EXPECT_EQ(r.overlong, 1u);
  EXPECT_TRUE(r.lines.empty());
}

TEST(LircUnreadableLines, OneBoxAtATimeAndTheRestCounted) {
  CUnreadableLines u;
  EXPECT_EQ(u.onUnreadable(), CUnreadableLines::Action::ShowBox);
  EXPECT_EQ(u.onUnreadable(), CUnreadableLines::Action::Count);
  EXPECT_EQ(u.onUnreadable(), CUnreadableLines::Action::Count);
  EXPECT_EQ(u.countWhileOpen(), 2);
  EXPECT_EQ(u.statusText(), "Received message format not supported (2 more)");
  u.boxClosed();
  EXPECT_EQ(u.countWhileOpen(), 0);
  EXPECT_EQ(u.onUnreadable(), CUnreadableLines::Action::ShowBox);
}

}  // namespace
}  // namespace vexa::lirc
