// Choosing a unit and giving it orders with the mouse, as a small state machine over the
// client's copy of the match. A click on one of the player's own units selects it (at any time:
// looking where a unit could go is always allowed); while one is selected, the tiles it can move
// to are lit and the enemies it can attack are marked. On the player's turn a click on a lit
// tile orders the move and a click on a marked enemy the attack; a click anywhere else drops the
// selection. Orders go to OnOrder; sending them is the caller's business.
#pragma once

#include "game/rules.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// What a selected unit may do now: where it can move and whom it can attack. A unit whose move
// (attack) of this turn is spent has no lit tiles (marked enemies).
struct TSelectionMarks {
  std::vector<TTilePos> Lit;
  std::vector<int32_t> Targets; // unit ids, increasing
};
TSelectionMarks MarksOf(const TGame& Game, const TUnit& Unit);

class TMatchSelection {
public:
  // Called with each order a click gives; may be empty.
  std::function<void(const TOrder&)> OnOrder;

  // A click by the player of Seat on Tile, or off the field (no tile), against Game.
  void Click(const TGame& Game, int32_t Seat, std::optional<TTilePos> Tile);
  // The selected unit's id, 0 for none.
  int32_t Selected() const { return FSelected; }
  void Deselect() { FSelected = 0; }
  // Drops a selection whose unit is gone from Game (destroyed, its seat out).
  void Forget(const TGame& Game);

private:
  int32_t FSelected = 0;
};
