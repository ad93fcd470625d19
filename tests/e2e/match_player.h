// A protocol-level player over a real connection to a server on 127.0.0.1, for tests that set
// it beside real clients: it logs in asking for matches, announces or joins games, keeps its
// copy of a match from the server's lines and plays the orders the rules' computer picks for
// its seat (each one legal by the rules: a reachable tile, a target in range), or resigns.
// Every wait is bounded; a wait that runs out answers false and leaves the player usable.
#pragma once

#include "../lobby/protocol_player.h"
#include "../support/line_client.h"

#include "net/protocol.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace test_support {

class TProtocolPlayer {
public:
  // How long the player waits for the server's answer to something it did.
  static constexpr int ANSWER_MS = 30000;

  // Connects, asks for matches and logs in as Name (LoggedIn says whether the server agreed).
  TProtocolPlayer(uint16_t Port, const std::string& Name) : FClient(Port), FName(Name) {
    FClient.SendLines(
        {Build(TFeatureRequest{std::string(PlayFeature), std::to_string(PlayVersion)}),
         Build(TLoginRequest{Name, "pw"})});
    FLoggedIn = ReadUntil([&](const std::string& Line) { return Line == "O|" + Name; });
  }

  bool LoggedIn() const { return FLoggedIn; }
  const std::string& Name() const { return FName; }
  // Every line read so far, in order.
  const std::vector<std::string>& Heard() const { return FHeard; }
  const TMatchPlayer& Mind() const { return FMind; }
  // Lines its copy could not take, turn lines whose checksum it did not share, and orders the
  // server refused.
  const std::vector<std::string>& Faults() const { return FMind.Faults; }

  // Reads lines until Done holds for one (true) or the connection ends or TimeoutMs passes.
  bool ReadUntil(const std::function<bool(const std::string&)>& Done, int TimeoutMs = ANSWER_MS) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                            deadline - std::chrono::steady_clock::now())
                            .count();
      auto line = FClient.ReadLine(static_cast<int>(std::max<long long>(left, 0)));
      if (!line)
        return false;
      Take(*line);
      if (Done(*line))
        return true;
    }
  }
  // Reads until a line starting with Prefix; that line, or nothing.
  std::optional<std::string> ReadUntilPrefix(const std::string& Prefix, int TimeoutMs = ANSWER_MS) {
    std::optional<std::string> found;
    ReadUntil(
        [&](const std::string& Line) {
          if (Line.rfind(Prefix, 0) != 0)
            return false;
          found = Line;
          return true;
        },
        TimeoutMs);
    return found;
  }

  // Announces a game; its number once the server confirms it, else 0.
  int32_t Create(const std::string& Map, int32_t Points, const std::string& GameName) {
    FClient.SendLine(Build(TAnnounceRequest{Map, std::to_string(Points), GameName}));
    const auto created = ReadUntilPrefix("F|created|");
    return created ? Read<TGameCreated>(TMsg(*created)).value_or(TGameCreated{}).Game : 0;
  }
  // Joins game Game's waiting room; true once the server lets the player in.
  bool Join(int32_t Game) {
    FClient.SendLine(Build(TJoinRequest{Game}));
    return ReadUntil([&](const std::string& Line) {
             const TExt kind = ExtOf(TMsg(Line));
             return Line == Build(TGameEntered{Game}) || kind == TExt::Refused;
           }) &&
           FHeard.back() == Build(TGameEntered{Game});
  }
  // The creator starts its game.
  void Start() { FClient.SendLine(Build(TBeginRequest{})); }
  // Resigns (the seat is out) and goes back to the lobby.
  void Resign() { FClient.SendLine(Build(TResignRequest{})); }

  // Waits until its copy of a match is whole.
  bool WaitForMatch(int TimeoutMs = ANSWER_MS) {
    return FMind.Mirror.Game() != nullptr ||
           ReadUntil([&](const std::string&) { return FMind.Mirror.Game() != nullptr; }, TimeoutMs);
  }
  // Waits until it is its seat's turn (true) or the match is over (false).
  bool WaitForTurn(int TimeoutMs = ANSWER_MS) {
    if (!FMind.Mirror.Game())
      WaitForMatch(TimeoutMs);
    return FMind.MyTurn() ||
           (ReadUntil([&](const std::string&) { return FMind.MyTurn() || Over(); }, TimeoutMs) &&
            FMind.MyTurn());
  }
  // Plays its seat's turn: up to MaxOrders of the rules computer's orders, each answered by the
  // server before the next, then the end of the turn. False when an answer did not come or the
  // server refused an order.
  bool PlayTurn(int MaxOrders) {
    for (int given = 0; FMind.MyTurn(); ++given) {
      const std::string order = given < MaxOrders ? FMind.NextOrder() : Build(TEndTurnOrder{});
      FClient.SendLine(order);
      TExt answer = TExt::Unknown;
      const bool answered = ReadUntil([&](const std::string& Line) {
        const TExt kind = ExtOf(TMsg(Line));
        if (kind == TExt::Moved || kind == TExt::Hit || kind == TExt::Turn || kind == TExt::Over ||
            kind == TExt::Refused)
          answer = kind;
        return answer != TExt::Unknown && Settled();
      });
      if (!answered)
        return false;
      if (answer == TExt::Refused) {
        FMind.Faults.push_back(order + " -> " + FHeard.back());
        return false;
      }
    }
    return true;
  }

  // The match's end as the player heard it: the winning seat (-1 for a draw), or nothing yet.
  std::optional<int32_t> Winner() const { return FWinner; }
  bool Over() const { return FWinner.has_value(); }

private:
  // No line the last order caused is still on its way: a seat left without units is out, and a
  // match with one seat left is over.
  bool Settled() const {
    const TGame* game = FMind.Mirror.Game();
    if (game == nullptr || game->Over)
      return true;
    for (const auto& player : game->Players)
      if (InPlay(*game, player->Seat) && SeatUnitCount(*game, player->Seat) == 0)
        return false;
    return SeatsInPlay(*game) > 1;
  }
  void Take(const std::string& Line) {
    FHeard.push_back(Line);
    FMind.Take(Line);
    if (auto over = Read<TOverLine>(TMsg(Line)))
      FWinner = over->Winner;
    else if (Read<TStartLine>(TMsg(Line)))
      FWinner.reset();
  }
  TLineClient FClient;
  std::string FName;
  bool FLoggedIn = false;
  TMatchPlayer FMind;
  std::vector<std::string> FHeard;
  std::optional<int32_t> FWinner;
};

} // namespace test_support
