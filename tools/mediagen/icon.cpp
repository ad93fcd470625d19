#include "icon.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {

// Every shape is drawn on a 256-unit canvas and scaled to the icon's size.
constexpr float CANVAS = 256;
constexpr float WATER_LINE = 172;

using TUnitShape = std::function<float(float U, float V)>;

// A shape of the canvas as a distance in pixels of an icon Scale pixels to the unit.
TImage::TDistance Scaled(const TUnitShape& Shape, float Scale) {
  return [=](float X, float Y) { return Shape(X / Scale, Y / Scale) * Scale; };
}

float Tile(float U, float V) {
  return RoundedBoxDistance(U, V, 8, 8, 248, 248, 44);
}

// The part of Shape inside the tile.
TUnitShape OnTile(const TUnitShape& Shape) {
  return [=](float U, float V) { return std::max(Shape(U, V), Tile(U, V)); };
}

TUnitShape Polygon(std::vector<float> Points) {
  return [Points = std::move(Points)](float U, float V) { return PolygonDistance(U, V, Points); };
}

} // namespace

TImage MakeIcon(int Size) {
  TImage img(Size, Size, {0, 0, 0, 0});
  const float scale = Size / CANVAS;
  auto fill = [&](const TUnitShape& Shape, const TImage::TPaint& Paint) {
    img.FillShape(0, 0, Size, Size, Scaled(Shape, scale),
                  [&](float x, float y, float d) { return Paint(x / scale, y / scale, d); });
  };
  auto solid = [](const TColor& C) { return [C](float, float, float) { return C; }; };

  // Sky from night blue to the glow over the water, with the moon.
  const TColor skyTop = Rgb(18, 26, 64), skyLow = Rgb(236, 146, 96);
  fill(Tile, [&](float, float v, float) {
    return Mix(skyTop, skyLow, std::clamp((v - 20) / (WATER_LINE - 20), 0.0f, 1.0f));
  });
  fill(OnTile([](float u, float v) { return CircleDistance(u, v, 184, 64, 20); }),
       solid(Rgb(252, 244, 222)));
  // The cliffs of the fjord, lit along their inner edges.
  const TUnitShape left = Polygon({0, 36, 34, 44, 70, 96, 96, 150, 112, WATER_LINE, 0, WATER_LINE});
  const TUnitShape right =
      Polygon({256, 84, 224, 74, 186, 118, 160, 156, 146, WATER_LINE, 256, WATER_LINE});
  for (const TUnitShape& cliff : {left, right}) {
    fill(OnTile(cliff), [&](float, float, float d) {
      return Mix(Rgb(96, 90, 150), Rgb(38, 40, 78), std::clamp(-d / (6 * scale), 0.0f, 1.0f));
    });
  }
  // The water, darker towards the front, with the moon's path on it.
  fill(OnTile([](float, float v) { return WATER_LINE - v; }), [](float u, float v, float) {
    const float depth = std::clamp((v - WATER_LINE) / 70, 0.0f, 1.0f);
    TColor c = Mix(Rgb(70, 86, 150), Rgb(14, 24, 60), depth);
    const float path = std::exp(-std::pow((u - 184) / (10 + (v - WATER_LINE) * 0.5f), 2.0f));
    const float ripple = 0.5f + 0.5f * std::sin(v * 0.9f);
    return Mix(c, Rgb(250, 236, 200), path * ripple * 0.7f);
  });
  // The longship: a curved hull with raised stem and stern, a mast and a striped sail.
  const TUnitShape hull =
      Polygon({46, 154, 62, 170, 194, 170, 210, 154, 204, 178, 186, 204, 72, 204, 54, 178});
  fill(OnTile(hull), [](float, float v, float) {
    return Mix(Rgb(150, 92, 44), Rgb(70, 38, 18), std::clamp((v - 176) / 28, 0.0f, 1.0f));
  });
  fill(OnTile([](float u, float v) { return SegmentDistance(u, v, 128, 90, 128, 170, 3.5f); }),
       solid(Rgb(60, 34, 16)));
  const TUnitShape sail = [](float u, float v) {
    return RoundedBoxDistance(u, v, 92, 100, 164, 158, 4);
  };
  fill(OnTile(sail), [](float u, float, float) {
    const bool red = static_cast<int>(std::floor((u - 92) / 12)) % 2 == 0;
    return red ? Rgb(200, 38, 40) : Rgb(246, 234, 210);
  });
  // A dark rim, at least a pixel wide, keeps the tile apart from any background.
  const float rim = std::max(2.0f, 0.5f / scale);
  fill([rim](float u, float v) { return std::fabs(Tile(u, v) + rim) - rim; },
       solid(Rgb(16, 18, 40)));
  return img;
}
