// A match on the wire: the block and the events a server sends build a mirror equal to the
// server's state, events read back as themselves, and a mirror tells a wrong checksum or a
// line that does not fit.
#include "net/match_lines.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

std::unique_ptr<TGame> TwoSeats() {
  return CreateMatch("plain", 10, {{"anna", false}, {"bert", false}});
}

// Feeds Lines to Mirror and answers every result that was not Applied, as text.
Lines FeedAll(TMatchMirror& Mirror, const Lines& Sent) {
  Lines odd;
  for (const std::string& line : Sent)
    if (Mirror.Feed(line) != TMatchMirror::TFeed::Applied)
      odd.push_back(line);
  return odd;
}

// Runs Order for Seat on Game and answers the lines the server would send.
Lines Execute(TGame& Game, int32_t Seat, const TOrder& Order) {
  std::vector<TMatchEvent> events;
  EXPECT_EQ(ExecuteOrder(Game, Seat, Order, events), nullptr);
  Lines lines;
  for (const TMatchEvent& event : events)
    lines.push_back(EventLine(event, Game, 42));
  return lines;
}

TEST(MatchLines, TheBlockBuildsAMirrorOfTheWholeState) {
  auto game = TwoSeats();
  Lines block = MatchBlock(*game, 101, 1, 60);
  EXPECT_EQ(block.front(), "F|start|101|plain|16|16|1|2");
  EXPECT_EQ(block[1], "F|seat|0|anna");
  EXPECT_EQ(block[2], "F|seat|1|bert");
  EXPECT_EQ(block.back(), "F|turn|0|1|60|" + std::to_string(MatchChecksum(*game)));
  TMatchMirror mirror;
  EXPECT_EQ(FeedAll(mirror, block), Lines{});
  ASSERT_NE(mirror.Game(), nullptr);
  EXPECT_EQ(ChecksumText(*mirror.Game()), ChecksumText(*game));
  EXPECT_EQ(mirror.GameId(), 101);
  EXPECT_EQ(mirror.YourSeat(), 1);
  EXPECT_EQ(mirror.SecondsLeft(), 60);
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 16; ++x)
      EXPECT_EQ(HasTree(*mirror.Game(), x, y), HasTree(*game, x, y)) << x << "," << y;
}

TEST(MatchLines, EventsKeepTheMirrorInStepAndReadBackAsThemselves) {
  auto game = TwoSeats();
  TMatchMirror mirror;
  FeedAll(mirror, MatchBlock(*game, 101, 0, 60));
  const TUnit& unit = *game->Units.Get(0);
  const TTilePos to = ReachOf(*game, unit).Destinations().back();
  Lines sent = Execute(*game, 0, TOrder::MoveTo(unit.Id, to.X, to.Y));
  EXPECT_EQ(sent, (Lines{"F|moved|" + std::to_string(unit.Id) + "|" + std::to_string(to.X) + "|" +
                         std::to_string(to.Y)}));
  Lines turn = Execute(*game, 0, TOrder::EndTurn());
  sent.insert(sent.end(), turn.begin(), turn.end());
  Lines out = Execute(*game, 1, TOrder::Leave());
  sent.insert(sent.end(), out.begin(), out.end());
  EXPECT_EQ(out, (Lines{"F|out|1", "F|over|0"}));
  EXPECT_EQ(FeedAll(mirror, sent), Lines{});
  EXPECT_EQ(ChecksumText(*mirror.Game()), ChecksumText(*game));
  EXPECT_TRUE(mirror.Game()->Over);
  EXPECT_EQ(mirror.Game()->Winner, 0);
  const TMatchEvent events[] = {TMatchEvent::Moved(3, 4, 5), TMatchEvent::Hit(3, 9, 0),
                                TMatchEvent::SeatOut(2), TMatchEvent::Turn(1, 7),
                                TMatchEvent::Over(-1)};
  for (const TMatchEvent& event : events)
    EXPECT_EQ(EventOf(TMsg(EventLine(event, *game, 0))), event);
  EXPECT_EQ(EventOf(TMsg("F|turn|1|x|30|5")), std::nullopt);
  EXPECT_EQ(EventOf(TMsg("F|joined|101|bert")), std::nullopt);
}

TEST(MatchLines, ABlockInMidMatchCarriesFlagsAndSeatsOut) {
  auto game = CreateMatch("plain", 10, {{"anna", false}, {"bert", false}, {"carl", false}});
  Execute(*game, 1, TOrder::Leave());
  const TUnit& unit = *game->Units.Get(0);
  const TTilePos to = ReachOf(*game, unit).Destinations().front();
  Execute(*game, 0, TOrder::MoveTo(unit.Id, to.X, to.Y));
  Lines block = MatchBlock(*game, 7, 2, 12);
  EXPECT_EQ(block[block.size() - 2], "F|out|1");
  TMatchMirror mirror;
  EXPECT_EQ(FeedAll(mirror, block), Lines{});
  EXPECT_EQ(ChecksumText(*mirror.Game()), ChecksumText(*game));
  EXPECT_TRUE(FindUnit(*mirror.Game(), unit.Id)->Moved);
  EXPECT_FALSE(FindUnit(*mirror.Game(), unit.Id)->Attacked);
  EXPECT_TRUE(SeatPlayer(*mirror.Game(), 1)->Out);
}

TEST(MatchLines, AMirrorTellsAWrongChecksumAndLinesThatDoNotFit) {
  auto game = TwoSeats();
  using F = TMatchMirror::TFeed;
  TMatchMirror mirror;
  EXPECT_EQ(mirror.Feed("F|moved|1|5|5"), F::Bad) << "no match yet";
  EXPECT_EQ(mirror.Feed("C|anna|hi"), F::Ignored);
  EXPECT_EQ(mirror.Feed("F|joined|101|bert"), F::Ignored);
  FeedAll(mirror, MatchBlock(*game, 101, 0, 60));
  EXPECT_EQ(mirror.Feed("F|turn|1|1|60|12345"), F::Mismatch);
  EXPECT_EQ(mirror.Feed("F|moved|999|5|5"), F::Bad);
  EXPECT_EQ(mirror.Feed("F|hit|1|x|0"), F::Bad);
  EXPECT_EQ(mirror.Feed("F|out|7"), F::Bad);
  // A block with a line that does not fit gives no copy; the next whole block does.
  TMatchMirror broken;
  Lines block = MatchBlock(*game, 101, 0, 60);
  Lines spoilt = block;
  spoilt.insert(spoilt.begin() + 3, "F|unit|1|0|dragon|9|9|10|0|0");
  for (std::size_t i = 0; i < spoilt.size(); ++i)
    EXPECT_EQ(broken.Feed(spoilt[i]), i < 3                              ? F::Applied
                                      : i == 3 || i + 1 == spoilt.size() ? F::Bad
                                                                         : F::Ignored)
        << spoilt[i];
  EXPECT_EQ(broken.Game(), nullptr);
  EXPECT_EQ(broken.Feed("F|start|1|plain|0|16|0|2"), F::Bad);
  EXPECT_EQ(FeedAll(broken, block), Lines{});
  EXPECT_EQ(ChecksumText(*broken.Game()), ChecksumText(*game));
}

} // namespace
