#include "game/game_model.h"
#include "game/map.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// The smallest drawing map: counts its renders.
class TCountingMap : public TMap {
public:
  void Render() override { ++Renders; }
  int Renders = 0;
};

TEST(TMap, StartsAs64By64FreshTiles) {
  TCountingMap map;
  EXPECT_EQ(map.SizeX, 64);
  EXPECT_EQ(map.SizeY, 64);
  ASSERT_EQ(map.Data.size(), 64u * 64u);
  for (const auto& tile : map.Data) {
    ASSERT_NE(tile, nullptr);
    EXPECT_EQ(tile->TileGraphic, 0);
  }
  TMap& base = map;
  base.Render();
  EXPECT_EQ(map.Renders, 1);
}

TEST(TMap, TilesAreRowMajorAndBounded) {
  TCountingMap map;
  map.SetSize(5, 3);
  EXPECT_EQ(map.Data.size(), 15u);
  map.GetTile(4, 2)->TileGraphic = 7;
  map.GetTile(1, 0)->TileGraphic = 3;
  EXPECT_EQ(map.Data[4 + 2 * 5]->TileGraphic, 7);
  EXPECT_EQ(map.Data[1]->TileGraphic, 3);
  const int outside[][2] = {{5, 0}, {0, 3}, {-1, 0}, {0, -1}, {64, 64}};
  for (const auto& at : outside)
    EXPECT_EQ(map.GetTile(at[0], at[1]), nullptr) << at[0] << "," << at[1];
}

TEST(TMap, SetSizeReplacesEveryTileAndFreeAllTilesEmptiesThePlaces) {
  TCountingMap map;
  map.GetTile(0, 0)->TileGraphic = 9;
  map.FreeAllTiles();
  EXPECT_EQ(map.GetTile(0, 0), nullptr);
  EXPECT_EQ(map.SizeX, 64);
  map.SetSize(2, 2);
  ASSERT_NE(map.GetTile(0, 0), nullptr);
  EXPECT_EQ(map.GetTile(0, 0)->TileGraphic, 0);
  map.SetSize(0, 0);
  EXPECT_TRUE(map.Data.empty());
  EXPECT_EQ(map.GetTile(0, 0), nullptr);
  map.Load("anything.map");
  EXPECT_EQ(map.SizeX, 0);
}

TEST(TMap, ImpossibleSizesAreRefusedAndChangeNothing) {
  TCountingMap map;
  const int sizes[][2] = {{-1, 4}, {4, -1}, {1 << 16, 1 << 16}, {2147483647, 2}};
  for (const auto& size : sizes) {
    EXPECT_THROW(map.SetSize(size[0], size[1]), std::invalid_argument);
    EXPECT_EQ(map.SizeX, 64);
    ASSERT_NE(map.GetTile(63, 63), nullptr);
  }
}

TEST(GameModel, ListsOwnOrReferToTheirEntries) {
  TGame game;
  auto player = std::make_unique<TPlayer>();
  player->Name = "anna";
  TPlayer* anna = player.get();
  game.Players.Add(std::move(player));
  auto unit = std::make_unique<TUnit>();
  unit->Owner = anna;
  game.Units.Add(std::move(unit));
  EXPECT_EQ(game.Units.Get(0)->Owner->Name, "anna");
  EXPECT_EQ(game.Players.IndexOf(anna), 0);
  EXPECT_EQ(game.Players.Get(1), nullptr);
  TGameList running;
  running.Add(&game);
  EXPECT_EQ(running.Get(0), &game);
  auto taken = game.Players.Extract(anna);
  EXPECT_EQ(taken.get(), anna);
  EXPECT_TRUE(game.Players.Empty());
  EXPECT_EQ(game.Players.Extract(anna), nullptr);
  EXPECT_EQ(running.Extract(&game), &game);
  EXPECT_EQ(running.Count(), 0);
}

} // namespace
