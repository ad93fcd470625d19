// A mirror of a match built from the server's block, which tells a wrong checksum or a line
// that does not fit (matches played by the lobby's tests check the rest).
#include "net/match_lines.h"

#include <gtest/gtest.h>

namespace {

using F = TMatchMirror::TFeed;

TEST(MatchLines, AMirrorTakesTheWholeBlockAndTellsWhatDoesNotFit) {
  auto game = CreateMatch("plain", 10, {{"anna", false}, {"bert", false}, {"carl", false}});
  const TUnit& unit = *game->Units.Get(0);
  const TTilePos to = ReachOf(*game, unit).Destinations().front();
  std::vector<TMatchEvent> events;
  ExecuteOrder(*game, 1, TOrder::Leave(), events);
  ExecuteOrder(*game, 0, TOrder::MoveTo(unit.Id, to.X, to.Y), events);
  // In mid-match: a moved unit, a seat out.
  const std::vector<std::string> block = MatchBlock(*game, 7, 2, 12);
  EXPECT_EQ(block.front(), "F|start|7|plain|20|20|2|3");
  EXPECT_EQ(block[block.size() - 2], "F|out|1");
  // A block with a line that does not fit gives no copy; the next whole block does.
  TMatchMirror mirror;
  EXPECT_EQ(mirror.Feed("F|moved|1|5|5"), F::Bad) << "no match yet";
  std::vector<std::string> spoilt = block;
  spoilt.insert(spoilt.begin() + 4, "F|unit|1|0|dragon|9|9|10|0|0");
  for (const std::string& line : spoilt)
    mirror.Feed(line);
  EXPECT_EQ(mirror.Game(), nullptr);
  for (const std::string& line : block)
    EXPECT_EQ(mirror.Feed(line), F::Applied) << line;
  ASSERT_NE(mirror.Game(), nullptr);
  EXPECT_EQ(MatchBlock(*mirror.Game(), mirror.GameId(), mirror.YourSeat(), mirror.SecondsLeft()),
            block);
  for (const char* line : {"C|anna|hi", "F|joined|101|bert"})
    EXPECT_EQ(mirror.Feed(line), F::Ignored) << line;
  for (const char* line : {"F|moved|999|5|5", "F|hit|1|x|0", "F|out|7"})
    EXPECT_EQ(mirror.Feed(line), F::Bad) << line;
  EXPECT_EQ(mirror.Feed("F|turn|2|1|60|12345"), F::Mismatch);
}

} // namespace
