#include "board.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

namespace {

using E = TMatchEvent;

// One order of a scripted match and what it must give: its events, or its refusal.
struct TStep {
  int32_t Seat;
  TOrder Order;
  std::vector<TMatchEvent> Events;
  const char* Refusal = nullptr;
};

void Play(TGame& Game, const std::vector<TStep>& Steps) {
  for (std::size_t i = 0; i < Steps.size(); ++i) {
    const TStep& step = Steps[i];
    std::vector<TMatchEvent> events;
    const std::string before = ChecksumText(Game);
    const char* refusal = ExecuteOrder(Game, step.Seat, step.Order, events);
    EXPECT_STREQ(refusal, step.Refusal) << "step " << i;
    EXPECT_EQ(events, step.Events) << "step " << i;
    if (refusal) {
      EXPECT_EQ(ChecksumText(Game), before) << "a refused order changed the match, step " << i;
    }
  }
}

TEST(Rules, MovesGoAroundTreesAndEnemiesWithinTheUnitsMoves) {
  struct TCase {
    const char* What;
    std::vector<const char*> Rows;
    int32_t Unit, X, Y;
    const char* Refusal; // nullptr: allowed, in Steps steps
    int32_t Steps;
  };
  const TCase cases[] = {
      {"three steps on open ground", {"a...", "...."}, 1, 3, 0, nullptr, 3},
      {"four steps is too far for a viking",
       {"a....", "....."},
       1,
       4,
       0,
       "That tile is out of reach.",
       0},
      {"a tank takes four", {"A....", "....."}, 1, 4, 0, nullptr, 4},
      {"side steps only: a diagonal costs two",
       {"a..", "...", "..."},
       1,
       2,
       2,
       "That tile is out of reach.",
       0},
      {"a tree forces a detour that is too long",
       {"a#..", "...."},
       1,
       2,
       0,
       "That tile is out of reach.",
       0},
      {"the detour's own end is near enough", {"a#..", "...."}, 1, 2, 1, nullptr, 3},
      {"no move onto a tree", {"a#..", "...."}, 1, 1, 0, "A tree stands on that tile.", 0},
      {"own units are passed", {"aa..", "####"}, 1, 3, 0, nullptr, 3},
      {"but not stood on", {"aa..", "####"}, 1, 1, 0, "That tile is taken.", 0},
      {"an enemy blocks the way", {"ab..", "####"}, 1, 2, 0, "That tile is out of reach.", 0},
      {"an enemy is a wall, not a step",
       {"a.b.", "..#."},
       1,
       3,
       0,
       "That tile is out of reach.",
       0},
      {"the edge: left", {"a.."}, 1, -1, 0, "That tile is off the field.", 0},
      {"the edge: above", {"a.."}, 1, 0, -1, "That tile is off the field.", 0},
      {"the edge: right", {"a.."}, 1, 3, 0, "That tile is off the field.", 0},
      {"the edge: huge numbers", {"a.."}, 1, INT_MAX, INT_MIN, "That tile is off the field.", 0},
      {"its own tile", {"a.."}, 1, 0, 0, "That unit is already there.", 0},
      {"no unit 0", {"a.."}, 0, 1, 0, "There is no such unit.", 0},
      {"no unit -1", {"a.."}, -1, 1, 0, "There is no such unit.", 0},
      {"no unit INT_MIN", {"a.."}, INT_MIN, 1, 0, "There is no such unit.", 0},
      {"an enemy's unit", {"a.b"}, 2, 1, 0, "That unit is not yours.", 0},
  };
  for (const TCase& c : cases) {
    auto game = Board(c.Rows);
    const TUnit* unit = FindUnit(*game, c.Unit);
    EXPECT_STREQ(CheckOrder(*game, 0, TOrder::MoveTo(c.Unit, c.X, c.Y)), c.Refusal) << c.What;
    if (c.Refusal) {
      if (unit && UnitSeat(*unit) == 0) {
        EXPECT_TRUE(ReachOf(*game, *unit).PathTo(c.X, c.Y).empty()) << c.What;
      }
      continue;
    }
    // The path the preview shows: side steps, never on a tree or an enemy, as long as Steps.
    const std::vector<TTilePos> path = ReachOf(*game, *unit).PathTo(c.X, c.Y);
    ASSERT_EQ(static_cast<int32_t>(path.size()), c.Steps) << c.What;
    TTilePos from{unit->X, unit->Y};
    for (const TTilePos& at : path) {
      EXPECT_EQ(std::abs(at.X - from.X) + std::abs(at.Y - from.Y), 1) << c.What;
      EXPECT_FALSE(HasTree(*game, at.X, at.Y)) << c.What;
      const TUnit* there = UnitAt(*game, at.X, at.Y);
      EXPECT_TRUE(!there || UnitSeat(*there) == 0) << c.What;
      from = at;
    }
    EXPECT_EQ(path.back(), (TTilePos{c.X, c.Y})) << c.What;
    Play(*game, {{0, TOrder::MoveTo(c.Unit, c.X, c.Y), {E::Moved(c.Unit, c.X, c.Y)}}});
    EXPECT_EQ(UnitAt(*game, c.X, c.Y), unit) << c.What;
  }
}

TEST(Rules, ReachListsTheTilesAMoveMayEndOn) {
  auto game = Board({"aa#", "..."});
  const TReach reach = ReachOf(*game, *FindUnit(*game, 2));
  // Unit 2 at (1,0): its own tile and unit 1's are passed but not ends; the tree is never.
  const std::vector<TTilePos> expected = {{0, 1}, {1, 1}, {2, 1}};
  EXPECT_EQ(reach.Destinations(), expected);
  EXPECT_EQ(reach.StepsTo(0, 0), 1);
  EXPECT_FALSE(reach.CanMoveTo(0, 0));
  EXPECT_EQ(reach.StepsTo(2, 0), -1);
  EXPECT_EQ(reach.StepsTo(-5, 0), -1);
}

TEST(Rules, AttacksReachAsFarAsTheAttackersRange) {
  struct TCase {
    const char* What;
    std::vector<const char*> Rows;
    int32_t Unit, Target;
    const char* Refusal;
    int32_t HealthLeft;
  };
  const TCase cases[] = {
      {"a viking hits its neighbour", {"aB.."}, 1, 2, nullptr, 16},
      {"a viking cannot reach two tiles", {"a.B."}, 1, 2, "That target is out of range.", 0},
      {"nor a diagonal", {"a.", ".b"}, 1, 2, "That target is out of range.", 0},
      {"a tank shoots three tiles, over a tree", {"A#.b"}, 1, 2, nullptr, 4},
      {"and over a unit", {"Aa.b"}, 1, 3, nullptr, 4},
      {"but not four", {"A...b"}, 1, 2, "That target is out of range.", 0},
      {"not one's own unit", {"Aa"}, 1, 2, "You cannot attack your own unit.", 0},
      {"not itself", {"Ab"}, 1, 1, "You cannot attack your own unit.", 0},
      {"no such target", {"Ab"}, 1, 99, "There is no such target.", 0},
      {"no such attacker", {"Ab"}, INT_MAX, 2, "There is no such unit.", 0},
      {"not with an enemy's unit", {"Ab"}, 2, 1, "That unit is not yours.", 0},
  };
  for (const TCase& c : cases) {
    auto game = Board(c.Rows);
    if (c.Refusal)
      Play(*game, {{0, TOrder::AttackWith(c.Unit, c.Target), {}, c.Refusal}});
    else
      Play(*game,
           {{0, TOrder::AttackWith(c.Unit, c.Target), {E::Hit(c.Unit, c.Target, c.HealthLeft)}}});
    if (!c.Refusal) {
      EXPECT_EQ(FindUnit(*game, c.Target)->Health, c.HealthLeft) << c.What;
    }
  }
}

TEST(Rules, EachUnitMovesAndAttacksOnceATurnInEitherOrder) {
  auto game = Board({"a..b", "a...", "...."});
  Play(*game, {
                  {1, TOrder::EndTurn(), {}, "It is not your turn."},
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

TEST(Rules, ADestroyedUnitLeavesAndTheLastSeatInPlayWins) {
  auto game = Board({"Abc"}, 3);
  FindUnit(*game, 2)->Health = 6;
  Play(*game, {
                  {0, TOrder::AttackWith(1, 2), {E::Hit(1, 2, 0), E::SeatOut(1)}},
                  {0, TOrder::MoveTo(1, 1, 0), {E::Moved(1, 1, 0)}},
                  {0, TOrder::EndTurn(), {E::Turn(2, 1)}},
                  {2, TOrder::EndTurn(), {E::Turn(0, 2)}},
              });
  EXPECT_EQ(FindUnit(*game, 2), nullptr);
  FindUnit(*game, 3)->Health = 1;
  Play(*game, {
                  {0, TOrder::AttackWith(1, 3), {E::Hit(1, 3, 0), E::SeatOut(2), E::Over(0)}},
                  {0, TOrder::EndTurn(), {}, "The match is over."},
              });
  EXPECT_TRUE(game->Over);
  EXPECT_EQ(game->Winner, 0);
}

TEST(Rules, TurnsPassOverSeatsThatAreOut) {
  auto game = Board({"a.b.c.d"}, 4);
  Play(*game, {
                  // Leaving needs no turn; the turn stays where it was.
                  {1, TOrder::Leave(), {E::SeatOut(1)}},
                  {1, TOrder::Leave(), {}, "You are out of the match."},
                  {1, TOrder::EndTurn(), {}, "You are out of the match."},
                  {0, TOrder::EndTurn(), {E::Turn(2, 1)}},
                  {2, TOrder::EndTurn(), {E::Turn(3, 1)}},
                  // The highest seat leaving in its own turn ends the round.
                  {3, TOrder::Leave(), {E::SeatOut(3), E::Turn(0, 2)}},
                  {0, TOrder::EndTurn(), {E::Turn(2, 2)}},
                  {7, TOrder::EndTurn(), {}, "There is no such seat."},
                  {-1, TOrder::Leave(), {}, "There is no such seat."},
                  {2, TOrder::Leave(), {E::SeatOut(2), E::Over(0)}},
              });
  EXPECT_EQ(SeatsInPlay(*game), 1);
  EXPECT_EQ(SeatUnitCount(*game, 2), 0);
}

TEST(Rules, ThreeTimeoutsInARowPutASeatOut) {
  auto game = Board({"a.b.c"}, 3);
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
  EXPECT_FALSE(InPlay(*game, 0));
  EXPECT_EQ(SeatUnitCount(*game, 0), 0);
}

TEST(Rules, TheMatchEndsWithRoundFiftyOnHealthThenNearnessToTheCentre) {
  struct TCase {
    const char* What;
    std::vector<const char*> Rows;
    int32_t Round;
    std::vector<TMatchEvent> Events;
  };
  const TCase cases[] = {
      {"before the limit, a new round", {"a....", ".....", "....b"}, 49, {E::Turn(0, 50)}},
      {"more health wins", {"a....", ".....", "....B"}, 50, {E::Over(1)}},
      {"equal health: nearer the centre",
       {".....", ".a...", ".....", ".....", "....b"},
       50,
       {E::Over(0)}},
      {"whichever seat that is", {"a....", ".....", ".....", "...b.", "....."}, 50, {E::Over(1)}},
      {"equal in both: a draw", {"a....", ".....", ".....", ".....", "....b"}, 50, {E::Over(-1)}},
      {"an even side: half tiles count", {"....", ".a..", "..b.", "...."}, 50, {E::Over(-1)}},
      {"an even side: farther loses", {"....", ".a..", "....", "...b"}, 50, {E::Over(0)}},
  };
  for (const TCase& c : cases) {
    auto game = Board(c.Rows);
    ASSERT_TRUE(MirrorTurn(*game, 1, c.Round)) << c.What;
    std::vector<TMatchEvent> events;
    EXPECT_EQ(ExecuteOrder(*game, 1, TOrder::EndTurn(), events), nullptr) << c.What;
    EXPECT_EQ(events, c.Events) << c.What;
  }
}

TEST(Rules, TurnTimeGrowsWithTheSeatsUnits) {
  auto game = Board({"aaA.bb"});
  EXPECT_EQ(TurnSeconds(*game, 0), 30 + 3 * 3);
  EXPECT_EQ(TurnSeconds(*game, 1), 30 + 3 * 2);
  EXPECT_EQ(SeatHealth(*game, 0), 40);
  EXPECT_EQ(TurnSeconds(*game, 9), 30);
}

// FNV-1a written out again, so that the test does not check the rules with themselves.
uint32_t ReferenceFnv(const std::string& Text) {
  uint32_t hash = 0x811C9DC5u;
  for (char c : Text)
    hash = (hash ^ static_cast<unsigned char>(c)) * 0x01000193u;
  return hash;
}

TEST(Rules, ChecksumOfAWorkedExample) {
  auto game = Board({"A.b", ".c#"}, 3);
  Play(*game,
       {{2, TOrder::Leave(), {E::SeatOut(2)}}, {0, TOrder::AttackWith(1, 2), {E::Hit(1, 2, 4)}}});
  const std::string text = "1|0|1,0,tank,0,0,20;2,1,viking,2,0,4;out:2,";
  EXPECT_EQ(ChecksumText(*game), text);
  EXPECT_EQ(MatchChecksum(*game), ReferenceFnv(text));
  EXPECT_EQ(MatchChecksum(*game), 2115079126u);
  EXPECT_EQ(Fnv1a32(""), 2166136261u);
}

TEST(Rules, EventsThatDoNotFitAreRefusedAndChangeNothing) {
  auto game = Board({"a#b", "..."});
  const TMatchEvent bad[] = {
      E::Moved(99, 1, 1), E::Moved(1, 1, 0),   E::Moved(1, 2, 0), E::Moved(1, -1, 0),
      E::Moved(1, 0, 2),  E::Hit(1, 1, 0),     E::Hit(1, 2, 11),  E::Hit(1, 2, -1),
      E::Hit(1, 7, 0),    E::SeatOut(2),       E::SeatOut(-1),    E::Turn(5, 1),
      E::Turn(0, 0),      E::Turn(INT_MIN, 1), E::Over(2),
  };
  const std::string before = ChecksumText(*game);
  for (const TMatchEvent& event : bad) {
    EXPECT_FALSE(ApplyEvent(*game, event)) << event;
    EXPECT_EQ(ChecksumText(*game), before) << event;
  }
  EXPECT_TRUE(ApplyEvent(*game, E::SeatOut(1)));
  EXPECT_FALSE(ApplyEvent(*game, E::SeatOut(1)));
  EXPECT_FALSE(ApplyEvent(*game, E::Turn(1, 1)));
  EXPECT_TRUE(ApplyEvent(*game, E::Over(-1)));
  EXPECT_FALSE(ApplyEvent(*game, E::Turn(0, 2)));
}

} // namespace

namespace {

// Orders from anyone with any numbers, among sensible ones so that armies meet: refusals
// change nothing and the match stays sound.
TEST(Rules, AnyOrderKeepsTheMatchSound) {
  auto game = CreateMatch("forest", 20, {{"anna", false}, {"bert", false}, {"cleo", false}});
  const int32_t odd[] = {INT_MIN, -1, 0, 1, 2, 7, 19, 20, INT_MAX};
  uint32_t state = 12345;
  auto Next = [&](int32_t Below) {
    state = state * 1664525u + 1013904223u;
    return static_cast<int32_t>((state >> 8) % static_cast<uint32_t>(Below));
  };
  // Mostly numbers near the play: a unit's id, a tile near it; sometimes anything.
  auto AnyUnit = [&]() {
    const TUnit* unit = game->Units.Get(Next(game->Units.Count()));
    return Next(4) == 0 ? odd[Next(9)] : unit->Id;
  };
  auto Near = [&](int32_t V) { return Next(8) == 0 ? odd[Next(9)] : V + Next(9) - 4; };
  int32_t moves = 0, hits = 0;
  for (int32_t i = 0; i < 20000 && !game->Over; ++i) {
    const int32_t seat = Next(8) == 0 ? odd[Next(9)] : game->ToPlay;
    TOrder order = TOrder::EndTurn();
    const int32_t pick = Next(5000);
    if (pick < 1000)
      order = ComputerOrder(*game, game->ToPlay);
    else if (pick == 1000)
      order = TOrder::Leave();
    else if (pick < 1025)
      order = TOrder::TimeOut();
    else if (pick >= 1150) {
      const int32_t id = AnyUnit();
      const TUnit* unit = FindUnit(*game, id);
      order = Next(2) ? TOrder::MoveTo(id, Near(unit ? unit->X : 0), Near(unit ? unit->Y : 0))
                      : TOrder::AttackWith(id, AnyUnit());
    }
    const std::string before = ChecksumText(*game);
    std::vector<TMatchEvent> events;
    if (ExecuteOrder(*game, seat, order, events)) {
      ASSERT_EQ(ChecksumText(*game), before);
      ASSERT_TRUE(events.empty());
    }
    for (const TMatchEvent& event : events) {
      moves += event.Kind == TMatchEventKind::Moved;
      hits += event.Kind == TMatchEventKind::Hit;
    }
    for (const auto& unit : game->Units) {
      ASSERT_EQ(UnitAt(*game, unit->X, unit->Y), unit.get()) << "two units on one tile";
      ASSERT_FALSE(HasTree(*game, unit->X, unit->Y));
      ASSERT_GT(unit->Health, 0);
      ASSERT_TRUE(InPlay(*game, UnitSeat(*unit)));
    }
  }
  EXPECT_GT(moves, 100);
  EXPECT_GT(hits, 20);
}

} // namespace
