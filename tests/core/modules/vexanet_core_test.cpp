#include <gtest/gtest.h>

#include <string>

#include "modules/vexanet/client_queue.h"
#include "modules/vexanet/event_line.h"

namespace vexanet {
namespace {

TEST(EventLine, NamesCannotBreakTheLine) {
  EXPECT_EQ(eventLine("Play", "TV Remote", 0), "Play\tTV Remote\t0\n");
  EXPECT_EQ(eventLine("a\tb\r\nc", "r\n", 4294967295u), "a b  c\tr \t4294967295\n");
  EXPECT_EQ(eventLine("", "", 7), "\t\t7\n");
}

TEST(EventLine, LongNamesAreCutSoLinesStayBounded) {
  const std::string longName(1000, 'x');
  const std::string line = eventLine(longName, longName, 1);
  EXPECT_EQ(line, std::string(kMaxNameBytes, 'x') + "\t" + std::string(kMaxNameBytes, 'x') + "\t1\n");
  EXPECT_EQ(eventLine(std::string(kMaxNameBytes, 'y'), "r", 0).size(), kMaxNameBytes + 5);
}

TEST(ClientQueue, PartialSendsResumeWhereTheyStopped) {
  CClientQueue queue(100);
  ASSERT_TRUE(queue.Push("abc\n"));
  ASSERT_TRUE(queue.Push("de\n"));
  queue.Consume(2);
  EXPECT_EQ(queue.Front(), "c\n");
  EXPECT_EQ(queue.Bytes(), 5u);
  queue.Consume(4);  // across the line boundary
  EXPECT_EQ(queue.Front(), "\n");
  queue.Consume(1);
  EXPECT_TRUE(queue.Empty());
  EXPECT_EQ(queue.Front(), "");
  queue.Consume(10);  // nothing left: no underflow
  EXPECT_EQ(queue.Bytes(), 0u);
}

TEST(ClientQueue, ALineThatDoesNotFitIsRefusedWhole) {
  CClientQueue queue(10);
  ASSERT_TRUE(queue.Push("12345"));
  ASSERT_TRUE(queue.Push("67890"));  // exactly full
  EXPECT_FALSE(queue.Push("x"));
  EXPECT_EQ(queue.Bytes(), 10u);
  queue.Consume(5);
  EXPECT_TRUE(queue.Push("abcde"));
  EXPECT_FALSE(CClientQueue(4).Push("12345"));
}

}  // namespace
}  // namespace vexanet
