#include "vexa/shell/session_state.h"

#include <gtest/gtest.h>

namespace vexa::shell {
namespace {

using A = SessionAction;
using Actions = std::vector<SessionAction>;

constexpr unsigned kConnect = 1, kDisconnect = 2, kLock = 7, kUnlock = 8;

const Actions kSuspend{A::UnloadDeviceKeepSelection, A::StopServer};
const Actions kResume{A::ReloadPlugin, A::StartDeviceWithInit, A::StartServer};

TEST(SessionState, LockStopsOnceAndUnlockRestarts) {
  CSessionState state;
  EXPECT_EQ(state.OnSessionChange(kLock), kSuspend);
  EXPECT_TRUE(state.Suspended());
  EXPECT_EQ(state.OnSessionChange(kLock), Actions{});  // already stopped
  EXPECT_EQ(state.OnSessionChange(kUnlock), kResume);
  EXPECT_FALSE(state.Suspended());
  EXPECT_EQ(state.OnSessionChange(kUnlock), Actions{});  // nothing to restart
}

TEST(SessionState, ConnectWaitsOnATimerInsteadOfBlocking) {
  CSessionState state;
  EXPECT_EQ(state.OnSessionChange(kDisconnect), kSuspend);
  EXPECT_TRUE(state.ConsoleDisconnected());
  EXPECT_EQ(state.OnSessionChange(kConnect), Actions{A::StartConnectTimer});
  EXPECT_TRUE(state.Suspended());  // nothing restarts before the wait is over
  EXPECT_TRUE(state.ConsoleDisconnected());
  EXPECT_EQ(state.OnConnectTimerElapsed(), kResume);
  EXPECT_FALSE(state.ConsoleDisconnected());
  EXPECT_FALSE(state.Suspended());
  EXPECT_EQ(state.OnConnectTimerElapsed(), Actions{});  // a late tick changes nothing
}

TEST(SessionState, UnlockAfterDisconnectWaitsForTheConsole) {
  CSessionState state;
  state.OnSessionChange(kLock);
  // Already suspended by the lock, the disconnect must still be remembered.
  EXPECT_EQ(state.OnSessionChange(kDisconnect), Actions{});
  EXPECT_EQ(state.OnSessionChange(kUnlock), Actions{});
  EXPECT_TRUE(state.Suspended());
  state.OnSessionChange(kConnect);
  EXPECT_EQ(state.OnConnectTimerElapsed(), kResume);
}

TEST(SessionState, DisconnectDuringTheWaitCancelsTheRestart) {
  CSessionState state;
  state.OnSessionChange(kDisconnect);
  state.OnSessionChange(kConnect);
  EXPECT_EQ(state.OnSessionChange(kDisconnect), Actions{A::CancelConnectTimer});
  EXPECT_EQ(state.OnConnectTimerElapsed(), Actions{});  // a tick already queued
  EXPECT_TRUE(state.Suspended());
  EXPECT_TRUE(state.ConsoleDisconnected());
}

TEST(SessionState, LockDuringTheWaitLeavesTheRestartToTheUnlock) {
  CSessionState state;
  state.OnSessionChange(kDisconnect);
  state.OnSessionChange(kConnect);
  EXPECT_EQ(state.OnSessionChange(kLock), Actions{A::CancelConnectTimer});
  EXPECT_FALSE(state.ConsoleDisconnected());
  EXPECT_EQ(state.OnConnectTimerElapsed(), Actions{});
  EXPECT_EQ(state.OnSessionChange(kUnlock), kResume);
}

TEST(SessionState, ConnectWhileRunningOnlyClearsTheFlagAfterTheWait) {
  CSessionState state;
  EXPECT_EQ(state.OnSessionChange(kConnect), Actions{A::StartConnectTimer});
  EXPECT_EQ(state.OnConnectTimerElapsed(), Actions{});
  EXPECT_FALSE(state.Suspended());
}

TEST(SessionState, OtherCodesAreIgnored) {
  CSessionState state;
  for (unsigned code : {0u, 3u, 4u, 5u, 6u, 9u, 10u, 0xFFFFFFFFu}) EXPECT_EQ(state.OnSessionChange(code), Actions{});
  EXPECT_FALSE(state.Suspended());
}

}  // namespace
}  // namespace vexa::shell
