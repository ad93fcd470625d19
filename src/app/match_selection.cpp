#include "app/match_selection.h"

#include <algorithm>

TSelectionMarks MarksOf(const TGame& Game, const TUnit& Unit) {
  TSelectionMarks marks;
  if (!Unit.Moved) {
    marks.Lit = ReachOf(Game, Unit).Destinations();
  }
  if (!Unit.Attacked) {
    for (const TUnit* target : TargetsOf(Game, Unit)) {
      marks.Targets.push_back(target->Id);
    }
  }
  return marks;
}

void TMatchSelection::Click(const TGame& Game, int32_t Seat, std::optional<TTilePos> Tile) {
  const TUnit* there = Tile ? UnitAt(Game, Tile->X, Tile->Y) : nullptr;
  if (there && UnitSeat(*there) == Seat) {
    FSelected = there->Id;
    return;
  }
  const TUnit* selected = FindUnit(Game, FSelected);
  if (!Tile || !selected) {
    FSelected = 0;
    return;
  }
  const TSelectionMarks marks = MarksOf(Game, *selected);
  std::optional<TOrder> order;
  if (there && std::binary_search(marks.Targets.begin(), marks.Targets.end(), there->Id)) {
    order = TOrder::AttackWith(selected->Id, there->Id);
  } else if (!there && std::find(marks.Lit.begin(), marks.Lit.end(), *Tile) != marks.Lit.end()) {
    order = TOrder::MoveTo(selected->Id, Tile->X, Tile->Y);
  }
  if (!order) {
    FSelected = 0;
    return;
  }
  // A lit tile or a marked enemy keeps the selection; the order goes out only when the rules
  // allow it now (on the player's turn, the match not over).
  if (CheckOrder(Game, Seat, *order) == nullptr && OnOrder) {
    OnOrder(*order);
  }
}

void TMatchSelection::Forget(const TGame& Game) {
  if (FSelected != 0 && !FindUnit(Game, FSelected)) {
    FSelected = 0;
  }
}
