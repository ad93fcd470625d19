#include "board.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <tuple>

namespace {

using E = TMatchEvent;

constexpr const char* Reach = "That tile is out of reach.";
constexpr const char* Off = "That tile is off the field.";
constexpr const char* NoUnit = "There is no such unit.";
constexpr const char* NotYours = "That unit is not yours.";
constexpr const char* Range = "That target is out of range.";
constexpr const char* Own = "You cannot attack your own unit.";

// One order of a scripted match and what it must give: its events, or its refusal, after which
// the match must be as it was.
struct TStep {
  int32_t Seat;
  TOrder Order;
  std::vector<TMatchEvent> Events;
  const char* Refusal = nullptr;
};

void Play(TGame& Game, const std::vector<TStep>& Steps) {
  for (std::size_t i = 0; i < Steps.size(); ++i) {
    std::vector<TMatchEvent> events;
    const std::string before = ChecksumText(Game);
    EXPECT_STREQ(ExecuteOrder(Game, Steps[i].Seat, Steps[i].Order, events), Steps[i].Refusal)
        << "step " << i;
    EXPECT_EQ(events, Steps[i].Events) << "step " << i;
    if (Steps[i].Refusal) {
      EXPECT_EQ(ChecksumText(Game), before) << "step " << i;
    }
  }
}

TEST(Rules, MovesGoAroundTreesAndEnemiesPassOwnUnitsAndStayOnTheField) {
  struct TCase {
    const char* Rows;
    int32_t Unit, X, Y, Steps;
    const char* Refusal = nullptr;
  };
  const TCase cases[] = {
      {"a.../....", 1, 3, 0, 3},
      {"a..../.....", 1, 4, 0, 0, Reach}, // a viking moves 3
      {"A..../.....", 1, 4, 0, 4},        // a tank 4
      {"a../.../...", 1, 2, 2, 0, Reach}, // side steps only
      {"a#../....", 1, 2, 0, 0, Reach},   // the way round the tree is too long
      {"a#../....", 1, 2, 1, 3},
      {"a#../....", 1, 1, 0, 0, "A tree stands on that tile."},
      {"aa../####", 1, 3, 0, 3}, // passing one's own unit
      {"aa../####", 1, 1, 0, 0, "That tile is taken."},
      {"ab../####", 1, 2, 0, 0, Reach}, // an enemy blocks the way
      {"a.b./..#.", 1, 3, 0, 0, Reach}, // and is no step to stand on
      {"a..", 1, -1, 0, 0, Off},
      {"a..", 1, 0, -1, 0, Off},
      {"a..", 1, 3, 0, 0, Off},
      {"a..", 1, INT_MAX, INT_MIN, 0, Off},
      {"a..", 1, 0, 0, 0, "That unit is already there."},
      {"a..", 0, 1, 0, 0, NoUnit},
      {"a..", INT_MIN, 1, 0, 0, NoUnit},
      {"a.b", 2, 1, 0, 0, NotYours},
  };
  for (const TCase& c : cases) {
    auto game = Board(c.Rows);
    const TUnit* unit = FindUnit(*game, c.Unit);
    const TTilePos to{c.X, c.Y};
    if (unit && UnitSeat(*unit) == 0) {
      // The preview agrees: a path of side steps over free tiles, as long as the move.
      const TReach reach = ReachOf(*game, *unit);
      const std::vector<TTilePos> ends = reach.Destinations(), path = reach.PathTo(c.X, c.Y);
      EXPECT_EQ(std::count(ends.begin(), ends.end(), to), c.Refusal ? 0 : 1) << c.Rows;
      ASSERT_EQ(static_cast<int32_t>(path.size()), c.Steps) << c.Rows;
      TTilePos from{unit->X, unit->Y};
      for (const TTilePos& at : path) {
        const TUnit* there = UnitAt(*game, at.X, at.Y);
        EXPECT_EQ(std::abs(at.X - from.X) + std::abs(at.Y - from.Y), 1) << c.Rows;
        EXPECT_TRUE(!HasTree(*game, at.X, at.Y) && (!there || UnitSeat(*there) == 0)) << c.Rows;
        from = at;
      }
    }
    SCOPED_TRACE(c.Rows);
    const auto moved = c.Refusal ? std::vector<E>{} : std::vector<E>{E::Moved(c.Unit, c.X, c.Y)};
    Play(*game, {{0, TOrder::MoveTo(c.Unit, c.X, c.Y), moved, c.Refusal}});
    EXPECT_TRUE(c.Refusal || UnitAt(*game, c.X, c.Y) == unit);
  }
}

TEST(Rules, AttacksReachAsFarAsTheAttackersRangeOverAnything) {
  struct TCase {
    const char* Rows;
    int32_t Unit, Target, HealthLeft;
    const char* Refusal = nullptr;
  };
  const TCase cases[] = {
      {"aB..", 1, 2, 16},
      {"a.B.", 1, 2, 0, Range},
      {"a./.b", 1, 2, 0, Range},
      {"A#.b", 1, 2, 4},
      {"Aa.b", 1, 3, 4},
      {"A...b", 1, 2, 0, Range},
      {"Aa", 1, 2, 0, Own},
      {"Ab", 1, 1, 0, Own},
      {"Ab", INT_MAX, 2, 0, NoUnit},
      {"Ab", 2, 1, 0, NotYours},
      {"Ab", 1, 99, 0, "There is no such target."},
  };
  for (const TCase& c : cases) {
    auto game = Board(c.Rows);
    SCOPED_TRACE(c.Rows);
    const auto hit =
        c.Refusal ? std::vector<E>{} : std::vector<E>{E::Hit(c.Unit, c.Target, c.HealthLeft)};
    Play(*game, {{0, TOrder::AttackWith(c.Unit, c.Target), hit, c.Refusal}});
  }
}

TEST(Rules, EachUnitMovesAndAttacksOnceATurnInEitherOrder) {
  auto game = Board("a..b/a.../....");
  Play(*game, {
                  {0, TOrder::MoveTo(1, 2, 0), {E::Moved(1, 2, 0)}},
                  {0, TOrder::AttackWith(1, 2), {E::Hit(1, 2, 6)}},
                  {0, TOrder::MoveTo(1, 2, 1), {}, "That unit has already moved this turn."},
                  {0, TOrder::AttackWith(1, 2), {}, "That unit has already attacked this turn."},
                  {0, TOrder::MoveTo(3, 2, 1), {E::Moved(3, 2, 1)}},
                  {0, TOrder::EndTurn(), {E::Turn(1, 1)}},
                  {1, TOrder::AttackWith(2, 1), {E::Hit(2, 1, 6)}},
                  {1, TOrder::MoveTo(2, 3, 2), {E::Moved(2, 3, 2)}},
                  {1, TOrder::EndTurn(), {E::Turn(0, 2)}},
                  // A new turn gives every unit its move and its attack again.
                  {0, TOrder::MoveTo(1, 3, 1), {E::Moved(1, 3, 1)}},
                  {0, TOrder::AttackWith(1, 2), {E::Hit(1, 2, 2)}},
              });
}

TEST(Rules, TurnsPassOverSeatsThatAreOutAndTheLastSeatInPlayWins) {
  auto game = Board("Abc.d", 4);
  FindUnit(*game, 2)->Health = 6;
  Play(*game, {
                  {1, TOrder::EndTurn(), {}, "It is not your turn."},
                  // A seat whose last unit is destroyed is out; the turn passes over it.
                  {0, TOrder::AttackWith(1, 2), {E::Hit(1, 2, 0), E::SeatOut(1)}},
                  {1, TOrder::EndTurn(), {}, "You are out of the match."},
                  {0, TOrder::EndTurn(), {E::Turn(2, 1)}},
                  {7, TOrder::EndTurn(), {}, "There is no such seat."},
                  {2, TOrder::EndTurn(), {E::Turn(3, 1)}},
                  // The last seat of the round leaving in its own turn ends the round.
                  {3, TOrder::Leave(), {E::SeatOut(3), E::Turn(0, 2)}},
                  // Leaving needs no turn.
                  {2, TOrder::Leave(), {E::SeatOut(2), E::Over(0)}},
                  {0, TOrder::EndTurn(), {}, "The match is over."},
              });
  EXPECT_EQ(FindUnit(*game, 2), nullptr);
  EXPECT_EQ(SeatUnitCount(*game, 2), 0);
  EXPECT_EQ(game->Winner, 0);
}

TEST(Rules, ThreeTimeoutsInARowPutASeatOut) {
  auto game = Board("a.b.c", 3);
  // Seat 0's orders, round after round; the other seats end their turns.
  const TOrder orders[] = {TOrder::TimeOut(), TOrder::TimeOut(), TOrder::EndTurn(),
                           TOrder::TimeOut(), TOrder::TimeOut(), TOrder::TimeOut()};
  for (int32_t round = 1; round <= 6; ++round) {
    const bool out = round == 6;
    Play(*game, {{0, orders[round - 1],
                  out ? std::vector<E>{E::SeatOut(0), E::Turn(1, round)}
                      : std::vector<E>{E::Turn(1, round)}},
                 {1, TOrder::EndTurn(), {E::Turn(2, round)}},
                 {2, TOrder::EndTurn(), {E::Turn(out ? 1 : 0, round + 1)}}});
  }
  EXPECT_EQ(SeatUnitCount(*game, 0), 0);
}

TEST(Rules, TheMatchEndsWithRoundFiftyOnHealthThenNearnessToTheCentre) {
  const std::tuple<const char*, int32_t, TMatchEvent> cases[] = {
      {"a..../...../....b", 49, E::Turn(0, 50)},
      {"a..../...../....B", 50, E::Over(1)},              // more health
      {"...../.a.../...../...../....b", 50, E::Over(0)},  // nearer the centre
      {"a..../...../...../...b./.....", 50, E::Over(1)},  // whichever seat that is
      {"a..../...../...../...../....b", 50, E::Over(-1)}, // as near: a draw
      {"..../.a../..b./....", 50, E::Over(-1)},           // an even side: half tiles
      {"..../.a../..../...b", 50, E::Over(0)},
  };
  for (const auto& [rows, round, end] : cases) {
    auto game = Board(rows);
    ASSERT_TRUE(MirrorTurn(*game, 1, round));
    SCOPED_TRACE(rows);
    Play(*game, {{1, TOrder::EndTurn(), {end}}});
  }
}

TEST(Rules, ChecksumOfAWorkedExample) {
  // Round 3, seat 1 to play, units 1 and 5, seat 2 out.
  auto game = StartMirror("any", 10, 9, 3);
  ASSERT_TRUE(MirrorUnit(*game, 1, 0, TUnitKind::Tank, 2, 0, 14, false, false));
  ASSERT_TRUE(MirrorUnit(*game, 5, 1, TUnitKind::Viking, 9, 8, 10, true, false));
  ASSERT_TRUE(ApplyEvent(*game, E::SeatOut(2)) && MirrorTurn(*game, 1, 3));
  EXPECT_EQ(ChecksumText(*game), "3|1|1,0,tank,2,0,14;5,1,viking,9,8,10;out:2,");
  EXPECT_EQ(MatchChecksum(*game), 3831650421u);
  EXPECT_EQ(Fnv1a32(""), 2166136261u);
  EXPECT_EQ(Fnv1a32("a"), 3826002220u);
}

TEST(Rules, EventsThatDoNotFitAreRefusedAndChangeNothing) {
  auto game = Board("a#b/...");
  const TMatchEvent bad[] = {
      E::Moved(99, 1, 1), E::Moved(1, 1, 0), E::Moved(1, 2, 0),   E::Moved(1, -1, 0),
      E::Moved(1, 0, 2),  E::Hit(1, 1, 0),   E::Hit(1, 2, 11),    E::Hit(1, 2, -1),
      E::Hit(1, 7, 0),    E::SeatOut(2),     E::SeatOut(-1),      E::Turn(5, 1),
      E::Turn(0, 0),      E::Over(2),        E::Turn(INT_MIN, 1),
  };
  const std::string before = ChecksumText(*game);
  for (const TMatchEvent& event : bad) {
    EXPECT_FALSE(ApplyEvent(*game, event)) << event;
    EXPECT_EQ(ChecksumText(*game), before) << event;
  }
  EXPECT_TRUE(ApplyEvent(*game, E::SeatOut(1)));
  EXPECT_FALSE(ApplyEvent(*game, E::SeatOut(1)));
  EXPECT_FALSE(ApplyEvent(*game, E::Turn(1, 1))) << "a seat that is out";
  EXPECT_TRUE(ApplyEvent(*game, E::Over(-1)));
  EXPECT_FALSE(ApplyEvent(*game, E::Turn(0, 2))) << "after the end";
}

} // namespace
