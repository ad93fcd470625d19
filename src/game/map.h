// The tile map's data: a grid of tiles, row-major, that a drawing subclass renders. This class
// draws nothing; its Render is left to the subclass that owns a graphics context.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TTile {
public:
  virtual ~TTile() = default;
  // Index of the tile's graphic.
  int32_t TileGraphic = 0;
  // A tree stands here: no unit enters the tile, attacks pass over it.
  bool Tree = false;
};

class TMap {
public:
  static constexpr int32_t DefaultSize = 64;

  // A DefaultSize x DefaultSize map of fresh tiles.
  TMap();
  // An X x Y map of fresh tiles; throws as SetSize does.
  TMap(int32_t X, int32_t Y);
  virtual ~TMap();
  TMap(const TMap&) = delete;
  TMap& operator=(const TMap&) = delete;

  // Frees all tiles and makes X x Y new ones (TileGraphic 0). Throws std::invalid_argument
  // "Invalid map size" for a negative size or one too large to hold.
  void SetSize(int32_t X, int32_t Y);
  // The tile at column X, row Y; nullptr outside the map or after FreeAllTiles.
  TTile* GetTile(int32_t X, int32_t Y) const;
  // Frees every tile; the grid keeps its size with empty places.
  void FreeAllTiles();
  // Maps have no file format: this does nothing.
  void Load(const std::string& FileName);
  // Draws the map; only a subclass with a graphics context knows how.
  virtual void Render() = 0;

  int32_t SizeX = 0;
  int32_t SizeY = 0;
  // Tile at column X, row Y is Data[X + Y * SizeX]. The map owns its tiles.
  std::vector<std::unique_ptr<TTile>> Data;
};

// A map that is never drawn: the field a match is played on, in the server and in a client's
// copy of the match alike.
class TFieldMap : public TMap {
public:
  TFieldMap(int32_t X, int32_t Y) : TMap(X, Y) {}
  void Render() override {}
};
