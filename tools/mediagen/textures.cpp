// Painters for every texture of the media set. All randomness comes from fixed seeds.
//
//   [font]        8 x 8 glyphs in a 16 x 16 grid, ASCII in grid rows 8..13
//   [frames]      nine-slice frames: 16-pixel cells, the upper-left 3 x 3 used
//   [tick]        check mark
//   [cursors]     arrow pointer and hourglass, drawn from the top-left corner
//   [background]  the lobby's dusk landscape, 800 x 600
//   [ground]      the seamless grass tile
//   [models]      bark, needles and armour plate
#include "textures.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "font_glyphs.h"

namespace {

constexpr float PI = 3.14159265358979f;

// ---- [font] ----

constexpr int FONT_SIZE = 128;
constexpr int CELL = 8;

} // namespace

TImage MakeFont() {
  TImage img(FONT_SIZE, FONT_SIZE, {1, 1, 1, 0});
  for (int code = 0; code < 256; ++code) {
    // The cell the drawer samples: (code - 32) mod 256, sixteen to a row, from grid row 8 on;
    // texture coordinates past the bottom wrap to the top.
    const int k = (code - 32 + 256) % 256;
    const int column = k % 16;
    const int row = (k / 16 + 8) % 16;
    bool known = true;
    const TGlyph glyph = GlyphFor(code, known);
    for (int y = 0; y < CELL; ++y) {
      const std::string line = glyph[static_cast<std::size_t>(y)];
      for (int x = 0; x < static_cast<int>(line.size()); ++x)
        if (line[static_cast<std::size_t>(x)] == '#')
          img.Set(column * CELL + 1 + x, row * CELL + y, {1, 1, 1, 1});
    }
  }
  return img;
}

namespace {

// ---- [frames] ----

constexpr int FRAME_TEXTURE = 64;
constexpr float FRAME_EXTENT = 48; // three 16-pixel cells

struct TFrameStyle {
  float Radius;
  float OutlineWidth;
  TColor Outline;
  float BevelWidth;
  TColor Light, Dark;
  TColor Fill, FillTop; // fill colour, and the colour it starts from at the top
  float GradientRows;   // rows (from the inner top) over which FillTop blends into Fill
  bool TitleBand;       // a darker band under the top edge with a separating line
  TColor Band;
  bool HollowCentre; // nothing inside the bevel (bar frames)
};

// Outward direction of the frame edge nearest to (X, Y): negative sums face up-left (lit).
float LightSide(float X, float Y) {
  const float e = 0.5f;
  const float dx = RoundedBoxDistance(X + e, Y, 0, 0, FRAME_EXTENT, FRAME_EXTENT, 6) -
                   RoundedBoxDistance(X - e, Y, 0, 0, FRAME_EXTENT, FRAME_EXTENT, 6);
  const float dy = RoundedBoxDistance(X, Y + e, 0, 0, FRAME_EXTENT, FRAME_EXTENT, 6) -
                   RoundedBoxDistance(X, Y - e, 0, 0, FRAME_EXTENT, FRAME_EXTENT, 6);
  return -(dx + dy);
}

TImage PaintFrame(const TFrameStyle& S) {
  TImage img(FRAME_TEXTURE, FRAME_TEXTURE, {0, 0, 0, 0});
  auto shape = [&](float x, float y) {
    return RoundedBoxDistance(x, y, 0, 0, FRAME_EXTENT, FRAME_EXTENT, S.Radius);
  };
  const float inner = S.OutlineWidth + S.BevelWidth;
  img.FillShape(0, 0, 48, 48, shape, [&](float x, float y, float d) {
    const float depth = -d;
    if (depth < S.OutlineWidth)
      return S.Outline;
    if (depth < inner) {
      const float side = LightSide(x, y);
      const float t = std::clamp(0.5f + side * 1.5f, 0.0f, 1.0f);
      return Mix(S.Dark, S.Light, t);
    }
    if (S.HollowCentre)
      return TColor{1, 1, 1, 0};
    if (S.TitleBand && y < 16) {
      if (y > 14.5f)
        return Shade(S.Dark, 0.9f);
      return Mix(S.Band, Shade(S.Band, 0.9f), std::clamp((y - inner) / (14 - inner), 0.0f, 1.0f));
    }
    const float t = std::clamp((y - inner) / S.GradientRows, 0.0f, 1.0f);
    return Mix(S.FillTop, S.Fill, t);
  });
  return img;
}

TFrameStyle WindowStyle() {
  TFrameStyle s;
  s.Radius = 6;
  s.OutlineWidth = 1.2f;
  s.Outline = Rgb(38, 26, 16);
  s.BevelWidth = 2.2f;
  s.Light = Rgb(236, 200, 128);
  s.Dark = Rgb(122, 80, 36);
  s.Fill = Rgb(226, 214, 186, 238);
  s.FillTop = Rgb(226, 214, 186, 238);
  s.GradientRows = 1;
  s.TitleBand = true;
  s.Band = Rgb(240, 218, 160);
  s.HollowCentre = false;
  return s;
}

TFrameStyle DisabledWindowStyle() {
  TFrameStyle s = WindowStyle();
  s.Outline = Rgb(64, 64, 64);
  s.Light = Rgb(205, 205, 205);
  s.Dark = Rgb(118, 118, 118);
  s.Fill = s.FillTop = Rgb(196, 196, 192, 220);
  s.Band = Rgb(210, 210, 206);
  return s;
}

TFrameStyle ButtonStyle() {
  TFrameStyle s;
  s.Radius = 5;
  s.OutlineWidth = 1.1f;
  s.Outline = Rgb(44, 44, 54);
  s.BevelWidth = 2.0f;
  s.Light = Rgb(252, 252, 255);
  s.Dark = Rgb(124, 126, 140);
  s.Fill = Rgb(206, 210, 220);
  s.FillTop = Rgb(232, 236, 244);
  s.GradientRows = 11;
  s.TitleBand = false;
  s.HollowCentre = false;
  return s;
}

TFrameStyle DisabledButtonStyle() {
  TFrameStyle s = ButtonStyle();
  s.Outline = Rgb(96, 96, 96, 210);
  s.Light = Rgb(200, 200, 200, 210);
  s.Dark = Rgb(150, 150, 150, 210);
  s.Fill = s.FillTop = Rgb(170, 170, 170, 200);
  return s;
}

TFrameStyle BarStyle() {
  TFrameStyle s;
  s.Radius = 3;
  s.OutlineWidth = 1.1f;
  s.Outline = Rgb(30, 30, 36);
  s.BevelWidth = 1.0f;
  s.Light = Rgb(255, 255, 255, 170);
  s.Dark = Rgb(40, 40, 40, 120);
  s.HollowCentre = true;
  s.TitleBand = false;
  s.GradientRows = 1;
  return s;
}

// ---- [tick] ----

TImage MakeTick() {
  TImage img(32, 32, {0, 0, 0, 0});
  auto stroke = [](float x, float y, float w) {
    return std::min(SegmentDistance(x, y, 8, 16.5f, 13.5f, 22.5f, w),
                    SegmentDistance(x, y, 13.5f, 22.5f, 24.5f, 8.5f, w));
  };
  img.FillShape(
      0, 0, 32, 32, [&](float x, float y) { return stroke(x, y, 3.6f); }, Rgb(20, 40, 20));
  img.FillShape(
      0, 0, 32, 32, [&](float x, float y) { return stroke(x, y, 2.2f); },
      [](float, float y, float) {
        return Mix(Rgb(120, 220, 110), Rgb(30, 140, 50), (y - 8) / 15);
      });
  return img;
}

// ---- [cursors] ----

// Soft shadow, outline and gradient fill of a shape given as a distance function.
void DrawIcon(TImage& Img, const TImage::TDistance& Shape, const TColor& Top, const TColor& Bottom,
              float Y0, float Y1) {
  Img.FillShape(
      0, 0, Img.Width(), Img.Height(),
      [&](float x, float y) { return (Shape(x - 2, y - 2) - 0.5f) * 0.5f; }, Rgb(0, 0, 0, 90));
  Img.FillShape(0, 0, Img.Width(), Img.Height(), Shape, Rgb(28, 18, 8));
  Img.FillShape(
      0, 0, Img.Width(), Img.Height(), [&](float x, float y) { return Shape(x, y) + 1.3f; },
      [&](float, float y, float) {
        return Mix(Top, Bottom, std::clamp((y - Y0) / (Y1 - Y0), 0.0f, 1.0f));
      });
}

TImage MakePointer() {
  TImage img(64, 64, {0, 0, 0, 0});
  const std::vector<float> arrow = {0.5f,  0.5f,  0.5f,  21.5f, 5.8f,  16.8f, 9.6f,
                                    25.0f, 13.4f, 23.4f, 9.7f,  15.3f, 16.5f, 15.3f};
  DrawIcon(
      img, [&](float x, float y) { return PolygonDistance(x, y, arrow); }, Rgb(255, 236, 160),
      Rgb(214, 150, 40), 0, 24);
  return img;
}

TImage MakeHourglass() {
  TImage img(64, 64, {0, 0, 0, 0});
  // Glass: two bulbs meeting at a narrow neck.
  const std::vector<float> glass = {4.5f,  4,  19.5f, 4,  19.5f, 6.5f,  13.9f, 14.6f, 19.5f, 22.5f,
                                    19.5f, 25, 4.5f,  25, 4.5f,  22.5f, 10.1f, 14.6f, 4.5f,  6.5f};
  DrawIcon(
      img, [&](float x, float y) { return PolygonDistance(x, y, glass); }, Rgb(214, 236, 250),
      Rgb(170, 200, 228), 4, 25);
  // Sand: a heap at the bottom, a little left at the top, a thin stream.
  img.FillShape(
      0, 0, 64, 64,
      [](float x, float y) {
        return PolygonDistance(x, y, {6.5f, 23.6f, 17.5f, 23.6f, 12, 18.5f});
      },
      Rgb(226, 178, 82));
  img.FillShape(
      0, 0, 64, 64,
      [](float x, float y) {
        return PolygonDistance(x, y, {8.6f, 9, 15.4f, 9, 12, 13});
      },
      Rgb(226, 178, 82));
  img.FillShape(
      0, 0, 64, 64, [](float x, float y) { return SegmentDistance(x, y, 12, 13, 12, 19, 0.45f); },
      Rgb(226, 178, 82));
  // Wooden caps.
  for (float top : {1.0f, 24.0f}) {
    auto cap = [top](float x, float y) {
      return RoundedBoxDistance(x, y, 1.5f, top, 22.5f, top + 4, 1.5f);
    };
    img.FillShape(0, 0, 64, 64, cap, Rgb(40, 22, 10));
    img.FillShape(
        0, 0, 64, 64, [&](float x, float y) { return cap(x, y) + 1; },
        [top](float, float y, float) {
          return Mix(Rgb(190, 120, 60), Rgb(120, 66, 28), (y - top) / 4);
        });
  }
  return img;
}

// ---- [background] ----

// A ridge line across the picture: triangle waves with fixed random phases, so that the
// mountains get sharp peaks; the finer octaves add rocky detail.
struct TRidge {
  TRidge(std::uint32_t Seed, float Base, float Amplitude, float Period, bool Rounded = false)
      : FBase(Base), FAmplitude(Amplitude), FPeriod(Period), FRounded(Rounded) {
    TRandom rnd(Seed);
    for (int i = 0; i < 5; ++i)
      FPhases.push_back(rnd.Unit());
  }
  static float Triangle(float T) { return 1 - 2 * std::fabs(T - std::floor(T) - 0.5f) * 2; }
  float At(float X) const {
    float h = 0, amplitude = 1, total = 0, period = FPeriod;
    for (float phase : FPhases) {
      const float t = X / period + phase;
      h += amplitude * (FRounded ? -std::sin(t * 2 * PI) : -Triangle(t));
      total += amplitude;
      amplitude *= 0.45f;
      period *= 0.43f;
    }
    return FBase + FAmplitude * h / total;
  }
  float FBase, FAmplitude, FPeriod;
  bool FRounded;
  std::vector<float> FPhases;
};

TImage MakeBackground() {
  constexpr int W = 800, H = 600;
  constexpr float HORIZON = 360;
  TImage img(W, H);
  const TColor skyTop = Rgb(10, 16, 42), skyMid = Rgb(48, 52, 104), skyLow = Rgb(226, 136, 92);
  auto sky = [&](float y) {
    const float t = std::clamp(y / HORIZON, 0.0f, 1.0f);
    return t < 0.55f ? Mix(skyTop, skyMid, t / 0.55f) : Mix(skyMid, skyLow, (t - 0.55f) / 0.45f);
  };
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      img.Set(x, y, sky(static_cast<float>(y)));
  // Stars fade towards the horizon.
  TRandom rnd(7);
  for (int i = 0; i < 180; ++i) {
    const float x = rnd.Range(0, W), y = rnd.Range(0, 230);
    const float b = rnd.Range(0.3f, 1.0f) * (1 - y / 260);
    const float r = rnd.Unit() < 0.08f ? 1.3f : 0.7f;
    img.FillShape(
        static_cast<int>(x) - 3, static_cast<int>(y) - 3, static_cast<int>(x) + 4,
        static_cast<int>(y) + 4,
        [=](float px, float py) { return CircleDistance(px, py, x, y, r); },
        TColor{1, 0.97f, 0.9f, b});
  }
  // The moon with its glow.
  img.FillShape(
      520, 20, 760, 260, [](float x, float y) { return CircleDistance(x, y, 640, 120, 110); },
      [](float x, float y, float) {
        const float d = std::hypot(x - 640, y - 120);
        return TColor{1, 0.9f, 0.75f, 0.22f * std::pow(std::max(0.0f, 1 - d / 110), 2.0f)};
      });
  img.FillShape(
      590, 70, 690, 170, [](float x, float y) { return CircleDistance(x, y, 640, 120, 34); },
      [](float x, float y, float) {
        const float t = std::clamp((x - 606 + y - 86) / 136, 0.0f, 1.0f);
        return Mix(Rgb(250, 246, 228), Rgb(214, 206, 186), t);
      });
  // Mountain ranges, far to near: lit on the slopes that face the moon, snow on the high
  // peaks, and haze that grows towards their feet.
  constexpr float WATER = 432;
  const struct {
    std::uint32_t Seed;
    float Base, Amplitude, Period;
    TColor Color;
    float SnowLine;
  } ranges[] = {{11, 300, 80, 420, Rgb(96, 88, 132), 268},
                {23, 350, 60, 300, Rgb(62, 58, 98), 318},
                {37, 400, 34, 220, Rgb(34, 38, 66), 0}};
  for (const auto& range : ranges) {
    const TRidge ridge(range.Seed, range.Base, range.Amplitude, range.Period);
    for (int x = 0; x < W; ++x) {
      const float top = ridge.At(static_cast<float>(x));
      const float slope = (ridge.At(x + 8.0f) - ridge.At(x - 8.0f)) / 16;
      const float light = std::clamp(0.5f + slope * 1.2f, 0.0f, 1.0f);
      for (int y = std::max(0, static_cast<int>(top)); y < WATER; ++y) {
        const float cover = std::clamp(static_cast<float>(y) + 1 - top, 0.0f, 1.0f);
        const float depth = static_cast<float>(y) - top;
        const float facing = (light - 0.5f) * 0.36f * std::exp(-depth / 70);
        TColor c = Shade(range.Color, 1 + facing);
        if (top < range.SnowLine) {
          const float snowDepth = (range.SnowLine - top) * 0.5f * (0.4f + light);
          if (depth < snowDepth)
            c = Mix(Rgb(214, 212, 236), Rgb(250, 246, 255), light);
        }
        c = Mix(c, Rgb(132, 96, 112), std::clamp(depth / 260, 0.0f, 0.35f));
        img.Blend(x, y, c, cover);
      }
    }
  }
  // The fjord: darker sky reflected in water, with moonlight ripples.
  for (int y = static_cast<int>(WATER); y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const float below = static_cast<float>(y) - WATER;
      TColor c = Mix(Shade(sky(HORIZON - below * 2), 0.5f), Rgb(16, 22, 46),
                     std::clamp(below / 60, 0.0f, 1.0f));
      const float ripple = std::sin(static_cast<float>(y) * 0.9f + std::sin(x * 0.05f) * 2);
      const float moonPath = std::exp(-std::pow((x - 640) / (24.0f + below * 0.6f), 2.0f));
      c = Mix(c, Rgb(240, 230, 200), std::max(0.0f, ripple) * 0.45f * moonPath);
      img.Set(x, y, c);
    }
  // The near shore with a row of pines.
  const TRidge shore(51, 525, 30, 700, true);
  const TColor land = Rgb(10, 14, 20);
  for (int x = 0; x < W; ++x) {
    const float top = shore.At(static_cast<float>(x));
    for (int y = std::max(0, static_cast<int>(top)); y < H; ++y)
      img.Blend(x, y, land, std::clamp(static_cast<float>(y) + 1 - top, 0.0f, 1.0f));
  }
  TRandom pines(99);
  for (float x = -10; x < W + 10; x += pines.Range(14, 40)) {
    const float base = shore.At(x) + 6, height = pines.Range(40, 90);
    const float width = height * 0.32f;
    std::vector<float> tree;
    const int tiers = 4;
    tree.insert(tree.end(), {x, base - height});
    for (int t = 1; t <= tiers; ++t) {
      const float yy = base - height + height * t / tiers * 0.92f;
      const float ww = width * t / tiers;
      tree.insert(tree.end(), {x + ww, yy, x + ww * 0.45f, yy - height * 0.06f});
    }
    std::vector<float> left;
    for (std::size_t i = tree.size() - 2; i >= 2; i -= 2)
      left.insert(left.end(), {2 * x - tree[i], tree[i + 1]});
    tree.insert(tree.end(), {x + 1.5f, base, x - 1.5f, base});
    tree.insert(tree.end(), left.begin(), left.end());
    img.FillShape(
        static_cast<int>(x - width - 2), static_cast<int>(base - height - 2),
        static_cast<int>(x + width + 3), static_cast<int>(base + 2),
        [&](float px, float py) { return PolygonDistance(px, py, tree); }, land);
  }
  return img;
}

// ---- [ground] ----

// A square texture whose every pixel Paint colours from its position (u, v in 0..1).
TImage PaintTile(int Size, const std::function<TColor(float U, float V)>& Paint) {
  TImage img(Size, Size);
  for (int y = 0; y < Size; ++y)
    for (int x = 0; x < Size; ++x)
      img.Set(x, y, Paint(x / static_cast<float>(Size), y / static_cast<float>(Size)));
  return img;
}

TImage MakeGrass() {
  constexpr int S = 128;
  const TTileNoise coarse(4, 101), medium(16, 202), fine(64, 303);
  TImage img = PaintTile(S, [&](float u, float v) {
    const float n = 0.5f * coarse.At(u * 4, v * 4) + 0.3f * medium.At(u * 16, v * 16) +
                    0.2f * fine.At(u * 64, v * 64);
    const TColor c = Mix(Rgb(62, 104, 42), Rgb(108, 150, 62), n);
    return Mix(c, Rgb(120, 118, 70),
               std::clamp((coarse.At(u * 4 + 2, v * 4 + 1) - 0.7f) * 1.5f, 0.0f, 0.35f));
  });
  // Short blades drawn wrapped around the edges so that the tile repeats seamlessly.
  TRandom rnd(404);
  for (int i = 0; i < 700; ++i) {
    const float x = rnd.Range(0, S), y = rnd.Range(0, S);
    const float len = rnd.Range(2, 5), lean = rnd.Range(-1.5f, 1.5f);
    const TColor c = rnd.Unit() < 0.5f ? Rgb(136, 178, 76, 150) : Rgb(40, 76, 30, 130);
    for (int ox = -S; ox <= S; ox += S)
      for (int oy = -S; oy <= S; oy += S) {
        const float bx = x + ox, by = y + oy;
        if (bx < -6 || bx > S + 6 || by < -6 || by > S + 6)
          continue;
        img.FillShape(
            static_cast<int>(bx) - 6, static_cast<int>(by) - 6, static_cast<int>(bx) + 7,
            static_cast<int>(by) + 7,
            [=](float px, float py) {
              return SegmentDistance(px, py, bx, by, bx + lean, by - len, 0.35f);
            },
            c);
      }
  }
  return img;
}

// ---- [models] ----

TImage MakeBark() {
  const TTileNoise streaks(8, 505), grain(32, 606);
  return PaintTile(64, [&](float u, float v) {
    const float n = streaks.At(u * 8, v * 2) * 0.7f + grain.At(u * 32, v * 8) * 0.3f;
    const float ridge =
        std::pow(std::fabs(std::sin((u * 8 + streaks.At(u * 8, v * 2) * 0.6f) * PI)), 0.6f);
    return Mix(Rgb(58, 38, 24), Rgb(150, 112, 76), n * 0.6f + ridge * 0.4f);
  });
}

TImage MakeNeedles() {
  const TTileNoise base(8, 707), fine(32, 808);
  return PaintTile(64, [&](float u, float v) {
    const float n = base.At(u * 8, v * 8) * 0.6f + fine.At(u * 32, v * 32) * 0.4f;
    return Mix(Rgb(28, 74, 40), Rgb(100, 160, 84), n);
  });
}

TImage MakeArmour() {
  constexpr int S = 64;
  const TTileNoise base(8, 909), fine(32, 1010);
  TImage img = PaintTile(S, [&](float u, float v) {
    const float n = base.At(u * 8, v * 8) * 0.5f + fine.At(u * 32, v * 32) * 0.5f;
    TColor c = Mix(Rgb(150, 156, 120), Rgb(196, 200, 164), n);
    // Plate seams on the tile's edges and across its middle, with rivets along them.
    const int x = static_cast<int>(u * S), y = static_cast<int>(v * S);
    if (x == 0 || y == 0 || y == S / 2)
      return Shade(c, 0.6f);
    if (x == 1 || y == 1 || y == S / 2 + 1)
      return Shade(c, 1.15f);
    return c;
  });
  for (int i = 0; i < 4; ++i)
    for (float ry : {4.0f, 36.0f}) {
      const float rx = 8.0f + 16.0f * static_cast<float>(i);
      img.FillShape(
          static_cast<int>(rx) - 3, static_cast<int>(ry) - 3, static_cast<int>(rx) + 4,
          static_cast<int>(ry) + 4,
          [=](float px, float py) { return CircleDistance(px, py, rx, ry, 1.4f); },
          [=](float px, float py, float) {
            return Mix(Rgb(230, 232, 210), Rgb(90, 92, 70),
                       std::clamp((px - rx + py - ry + 1.5f) / 3, 0.0f, 1.0f));
          });
    }
  return img;
}

} // namespace

TImage MakeFrame(const std::string& Name) {
  if (Name == "interf3")
    return PaintFrame(WindowStyle());
  if (Name == "interf3b")
    return PaintFrame(DisabledWindowStyle());
  if (Name == "interf4")
    return PaintFrame(ButtonStyle());
  if (Name == "interf4g")
    return PaintFrame(DisabledButtonStyle());
  return PaintFrame(BarStyle());
}

std::vector<TTextureOutput> MakeTextures() {
  std::vector<TTextureOutput> out;
  out.push_back({"font", MakeFont(), 4});
  for (const char* frame : {"interf3", "interf3b", "interf4", "interf4g", "interf6"})
    out.push_back({frame, MakeFrame(frame), 4});
  out.push_back({"interftick", MakeTick(), 4});
  out.push_back({"pointer", MakePointer(), 4});
  out.push_back({"hourglass", MakeHourglass(), 4});
  out.push_back({"background", MakeBackground(), 3});
  out.push_back({"tile0", MakeGrass(), 3});
  out.push_back({"bark", MakeBark(), 3});
  out.push_back({"needles", MakeNeedles(), 3});
  out.push_back({"armour", MakeArmour(), 3});
  return out;
}
