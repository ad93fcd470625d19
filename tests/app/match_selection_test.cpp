// Clicks on the field as a player gives them, and what each does to the selection and which
// order it gives.
#include "app/match_selection.h"

#include "../game/board.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

// Ids in reading order. Seat 0: viking 1 at (1,1), tank 4 at (1,2); seat 1: viking 2 at (2,1)
// next to the viking, viking 3 at (6,1) out of every range, tank 5 at (4,2) in the tank's range
// only.
std::unique_ptr<TGame> Field() {
  return Board("......./.ab...b/.A..B../.......");
}

constexpr std::optional<TTilePos> Off = std::nullopt;
std::optional<TTilePos> Tile(int32_t X, int32_t Y) {
  return TTilePos{X, Y};
}

TEST(MatchSelection, ClicksSelectOrderAndDeselect) {
  const struct {
    const char* What;
    int32_t ToPlay;       // the seat whose turn it is
    bool Moved, Attacked; // the viking's spent move and attack
    std::vector<std::optional<TTilePos>> Clicks;
    int32_t Selected; // after the last click
    std::vector<TOrder> Orders;
  } cases[] = {
      {"own unit", 0, false, false, {Tile(1, 1)}, 1, {}},
      {"another own unit", 0, false, false, {Tile(1, 1), Tile(1, 2)}, 4, {}},
      {"lit tile", 0, false, false, {Tile(1, 1), Tile(0, 3)}, 1, {TOrder::MoveTo(1, 0, 3)}},
      {"marked enemy", 0, false, false, {Tile(1, 1), Tile(2, 1)}, 1, {TOrder::AttackWith(1, 2)}},
      {"tank's target", 0, false, false, {Tile(1, 2), Tile(4, 2)}, 4, {TOrder::AttackWith(4, 5)}},
      {"enemy out of range", 0, false, false, {Tile(1, 1), Tile(6, 1)}, 0, {}},
      {"tile out of reach", 0, false, false, {Tile(1, 1), Tile(6, 3)}, 0, {}},
      {"off the field", 0, false, false, {Tile(1, 1), Off}, 0, {}},
      {"enemy without a selection", 0, false, false, {Tile(2, 1)}, 0, {}},
      {"enemy unit cannot be selected", 0, false, false, {Tile(1, 1), Tile(4, 2)}, 0, {}},
      {"lit tile, not my turn", 1, false, false, {Tile(1, 1), Tile(0, 3)}, 1, {}},
      {"marked enemy, not my turn", 1, false, false, {Tile(1, 1), Tile(2, 1)}, 1, {}},
      {"move spent: no lit tiles", 0, true, false, {Tile(1, 1), Tile(0, 3)}, 0, {}},
      {"move spent, attack left",
       0,
       true,
       false,
       {Tile(1, 1), Tile(2, 1)},
       1,
       {TOrder::AttackWith(1, 2)}},
      {"attack spent: no marks", 0, false, true, {Tile(1, 1), Tile(2, 1)}, 0, {}},
      {"two orders in a row",
       0,
       false,
       false,
       {Tile(1, 1), Tile(2, 1), Tile(1, 0)},
       1,
       {TOrder::AttackWith(1, 2), TOrder::MoveTo(1, 1, 0)}},
  };
  for (const auto& c : cases) {
    auto game = Field();
    ASSERT_TRUE(MirrorTurn(*game, c.ToPlay, 1));
    FindUnit(*game, 1)->Moved = c.Moved;
    FindUnit(*game, 1)->Attacked = c.Attacked;
    TMatchSelection selection;
    std::vector<TOrder> orders;
    selection.OnOrder = [&](const TOrder& Order) { orders.push_back(Order); };
    for (const auto& click : c.Clicks) {
      selection.Click(*game, 0, click);
    }
    EXPECT_EQ(selection.Selected(), c.Selected) << c.What;
    EXPECT_EQ(orders, c.Orders) << c.What;
  }
}

TEST(MatchSelection, MarksAreWhereTheUnitCanMoveAndWhomItCanAttack) {
  auto game = Field();
  const TSelectionMarks viking = MarksOf(*game, *FindUnit(*game, 1));
  EXPECT_EQ(viking.Targets, (std::vector<int32_t>{2}));
  EXPECT_EQ(viking.Lit, ReachOf(*game, *FindUnit(*game, 1)).Destinations());
  EXPECT_FALSE(viking.Lit.empty());
  EXPECT_EQ(MarksOf(*game, *FindUnit(*game, 4)).Targets, (std::vector<int32_t>{2, 5}));
}

TEST(MatchSelection, ASelectedUnitThatIsGoneIsForgotten) {
  auto game = Field();
  TMatchSelection selection;
  selection.Click(*game, 0, Tile(1, 1));
  selection.Forget(*game);
  EXPECT_EQ(selection.Selected(), 1);
  ASSERT_TRUE(ApplyEvent(*game, TMatchEvent::Hit(2, 1, 0)));
  selection.Forget(*game);
  EXPECT_EQ(selection.Selected(), 0);
  // Clicks work without anyone listening for orders.
  selection.Click(*game, 0, Tile(1, 2));
  selection.Click(*game, 0, Tile(4, 2));
  EXPECT_EQ(selection.Selected(), 4);
}

} // namespace
