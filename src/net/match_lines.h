// A match on the wire: the rules' events as F lines and back, the match block that describes a
// whole state, and a mirror of a match built only from the lines a server sent. The server
// sends with these and every client reads with them, so both sides agree by construction.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game/rules.h"
#include "net/message.h"

// The F line of Event, which Game has just had applied (ExecuteOrder applies as it goes, and a
// turn or over is the last event of an order); a turn line carries SecondsLeft and Game's
// checksum.
std::string EventLine(const TMatchEvent& Event, const TGame& Game, int32_t SecondsLeft);
// The event an F line of the match carries (moved, hit, out, turn, over); nothing for any
// other line or one whose numbers do not read.
std::optional<TMatchEvent> EventOf(const TMsg& Message);

// The match block of Game as seat YourSeat sees it: its start line, one seat line per seat,
// one tree line per tree (row by row), one unit line per unit (in increasing id), one out line
// per seat already out, and the turn line with SecondsLeft.
std::vector<std::string> MatchBlock(const TGame& Game, int32_t GameId, int32_t YourSeat,
                                    int32_t SecondsLeft);

// A client's copy of one match, built and kept only from the server's lines: Feed every line
// received; lines of other kinds are ignored.
class TMatchMirror {
public:
  enum class TFeed {
    Ignored,  // not a line of the match
    Applied,  // taken into the copy (a turn line's checksum agreed)
    Mismatch, // a turn line whose checksum is not the copy's: ask for the whole state (W)
    Bad,      // a line that does not fit the copy: ask for the whole state (W)
  };

  TFeed Feed(const std::string& Line);
  TFeed Feed(const TMsg& Message);

  // The copy once a whole block has arrived, else nullptr.
  const TGame* Game() const { return FGame.get(); }
  int32_t GameId() const { return FGameId; }
  int32_t YourSeat() const { return FYourSeat; }
  // From the last turn line.
  int32_t SecondsLeft() const { return FSecondsLeft; }
  uint32_t Checksum() const { return FChecksum; }

private:
  TFeed FeedBlock(const TMsg& Message);
  TFeed FeedTurn(const TMsg& Message, bool EndsBlock);

  std::unique_ptr<TGame> FGame;
  // A block being read, from its start line to its turn line.
  std::unique_ptr<TGame> FBuilding;
  int32_t FGameId = 0;
  int32_t FYourSeat = -1;
  int32_t FSecondsLeft = 0;
  uint32_t FChecksum = 0;
};
