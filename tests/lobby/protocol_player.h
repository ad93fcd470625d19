// A protocol-level player's mind: its own copy of the match built only from the lines the
// server sent, every line its copy could not take or whose checksum it does not share, and
// orders picked from its copy by the rules' own computer. Transport-free, so that tests over a
// recorder, tests over sockets, the fuzz target and the benchmark all play alike.
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
    const TMatchMirror::TFeed feed = Mirror.Feed(Line);
    if (feed == TMatchMirror::TFeed::Mismatch || feed == TMatchMirror::TFeed::Bad)
      Faults.push_back(Line);
  }
  // Its copy is whole and it is its seat's turn.
  bool MyTurn() const {
    const TGame* game = Mirror.Game();
    return game != nullptr && !game->Over && game->ToPlay == Mirror.YourSeat() &&
           InPlay(*game, Mirror.YourSeat());
  }
  // The line of the order the rules' computer would give for its seat now.
  std::string NextOrder() const {
    const TOrder order = ComputerOrder(*Mirror.Game(), Mirror.YourSeat());
    if (order.Kind == TOrderKind::Move)
      return Build(TMoveOrder{order.Unit, order.X, order.Y});
    if (order.Kind == TOrderKind::Attack)
      return Build(TAttackOrder{order.Unit, order.Target});
    return Build(TEndTurnOrder{});
  }

  TMatchMirror Mirror;
  // Lines its copy could not take, and turn lines with a checksum not its own.
  std::vector<std::string> Faults;
};

} // namespace test_support
