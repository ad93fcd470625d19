#include "mesh_builder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <tuple>

namespace {

constexpr float PI = 3.14159265358979f;
constexpr float ROUNDING = 10000; // coordinates keep four decimals
// The fewest steps round a coarsened solid and from pole to pole of a coarsened ellipsoid.
constexpr int MIN_SEGMENTS = 4;
constexpr int MIN_RINGS = 2;

float Rounded(float V) {
  const float r = std::round(V * ROUNDING) / ROUNDING;
  return r == 0 ? 0 : r; // no "-0" in the files
}

TVector Rotated(const TVector& V, const TVector& Degrees) {
  TVector r = V;
  const float ax = Degrees.X * PI / 180, ay = Degrees.Y * PI / 180, az = Degrees.Z * PI / 180;
  r = {r.X, r.Y * std::cos(ax) - r.Z * std::sin(ax), r.Y * std::sin(ax) + r.Z * std::cos(ax)};
  r = {r.X * std::cos(ay) + r.Z * std::sin(ay), r.Y, -r.X * std::sin(ay) + r.Z * std::cos(ay)};
  r = {r.X * std::cos(az) - r.Y * std::sin(az), r.X * std::sin(az) + r.Y * std::cos(az), r.Z};
  return r;
}

} // namespace

TVector TMeshBuilder::Apply(const TPlacement& P, const TVector& V, bool Direction) {
  const TVector r = Rotated(V, P.Rot);
  return Direction ? r : Add(r, P.Pos);
}

void TMeshBuilder::Triangle(TCorner A, TCorner B, TCorner C, const TVector& FaceNormal,
                            bool Smooth) {
  const TVector n = Normalized(FaceNormal);
  const TVector wound = Cross(Sub(B.Pos, A.Pos), Sub(C.Pos, A.Pos));
  if (Magnitude(wound) < 1e-9f)
    return; // no area: nothing to draw
  if (Dot(wound, n) < 0)
    std::swap(B, C);
  TFace face;
  face.NX = n.X;
  face.NY = n.Y;
  face.NZ = n.Z;
  face.Smooth = Smooth;
  const TCorner* corners[3] = {&A, &B, &C};
  for (int i = 0; i < 3; ++i) {
    const TVector cn = Normalized(corners[i]->Normal);
    FVertices.push_back({corners[i]->Pos.X, corners[i]->Pos.Y, corners[i]->Pos.Z, cn.X, cn.Y, cn.Z,
                         corners[i]->UV.U, corners[i]->UV.V});
    face.Point[i] = static_cast<std::int32_t>(FVertices.size() - 1);
    face.UV[i] = corners[i]->UV;
  }
  FFaces.push_back(face);
}

void TMeshBuilder::Polygon(const std::vector<TVector>& Corners, const TVector& Normal,
                           float UVScale) {
  // Texture coordinates: the polygon projected on the plane across its normal.
  const TVector n = Normalized(Normal);
  const TVector helper = std::fabs(n.Y) > 0.9f ? TVector{1, 0, 0} : TVector{0, 1, 0};
  const TVector u = Normalized(Cross(helper, n));
  const TVector v = Cross(n, u);
  auto corner = [&](const TVector& p) {
    return TCorner{p, n, TUV{Dot(p, u) * UVScale, Dot(p, v) * UVScale}};
  };
  for (std::size_t i = 1; i + 1 < Corners.size(); ++i)
    Triangle(corner(Corners[0]), corner(Corners[i]), corner(Corners[i + 1]), n, false);
}

void TMeshBuilder::Box(const TVector& Min, const TVector& Max, float TopScaleX, float TopScaleZ,
                       const TPlacement& Place) {
  const float cx = (Min.X + Max.X) / 2, cz = (Min.Z + Max.Z) / 2;
  const float hx = (Max.X - Min.X) / 2, hz = (Max.Z - Min.Z) / 2;
  TVector c[8];
  for (int i = 0; i < 8; ++i) {
    const bool top = i & 4;
    const float sx = top ? TopScaleX : 1, sz = top ? TopScaleZ : 1;
    const TVector p = {cx + ((i & 1) ? hx : -hx) * sx, top ? Max.Y : Min.Y,
                       cz + ((i & 2) ? hz : -hz) * sz};
    c[i] = Apply(Place, p, false);
  }
  const int faces[6][4] = {{0, 1, 3, 2}, {4, 5, 7, 6}, {0, 1, 5, 4},
                           {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 3, 7, 5}};
  const TVector centre = Apply(Place, {cx, (Min.Y + Max.Y) / 2, cz}, false);
  for (const auto& f : faces) {
    const std::vector<TVector> quad = {c[f[0]], c[f[1]], c[f[2]], c[f[3]]};
    TVector normal = Cross(Sub(quad[1], quad[0]), Sub(quad[2], quad[0]));
    if (Magnitude(normal) < 1e-9f)
      normal = Cross(Sub(quad[2], quad[0]), Sub(quad[3], quad[0]));
    const TVector mid = Scaled(Add(Add(quad[0], quad[1]), Add(quad[2], quad[3])), 0.25f);
    if (Dot(normal, Sub(mid, centre)) < 0)
      normal = Inverted(normal);
    Polygon(quad, normal, 0.5f);
  }
}

int TMeshBuilder::Detailed(int N, int Minimum) {
  if (FDetail >= 1)
    return N;
  // Even counts keep every other vertex of a jagged ring and the halves of a dome whole.
  const int steps = std::max(Minimum, 2 * static_cast<int>(std::lround(N * FDetail / 2)));
  if (steps < N) {
    FCoarsened = true;
    return steps;
  }
  return N;
}

void TMeshBuilder::Cylinder(float Y0, float R0, float Y1, float R1, int Segments, bool Caps,
                            const TPlacement& Place, float Jag) {
  Segments = Detailed(Segments, MIN_SEGMENTS);
  const float height = Y1 - Y0;
  // Only the wider ring is jagged.
  const bool jagLower = R0 >= R1;
  auto ring = [&](int i, float y, float r, bool lower) {
    const float a = 2 * PI * static_cast<float>(i) / static_cast<float>(Segments);
    const float rr = lower == jagLower && Jag > 0 && (i % 2) ? r * (1 - Jag) : r;
    return TVector{rr * std::cos(a), y, rr * std::sin(a)};
  };
  // The side normal leans by the slope of the side.
  const float slope = (R0 - R1) / height;
  auto sideNormal = [&](int i) {
    const float a = 2 * PI * static_cast<float>(i) / static_cast<float>(Segments);
    return Apply(Place, Normalized({std::cos(a), slope, std::sin(a)}), true);
  };
  for (int i = 0; i < Segments; ++i) {
    const float u0 = static_cast<float>(i) / Segments, u1 = static_cast<float>(i + 1) / Segments;
    const TCorner b0{Apply(Place, ring(i, Y0, R0, true), false), sideNormal(i), {u0, 1}};
    const TCorner b1{Apply(Place, ring(i + 1, Y0, R0, true), false), sideNormal(i + 1), {u1, 1}};
    const TCorner t0{Apply(Place, ring(i, Y1, R1, false), false), sideNormal(i), {u0, 0}};
    const TCorner t1{Apply(Place, ring(i + 1, Y1, R1, false), false), sideNormal(i + 1), {u1, 0}};
    const TVector faceNormal = Normalized(Add(sideNormal(i), sideNormal(i + 1)));
    if (R1 <= 0) {
      const TCorner apex{t0.Pos, faceNormal, {(u0 + u1) / 2, 0}};
      Triangle(b0, b1, apex, faceNormal, true);
    } else if (R0 <= 0) {
      const TCorner apex{b0.Pos, faceNormal, {(u0 + u1) / 2, 1}};
      Triangle(apex, t1, t0, faceNormal, true);
    } else {
      Triangle(b0, b1, t1, faceNormal, true);
      Triangle(b0, t1, t0, faceNormal, true);
    }
  }
  if (!Caps)
    return;
  for (const auto& [y, r, up] : {std::tuple{Y0, R0, -1.0f}, std::tuple{Y1, R1, 1.0f}}) {
    if (r <= 0)
      continue;
    std::vector<TVector> corners;
    for (int i = 0; i < Segments; ++i)
      corners.push_back(Apply(Place, ring(i, y, r, up < 0), false));
    Polygon(corners, Apply(Place, {0, up, 0}, true), 0.5f);
  }
}

void TMeshBuilder::Ellipsoid(const TVector& Centre, const TVector& Radii, int Segments, int Rings,
                             const TPlacement& Place, bool UpperOnly) {
  Segments = Detailed(Segments, MIN_SEGMENTS);
  Rings = Detailed(Rings, MIN_RINGS);
  auto point = [&](int s, int r, TVector& Normal) {
    const float a = 2 * PI * static_cast<float>(s) / static_cast<float>(Segments);
    const float b = PI * static_cast<float>(r) / static_cast<float>(Rings);
    const TVector unit = {std::sin(b) * std::cos(a), std::cos(b), std::sin(b) * std::sin(a)};
    Normal = Apply(Place, Normalized({unit.X / Radii.X, unit.Y / Radii.Y, unit.Z / Radii.Z}), true);
    return Apply(
        Place,
        {Centre.X + unit.X * Radii.X, Centre.Y + unit.Y * Radii.Y, Centre.Z + unit.Z * Radii.Z},
        false);
  };
  for (int r = 0; r < (UpperOnly ? Rings / 2 : Rings); ++r)
    for (int s = 0; s < Segments; ++s) {
      TCorner c[4];
      const int ds[4] = {0, 1, 1, 0}, dr[4] = {0, 0, 1, 1};
      for (int k = 0; k < 4; ++k) {
        c[k].Pos = point(s + ds[k], r + dr[k], c[k].Normal);
        c[k].UV = {static_cast<float>(s + ds[k]) / Segments, static_cast<float>(r + dr[k]) / Rings};
      }
      const TVector n0 = Normalized(Add(Add(c[0].Normal, c[1].Normal), c[2].Normal));
      const TVector n1 = Normalized(Add(Add(c[0].Normal, c[2].Normal), c[3].Normal));
      Triangle(c[0], c[1], c[2], n0, true);
      Triangle(c[0], c[2], c[3], n1, true);
    }
}

void TMeshBuilder::Extrusion(const std::vector<TVector>& Outline, float Z0, float Z1,
                             const TPlacement& Place) {
  std::vector<TVector> front, back;
  for (const TVector& p : Outline) {
    front.push_back(Apply(Place, {p.X, p.Y, Z1}, false));
    back.push_back(Apply(Place, {p.X, p.Y, Z0}, false));
  }
  Polygon(front, Apply(Place, {0, 0, 1}, true), 0.5f);
  Polygon(back, Apply(Place, {0, 0, -1}, true), 0.5f);
  for (std::size_t i = 0; i < Outline.size(); ++i) {
    const TVector& a = Outline[i];
    const TVector& b = Outline[(i + 1) % Outline.size()];
    const TVector side = Normalized({b.Y - a.Y, a.X - b.X, 0}); // outward for a CCW outline
    Polygon({Apply(Place, {a.X, a.Y, Z0}, false), Apply(Place, {b.X, b.Y, Z0}, false),
             Apply(Place, {b.X, b.Y, Z1}, false), Apply(Place, {a.X, a.Y, Z1}, false)},
            Apply(Place, side, true), 0.5f);
  }
}

std::unique_ptr<TGLMesh> TMeshBuilder::Finish(const std::string& Name) const {
  // Corners with the same rounded position, normal and coordinates share one vertex.
  std::map<std::array<long, 8>, std::int32_t> index;
  std::vector<TVertex> vertices;
  std::vector<TFace> faces;
  for (const TFace& source : FFaces) {
    TFace f = source;
    for (int c = 0; c < 3; ++c) {
      TVertex v = FVertices[static_cast<std::size_t>(source.Point[c])];
      std::array<long, 8> key{};
      int k = 0;
      for (float* value : {&v.X, &v.Y, &v.Z, &v.NX, &v.NY, &v.NZ, &v.TU, &v.TV}) {
        *value = Rounded(*value);
        key[static_cast<std::size_t>(k++)] = std::lround(*value * ROUNDING);
      }
      const auto [it, added] = index.try_emplace(key, static_cast<std::int32_t>(vertices.size()));
      if (added)
        vertices.push_back(v);
      f.Point[c] = it->second;
    }
    for (float* v : {&f.NX, &f.NY, &f.NZ, &f.UV[0].U, &f.UV[0].V, &f.UV[1].U, &f.UV[1].V,
                     &f.UV[2].U, &f.UV[2].V})
      *v = Rounded(*v);
    // A sliver that rounding flattened has no side to show: leave it out.
    const TVertex &a = vertices[static_cast<std::size_t>(f.Point[0])],
                  &b = vertices[static_cast<std::size_t>(f.Point[1])],
                  &c = vertices[static_cast<std::size_t>(f.Point[2])];
    const TVector wound =
        Cross(TVector{b.X - a.X, b.Y - a.Y, b.Z - a.Z}, TVector{c.X - a.X, c.Y - a.Y, c.Z - a.Z});
    if (Dot(wound, TVector{f.NX, f.NY, f.NZ}) <= 0)
      continue;
    faces.push_back(f);
  }
  auto mesh = std::make_unique<TGLMesh>();
  mesh->Nome = Name;
  mesh->SetNumVertex(static_cast<int>(vertices.size()));
  mesh->SetNumFace(static_cast<int>(faces.size()));
  mesh->Vertex = vertices;
  mesh->Face = faces;
  return mesh;
}
