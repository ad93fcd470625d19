// A match in progress: the rules' state of the game, the user at each seat, and the clock of
// the turn being played.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/list.h"
#include "game/rules.h"

class TUser;

class TMatch {
public:
  using Clock = std::chrono::steady_clock;

  // The game's number and name from its announcement.
  int32_t Id = 0;
  std::string Name;
  std::unique_ptr<TGame> Game;
  // Per seat, the user who plays or watches it; nullptr for the computer's seat and once its
  // user has left. Not owned.
  std::vector<TUser*> Players;
  // When the turn being played runs out.
  Clock::time_point TurnEnds = Clock::time_point::max();
  // When the computer gives its next order, while it is its turn.
  Clock::time_point ComputerDue = Clock::time_point::max();
  // Orders the computer has given in this turn.
  int32_t ComputerOrders = 0;

  // The computer's seat is to play.
  bool ComputerToPlay() const {
    const TPlayer* player = Game ? SeatPlayer(*Game, Game->ToPlay) : nullptr;
    return player != nullptr && player->Computer && !Game->Over;
  }
  // When the match next needs the lobby's timer.
  Clock::time_point NextDeadline() const { return ComputerToPlay() ? ComputerDue : TurnEnds; }
};

// In the order the matches started; owns them.
using TMatchList = TOwnedList<TMatch>;
