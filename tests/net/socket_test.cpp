#include "net/network.h"
#include "net/socket.h"
#include "net/socket_set.h"

#include "../support/line_client.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <netinet/tcp.h>
#include <thread>

namespace {

using test_support::TLineClient;

// A listening socket on 127.0.0.1 and a helper to take the next connection.
struct TListener {
  TListener() { EXPECT_TRUE(Socket.Listen("127.0.0.1", 0)) << GetLastNetworkError(); }
  std::unique_ptr<TSocket> AcceptOne() {
    TSocketSet set(1);
    set.Add(&Socket);
    for (int i = 0; i < 100; ++i) {
      set.Check(100);
      if (auto accepted = Socket.Accept())
        return accepted;
    }
    return nullptr;
  }
  TSocket Socket;
};

TEST(IPToString, DottedFromStoredBytes) {
  const unsigned char loopback[4] = {127, 0, 0, 1};
  const unsigned char lan[4] = {192, 168, 1, 20};
  uint32_t host = 0;
  std::memcpy(&host, loopback, 4);
  EXPECT_EQ(IPToString(host), "127.0.0.1");
  std::memcpy(&host, lan, 4);
  EXPECT_EQ(IPToString(host), "192.168.1.20");
}

TEST(TSocket, ConnectFailuresAnswerFalse) {
  TSocket nowhere;
  EXPECT_FALSE(nowhere.Connect("no-such-host.invalid", 50401));
  EXPECT_FALSE(nowhere.Active());
  TSocket closed;
  EXPECT_FALSE(closed.Connect("127.0.0.1", test_support::FreePort()));
  EXPECT_FALSE(closed.Active());
  TSocket empty;
  EXPECT_FALSE(empty.Connect("", 50401));
  EXPECT_FALSE(empty.Active());
}

TEST(TSocket, AcceptWithoutPendingConnectionGivesNothing) {
  TListener listener;
  TAcceptStatus status = TAcceptStatus::Accepted;
  EXPECT_EQ(listener.Socket.Accept(&status), nullptr);
  EXPECT_EQ(status, TAcceptStatus::NonePending);
  EXPECT_TRUE(listener.Socket.IP().empty());
}

TEST(TSocket, ListeningTwiceOnOnePortFails) {
  TListener first;
  TSocket second;
  EXPECT_FALSE(second.Listen("127.0.0.1", first.Socket.LocalPort()));
  EXPECT_FALSE(second.Active());
}

TEST(TSocket, ListensOnlyOnTheAddressAsked) {
  TListener listener;
  TSocket wrong;
  EXPECT_FALSE(wrong.Connect("127.0.0.2", listener.Socket.LocalPort()));
  TSocket right;
  EXPECT_TRUE(right.Connect("127.0.0.1", listener.Socket.LocalPort()));
  EXPECT_EQ(right.IP(), "127.0.0.1");
  auto accepted = listener.AcceptOne();
  ASSERT_NE(accepted, nullptr);
  EXPECT_EQ(accepted->IP(), "127.0.0.1");
  EXPECT_TRUE(accepted->Active());
}

TEST(TSocket, SendPutsTextAndOneTerminatorOnTheWire) {
  TListener listener;
  TLineClient peer(listener.Socket.LocalPort());
  auto accepted = listener.AcceptOne();
  ASSERT_NE(accepted, nullptr);
  accepted->Send(std::string("C|hello&pipe;world"));
  accepted->Send(std::string("Q|"));
  EXPECT_EQ(peer.ReadLine(), "C|hello&pipe;world");
  EXPECT_EQ(peer.ReadLine(), "Q|");
}

TEST(TSocket, RecvLineAcrossSegmentsAndAtTheEnd) {
  TListener listener;
  auto peer = std::make_unique<TLineClient>(listener.Socket.LocalPort());
  auto accepted = listener.AcceptOne();
  ASSERT_NE(accepted, nullptr);
  std::thread writer([&] {
    peer->SendRaw("G|for");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    peer->SendRaw(std::string("est\0X|part", 10));
    peer->Close();
  });
  std::string line;
  EXPECT_TRUE(accepted->Recv(line));
  EXPECT_EQ(line, "G|forest");
  EXPECT_FALSE(accepted->Recv(line));
  EXPECT_EQ(line, "X|part");
  EXPECT_FALSE(accepted->Active());
  writer.join();
  EXPECT_FALSE(accepted->Recv(line));
  EXPECT_EQ(line, "");
}

TEST(TSocket, ReceiveAvailableNeverBlocks) {
  TListener listener;
  TLineClient peer(listener.Socket.LocalPort());
  auto accepted = listener.AcceptOne();
  ASSERT_NE(accepted, nullptr);
  char buffer[64];
  EXPECT_EQ(accepted->ReceiveAvailable(buffer, sizeof buffer), 0);
  peer.SendLine("Q|");
  int got = 0;
  for (int i = 0; i < 100 && got == 0; ++i) {
    got = accepted->ReceiveAvailable(buffer, sizeof buffer);
    if (got == 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(got)), std::string("Q|\0", 3));
  peer.Close();
  for (int i = 0; i < 100 && got >= 0; ++i) {
    got = accepted->ReceiveAvailable(buffer, sizeof buffer);
    if (got == 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(got, -1);
  EXPECT_FALSE(accepted->Active());
}

TEST(TSocket, QueuedOutputWaitsForASlowReaderAndKeepsItsOrder) {
  TListener listener;
  TLineClient peer(listener.Socket.LocalPort(), 4096);
  auto accepted = listener.AcceptOne();
  ASSERT_NE(accepted, nullptr);
  const std::string text(1000, 'x');
  const int count = 20000; // far more than the kernel buffers hold
  for (int i = 0; i < count; ++i)
    accepted->Queue("C|" + std::to_string(i) + "|" + text);
  EXPECT_TRUE(accepted->Flush());
  EXPECT_GT(accepted->PendingOutput(), 0u) << "the peer has not read anything yet";
  TSocketSet set(1);
  set.Add(accepted.get());
  for (int i = 0; i < count; ++i) {
    auto line = peer.ReadLine(0);
    while (!line) {
      set.Check(10);
      ASSERT_TRUE(accepted->Flush());
      line = peer.ReadLine(100);
    }
    ASSERT_EQ(*line, "C|" + std::to_string(i) + "|" + text);
  }
  EXPECT_EQ(accepted->PendingOutput(), 0u);
}

TEST(TSocket, FlushToAGonePeerFailsQuietly) {
  TListener listener;
  auto peer = std::make_unique<TLineClient>(listener.Socket.LocalPort());
  auto accepted = listener.AcceptOne();
  ASSERT_NE(accepted, nullptr);
  peer->Reset();
  bool failed = false;
  for (int i = 0; i < 100 && !failed; ++i) {
    accepted->Queue("C|anyone there?");
    failed = !accepted->Flush();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_TRUE(failed);
  EXPECT_TRUE(accepted->SendFailed());
  EXPECT_EQ(accepted->LastError(), ECONNRESET);
  EXPECT_EQ(accepted->PendingOutput(), 0u);
  accepted->Send(std::string("blocking send to nobody")); // must not raise SIGPIPE
}

// Waits for the end of Socket's connection; the last receive's answer (-1 when it ended).
int ReceiveUntilEnd(TSocket& Socket) {
  char buffer[64];
  int got = 0;
  for (int i = 0; i < 200 && got >= 0; ++i) {
    got = Socket.ReceiveAvailable(buffer, sizeof buffer);
    if (got == 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return got;
}

TEST(TSocket, LastErrorTellsAnOrderlyCloseFromAReset) {
  TListener listener;
  auto closing = std::make_unique<TLineClient>(listener.Socket.LocalPort());
  auto closed = listener.AcceptOne();
  auto resetting = std::make_unique<TLineClient>(listener.Socket.LocalPort());
  auto reset = listener.AcceptOne();
  ASSERT_NE(closed, nullptr);
  ASSERT_NE(reset, nullptr);
  EXPECT_EQ(closed->LastError(), 0);
  closing->Close();
  resetting->Reset();
  EXPECT_EQ(ReceiveUntilEnd(*closed), -1);
  EXPECT_EQ(closed->LastError(), 0);
  EXPECT_EQ(ReceiveUntilEnd(*reset), -1);
  EXPECT_EQ(reset->LastError(), ECONNRESET);
}

int IntOption(const TSocket& Socket, int Level, int Name) {
  int value = -1;
  socklen_t len = sizeof value;
  getsockopt(Socket.Descriptor(), Level, Name, &value, &len);
  return value;
}

TEST(TSocket, KeepAliveSettingsReadBack) {
  TListener listener;
  TLineClient peer(listener.Socket.LocalPort());
  auto accepted = listener.AcceptOne();
  ASSERT_NE(accepted, nullptr);
  EXPECT_EQ(IntOption(*accepted, SOL_SOCKET, SO_KEEPALIVE), 0);
  ASSERT_TRUE(accepted->SetKeepAlive(7, 3, 4));
  EXPECT_EQ(IntOption(*accepted, SOL_SOCKET, SO_KEEPALIVE), 1);
  EXPECT_EQ(IntOption(*accepted, IPPROTO_TCP, TCP_KEEPIDLE), 7);
  EXPECT_EQ(IntOption(*accepted, IPPROTO_TCP, TCP_KEEPINTVL), 3);
  EXPECT_EQ(IntOption(*accepted, IPPROTO_TCP, TCP_KEEPCNT), 4);
  ASSERT_TRUE(accepted->SetKeepAlive(0, 3, 4));
  EXPECT_EQ(IntOption(*accepted, SOL_SOCKET, SO_KEEPALIVE), 0);
  // Values the system refuses answer false; a socket without a handle cannot take any.
  EXPECT_FALSE(accepted->SetKeepAlive(7, 0, 4));
  TSocket empty;
  EXPECT_FALSE(empty.SetKeepAlive(60, 10, 6));
}

} // namespace
