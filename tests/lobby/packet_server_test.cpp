// The packet server on its own: the events it reports, with a recording handler.
#include "lobby/packet_server.h"

#include "../support/line_client.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>

namespace {

using namespace test_support;

struct TEvent {
  TSocket* Conn;
  TEventType Type;
  std::string Text;
};

// A packet server on its own thread whose handler records every event.
class TRecordingServer {
public:
  explicit TRecordingServer(
      std::function<void(TPacketServer*, TSocket*, const std::string&)> OnMessage = nullptr)
      : FServer(2) {
    FServer.OnEvent = [this, OnMessage](TPacketServer* Sender, TSocket* Conn, TEventType Type,
                                        const std::string& Text) {
      {
        std::lock_guard<std::mutex> lock(FMutex);
        FEvents.push_back({Conn, Type, Text});
      }
      if (Type == eMessage && OnMessage)
        OnMessage(Sender, Conn, Text);
    };
    FServer.Listen(0, "127.0.0.1");
    Port = FServer.Port();
    FThread = std::thread([this] { FServer.Execute(); });
  }
  ~TRecordingServer() { Stop(); }
  void Stop() {
    if (FThread.joinable()) {
      FServer.Stop();
      FThread.join();
    }
  }
  // Waits until Count events were recorded, then gives them all.
  std::vector<TEvent> WaitEvents(std::size_t Count) {
    for (int i = 0; i < WaitMs / 5; ++i) {
      {
        std::lock_guard<std::mutex> lock(FMutex);
        if (FEvents.size() >= Count)
          return FEvents;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::lock_guard<std::mutex> lock(FMutex);
    return FEvents;
  }
  uint16_t Port = 0;

private:
  TPacketServer FServer;
  std::thread FThread;
  std::mutex FMutex;
  std::vector<TEvent> FEvents;
};

TEST(TPacketServer, ReportsConnectionLinesAndEndWithOneSocket) {
  TRecordingServer server;
  {
    TLineClient client(server.Port);
    client.SendRaw(std::string("a\0\0b|c\0unfinished", 17));
  }
  auto events = server.WaitEvents(5);
  ASSERT_EQ(events.size(), 5u);
  const std::pair<TEventType, std::string> expected[] = {
      {eConnection, ""}, {eMessage, "a"}, {eMessage, ""}, {eMessage, "b|c"}, {eDisconnection, ""}};
  for (std::size_t i = 0; i < events.size(); ++i) {
    EXPECT_EQ(events[i].Type, expected[i].first) << i;
    EXPECT_EQ(events[i].Text, expected[i].second) << i;
    EXPECT_EQ(events[i].Conn, events[0].Conn) << i;
  }
}

TEST(TPacketServer, AConnectionClosedByTheHandlerEndsAfterItsOutputAndReportsOnce) {
  TRecordingServer server([](TPacketServer* Sender, TSocket* Conn, const std::string& Text) {
    Conn->Queue("echo " + Text);
    if (Text == "bye")
      Sender->CloseConnection(Conn);
  });
  TLineClient client(server.Port);
  client.SendRaw(std::string("hi\0bye\0ignored\0", 15));
  EXPECT_EQ(client.ReadLine(), "echo hi");
  EXPECT_EQ(client.ReadLine(), "echo bye");
  EXPECT_TRUE(client.WaitClosed());
  auto events = server.WaitEvents(4);
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[2].Text, "bye");
  EXPECT_EQ(events[3].Type, eDisconnection);
}

TEST(TPacketServer, ServesWithoutAHandler) {
  TPacketServer server(1);
  server.Listen(0, "127.0.0.1");
  std::thread loop([&] { EXPECT_TRUE(server.Execute()); });
  {
    TLineClient first(server.Port());
    TLineClient second(server.Port());
    first.SendLine("L|a|b");
  }
  TLineClient third(server.Port());
  third.SendLine("x");
  server.Stop();
  loop.join();
}

TEST(TPacketServer, TheAlarmCallsOnTimerOnceWhenDueAndARequestAtOnce) {
  using Clock = TPacketServer::Clock;
  using namespace std::chrono_literals;
  TPacketServer server(1);
  server.Listen(0, "127.0.0.1");
  std::mutex mutex;
  std::vector<Clock::time_point> calls;
  server.OnTimer = [&](TPacketServer* Sender) {
    EXPECT_EQ(Sender->Alarm(), Clock::time_point::max()) << "cleared before the call";
    std::lock_guard<std::mutex> lock(mutex);
    calls.push_back(Clock::now());
  };
  auto count = [&] {
    std::lock_guard<std::mutex> lock(mutex);
    return calls.size();
  };
  const auto start = Clock::now();
  server.SetAlarm(start + 200ms);
  std::thread loop([&] { server.Execute(); });
  std::this_thread::sleep_for(600ms);
  ASSERT_EQ(count(), 1u);
  EXPECT_GE(calls[0], start + 200ms) << "not before it is due";
  const auto asked = Clock::now();
  server.RequestTimer();
  for (int i = 0; i < WaitMs / 5 && count() < 2; ++i)
    std::this_thread::sleep_for(5ms);
  ASSERT_EQ(count(), 2u);
  EXPECT_LT(calls[1] - asked, 1s);
  server.Stop();
  loop.join();
}

TEST(TPacketServer, ListeningOnAPortInUseRaisesServerError) {
  TPacketServer first(1);
  first.Listen(0, "127.0.0.1");
  TPacketServer second(1);
  try {
    second.Listen(first.Port(), "127.0.0.1");
    FAIL() << "no exception";
  } catch (const TServerException& e) {
    EXPECT_EQ(std::string(e.what()).rfind("ERROR SERVER ", 0), 0u) << e.what();
  }
}

} // namespace
