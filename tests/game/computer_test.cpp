#include "board.h"

#include <gtest/gtest.h>

namespace {

// Plays Game to its end: computer seats give the orders ComputerOrder picks, which the rules
// must allow and which must end each turn within two orders per unit; the others only end
// their turns.
void PlayToTheEnd(TGame& Game) {
  for (int32_t orders = 0; !Game.Over && orders < 100000;) {
    const int32_t seat = Game.ToPlay, round = Game.Turns;
    for (int32_t inTurn = 0; seat == Game.ToPlay && round == Game.Turns && !Game.Over; ++inTurn) {
      ASSERT_LE(inTurn, 2 * MaxArmyUnits) << "a turn that does not end";
      const TOrder order =
          SeatPlayer(Game, seat)->Computer ? ComputerOrder(Game, seat) : TOrder::EndTurn();
      std::vector<TMatchEvent> events;
      ASSERT_EQ(ExecuteOrder(Game, seat, order, events), nullptr) << "round " << round;
      ++orders;
    }
  }
  EXPECT_TRUE(Game.Over);
}

TEST(Computer, PlaysEveryMatchToItsEndAndDestroysAPlayerWhoOnlyEndsTurns) {
  for (int32_t human : {0, 1}) {
    std::vector<TSeatSpec> seats = {{"anna", false}, {ComputerSeatName, true}};
    std::swap(seats[0], seats[human]);
    auto game = CreateMatch("plain", 10, seats);
    PlayToTheEnd(*game);
    EXPECT_EQ(game->Winner, 1 - human);
    EXPECT_EQ(SeatUnitCount(*game, human), 0);
    EXPECT_LT(game->Turns, RoundLimit);
  }
  auto game = CreateMatch("forest", 72, std::vector<TSeatSpec>(4, {"cpu", true}));
  PlayToTheEnd(*game);
  EXPECT_TRUE(game->Winner < 0 || InPlay(*game, game->Winner));
}

TEST(Computer, AttacksTheWeakestEnemyInRangeThenClosesIn) {
  auto game = Board("b..../..A.b/a....");
  FindUnit(*game, 2)->Moved = true;
  FindUnit(*game, 3)->Health = 3;
  // The tank (unit 2) has both vikings in range and hits the weaker; then the viking at (0,2)
  // steps next to the other one and strikes; then nothing is left to do.
  std::vector<TMatchEvent> events;
  for (int32_t i = 0; i < 4; ++i)
    ASSERT_EQ(ExecuteOrder(*game, 0, ComputerOrder(*game, 0), events), nullptr);
  EXPECT_EQ(events,
            (std::vector<TMatchEvent>{TMatchEvent::Hit(2, 3, 0), TMatchEvent::Moved(4, 0, 1),
                                      TMatchEvent::Hit(4, 1, 6), TMatchEvent::Turn(1, 1)}));
}

} // namespace
