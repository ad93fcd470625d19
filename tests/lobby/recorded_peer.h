// Peers of a recorded lobby: each logs in, asking for matches or not, and keeps its own copy of
// any match it plays from the lines it hears.
#pragma once

#include "lobby_recorder.h"
#include "protocol_player.h"

#include <algorithm>
#include <string>
#include <vector>

namespace test_support {

// Limits for matches on a recorder: the computer without pauses, no timers of the lobby's own,
// no flood control (players here give their orders at one instant of the clock).
inline TServerLimits MatchLimits() {
  TServerLimits limits;
  limits.Lobby.FloodLimit = false;
  limits.Lobby.ComputerPace = std::chrono::milliseconds(0);
  limits.Lobby.LoginTimeout = std::chrono::milliseconds(0);
  limits.Lobby.SummaryInterval = std::chrono::milliseconds(0);
  return limits;
}

struct TRecordedPeer {
  // Logs in as Name; with Asks, after asking for matches. What the login brought is unread.
  TRecordedPeer(TRecorder& Lobby, const std::string& Name, bool Asks = true)
      : Lobby(Lobby), Conn(Lobby.Connect()), Name(Name) {
    if (Asks)
      Say("R|play|1");
    Say("L|" + Name + "|pw");
  }
  void Say(const std::string& Line) { Lobby.Say(Conn, Line); }
  // Lines heard since the last call, each also taken by the player's mind.
  Lines Heard() {
    Lines lines = Lobby.Heard(Conn);
    for (const std::string& line : lines)
      Mind.Take(line);
    Transcript.insert(Transcript.end(), lines.begin(), lines.end());
    return lines;
  }
  // Says Line and answers what it heard back.
  Lines Ask(const std::string& Line) {
    Say(Line);
    return Heard();
  }

  TRecorder& Lobby;
  TSocket* Conn;
  std::string Name;
  TMatchPlayer Mind;
  // Every line heard.
  Lines Transcript;
};

// Lines heard by each of Peers, in turn, after a line of one of them.
inline std::vector<Lines> HeardByAll(const std::vector<TRecordedPeer*>& Peers) {
  std::vector<Lines> heard;
  for (TRecordedPeer* peer : Peers)
    heard.push_back(peer->Heard());
  return heard;
}

// Plays until no human has a turn or MostOrders orders were given: whoever's turn it is gives
// the order its copy of the match suggests, or, among Passive, only ends its turns. Answers
// the orders given.
inline int PlayOut(const std::vector<TRecordedPeer*>& Players,
                   const std::vector<TRecordedPeer*>& Passive = {}, int MostOrders = 5000) {
  int orders = 0;
  for (; orders < MostOrders; ++orders) {
    HeardByAll(Players);
    TRecordedPeer* next = nullptr;
    for (TRecordedPeer* player : Players)
      if (player->Mind.MyTurn())
        next = player;
    if (next == nullptr)
      break;
    bool passive = std::find(Passive.begin(), Passive.end(), next) != Passive.end();
    next->Say(passive ? "T|" : next->Mind.NextOrder());
  }
  HeardByAll(Players);
  return orders;
}

} // namespace test_support
