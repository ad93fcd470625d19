// A lobby served by a recorder instead of sockets: a test connects peers, says lines as they
// would and reads what each one was sent, on a clock that moves only when the test moves it.
// Lobby and match behaviour then read as lines in and lines out, fast and immune to load.
#pragma once

#include "lobby/game_server.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace test_support {

using Lines = std::vector<std::string>;

class TRecorder : public TLobbyHost {
public:
  // The lobby sets its first alarm while it is made, so it is made once the recorder is whole.
  explicit TRecorder(const TServerLimits& Limits = {}) {
    Server = std::make_unique<TGameServer>(*this, Limits);
  }

  // A new connection from Address, announced to the lobby.
  TSocket* Connect(const std::string& Address = "127.0.0.1") {
    auto& conn = FConns.emplace_back(std::make_unique<TConn>());
    conn->Address = Address;
    FByHandle[&conn->Socket] = conn.get();
    Event(&conn->Socket, eConnection, "");
    return &conn->Socket;
  }
  // Line arrives from Conn.
  void Say(TSocket* Conn, const std::string& Line) {
    if (!ConnOf(Conn).Open) {
      Fault("a line from a closed connection: " + Line);
      return;
    }
    Event(Conn, eMessage, Line);
  }
  // The peer of Conn goes away.
  void Hangup(TSocket* Conn) {
    if (ConnOf(Conn).Open)
      End(Conn);
  }
  // Lines sent to Conn since the last call.
  Lines Heard(TSocket* Conn) { return std::exchange(ConnOf(Conn).Sent, {}); }
  // Log lines written since the last call.
  Lines Log() { return std::exchange(FLog, {}); }
  bool IsOpen(TSocket* Conn) { return ConnOf(Conn).Open; }

  // Moves the clock on by Time, calling the lobby's timer at each alarm that falls due.
  void Advance(std::chrono::milliseconds Time) {
    const Clock::time_point until = FNow + Time;
    for (int calls = 0; FTimerRequested || FAlarm <= until; ++calls) {
      if (calls == MostTimerCalls) {
        Fault("the lobby's alarm keeps falling due");
        break;
      }
      if (!FTimerRequested)
        FNow = std::max(FNow, FAlarm);
      FTimerRequested = false;
      FAlarm = Clock::time_point::max();
      Server->OnTimer();
      FinishEvent();
    }
    FNow = until;
  }
  Clock::time_point Alarm() const { return FAlarm; }

  void Send(TSocket* Conn, const std::string& Line) override {
    TConn& conn = ConnOf(Conn);
    if (!conn.Open)
      Fault("a line for a closed connection: " + Line);
    else if (!conn.Closing)
      conn.Sent.push_back(Line);
  }
  void Close(TSocket* Conn) override { ConnOf(Conn).Closing = true; }
  std::string AddressOf(const TSocket* Conn) const override { return FByHandle.at(Conn)->Address; }
  Clock::time_point Now() const override { return FNow; }
  void SetAlarm(Clock::time_point When) override { FAlarm = When; }
  void RequestTimer() override { FTimerRequested = true; }
  void Log(std::string_view Text) override { FLog.emplace_back(Text); }
  std::size_t ConnectionCount() const override {
    std::size_t open = 0;
    for (const auto& conn : FConns)
      open += conn->Open ? 1 : 0;
    return open;
  }
  TPacketServer::TStats ConnectionStats() const override { return {}; }

  std::unique_ptr<TGameServer> Server;
  // Told of what the lobby must never do (use a closed connection, keep its alarm due); by
  // default the process ends with the message, as a failed check does.
  std::function<void(const std::string&)> OnFault = [](const std::string& What) {
    std::fprintf(stderr, "recorded lobby: %s\n", What.c_str());
    std::abort();
  };

private:
  void Fault(const std::string& What) {
    if (OnFault)
      OnFault(What);
  }

  static constexpr int MostTimerCalls = 1000000;

  struct TConn {
    TSocket Socket;
    std::string Address;
    Lines Sent;
    bool Open = true;
    bool Closing = false;
  };

  TConn& ConnOf(const TSocket* Conn) { return *FByHandle.at(Conn); }
  void Event(TSocket* Conn, TEventType Type, const std::string& Text) {
    Server->OnEvent(nullptr, Conn, Type, Text);
    FinishEvent();
  }
  void End(TSocket* Conn) {
    Server->OnEvent(nullptr, Conn, eDisconnection, "");
    ConnOf(Conn).Open = false;
  }
  // Connections the lobby closed end once the event is over, as the packet server's do.
  void FinishEvent() {
    for (bool again = true; again;) {
      again = false;
      for (const auto& conn : FConns)
        if (conn->Open && conn->Closing) {
          End(&conn->Socket);
          again = true;
        }
    }
  }

  std::vector<std::unique_ptr<TConn>> FConns;
  std::unordered_map<const TSocket*, TConn*> FByHandle;
  Lines FLog;
  Clock::time_point FNow = Clock::time_point(std::chrono::hours(1));
  Clock::time_point FAlarm = Clock::time_point::max();
  bool FTimerRequested = false;
};

} // namespace test_support
