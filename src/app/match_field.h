// Where a match's battlefield lies in the game screen's world and how the screen's camera finds
// it: the field's tiles are TILE_SIZE squares on the ground plane, centred on the ground map;
// a pointer position goes through the current projection and view onto the ground and gives the
// tile under it; the camera starts over a seat's own corner. Pure math: nothing here draws.
#pragma once

#include "app/screens/game_status.h"
#include "game/rules.h"
#include "math3d/matrix4.h"

#include <cstdint>

// The ground map around the field, in tiles a side (the game screen's map).
inline constexpr int32_t GROUND_TILES = TMap::DefaultSize;
// The camera's height over the ground when a match starts.
inline constexpr float START_HEIGHT = 30.0f;

// The field's place in the world: tile (X, Y) (column, row) covers world X from Left + X * size
// and world Z from Top + Y * size, TILE_SIZE each way.
struct TFieldPlacement {
  float Left = 0;
  float Top = 0;
  int32_t Columns = 0;
  int32_t Rows = 0;

  // The world point at field position (X, Y), counted in tiles from the field's corner (so the
  // centre of tile (2, 3) is at (2.5, 3.5)), on the ground.
  TVector At(float X, float Y) const;
  // The centre of tile (X, Y) on the ground.
  TVector Centre(int32_t X, int32_t Y) const { return At(X + 0.5f, Y + 0.5f); }
  // The tile holding world point P (its Y is ignored); false off the field.
  bool TileAt(const TVector& P, TTilePos& Tile) const;
};

// A field of Columns x Rows tiles in the middle of the ground map.
TFieldPlacement PlaceField(int32_t Columns, int32_t Rows);

// The tile under the pointer at window pixel (MX, MY) (origin top-left, Y downwards, as
// Global.MX/MY) of a window WindowHeight pixels high, through the projection and view a frame
// was drawn with: the ray from the pointer meets the ground plane in the tile. False when it
// meets the ground off the field, or not at all (a pointer above the horizon).
bool PickTile(const TMatrix4& Projection, const TMatrix4& ModelView, const TViewport& View, int MX,
              int MY, const TFieldPlacement& Field, TTilePos& Tile);

// The game screen's projection (the 800 x 600 window's perspective) and the view of Camera, as
// the screen sets them on OpenGL before drawing the battlefield.
TMatrix4 ScreenProjection();
TMatrix4 CameraView(const TCamera& Camera);
// The window pixel (as Global.MX/MY: origin top-left, Y downwards) on which the centre of Tile
// is drawn under Camera: the inverse of picking, so PickTile finds Tile again there. False when
// that point is behind the camera or outside the window.
bool TilePixel(const TCamera& Camera, const TFieldPlacement& Field, TTilePos Tile, int& MX,
               int& MY);

// The camera over Seat's corner of the field, looking from the corner towards the middle of the
// field at the centre of the seat's start tiles from START_HEIGHT. Any other seat number gives
// a camera over the middle of the field.
TCamera StartCamera(int32_t Seat, const TFieldPlacement& Field);
