#include "board.h"

#include <gtest/gtest.h>

#include <climits>
#include <queue>

namespace {

TEST(Field, ArmiesCostThreePerTankAndStopAtTwentyFourUnits) {
  const int32_t cases[][3] = {// points, tanks, vikings
                              {INT_MIN, 2, 4}, {0, 2, 4},    {1, 0, 1},    {4, 0, 4},
                              {5, 1, 2},       {10, 2, 4},   {39, 7, 17},  {40, 8, 16},
                              {41, 8, 16},     {72, 14, 10}, {73, 14, 10}, {INT_MAX, 14, 10}};
  for (const auto& [points, tanks, vikings] : cases) {
    EXPECT_EQ(ArmyFor(points).Tanks, tanks) << points;
    EXPECT_EQ(ArmyFor(points).Vikings, vikings) << points;
  }
}

// The corner tile of each seat on a field of Side x Side.
TTilePos Corner(int32_t Seat, int32_t Side) {
  const TTilePos corners[] = {{0, 0}, {Side - 1, Side - 1}, {Side - 1, 0}, {0, Side - 1}};
  return corners[Seat];
}
bool InStart(int32_t X, int32_t Y, TTilePos Corner) {
  return std::abs(X - Corner.X) < StartSide && std::abs(Y - Corner.Y) < StartSide;
}

TEST(Field, AMatchStartsWithEachArmyInItsCorner) {
  const std::vector<TSeatSpec> four{
      {"anna", false}, {"bert", false}, {"cleo", false}, {"dora", true}};
  EXPECT_EQ(CreateMatch("plain", 10, {}), nullptr);
  EXPECT_EQ(CreateMatch("plain", 10, std::vector<TSeatSpec>(5, four[0])), nullptr);
  for (std::size_t count = 1; count <= four.size(); ++count) {
    auto game = CreateMatch("forest", 41, {four.begin(), four.begin() + count});
    const int32_t seats = std::max<int32_t>(2, count), side = seats == 2 ? 16 : 20;
    ASSERT_EQ(game->Players.Count(), seats);
    EXPECT_EQ(game->Map->SizeX, side);
    EXPECT_EQ(game->Map->SizeY, side);
    const TPlayer& last = *SeatPlayer(*game, seats - 1);
    EXPECT_EQ(last.Name, count == 1 ? ComputerSeatName : four[count - 1].Name);
    EXPECT_EQ(last.Computer, count == 1 || count == 4);
    // Ids from 1, seat after seat, tanks first, each on a tile of its own in its corner.
    int32_t id = 0;
    for (const auto& unit : game->Units) {
      const int32_t seat = id / MaxArmyUnits;
      EXPECT_EQ(unit->Id, ++id);
      EXPECT_EQ(UnitSeat(*unit), seat);
      EXPECT_EQ(unit->Info->Kind, (id - 1) % 24 < 8 ? TUnitKind::Tank : TUnitKind::Viking);
      EXPECT_TRUE(InStart(unit->X, unit->Y, Corner(seat, side))) << id;
      EXPECT_EQ(UnitAt(*game, unit->X, unit->Y), unit.get());
    }
    EXPECT_EQ(id, seats * MaxArmyUnits);
  }
}

// The trees of a field as text, to compare fields and pin one down.
std::string TreeText(const TMap& Map) {
  std::string text;
  for (int32_t y = 0; y < Map.SizeY; ++y)
    for (int32_t x = 0; x < Map.SizeX; ++x)
      text += Map.GetTile(x, y)->Tree ? '#' : '.';
  return text;
}

// Every corner reaches every other with a 2 x 2 block of tree-free tiles moved one tile at a
// time.
bool CornersJoinedTwoWide(const TMap& Map) {
  const int32_t w = Map.SizeX - 1, h = Map.SizeY - 1; // block positions per axis
  auto Clear = [&](int32_t X, int32_t Y) {
    return !Map.GetTile(X, Y)->Tree && !Map.GetTile(X + 1, Y)->Tree &&
           !Map.GetTile(X, Y + 1)->Tree && !Map.GetTile(X + 1, Y + 1)->Tree;
  };
  std::vector<bool> seen(static_cast<std::size_t>(w * h));
  std::queue<TTilePos> queue;
  queue.push({0, 0});
  seen[0] = true;
  for (; !queue.empty(); queue.pop()) {
    const TTilePos at = queue.front();
    for (const TTilePos n :
         {TTilePos{at.X + 1, at.Y}, {at.X - 1, at.Y}, {at.X, at.Y + 1}, {at.X, at.Y - 1}})
      if (n.X >= 0 && n.Y >= 0 && n.X < w && n.Y < h && !seen[n.X + n.Y * w] && Clear(n.X, n.Y)) {
        seen[n.X + n.Y * w] = true;
        queue.push(n);
      }
  }
  return seen[w - 1] && seen[(h - 1) * w] && seen[w * h - 1];
}

TEST(Field, TreesFollowTheMapNameKeepStartsClearAndCornersJoined) {
  for (const char* name : {"forest", "plain", "desert", "", "Forest", "a|b", "swamp of doom"})
    for (int32_t side : {SmallFieldSide, LargeFieldSide}) {
      SCOPED_TRACE(std::string(name) + " " + std::to_string(side));
      TFieldMap map(side, side), again(side, side);
      PlantTrees(map, name);
      PlantTrees(again, name);
      const std::string trees = TreeText(map);
      EXPECT_EQ(trees, TreeText(again));
      EXPECT_EQ(std::count(trees.begin(), trees.end(), '#'),
                (side * side * TreePermille(name) + 500) / 1000);
      for (int32_t i = 0; i < side * side; ++i)
        for (int32_t seat = 0; seat < MaxSeats; ++seat)
          EXPECT_FALSE(trees[i] == '#' && InStart(i % side, i / side, Corner(seat, side))) << i;
      EXPECT_TRUE(CornersJoinedTwoWide(map));
      const int32_t permille = TreePermille(name);
      EXPECT_TRUE(name == std::string("forest")  ? permille == 200
                  : name == std::string("plain") ? permille == 30
                                                 : permille > 30 && permille < 200);
    }
  // Pinned layouts: a change here changes every match ever played on these maps.
  TFieldMap forest(SmallFieldSide, SmallFieldSide), desert(LargeFieldSide, LargeFieldSide);
  PlantTrees(forest, "forest");
  PlantTrees(desert, "desert");
  EXPECT_EQ(Fnv1a32(TreeText(forest)), 3931480414u);
  EXPECT_EQ(Fnv1a32(TreeText(desert)), 2290000256u);
}

} // namespace
