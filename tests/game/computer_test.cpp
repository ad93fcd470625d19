#include "board.h"

#include <gtest/gtest.h>

namespace {

// A client's copy of Game built only from what the server's match block says about it.
std::unique_ptr<TGame> MirrorOf(const TGame& Game) {
  auto mirror = StartMirror(Game.MapName, Game.Map->SizeX, Game.Map->SizeY, Game.Players.Count());
  bool fits = mirror != nullptr;
  for (const auto& player : Game.Players)
    fits = fits && MirrorSeat(*mirror, player->Seat, player->Name);
  for (int32_t y = 0; y < Game.Map->SizeY; ++y)
    for (int32_t x = 0; x < Game.Map->SizeX; ++x)
      if (HasTree(Game, x, y))
        fits = fits && MirrorTree(*mirror, x, y);
  for (const auto& u : Game.Units)
    fits = fits && MirrorUnit(*mirror, u->Id, UnitSeat(*u), u->Info->Kind, u->X, u->Y, u->Health,
                              u->Moved, u->Attacked);
  for (const auto& player : Game.Players)
    if (player->Out)
      fits = fits && ApplyEvent(*mirror, TMatchEvent::SeatOut(player->Seat));
  fits = fits && MirrorTurn(*mirror, Game.ToPlay, Game.Turns);
  EXPECT_TRUE(fits);
  return mirror;
}

// Plays Game to its end: computer seats ask ComputerOrder, the others only end their turns.
// Every order must be one CheckOrder allows; a mirror applies every event and must agree with
// the match after each order, and one rebuilt from scratch must agree at every turn.
void PlayToTheEnd(TGame& Game) {
  auto mirror = MirrorOf(Game);
  int32_t ordersThisTurn = 0;
  for (int32_t orders = 0; !Game.Over && orders < 100000; ++orders) {
    const int32_t seat = Game.ToPlay;
    const TOrder order =
        Game.Players.Get(seat)->Computer ? ComputerOrder(Game, seat) : TOrder::EndTurn();
    ASSERT_EQ(CheckOrder(Game, seat, order), nullptr) << "round " << Game.Turns;
    std::vector<TMatchEvent> events;
    ASSERT_EQ(ExecuteOrder(Game, seat, order, events), nullptr);
    ASSERT_LE(++ordersThisTurn, 2 * 24 + 1) << "a computer turn that does not end";
    for (const TMatchEvent& event : events) {
      ASSERT_TRUE(ApplyEvent(*mirror, event)) << event;
      if (event.Kind == TMatchEventKind::Turn) {
        ordersThisTurn = 0;
        ASSERT_EQ(ChecksumText(*MirrorOf(Game)), ChecksumText(Game));
      }
    }
    ASSERT_EQ(MatchChecksum(*mirror), MatchChecksum(Game));
  }
  EXPECT_TRUE(Game.Over);
  EXPECT_TRUE(mirror->Over);
  EXPECT_EQ(mirror->Winner, Game.Winner);
}

TEST(Computer, DestroysAPlayerWhoOnlyEndsTurnsBeforeTheRoundLimit) {
  for (int32_t humanSeat : {0, 1}) {
    std::vector<TSeatSpec> seats = {{"anna", false}, {ComputerSeatName, true}};
    if (humanSeat == 1)
      std::swap(seats[0], seats[1]);
    auto game = CreateMatch("plain", 10, seats);
    PlayToTheEnd(*game);
    EXPECT_EQ(game->Winner, 1 - humanSeat);
    EXPECT_EQ(SeatUnitCount(*game, humanSeat), 0);
    EXPECT_LT(game->Turns, RoundLimit);
  }
}

TEST(Computer, FourComputersPlayAForestToTheEnd) {
  std::vector<TSeatSpec> seats(4, {"cpu", true});
  auto game = CreateMatch("forest", 72, seats);
  PlayToTheEnd(*game);
  EXPECT_LE(game->Turns, RoundLimit);
  if (game->Winner >= 0) {
    EXPECT_TRUE(InPlay(*game, game->Winner));
  }
}

TEST(Computer, AttacksTheWeakestEnemyInRangeThenClosesIn) {
  auto game = Board({"b....", "..A.b", "a...."});
  FindUnit(*game, 2)->Moved = true;
  FindUnit(*game, 3)->Health = 3;
  // The tank (unit 2) has both vikings in range and hits the weaker; then the viking at (0,2)
  // steps next to the other one and strikes; then nothing is left to do.
  EXPECT_EQ(ComputerOrder(*game, 0), TOrder::AttackWith(2, 3));
  std::vector<TMatchEvent> events;
  for (int32_t i = 0; i < 4; ++i)
    ASSERT_EQ(ExecuteOrder(*game, 0, ComputerOrder(*game, 0), events), nullptr);
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[1], TMatchEvent::Moved(4, 0, 1));
  EXPECT_EQ(events[2], TMatchEvent::Hit(4, 1, 6));
  EXPECT_EQ(events[3], TMatchEvent::Turn(1, 1));
  EXPECT_EQ(ComputerOrder(*game, 0), TOrder::EndTurn()) << "not its turn";
}

} // namespace
