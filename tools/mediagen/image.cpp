#include "image.h"

#include <algorithm>
#include <cmath>

TColor Rgb(int R, int G, int B, int A) {
  return {R / 255.0f, G / 255.0f, B / 255.0f, A / 255.0f};
}

TColor Mix(const TColor& A, const TColor& B, float T) {
  return {A.R + (B.R - A.R) * T, A.G + (B.G - A.G) * T, A.B + (B.B - A.B) * T,
          A.A + (B.A - A.A) * T};
}

TColor Shade(const TColor& C, float Factor) {
  return {std::clamp(C.R * Factor, 0.0f, 1.0f), std::clamp(C.G * Factor, 0.0f, 1.0f),
          std::clamp(C.B * Factor, 0.0f, 1.0f), C.A};
}

TImage::TImage(int Width, int Height, const TColor& Fill)
    : FWidth(Width), FHeight(Height),
      FPixels(static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height), Fill) {}

TColor TImage::Get(int X, int Y) const {
  return FPixels[static_cast<std::size_t>(Y) * FWidth + X];
}

void TImage::Set(int X, int Y, const TColor& C) {
  if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight)
    return;
  FPixels[static_cast<std::size_t>(Y) * FWidth + X] = C;
}

void TImage::Blend(int X, int Y, const TColor& C, float Cov) {
  if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight)
    return;
  const float a = std::clamp(C.A * Cov, 0.0f, 1.0f);
  if (a <= 0)
    return;
  TColor& d = FPixels[static_cast<std::size_t>(Y) * FWidth + X];
  const float outA = a + d.A * (1 - a);
  if (outA <= 0) {
    d = {0, 0, 0, 0};
    return;
  }
  d.R = (C.R * a + d.R * d.A * (1 - a)) / outA;
  d.G = (C.G * a + d.G * d.A * (1 - a)) / outA;
  d.B = (C.B * a + d.B * d.A * (1 - a)) / outA;
  d.A = outA;
}

void TImage::FillShape(int X0, int Y0, int X1, int Y1, const TDistance& Shape,
                       const TPaint& Paint) {
  X0 = std::max(X0, 0);
  Y0 = std::max(Y0, 0);
  X1 = std::min(X1, FWidth);
  Y1 = std::min(Y1, FHeight);
  for (int y = Y0; y < Y1; ++y)
    for (int x = X0; x < X1; ++x) {
      const float px = x + 0.5f, py = y + 0.5f;
      const float d = Shape(px, py);
      const float cov = Coverage(d);
      if (cov > 0)
        Blend(x, y, Paint(px, py, d), cov);
    }
}

void TImage::FillShape(int X0, int Y0, int X1, int Y1, const TDistance& Shape,
                       const TColor& Color) {
  FillShape(X0, Y0, X1, Y1, Shape, [&](float, float, float) { return Color; });
}

void TImage::Draw(const TImage& Source, int X, int Y) {
  for (int y = 0; y < Source.Height(); ++y)
    for (int x = 0; x < Source.Width(); ++x)
      Blend(X + x, Y + y, Source.Get(x, y));
}

std::vector<std::uint8_t> TImage::ToBytes(int Channels) const {
  std::vector<std::uint8_t> out;
  out.reserve(FPixels.size() * Channels);
  auto q = [](float v) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
  };
  for (const TColor& c : FPixels) {
    out.push_back(q(c.R));
    out.push_back(q(c.G));
    out.push_back(q(c.B));
    if (Channels == 4)
      out.push_back(q(c.A));
  }
  return out;
}

float Coverage(float D) {
  return std::clamp(0.5f - D, 0.0f, 1.0f);
}

float RoundedBoxDistance(float X, float Y, float X0, float Y0, float X1, float Y1, float Radius) {
  const float cx = (X0 + X1) / 2, cy = (Y0 + Y1) / 2;
  const float hx = (X1 - X0) / 2 - Radius, hy = (Y1 - Y0) / 2 - Radius;
  const float qx = std::fabs(X - cx) - hx, qy = std::fabs(Y - cy) - hy;
  const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - Radius;
}

float CircleDistance(float X, float Y, float CX, float CY, float Radius) {
  return std::hypot(X - CX, Y - CY) - Radius;
}

float SegmentDistance(float X, float Y, float AX, float AY, float BX, float BY, float HalfWidth) {
  const float px = X - AX, py = Y - AY, bx = BX - AX, by = BY - AY;
  const float len2 = bx * bx + by * by;
  const float t = len2 > 0 ? std::clamp((px * bx + py * by) / len2, 0.0f, 1.0f) : 0.0f;
  return std::hypot(px - bx * t, py - by * t) - HalfWidth;
}

float PolygonDistance(float X, float Y, const std::vector<float>& P) {
  const std::size_t n = P.size() / 2;
  float best = 1e30f;
  bool inside = false;
  for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
    const float xi = P[2 * i], yi = P[2 * i + 1], xj = P[2 * j], yj = P[2 * j + 1];
    best = std::min(best, SegmentDistance(X, Y, xj, yj, xi, yi, 0));
    if ((yi > Y) != (yj > Y) && X < (xj - xi) * (Y - yi) / (yj - yi) + xi)
      inside = !inside;
  }
  return inside ? -best : best;
}

std::uint32_t TRandom::Next() {
  FState ^= FState << 13;
  FState ^= FState >> 17;
  FState ^= FState << 5;
  return FState;
}

float TRandom::Unit() {
  return static_cast<float>(Next() >> 8) / 16777216.0f;
}

TTileNoise::TTileNoise(int Period, std::uint32_t Seed)
    : FPeriod(Period), FLattice(static_cast<std::size_t>(Period) * Period) {
  TRandom rnd(Seed);
  for (float& v : FLattice)
    v = rnd.Unit();
}

float TTileNoise::At(float X, float Y) const {
  const float fx = std::floor(X), fy = std::floor(Y);
  const float tx = X - fx, ty = Y - fy;
  auto wrap = [&](float v) {
    int i = static_cast<int>(v) % FPeriod;
    return i < 0 ? i + FPeriod : i;
  };
  const int x0 = wrap(fx), y0 = wrap(fy), x1 = (x0 + 1) % FPeriod, y1 = (y0 + 1) % FPeriod;
  auto at = [&](int x, int y) { return FLattice[static_cast<std::size_t>(y) * FPeriod + x]; };
  const float sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
  const float top = at(x0, y0) + (at(x1, y0) - at(x0, y0)) * sx;
  const float bottom = at(x0, y1) + (at(x1, y1) - at(x0, y1)) * sx;
  return top + (bottom - top) * sy;
}
