// The match picture on a fake clock: moves walk the server's path in their time, other seats'
// orders within 0.4 s, attacks land and destroy, events show in order, never more than one order
// behind the server.
#include "app/match_picture.h"

#include "../game/board.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The authority's copy of a match, the client's copy and its picture, fed the same events.
struct TShow {
  explicit TShow(std::unique_ptr<TGame> Game, int32_t OwnSeat)
      : Server(std::move(Game)), Mirror(CopyMatch(*Server)), Picture(OwnSeat) {
    Picture.Reset(*Mirror);
  }
  // Runs Order on the server and passes its events on as a client would.
  void Give(int32_t Seat, const TOrder& Order) {
    std::vector<TMatchEvent> events;
    ASSERT_EQ(ExecuteOrder(*Server, Seat, Order, events), nullptr);
    for (const TMatchEvent& event : events) {
      ASSERT_TRUE(ApplyEvent(*Mirror, event)) << event;
      Picture.Push(event);
    }
  }
  std::unique_ptr<TGame> Server;
  std::unique_ptr<TGame> Mirror;
  TMatchPicture Picture;
};

bool At(const TUnitLook* Look, float X, float Y) {
  return Look && std::fabs(Look->X - X) < 1e-4f && std::fabs(Look->Y - Y) < 1e-4f;
}

TEST(MatchPicture, AnotherSeatsMoveEndsAtItsDestinationWithinTheLimit) {
  // Seat 1's tank (unit 2) goes four steps, the long way round the trees.
  TShow show(Board("A.#../..#../B...."), 0);
  show.Give(0, TOrder::EndTurn());
  const std::vector<TTilePos> path = ReachOf(*show.Server, *FindUnit(*show.Server, 2)).PathTo(3, 1);
  ASSERT_EQ(path.size(), 4u);
  show.Give(1, TOrder::MoveTo(2, 3, 1));
  ASSERT_EQ(show.Picture.Waiting(), 1);
  show.Picture.Advance(OTHER_SEAT_SECONDS / 2);
  const TUnitLook* look = show.Picture.LookOf(2);
  ASSERT_NE(look, nullptr);
  EXPECT_EQ(look->Action, TUnitAction::Walk);
  EXPECT_TRUE(At(look, path[1].X + 0.5f, path[1].Y + 0.5f)) << look->X << "," << look->Y;
  show.Picture.Advance(OTHER_SEAT_SECONDS / 2);
  EXPECT_EQ(show.Picture.Waiting(), 0);
  look = show.Picture.LookOf(2);
  EXPECT_TRUE(At(look, 3.5f, 1.5f));
  EXPECT_EQ(look->Action, TUnitAction::Idle);
  EXPECT_EQ(ChecksumText(*show.Picture.Shown()), ChecksumText(*show.Server));
}

TEST(MatchPicture, AnOwnMoveWalksEveryStepOfTheServersPathFacingItsWay) {
  TShow show(Board("a.#./..#./..../...b"), 0);
  const std::vector<TTilePos> path = ReachOf(*show.Server, *FindUnit(*show.Server, 1)).PathTo(1, 2);
  ASSERT_EQ(path.size(), 3u);
  show.Give(0, TOrder::MoveTo(1, 1, 2));
  TTilePos from{0, 0};
  for (const TTilePos& step : path) {
    // Half-way through each step the viking is between the two tiles, facing the next one.
    show.Picture.Advance(VIKING_STEP_SECONDS / 2);
    const TUnitLook* look = show.Picture.LookOf(1);
    ASSERT_NE(look, nullptr);
    EXPECT_EQ(look->Action, TUnitAction::Walk);
    EXPECT_TRUE(At(look, (from.X + step.X) / 2.0f + 0.5f, (from.Y + step.Y) / 2.0f + 0.5f));
    const float heading =
        std::atan2(static_cast<float>(step.X - from.X), static_cast<float>(step.Y - from.Y)) * 180 /
        3.14159265f;
    EXPECT_NEAR(look->Facing, heading, 1e-3);
    show.Picture.Advance(VIKING_STEP_SECONDS / 2);
    from = step;
  }
  EXPECT_EQ(show.Picture.Waiting(), 0);
  EXPECT_TRUE(At(show.Picture.LookOf(1), 1.5f, 2.5f));
}

TEST(MatchPicture, AnAttackLandsAtTheStrikeAndDestroysAtTheEnd) {
  TShow show(Board("ab../...."), 1);
  FindUnit(*show.Server, 2)->Health = 4;
  FindUnit(*show.Mirror, 2)->Health = 4;
  show.Picture.Reset(*show.Mirror);
  show.Give(0, TOrder::AttackWith(1, 2)); // the last blow: 4 - 4
  const TUnitLook* target = show.Picture.LookOf(2);
  ASSERT_NE(target, nullptr);
  EXPECT_EQ(target->Health, 4);
  EXPECT_EQ(target->Flash, 0);
  EXPECT_EQ(show.Picture.LookOf(1)->Action, TUnitAction::Attack);
  EXPECT_NEAR(show.Picture.LookOf(1)->Facing, 90, 1e-3) << "turned to the target";
  show.Picture.Advance(OTHER_SEAT_SECONDS * 0.75); // past the viking's strike
  target = show.Picture.LookOf(2);
  ASSERT_NE(target, nullptr);
  EXPECT_EQ(target->Health, 0);
  EXPECT_GT(target->Flash, 0);
  EXPECT_LT(target->Size, 1);
  EXPECT_GT(show.Picture.LookOf(1)->Phase, 0.5f);
  show.Picture.Advance(OTHER_SEAT_SECONDS * 0.25);
  EXPECT_EQ(show.Picture.LookOf(2), nullptr) << "gone";
  EXPECT_EQ(show.Picture.Looks().size(), 1u);
  EXPECT_EQ(show.Picture.LookOf(1)->Action, TUnitAction::Idle);
}

// Two computer seats play a whole match, their events arriving faster than they can be shown.
TEST(MatchPicture, EventsShowInOrderNeverMoreThanOneOrderBehind) {
  TShow show(CreateMatch("plain", 10, {{"anna", true}, {"bert", true}}), 0);
  int orders = 0;
  while (!show.Server->Over && orders < 2000) {
    show.Give(show.Server->ToPlay, ComputerOrder(*show.Server, show.Server->ToPlay));
    ++orders;
    ASSERT_LE(show.Picture.OrdersBehind(), 1);
    ASSERT_TRUE(show.Picture.Consistent());
    show.Picture.Advance(orders % 3 == 0 ? 0.05 : 0.0);
  }
  ASSERT_TRUE(show.Server->Over);
  // At the end the picture has shown the whole match, every event in the server's order.
  show.Picture.Advance(ATTACK_SECONDS);
  EXPECT_EQ(show.Picture.Waiting(), 0);
  EXPECT_EQ(ChecksumText(*show.Picture.Shown()), ChecksumText(*show.Server));
  EXPECT_TRUE(show.Picture.Shown()->Over);
}

TEST(MatchPicture, AnEventThatDoesNotFitStopsThePictureUntilItIsReset) {
  TShow show(Board("a..b"), 0);
  show.Picture.Push(TMatchEvent::Moved(7, 1, 0)); // no unit 7
  show.Picture.Advance(1);
  EXPECT_FALSE(show.Picture.Consistent());
  show.Picture.Push(TMatchEvent::Moved(1, 1, 0));
  show.Picture.Advance(1);
  EXPECT_TRUE(At(show.Picture.LookOf(1), 0.5f, 0.5f)) << "nothing more is shown";
  show.Picture.Reset(*show.Mirror);
  EXPECT_TRUE(show.Picture.Consistent());
  show.Give(0, TOrder::MoveTo(1, 1, 0));
  show.Picture.Advance(1);
  EXPECT_TRUE(At(show.Picture.LookOf(1), 1.5f, 0.5f));
}

TEST(MatchPicture, IdleUnitsPlayTheirCyclesByTime) {
  TShow show(Board("aB.."), 0);
  const float viking = show.Picture.LookOf(1)->Phase;
  const float tank = show.Picture.LookOf(2)->Phase;
  show.Picture.Advance(VIKING_IDLE_SECONDS / 4);
  EXPECT_NEAR(std::fmod(show.Picture.LookOf(1)->Phase - viking + 1, 1.0f), 0.25f, 1e-4);
  EXPECT_NEAR(std::fmod(show.Picture.LookOf(2)->Phase - tank + 1, 1.0f),
              VIKING_IDLE_SECONDS / 4 / TANK_SCAN_SECONDS, 1e-4);
  EXPECT_EQ(show.Picture.LookOf(1)->Action, TUnitAction::Idle);
}

} // namespace
