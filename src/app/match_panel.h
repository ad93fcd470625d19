// The game screen's match panel: whose turn it is ("Your turn" on a filled bar when it is the
// player's), the round, the seconds left of the turn, each seat with its colour and units, and
// the "End turn" and "Resign" buttons. Its layout is the window "MatchPanel" of
// media/matchpanel.ui; this class finds the named widgets and fills them from the client's copy
// of the match. No OpenGL: the seat colours are images whose textures the caller supplies.
#pragma once

#include "game/rules.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class TUIBar;
class TUIButton;
class TUIContainer;
class TUIImage;
class TUILabel;
class TUIWindow;

class TMatchPanel {
public:
  static constexpr const char* UI_FILE = "media/matchpanel.ui";
  static constexpr const char* WINDOW_NAME = "MatchPanel";

  // Loads the panel's window from FileName and adds it to Desktop, which owns it; the panel
  // must not outlive that window. XML errors and a missing file raise as the GUI loader does; a
  // file without the window raises std::runtime_error. Widgets the file lacks are left out.
  explicit TMatchPanel(TUIContainer& Desktop, const std::string& FileName = UI_FILE);

  // Called by the panel's buttons; either may be empty.
  std::function<void()> OnEndTurn;
  std::function<void()> OnResign;

  // The texture (an OpenGL texture name) each seat's colour image shows.
  void SetSeatTextures(const std::array<uint32_t, MaxSeats>& Textures) { FSeatTextures = Textures; }
  // Fills the panel for the player of Seat (-1 for one who only watches), with SecondsLeft of
  // the turn being played. "End turn" is enabled only on the player's turn, "Resign" while the
  // player's seat is in the match.
  void Update(const TGame& Game, int32_t Seat, double SecondsLeft);

  TUIWindow* Window = nullptr;
  TUIBar* TurnBar = nullptr;
  TUILabel* RoundLabel = nullptr;
  TUIBar* TimeBar = nullptr;
  std::array<TUIImage*, MaxSeats> SeatColours{};
  std::array<TUILabel*, MaxSeats> SeatLabels{};
  TUIButton* EndTurnButton = nullptr;
  TUIButton* ResignButton = nullptr;

private:
  std::array<uint32_t, MaxSeats> FSeatTextures{};
  // The turn the time bar measures (round, seat), and the seconds it had when first seen.
  int32_t FTimedRound = -1;
  int32_t FTimedSeat = -1;
  int32_t FTurnLength = 1;
};

// The panel's texts, for the player of Seat.
std::string TurnCaption(const TGame& Game, int32_t Seat);
std::string RoundCaption(const TGame& Game);
std::string SecondsCaption(double SecondsLeft);
// One seat's line: a marker for the seat to play, its name, its units or "out".
std::string SeatCaption(const TGame& Game, int32_t Seat);
