// The client's copy of its own match, kept only from the server's lines: told of the lobby
// state's changes like a screen, it feeds every line of the match to a TMatchMirror, hands each
// event it applied to whoever draws the match, and asks for the whole state again (W) when the
// copy falls out of step. It also knows the seconds left of the turn, the result, the last
// refusal and a lost connection, and sends the player's orders. No OpenGL, no socket: lines go
// out through the send function it is given.
#pragma once

#include "app/lobby_state.h"
#include "game/rules.h"
#include "net/match_lines.h"

#include <cstdint>
#include <functional>
#include <string>

class TMatchSession : public TLobbyStateListener {
public:
  // Sends one line to the server.
  using TSend = std::function<void(const std::string&)>;
  // Seconds from any fixed moment.
  using TClock = std::function<double()>;

  // How long a refusal stays shown, in seconds.
  static constexpr double NOTICE_SECONDS = 4.0;

  // Send and Clock may be empty: then nothing is sent and time stands still.
  TMatchSession(TSend Send, TClock Clock);

  // Called with the copy after a whole block (the match's first, or one asked for with W) has
  // rebuilt it, for the player's seat (-1: watching); then with every event applied to it after.
  // Either may be empty.
  std::function<void(const TGame& Game, int32_t Seat)> OnReset;
  std::function<void(const TMatchEvent& Event)> OnEvent;

  // ---- what the lobby state tells ----
  // A new match of this client's begins: the old copy, result and refusal are forgotten and
  // the match's block is awaited.
  void OwnMatchBegun() override;
  // A line of the match. Lines that do not fit the copy, or a checksum that is not the copy's,
  // send W once; lines are then ignored until the block that answers it.
  void MatchLine(const TMsg& Line) override;
  // Kept as the notice while following a match.
  void Refused(const std::string& Reason) override;
  void ConnectionLost() override;

  // ---- the player's orders ----
  // A move, an attack or the end of the turn as M, A or T (a leave as Y); nothing unless a
  // match is being played.
  void Order(const TOrder& Order);
  // Y: resigns and stops following the match.
  void Resign();
  // Stops following the match (back to the lobby); later lines of it are ignored.
  void Leave() { FFollowing = false; }

  // ---- what it knows ----
  // A match of this client's is being followed: begun, not left, the connection up.
  bool Following() const { return FFollowing; }
  // The copy, once a block has arrived; nullptr before.
  const TGame* Game() const { return FMirror.Game(); }
  // The player's seat from the block (-1 before one).
  int32_t Seat() const { return FMirror.Game() != nullptr ? FMirror.YourSeat() : -1; }
  // The copy waits for a block (the first, or the answer to W).
  bool AwaitingBlock() const { return FAwaitingBlock; }
  // The seconds left of the turn being played: the last turn line's, less the time since it
  // came; 0 once the match is over.
  double SecondsLeft() const;
  // The server said the match is over (F|over), whether or not the copy was in step.
  bool Over() const { return FOver; }
  // The winning seat, -1 for a draw; meaningful once Over().
  int32_t Winner() const { return FWinner; }
  // "You win", "NAME wins" or "Draw".
  std::string ResultText() const;
  // The connection ended while a match was followed.
  bool Lost() const { return FLost; }
  // The last refusal while it is fresh (NOTICE_SECONDS), else "".
  std::string Notice() const;

private:
  double Now() const { return FClock ? FClock() : 0.0; }
  void Send(const std::string& Line) const;
  // The copy is out of step: W, unless already asked.
  void AskWhole();

  TSend FSend;
  TClock FClock;
  TMatchMirror FMirror;
  bool FFollowing = false;
  bool FAwaitingBlock = false;
  bool FAskedWhole = false;
  // Between a block's start line and its turn line.
  bool FInBlock = false;
  bool FOver = false;
  int32_t FWinner = -1;
  bool FLost = false;
  // When the last turn line came, on FClock.
  double FTurnClock = 0;
  std::string FNotice;
  double FNoticeClock = 0;
};
