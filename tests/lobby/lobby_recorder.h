// A lobby served by a recorder instead of sockets, and peers that talk to it: a test says lines
// as peers would and reads what each one was sent, on a clock that moves only when the test
// moves it. Lobby and match behaviour then read as lines in and lines out, fast and immune to
// load. Each peer keeps its own copy of any match it plays, built from the lines it hears.
#pragma once

#include "lobby/game_server.h"
#include "protocol_player.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace test_support {

using Lines = std::vector<std::string>;

// Ends the process with What, as a failed check does, unless Fine: for what must never happen.
inline void Require(bool Fine, const std::string& What) {
  if (!Fine) {
    std::fprintf(stderr, "%s\n", What.c_str());
    std::abort();
  }
}

class TRecorder : public TLobbyHost {
public:
  // The lobby sets its first alarm while it is made, so it is made once the recorder is whole.
  explicit TRecorder(const TServerLimits& Limits) {
    Server = std::make_unique<TGameServer>(*this, Limits);
  }

  // A new connection, announced to the lobby.
  TSocket* Connect() {
    TSocket* conn = &FConns.emplace_back(std::make_unique<TConn>())->Socket;
    Event(conn, eConnection, "");
    return conn;
  }
  // Line arrives from Conn.
  void Say(TSocket* Conn, const std::string& Line) {
    Require(ConnOf(Conn).Open, "the lobby heard a line from a closed connection");
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
  Clock::time_point Alarm() const { return FAlarm; }

  // Moves the clock on by Time, calling the lobby's timer at each alarm that falls due.
  void Advance(std::chrono::milliseconds Time) {
    const Clock::time_point until = FNow + Time;
    for (int calls = 0; FTimerRequested || FAlarm <= until; ++calls) {
      Require(calls < 1000000, "the lobby's alarm keeps falling due");
      FNow = FTimerRequested ? FNow : std::max(FNow, FAlarm);
      FTimerRequested = false;
      FAlarm = Clock::time_point::max();
      Server->OnTimer();
      FinishEvent();
    }
    FNow = until;
  }

  void Send(TSocket* Conn, const std::string& Line) override {
    Require(ConnOf(Conn).Open, "the lobby sent a line to a closed connection");
    if (!ConnOf(Conn).Closing)
      ConnOf(Conn).Sent.push_back(Line);
  }
  void Close(TSocket* Conn) override { ConnOf(Conn).Closing = true; }
  std::string AddressOf(const TSocket*) const override { return "127.0.0.1"; }
  Clock::time_point Now() const override { return FNow; }
  void SetAlarm(Clock::time_point When) override { FAlarm = When; }
  void RequestTimer() override { FTimerRequested = true; }
  void Log(std::string_view Text) override { FLog.emplace_back(Text); }
  std::size_t ConnectionCount() const override {
    return static_cast<std::size_t>(
        std::count_if(FConns.begin(), FConns.end(), [](const auto& C) { return C->Open; }));
  }
  TPacketServer::TStats ConnectionStats() const override { return {}; }

  std::unique_ptr<TGameServer> Server;

private:
  struct TConn {
    TSocket Socket;
    Lines Sent;
    bool Open = true;
    bool Closing = false;
  };

  TConn& ConnOf(const TSocket* Conn) {
    return **std::find_if(FConns.begin(), FConns.end(),
                          [Conn](const auto& C) { return &C->Socket == Conn; });
  }
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
  Lines FLog;
  Clock::time_point FNow = Clock::time_point(std::chrono::hours(1));
  Clock::time_point FAlarm = Clock::time_point::max();
  bool FTimerRequested = false;
};

// Limits for matches on a recorder: the computer without pauses, no timers of the lobby's own,
// no flood control (players here give their orders at one instant of the clock).
inline TServerLimits MatchLimits() {
  TServerLimits limits;
  limits.Lobby.FloodLimit = false;
  limits.Lobby.ComputerPace = limits.Lobby.LoginTimeout = std::chrono::milliseconds(0);
  limits.Lobby.SummaryInterval = std::chrono::milliseconds(0);
  return limits;
}

// A peer logged in as Name; with Asks, after asking for matches. What the login brought is
// unread.
struct TRecordedPeer {
  TRecordedPeer(TRecorder& Lobby, const std::string& Name, bool Asks = true)
      : Lobby(Lobby), Conn(Lobby.Connect()), Name(Name) {
    if (Asks)
      Say("R|play|1");
    Say("L|" + Name + "|pw");
  }
  void Say(const std::string& Line) { Lobby.Say(Conn, Line); }
  // Lines heard since the last call; the mind takes each, the transcript keeps each.
  Lines Heard() {
    Lines lines = Lobby.Heard(Conn);
    for (const std::string& line : lines)
      Mind.Take(line);
    Transcript.insert(Transcript.end(), lines.begin(), lines.end());
    return lines;
  }
  Lines Ask(const std::string& Line) {
    Say(Line);
    return Heard();
  }

  TRecorder& Lobby;
  TSocket* Conn;
  std::string Name;
  TMatchPlayer Mind;
  Lines Transcript;
};

// A recorded lobby with peers logged in in the order named, those in Plain without asking for
// matches; what their logins brought and the log are forgotten.
struct TRecordedLobby : TRecorder {
  explicit TRecordedLobby(const Lines& Askers, const Lines& Plain = {},
                          const TServerLimits& Limits = MatchLimits())
      : TRecorder(Limits) {
    for (const std::string& name : Askers)
      Peers.push_back(std::make_unique<TRecordedPeer>(*this, name));
    for (const std::string& name : Plain)
      Peers.push_back(std::make_unique<TRecordedPeer>(*this, name, false));
    Heard();
    Log();
  }
  TRecordedPeer& operator[](std::size_t Index) { return *Peers[Index]; }

  using TRecorder::Heard;
  // What each of the first Count peers heard since the last call.
  std::vector<Lines> Heard(std::size_t Count = SIZE_MAX) {
    std::vector<Lines> heard;
    for (std::size_t i = 0; i < std::min(Count, Peers.size()); ++i)
      heard.push_back(Peers[i]->Heard());
    return heard;
  }
  // What each peer heard after peer Who said Line.
  std::vector<Lines> After(std::size_t Who, const std::string& Line) {
    Peers[Who]->Say(Line);
    return Heard();
  }
  // Heard by peer Who alone.
  std::vector<Lines> Only(std::size_t Who, const Lines& Heard) const {
    std::vector<Lines> only(Peers.size());
    only[Who] = Heard;
    return only;
  }
  // Peer 0 announces game 101, "duel" on "plain" for 10 points, peers 1 to Joiners join it,
  // and with Start, peer 0 starts it; what they heard and the log are then forgotten.
  void Open(std::size_t Joiners, bool Start = false) {
    Peers[0]->Say("G|plain|10|duel");
    for (std::size_t i = 1; i <= Joiners; ++i)
      Peers[i]->Say("J|101");
    if (Start)
      Peers[0]->Say("B|");
    Heard();
    Log();
  }

  std::vector<std::unique_ptr<TRecordedPeer>> Peers;
};

} // namespace test_support
