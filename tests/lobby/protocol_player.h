// A protocol-level player's mind: it keeps its own copy of the match built only from the
// lines the server sent, notes every line its copy could not take or whose checksum it does
// not share, and picks orders from its copy with the rules' own computer. Transport-free, so
// that tests over a recorder, tests over sockets and the fuzz target all play alike.
#pragma once

#include "net/match_lines.h"
#include "net/protocol.h"

#include <string>
#include <vector>

namespace test_support {

class TMatchPlayer {
public:
  // Takes one line the server sent.
  void Take(const std::string& Line) {
    TMsg message(Line);
    switch (Mirror.Feed(message)) {
    case TMatchMirror::TFeed::Mismatch:
      Faults.push_back("checksum differs: " + Line);
      break;
    case TMatchMirror::TFeed::Bad:
      Faults.push_back("does not fit the copy: " + Line);
      break;
    default:
      break;
    }
    if (ExtOf(message) == TExt::Over)
      ++Overs;
  }

  // Its copy is whole and it is its seat's turn.
  bool MyTurn() const {
    const TGame* game = Mirror.Game();
    return game != nullptr && !game->Over && game->ToPlay == Mirror.YourSeat() &&
           InPlay(*game, Mirror.YourSeat());
  }
  // The line of the order the rules' computer would give for its seat now.
  std::string NextOrder() const {
    return OrderLine(ComputerOrder(*Mirror.Game(), Mirror.YourSeat()));
  }

  static std::string OrderLine(const TOrder& Order) {
    switch (Order.Kind) {
    case TOrderKind::Move:
      return Build(TMoveOrder{Order.Unit, Order.X, Order.Y});
    case TOrderKind::Attack:
      return Build(TAttackOrder{Order.Unit, Order.Target});
    default:
      return Build(TEndTurnOrder{});
    }
  }

  TMatchMirror Mirror;
  std::vector<std::string> Faults;
  // F|over lines heard.
  int Overs = 0;
};

} // namespace test_support
