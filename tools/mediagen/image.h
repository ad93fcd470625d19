// A small RGBA canvas for drawing the game's textures: straight (not premultiplied) alpha in
// floats 0..1, shapes given by signed distance functions so that their edges are anti-aliased.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct TColor {
  float R = 0, G = 0, B = 0, A = 1;
};

// Colour from 0..255 components.
TColor Rgb(int R, int G, int B, int A = 255);
TColor Mix(const TColor& A, const TColor& B, float T);
TColor Shade(const TColor& C, float Factor); // RGB times Factor, alpha kept

class TImage {
public:
  TImage(int Width, int Height, const TColor& Fill = {0, 0, 0, 0});

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  TColor Get(int X, int Y) const;
  void Set(int X, int Y, const TColor& C);
  // Composites C over the pixel with the given coverage (0..1).
  void Blend(int X, int Y, const TColor& C, float Coverage = 1.0f);

  // Signed distance of a point (pixel centres at +0.5) to a shape: negative inside.
  using TDistance = std::function<float(float X, float Y)>;
  using TPaint = std::function<TColor(float X, float Y, float Distance)>;
  // Fills the shape with Paint over pixels in [X0, X1) x [Y0, Y1); edges are smoothed over
  // one pixel.
  void FillShape(int X0, int Y0, int X1, int Y1, const TDistance& Shape, const TPaint& Paint);
  void FillShape(int X0, int Y0, int X1, int Y1, const TDistance& Shape, const TColor& Color);

  // Copies Source onto this image at (X, Y), compositing by alpha.
  void Draw(const TImage& Source, int X, int Y);

  // 8-bit RGBA or RGB rows, top row first.
  std::vector<std::uint8_t> ToBytes(int Channels) const;

private:
  int FWidth = 0;
  int FHeight = 0;
  std::vector<TColor> FPixels;
};

// Signed distance functions for the shapes the textures use.
float RoundedBoxDistance(float X, float Y, float X0, float Y0, float X1, float Y1, float Radius);
float CircleDistance(float X, float Y, float CX, float CY, float Radius);
float SegmentDistance(float X, float Y, float AX, float AY, float BX, float BY, float HalfWidth);
// A closed polygon given as x0, y0, x1, y1, ...
float PolygonDistance(float X, float Y, const std::vector<float>& Points);

// Coverage of a pixel whose centre lies at signed distance D from an edge.
float Coverage(float D);

// A deterministic pseudo-random sequence (xorshift), the same on every machine.
class TRandom {
public:
  explicit TRandom(std::uint32_t Seed) : FState(Seed ? Seed : 0x9E3779B9u) {}
  std::uint32_t Next();
  float Unit(); // 0 <= x < 1
  float Range(float Lo, float Hi) { return Lo + (Hi - Lo) * Unit(); }

private:
  std::uint32_t FState;
};

// Smooth value noise that repeats every Period cells in both directions (for seamless tiles).
class TTileNoise {
public:
  TTileNoise(int Period, std::uint32_t Seed);
  // X, Y in cell units; result 0..1.
  float At(float X, float Y) const;

private:
  int FPeriod;
  std::vector<float> FLattice;
};
