// vexanet.dll on its own, as network clients meet it.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tcp_client.h"
#include "vexa/winlib/module.h"

namespace vexa::test {
namespace {

using StartFn = int(WINAPI*)(const char*, int, HWND);
using SendFn = int(WINAPI*)(const char*, const char*, uint32_t);
using StopFn = void(WINAPI*)();

class ServerLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(library.Load(L"vexanet.dll"));
    start = library.GetProc<StartFn>("StartServer");
    send = library.GetProc<SendFn>("SendCommand");
    stop = library.GetProc<StopFn>("StopServer");
    ASSERT_TRUE(start && send && stop);
    port = freePort();
    ASSERT_NE(start("127.0.0.1", port, nullptr), 0);
  }
  void TearDown() override { stop(); }
  // The clients once the serving thread took them in.
  bool served(const std::vector<CTcpClient*>& clients, unsigned timeoutMs = 10000) {
    return syncClients([this](uint32_t n) { send("Sync", "Test", n); }, clients, syncs, timeoutMs);
  }

  CWinsock winsock;
  win::CModule library;
  StartFn start = nullptr;
  SendFn send = nullptr;
  StopFn stop = nullptr;
  int port = 0;
  uint32_t syncs = 0;
};

TEST_F(ServerLibraryTest, EveryClientGetsEachCommandAsOneLine) {
  CTcpClient a, b;
  ASSERT_TRUE(a.Connect(port));
  ASSERT_TRUE(b.Connect(port));
  ASSERT_TRUE(served({&a, &b}));
  EXPECT_EQ(send("Play", "TV Remote", 3), 0);
  EXPECT_EQ(send("Next\nline", "TV", 0), 0);
  EXPECT_EQ(a.ReadLine(), "Play\tTV Remote\t3");
  EXPECT_EQ(a.ReadLine(), "Next line\tTV\t0");
  EXPECT_EQ(b.ReadLine(), "Play\tTV Remote\t3");
  EXPECT_EQ(send(nullptr, "TV", 0), -1);
  EXPECT_EQ(WSAGetLastError(), WSAEFAULT);
}

TEST_F(ServerLibraryTest, AClientThatStopsReadingIsDroppedInsteadOfWaitedFor) {
  CTcpClient stalled;
  ASSERT_TRUE(stalled.Connect(port));
  stalled.ShrinkReceiveBuffer();
  ASSERT_TRUE(served({&stalled}));
  const std::string name(250, 'n');
  int failures = 0, lastError = 0;
  // Far more than the socket buffers and the client's queue can hold: were
  // SendCommand to wait for the client, this loop would never end.
  for (int i = 0; i < 20000 && failures == 0; ++i)
    if (send(name.c_str(), "Remote", static_cast<uint32_t>(i)) == -1) {
      ++failures;
      lastError = WSAGetLastError();
    }
  EXPECT_EQ(failures, 1);
  EXPECT_EQ(lastError, WSAENOBUFS);
  EXPECT_TRUE(stalled.ClosedByServer(5000));
  // The server goes on for everyone else.
  CTcpClient fresh;
  ASSERT_TRUE(fresh.Connect(port));
  ASSERT_TRUE(served({&fresh}));
  EXPECT_EQ(send("After", "Remote", 1), 0);
  EXPECT_EQ(fresh.ReadLine(), "After\tRemote\t1");
}

TEST_F(ServerLibraryTest, ClientsBeyondTheLimitAreTurnedAwayUntilOneLeaves) {
  std::vector<std::unique_ptr<CTcpClient>> clients;
  std::vector<CTcpClient*> all;
  for (int i = 0; i < 16; ++i) {
    clients.push_back(std::make_unique<CTcpClient>());
    ASSERT_TRUE(clients.back()->Connect(port));
    all.push_back(clients.back().get());
  }
  ASSERT_TRUE(served(all));
  CTcpClient extra;
  ASSERT_TRUE(extra.Connect(port));  // the kernel accepts; the server closes it
  EXPECT_TRUE(extra.ClosedByServer());
  clients.front()->Close();
  // Until the server has seen the first one go, a newcomer is still turned away.
  CTcpClient late;
  bool lateServed = false;
  for (int attempt = 0; attempt < 20 && !lateServed; ++attempt)
    lateServed = late.Connect(port) && served({&late}, 500);
  ASSERT_TRUE(lateServed);
  ASSERT_TRUE(served({&late, clients.back().get()}));
  send("Mute", "TV", 0);
  EXPECT_EQ(late.ReadLine(), "Mute\tTV\t0");
  EXPECT_EQ(clients.back()->ReadLine(), "Mute\tTV\t0");
}

TEST_F(ServerLibraryTest, GarbageAndVanishingClientsLeaveTheOthersServed) {
  CTcpClient noisy, crashing, good;
  ASSERT_TRUE(noisy.Connect(port));
  ASSERT_TRUE(crashing.Connect(port));
  ASSERT_TRUE(good.Connect(port));
  ASSERT_TRUE(served({&noisy, &crashing, &good}));
  EXPECT_TRUE(noisy.Send(std::string(100000, '\xff')));
  EXPECT_TRUE(noisy.Send("\r\n\0\0GET / HTTP/1.0\r\n\r\n"));
  crashing.Abort();
  Sleep(200);
  for (int i = 0; i < 3; ++i) send("Ok", "TV", static_cast<uint32_t>(i));
  EXPECT_EQ(good.ReadLine(), "Ok\tTV\t0");
  EXPECT_EQ(good.ReadLine(), "Ok\tTV\t1");
  EXPECT_EQ(good.ReadLine(), "Ok\tTV\t2");
  EXPECT_EQ(noisy.ReadLine(), "Ok\tTV\t0");
}

TEST_F(ServerLibraryTest, ABusyPortFailsWithItsSocketErrorAndStopFreesThePort) {
  stop();
  CWinsock own;
  const SOCKET blocker = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(blocker, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  ASSERT_EQ(listen(blocker, 1), 0);
  EXPECT_EQ(start("127.0.0.1", port, nullptr), 0);
  EXPECT_EQ(WSAGetLastError(), WSAEADDRINUSE);
  EXPECT_EQ(send("Play", "TV", 0), -1);  // not running
  closesocket(blocker);
  ASSERT_NE(start("127.0.0.1", port, nullptr), 0);
  stop();
  CTcpClient refused;
  EXPECT_FALSE(refused.Connect(port));
}

}  // namespace
}  // namespace vexa::test
