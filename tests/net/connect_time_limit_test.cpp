#include "net/call_time_limit.h"
#include "net/network.h"
#include "net/socket.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// A listener on 127.0.0.1 that never accepts, with a queue of one: once one connection waits in
// it, the system drops further handshakes, so the next connect hangs until its caller gives up.
struct TFullListener {
  TFullListener() {
    Fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(bind(Fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    EXPECT_EQ(listen(Fd, 0), 0);
    socklen_t len = sizeof a;
    getsockname(Fd, reinterpret_cast<sockaddr*>(&a), &len);
    Port = ntohs(a.sin_port);
    Waiting = socket(AF_INET, SOCK_STREAM, 0);
    EXPECT_EQ(connect(Waiting, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  }
  ~TFullListener() {
    close(Waiting);
    close(Fd);
  }
  int Fd = -1;
  int Waiting = -1;
  uint16_t Port = 0;
};

bool AlarmHandlingIsDefault() {
  struct sigaction now {};
  sigaction(SIGALRM, nullptr, &now);
  return now.sa_handler == SIG_DFL;
}

TEST(ConnectTimeLimit, GivesUpOnAPeerThatNeverAnswers) {
  TFullListener listener;
  TSocket socket;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(socket.Connect("127.0.0.1", listener.Port, 300ms));
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, 250ms);
  EXPECT_LT(took, 5s);
  EXPECT_FALSE(socket.Active());
  EXPECT_NE(GetLastNetworkError().find("Timed out"), std::string::npos) << GetLastNetworkError();
  EXPECT_TRUE(AlarmHandlingIsDefault());
}

TEST(ConnectTimeLimit, LeavesNoSignalBehindAfterASuccess) {
  TSocket server;
  ASSERT_TRUE(server.Listen("127.0.0.1", 0)) << GetLastNetworkError();
  TSocket client;
  ASSERT_TRUE(client.Connect("127.0.0.1", server.LocalPort(), 50ms)) << GetLastNetworkError();
  EXPECT_TRUE(client.Active());
  EXPECT_TRUE(AlarmHandlingIsDefault());
  // A stray alarm would end this process with SIGALRM's default action.
  std::this_thread::sleep_for(150ms);
  SUCCEED();
}

// A look-up that blocks until the test lets it go, as a name service that never answers does.
struct TStuckLookup {
  std::mutex Lock;
  std::condition_variable Released;
  bool Free = false;
  void Release() {
    std::lock_guard<std::mutex> hold(Lock);
    Free = true;
    Released.notify_all();
  }
};

// The whole connect is bounded, the host-name look-up included; a look-up that answers in
// time gives the address that is connected to.
TEST(ConnectTimeLimit, CoversTheLookUpOfTheName) {
  auto stuck = std::make_shared<TStuckLookup>();
  const THostLookup neverAnswers = [stuck](const std::string&) -> std::optional<uint32_t> {
    std::unique_lock<std::mutex> hold(stuck->Lock);
    stuck->Released.wait(hold, [&] { return stuck->Free; });
    return std::nullopt;
  };
  TSocket server;
  ASSERT_TRUE(server.Listen("127.0.0.1", 0)) << GetLastNetworkError();
  TSocket socket;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(socket.Connect("lobby.example", server.LocalPort(), 300ms, neverAnswers));
  const auto took = std::chrono::steady_clock::now() - start;
  stuck->Release();
  EXPECT_GE(took, 250ms);
  EXPECT_LT(took, 5s);
  EXPECT_NE(GetLastNetworkError().find("Timed out"), std::string::npos) << GetLastNetworkError();
  EXPECT_TRUE(AlarmHandlingIsDefault());

  const THostLookup loopback = [](const std::string& Name) -> std::optional<uint32_t> {
    EXPECT_EQ(Name, "lobby.example");
    return htonl(INADDR_LOOPBACK);
  };
  EXPECT_TRUE(socket.Connect("lobby.example", server.LocalPort(), 5s, loopback))
      << GetLastNetworkError();
  EXPECT_EQ(socket.IP(), "127.0.0.1");
}

TEST(CallTimeLimit, ZeroArmsNothing) {
  TCallTimeLimit none(0ms);
  EXPECT_FALSE(none.Expired());
  EXPECT_TRUE(AlarmHandlingIsDefault());
}

TEST(CallTimeLimit, InterruptsABlockingCall) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  char byte = 0;
  ssize_t got = 0;
  {
    TCallTimeLimit limit(100ms);
    got = read(fds[0], &byte, 1); // nothing is ever written
    EXPECT_TRUE(limit.Expired());
  }
  EXPECT_EQ(got, -1);
  EXPECT_TRUE(AlarmHandlingIsDefault());
  close(fds[0]);
  close(fds[1]);
}

} // namespace
