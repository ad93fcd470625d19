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

// Limits that a test pouring lines or connections from 127.0.0.1 never meets: no flood
// control, no limit per address or on the game list.
inline TServerLimits Unguarded() {
  TServerLimits limits;
  limits.Connections.MaxPerAddress = 0;
  limits.Lobby.FloodLimit = false;
  limits.Lobby.MaxGamesPerUser = 0;
  limits.Lobby.MaxGames = 0;
  limits.Lobby.MaxGameListBytes = 0;
  return limits;
}

class TRunningLobby {
public:
  explicit TRunningLobby(const TServerLimits& Limits = {}) : Server(Limits) {
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

// Tries to log in as Name until a place in the lobby is free: connections refused at once
// until the lobby has seen a place freed. Paced, so that the lobby, which takes connections
// before it reads the others, gets to the end of the one that freed it.
inline bool AdmittedOnceFreed(uint16_t Port, const std::string& Name) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(WaitMs);
  while (std::chrono::steady_clock::now() < deadline) {
    TLineClient again(Port);
    again.SendLine("L|" + Name + "|pw");
    if (again.ReadLine(2000) == "O|" + Name)
      return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

} // namespace test_support
