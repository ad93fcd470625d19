#include "board.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <queue>

namespace {

TEST(Field, ArmiesCostThreePerTankAndStopAtTwentyFourUnits) {
  struct TCase {
    int32_t Points, Tanks, Vikings;
  };
  const TCase cases[] = {
      {INT_MIN, 2, 4}, {-3, 2, 4},   {0, 2, 4},         {1, 0, 1},   {4, 0, 4},
      {5, 1, 2},       {10, 2, 4},   {39, 7, 17},       {40, 8, 16}, {41, 8, 16},
      {72, 14, 10},    {73, 14, 10}, {INT_MAX, 14, 10},
  };
  for (const TCase& c : cases) {
    const TArmy army = ArmyFor(c.Points);
    EXPECT_EQ(army.Tanks, c.Tanks) << c.Points;
    EXPECT_EQ(army.Vikings, c.Vikings) << c.Points;
  }
}

TEST(Field, KindsReadBackFromTheirWireNames) {
  for (TUnitKind kind : {TUnitKind::Viking, TUnitKind::Tank}) {
    TUnitKind read = kind == TUnitKind::Tank ? TUnitKind::Viking : TUnitKind::Tank;
    EXPECT_TRUE(UnitKindFromName(UnitKindName(kind), read));
    EXPECT_EQ(read, kind);
    EXPECT_EQ(UnitInfo(kind).Name, UnitKindName(kind));
  }
  TUnitKind kind = TUnitKind::Viking;
  EXPECT_FALSE(UnitKindFromName("Tank", kind));
  EXPECT_FALSE(UnitKindFromName("", kind));
  EXPECT_STREQ(UnitKindName(TUnitKind::Tank), "tank");
}

TEST(Field, AMatchStartsWithEachArmyInItsCorner) {
  EXPECT_EQ(CreateMatch("plain", 10, {}), nullptr);
  EXPECT_EQ(CreateMatch("plain", 10, std::vector<TSeatSpec>(5, {"x", false})), nullptr);
  struct TCase {
    std::vector<TSeatSpec> Seats;
    int32_t Side, SeatCount;
  };
  const TCase cases[] = {
      {{{"anna", false}}, 16, 2},
      {{{"anna", false}, {"bert", false}}, 16, 2},
      {{{"anna", false}, {"bert", false}, {"cleo", false}}, 20, 3},
      {{{"anna", false}, {"bert", false}, {"cleo", false}, {"dora", true}}, 20, 4},
  };
  for (const TCase& c : cases) {
    auto game = CreateMatch("forest", 41, c.Seats);
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(game->Map->SizeX, c.Side);
    EXPECT_EQ(game->Map->SizeY, c.Side);
    ASSERT_EQ(game->Players.Count(), c.SeatCount);
    EXPECT_EQ(game->Turns, 1);
    EXPECT_EQ(game->ToPlay, 0);
    EXPECT_FALSE(game->Over);
    for (int32_t seat = 0; seat < c.SeatCount; ++seat) {
      const TPlayer* player = game->Players.Get(seat);
      const bool added = seat >= static_cast<int32_t>(c.Seats.size());
      EXPECT_EQ(player->Name, added ? ComputerSeatName : c.Seats[seat].Name);
      EXPECT_EQ(player->Computer, added || c.Seats[seat].Computer);
      EXPECT_EQ(SeatUnitCount(*game, seat), 24);
    }
    // Ids from 1 in seat order, tanks first, each within 4 tiles of its corner on both axes.
    int32_t id = 0;
    for (const auto& unit : game->Units) {
      const int32_t seat = id / 24;
      EXPECT_EQ(unit->Id, ++id);
      EXPECT_EQ(UnitSeat(*unit), seat);
      EXPECT_EQ(unit->Info->Kind, (id - 1) % 24 < 8 ? TUnitKind::Tank : TUnitKind::Viking);
      const TTilePos corner = SeatCorner(seat, c.Side, c.Side);
      EXPECT_LT(std::abs(unit->X - corner.X), StartSide) << id;
      EXPECT_LT(std::abs(unit->Y - corner.Y), StartSide) << id;
      EXPECT_EQ(UnitAt(*game, unit->X, unit->Y), unit.get()) << "two units on one tile";
    }
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
    for (int32_t dy = 0; dy < 2; ++dy)
      for (int32_t dx = 0; dx < 2; ++dx)
        if (Map.GetTile(X + dx, Y + dy)->Tree)
          return false;
    return true;
  };
  std::vector<bool> seen(static_cast<std::size_t>(w * h));
  std::queue<TTilePos> queue;
  queue.push({0, 0});
  seen[0] = true;
  while (!queue.empty()) {
    const TTilePos at = queue.front();
    queue.pop();
    const TTilePos next[] = {
        {at.X + 1, at.Y}, {at.X - 1, at.Y}, {at.X, at.Y + 1}, {at.X, at.Y - 1}};
    for (const TTilePos& n : next)
      if (n.X >= 0 && n.Y >= 0 && n.X < w && n.Y < h && !seen[n.X + n.Y * w] && Clear(n.X, n.Y)) {
        seen[n.X + n.Y * w] = true;
        queue.push(n);
      }
  }
  return seen[w - 1] && seen[(h - 1) * w] && seen[w * h - 1];
}

TEST(Field, TreesFollowTheMapNameKeepStartsClearAndCornersJoined) {
  const char* names[] = {"forest", "plain", "desert", "", "Forest", "a|b", "swamp of doom"};
  for (const char* name : names)
    for (int32_t side : {SmallFieldSide, LargeFieldSide}) {
      TFieldMap map(side, side), again(side, side);
      PlantTrees(map, name);
      PlantTrees(again, name);
      EXPECT_EQ(TreeText(map), TreeText(again)) << name;
      const std::string trees = TreeText(map);
      EXPECT_EQ(static_cast<int32_t>(std::count(trees.begin(), trees.end(), '#')),
                (side * side * TreePermille(name) + 500) / 1000)
          << name << " " << side;
      for (int32_t seat = 0; seat < MaxSeats; ++seat) {
        const TTilePos corner = SeatCorner(seat, side, side);
        for (int32_t y = 0; y < side; ++y)
          for (int32_t x = 0; x < side; ++x)
            if (std::abs(x - corner.X) < StartSide && std::abs(y - corner.Y) < StartSide) {
              EXPECT_FALSE(map.GetTile(x, y)->Tree) << name << " " << x << "," << y;
            }
      }
      EXPECT_TRUE(CornersJoinedTwoWide(map)) << name << " " << side;
    }
  EXPECT_EQ(TreePermille("forest"), 200);
  EXPECT_EQ(TreePermille("plain"), 30);
  for (const char* name : {"desert", "", "Forest", "swamp of doom"}) {
    EXPECT_GT(TreePermille(name), 30) << name;
    EXPECT_LT(TreePermille(name), 200) << name;
  }
}

TEST(Field, TheSameNameGivesTheSameTreesOnEveryMachine) {
  // Pinned layouts: a change here changes every match ever played on these maps.
  TFieldMap forest(SmallFieldSide, SmallFieldSide), desert(LargeFieldSide, LargeFieldSide);
  PlantTrees(forest, "forest");
  PlantTrees(desert, "desert");
  EXPECT_EQ(Fnv1a32(TreeText(forest)), 3931480414u);
  EXPECT_EQ(Fnv1a32(TreeText(desert)), 2290000256u);
}

} // namespace
