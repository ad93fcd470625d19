#include "app/connection.h"
#include "client_fixture.h"

#include <gtest/gtest.h>

#include <string>

using namespace client_test;

namespace {

TEST(SplitServerAddressTest, HostAndOptionalPort) {
  const struct {
    const char* Text;
    bool Ok;
    const char* Host;
    std::uint16_t Port;
  } cases[] = {
      {"localhost", true, "localhost", DEFAULT_SERVER_PORT},
      {"127.0.0.1:6000", true, "127.0.0.1", 6000},
      {"  example.org:1  ", true, "example.org", 1},
      {"host:65535", true, "host", 65535},
      {"host:65536", false, "host", 0},
      {"host:0", false, "host", 0},
      {"host:", false, "host", 0},
      {"host:12a", false, "host", 0},
      {"host:-5", false, "host", 0},
      {"host:0000080", false, "host", 0},
      {":6000", false, "", 6000},
      {"", false, "", DEFAULT_SERVER_PORT},
      {"   ", false, "", DEFAULT_SERVER_PORT},
  };
  for (const auto& c : cases) {
    std::string host;
    std::uint16_t port = 0;
    const bool ok = SplitServerAddress(c.Text, host, port);
    EXPECT_EQ(ok, c.Ok) << '"' << c.Text << '"';
    if (c.Ok) {
      EXPECT_EQ(host, c.Host) << c.Text;
      EXPECT_EQ(port, c.Port) << c.Text;
    }
  }
}

// A connection to a peer listening on 127.0.0.1.
class ConnectionTest : public ::testing::Test {
protected:
  // Connects conn (again) and answers the peer's end; none when that failed.
  std::unique_ptr<TPeer> Open() {
    if (!conn.Connect("127.0.0.1", listener.Port())) {
      return nullptr;
    }
    return listener.Accept();
  }

  TPeerListener listener;
  TConnection conn;
};

// Lines are read as complete lines, never half of one, and each once, in order.
TEST_F(ConnectionTest, HandsOutCompleteLinesOnly) {
  auto peer = Open();
  ASSERT_NE(peer, nullptr);
  EXPECT_TRUE(conn.Connected());
  EXPECT_FALSE(conn.DataAvaiable());

  peer->SendRaw(std::string("O|an", 4));
  usleep(50 * 1000);
  EXPECT_FALSE(conn.DataAvaiable()) << "half a line must not count";
  std::string line = "junk";
  EXPECT_FALSE(conn.Recv(line));
  EXPECT_EQ(line, "");

  peer->SendRaw(std::string("na\0\0U|bob\0", 10));
  ASSERT_TRUE(WaitFor([&] { return conn.DataAvaiable() && conn.LinesWaiting() == 3; }));
  ASSERT_TRUE(conn.Recv(line));
  EXPECT_EQ(line, "O|anna");
  ASSERT_TRUE(conn.Recv(line));
  EXPECT_EQ(line, "");
  ASSERT_TRUE(conn.Recv(line));
  EXPECT_EQ(line, "U|bob");
  EXPECT_FALSE(conn.DataAvaiable());
  EXPECT_TRUE(conn.Connected());
}

// The end of the connection comes after the lines sent before it, is reported once, and frees
// the set's place so that the next Connect works.
TEST_F(ConnectionTest, DeadConnectionIsReportedOnceAndLeavesTheSet) {
  auto peer = Open();
  ASSERT_NE(peer, nullptr);
  peer->SendLine("C|anna|bye");
  peer->Close();

  ASSERT_TRUE(WaitFor([&] {
    conn.Poll();
    return conn.EndPending();
  }));
  EXPECT_FALSE(conn.Connected());
  EXPECT_TRUE(conn.DataAvaiable());
  std::string line;
  ASSERT_TRUE(conn.Recv(line));
  EXPECT_EQ(line, "C|anna|bye");
  EXPECT_TRUE(conn.DataAvaiable()) << "the end itself is still to be reported";
  EXPECT_FALSE(conn.Recv(line));
  EXPECT_FALSE(conn.DataAvaiable());
  EXPECT_FALSE(conn.Recv(line));

  auto second = Open();
  ASSERT_NE(second, nullptr) << "the dead socket kept its place";
  conn.Send("L|anna|secret");
  EXPECT_EQ(second->ReadLine(), "L|anna|secret");
}

// A second Connect closes the first connection instead of leaving it open and watched.
TEST_F(ConnectionTest, ConnectWhileOpenClosesTheOldConnection) {
  auto first = Open();
  ASSERT_NE(first, nullptr);
  first->SendLine("C|old|line");
  ASSERT_TRUE(WaitFor([&] { return conn.DataAvaiable(); }));

  auto second = Open();
  ASSERT_NE(second, nullptr);
  EXPECT_TRUE(first->WaitClosed());
  EXPECT_FALSE(conn.DataAvaiable()) << "lines of the old connection are gone";

  second->SendLine("O|anna");
  ASSERT_TRUE(WaitFor([&] { return conn.DataAvaiable(); }));
  std::string line;
  ASSERT_TRUE(conn.Recv(line));
  EXPECT_EQ(line, "O|anna");
}

TEST(ConnectionFailureTest, FailedConnectLeavesItClosed) {
  std::uint16_t port = 0;
  {
    TPeerListener listener;
    port = listener.Port();
  } // nobody listens there any more
  TConnection conn;
  EXPECT_FALSE(conn.Connect("127.0.0.1", port));
  EXPECT_FALSE(conn.Connected());
  EXPECT_FALSE(conn.DataAvaiable());
  conn.Send("L|a|b"); // ignored, no crash
}

// Close sends what is queued, ends the connection and forgets unread lines; it is not a loss.
TEST_F(ConnectionTest, CloseSendsQueuedLinesAndDropsUnread) {
  auto peer = Open();
  ASSERT_NE(peer, nullptr);
  peer->SendLine("U|bob");
  ASSERT_TRUE(WaitFor([&] { return conn.DataAvaiable(); }));
  conn.Send("Q|");
  conn.Close();
  EXPECT_FALSE(conn.Connected());
  EXPECT_FALSE(conn.DataAvaiable());
  EXPECT_FALSE(conn.EndPending());
  EXPECT_EQ(peer->ReadLine(), "Q|");
  EXPECT_TRUE(peer->WaitClosed());
}

// Writing to a server that has gone neither raises a signal nor blocks; the loss shows up as
// the end of the connection.
TEST_F(ConnectionTest, SendingToAGoneServerIsHarmless) {
  auto peer = Open();
  ASSERT_NE(peer, nullptr);
  peer->Close();
  const std::string chunk(4096, 'x');
  for (int i = 0; i < 2000 && conn.Connected(); ++i) {
    conn.Send("C|" + chunk);
    conn.Poll();
  }
  ASSERT_TRUE(WaitFor([&] {
    conn.Poll();
    return !conn.Connected();
  }));
  std::string line;
  EXPECT_FALSE(conn.Recv(line));
}

// A line longer than any the lobby sends ends the connection rather than growing without end.
TEST_F(ConnectionTest, OverlongLineEndsTheConnection) {
  auto peer = Open();
  ASSERT_NE(peer, nullptr);
  peer->SendLine("C|a|before");
  peer->SendRaw(std::string(TLineBuffer::MaxLineLength + 100, 'y'));
  ASSERT_TRUE(WaitFor([&] {
    conn.Poll();
    return conn.EndPending();
  }));
  std::string line;
  ASSERT_TRUE(conn.Recv(line));
  EXPECT_EQ(line, "C|a|before");
  EXPECT_FALSE(conn.Recv(line));
  EXPECT_FALSE(conn.Connected());
  EXPECT_TRUE(peer->WaitClosed());
}

// A server that sends far more than the client reads ends its connection once the unread
// input passes MAX_UNREAD_INPUT; what came before it can still be read.
TEST_F(ConnectionTest, UnreadInputBeyondTheLimitEndsTheConnection) {
  auto peer = Open();
  ASSERT_NE(peer, nullptr);
  const std::string line = "C|bob|" + std::string(1000, 'x');
  std::string bytes;
  while (bytes.size() <= MAX_UNREAD_INPUT + 64 * 1024) {
    bytes += line;
    bytes += '\0';
  }
  ASSERT_TRUE(Feed(*peer, conn, bytes, [&] { return conn.EndPending(); }));
  EXPECT_FALSE(conn.Connected());
  EXPECT_LE(conn.UnreadBytes(), MAX_UNREAD_INPUT + 64 * 1024);
  EXPECT_TRUE(peer->WaitClosed());
  std::string first;
  ASSERT_TRUE(conn.Recv(first));
  EXPECT_EQ(first, line);
}

} // namespace
