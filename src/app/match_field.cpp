#include "app/match_field.h"

#include "app/frame_canvas.h"
#include "app/screen.h"
#include "gfx/gl_map.h"

#include <cmath>
#include <numbers>

namespace {

// The game screen's fixed downward tilt: at 45 degrees the camera is as far (horizontally) from
// the ground point in the middle of the window as it is high above it.
constexpr float VIEW_TILT_DISTANCE_PER_HEIGHT = 1.0f;
constexpr float DEGREES_PER_RADIAN = 180.0f / std::numbers::pi_v<float>;
// The middle tile of a seat's start area, counted from its corner.
constexpr float START_AREA_MIDDLE = StartSide / 2.0f;
// The client window's perspective, as the screen sets it up.
constexpr float FIELD_OF_VIEW_DEGREES = 45.0f;
constexpr float NEAR_PLANE = 2.0f;
const TViewport WINDOW{0, 0, CLIENT_WIDTH, CLIENT_HEIGHT};

} // namespace

TVector TFieldPlacement::At(float X, float Y) const {
  return {Left + X * TILE_SIZE, 0, Top + Y * TILE_SIZE};
}

bool TFieldPlacement::TileAt(const TVector& P, TTilePos& Tile) const {
  const float x = std::floor((P.X - Left) / TILE_SIZE);
  const float y = std::floor((P.Z - Top) / TILE_SIZE);
  if (!(x >= 0 && y >= 0 && x < static_cast<float>(Columns) && y < static_cast<float>(Rows))) {
    return false;
  }
  Tile = {static_cast<int32_t>(x), static_cast<int32_t>(y)};
  return true;
}

TFieldPlacement PlaceField(int32_t Columns, int32_t Rows) {
  return {TILE_SIZE * static_cast<float>(GROUND_TILES - Columns) / 2,
          TILE_SIZE * static_cast<float>(GROUND_TILES - Rows) / 2, Columns, Rows};
}

bool PickTile(const TMatrix4& Projection, const TMatrix4& ModelView, const TViewport& View, int MX,
              int MY, const TFieldPlacement& Field, TTilePos& Tile) {
  // Window pixels count rows from the top, OpenGL from the bottom; aim at the pixel's middle.
  const float x = static_cast<float>(MX) + 0.5f;
  const float y = static_cast<float>(View.Y + View.Height - MY) - 0.5f;
  TRay ray;
  TVector ground;
  return RayThroughWindowPoint(Projection, ModelView, View, x, y, ray) &&
         RayHitsLevel(ray, 0, ground) && Field.TileAt(ground, Tile);
}

TCamera StartCamera(int32_t Seat, const TFieldPlacement& Field) {
  const float midX = static_cast<float>(Field.Columns) / 2;
  const float midY = static_cast<float>(Field.Rows) / 2;
  TVector target = Field.At(midX, midY);
  // Looking from the corner towards the middle; over the middle, along the screen's default.
  float dx = 1;
  float dy = 1;
  if (Seat >= 0 && Seat < MaxSeats) {
    const TTilePos corner = SeatCorner(Seat, Field.Columns, Field.Rows);
    dx = corner.X == 0 ? 1.0f : -1.0f;
    dy = corner.Y == 0 ? 1.0f : -1.0f;
    const float x =
        corner.X == 0 ? START_AREA_MIDDLE : static_cast<float>(Field.Columns) - START_AREA_MIDDLE;
    const float y =
        corner.Y == 0 ? START_AREA_MIDDLE : static_cast<float>(Field.Rows) - START_AREA_MIDDLE;
    target = Field.At(x, y);
  }
  // The view looks along (sin a, -cos a) on the ground for AngleY a.
  const float angle = std::atan2(dx, -dy);
  const float back = START_HEIGHT * VIEW_TILT_DISTANCE_PER_HEIGHT;
  TCamera camera;
  camera.X = target.X - std::sin(angle) * back;
  camera.Y = START_HEIGHT;
  camera.Z = target.Z + std::cos(angle) * back;
  camera.AngleY = angle * DEGREES_PER_RADIAN;
  return camera;
}

TMatrix4 ScreenProjection() {
  return PerspectiveMatrix(FIELD_OF_VIEW_DEGREES / DEGREES_PER_RADIAN,
                           static_cast<float>(CLIENT_WIDTH) / static_cast<float>(CLIENT_HEIGHT),
                           NEAR_PLANE, DEFAULT_FAR_CLIP);
}

TMatrix4 CameraView(const TCamera& Camera) {
  return Multiply(Multiply(RotationMatrix(VIEW_TILT / DEGREES_PER_RADIAN, 1, 0, 0),
                           RotationMatrix(Camera.AngleY / DEGREES_PER_RADIAN, 0, 1, 0)),
                  TranslationMatrix(-Camera.X, -Camera.Y, -Camera.Z));
}

bool TilePixel(const TCamera& Camera, const TFieldPlacement& Field, TTilePos Tile, int& MX,
               int& MY) {
  TVector window;
  if (!ProjectPoint(ScreenProjection(), CameraView(Camera), WINDOW, Field.Centre(Tile.X, Tile.Y),
                    window) ||
      !(window.X >= 0 && window.X < static_cast<float>(WINDOW.Width) && window.Y >= 0 &&
        window.Y < static_cast<float>(WINDOW.Height))) {
    return false;
  }
  // OpenGL counts rows from the bottom; the pixel whose area holds the point.
  MX = static_cast<int>(window.X);
  MY = WINDOW.Height - 1 - static_cast<int>(window.Y);
  return true;
}
