// A lobby serving on 127.0.0.1 (any free port) on its own thread for the length of a test,
// and helpers for the peers that talk to it.
#pragma once

#include "lobby/game_server.h"

#include "../support/line_client.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace test_support {

class TRunningLobby {
public:
  TRunningLobby() {
    Server.Listen(0, "127.0.0.1");
    Port = Server.PacketServer->Port();
    FThread = std::thread([this] { FStopped = Server.Run(); });
  }
  ~TRunningLobby() { Stop(); }
  // Stops serving; true when the loop ended because it was asked to.
  bool Stop() {
    if (FThread.joinable()) {
      Server.Stop();
      FThread.join();
    }
    return FStopped;
  }
  std::thread::native_handle_type Thread() { return FThread.native_handle(); }

  // Only the serving thread may touch it while serving.
  TGameServer Server;
  uint16_t Port = 0;

private:
  std::thread FThread;
  bool FStopped = false;
};

// Reads the next Count lines; a missing line reads as "<none>".
inline std::vector<std::string> ReadLines(TLineClient& Client, std::size_t Count) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < Count; ++i)
    lines.push_back(Client.ReadLine().value_or("<none>"));
  return lines;
}

// Connects and logs in as Name; the O answer has been read.
inline std::unique_ptr<TLineClient> LogIn(uint16_t Port, const std::string& Name) {
  auto client = std::make_unique<TLineClient>(Port);
  client->SendLine("L|" + Name + "|secret");
  EXPECT_EQ(client->ReadLine(), "O|" + Name);
  return client;
}

// Logs in First and then Second, and reads the E and U lines the second login brings.
inline std::pair<std::unique_ptr<TLineClient>, std::unique_ptr<TLineClient>>
LogInPair(uint16_t Port, const std::string& First, const std::string& Second) {
  auto first = LogIn(Port, First);
  auto second = LogIn(Port, Second);
  EXPECT_EQ(first->ReadLine(), "E|" + Second);
  EXPECT_EQ(second->ReadLine(), "U|" + First);
  return {std::move(first), std::move(second)};
}

} // namespace test_support
