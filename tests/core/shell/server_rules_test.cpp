#include "vexa/shell/server_rules.h"

#include <gtest/gtest.h>

namespace vexa::shell {
namespace {

ProgramOptions optionsWith(uint32_t bits) { return ProgramOptions{bits}; }

TEST(ServerRules, BindsToLoopbackUnlessOfferedToOtherMachines) {
  EXPECT_EQ(serverBindAddress(optionsWith(0)), "127.0.0.1");
  // Other option bits must not open the server to the network.
  EXPECT_EQ(serverBindAddress(optionsWith(ProgramOptions::kDefaultWord | ProgramOptions::kEnableLog)), "127.0.0.1");
  EXPECT_EQ(serverBindAddress(optionsWith(ProgramOptions::kServerForOtherMachines)), std::nullopt);
}

TEST(ServerRules, OptionWordAlwaysHasBitZeroAndLogAsBitOne) {
  EXPECT_EQ(serverOptionBits(optionsWith(0)), 1u);
  EXPECT_EQ(serverOptionBits(optionsWith(ProgramOptions::kEnableLog)), 3u);
  EXPECT_EQ(serverOptionBits(optionsWith(ProgramOptions::kServerForOtherMachines)), 1u);
}

TEST(ServerRules, StartupMacroIsKeptFromClientsInAnyCase) {
  EXPECT_FALSE(forwardsToServer("Startup Macro"));
  EXPECT_FALSE(forwardsToServer("STARTUP macro"));
  EXPECT_TRUE(forwardsToServer("Startup Macro 2"));
  EXPECT_TRUE(forwardsToServer("TV"));
  EXPECT_TRUE(forwardsToServer(""));
}

TEST(ServerRules, SocketErrorsInWordsAndUnknownOnesAsNumbers) {
  EXPECT_EQ(serverErrorStatus(10048), "Server error: Address in use");
  EXPECT_EQ(socketErrorText(10013), "Permission denied");  // first of the table
  EXPECT_EQ(socketErrorText(10092), "Windows Sockets version not supported");  // last
  // Gaps in the numbering and neighbours of the table are not guessed at.
  EXPECT_EQ(socketErrorText(10040), "10040");
  EXPECT_EQ(socketErrorText(10093), "10093");
  EXPECT_EQ(serverErrorStatus(0), "Server error: 0");
  EXPECT_EQ(serverErrorStatus(-1), "Server error: -1");
}

}  // namespace
}  // namespace vexa::shell
