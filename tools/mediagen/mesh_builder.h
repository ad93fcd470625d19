// Builds meshes for the media set from simple solids: boxes with tapered tops, cylinders and
// cones, ellipsoids and extruded outlines. Every triangle is wound counter-clockwise seen from
// outside and carries the outward normal it was given, so the meshes light correctly with back
// faces culled.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gfx/gl_mesh.h"
#include "math3d/vector.h"

// A rigid placement for a solid: rotation about X, then Y, then Z (degrees), then translation.
struct TPlacement {
  TVector Rot;
  TVector Pos;
};

class TMeshBuilder {
public:
  // Detail scales the segments and rings of the curved solids (1: as asked; 0.5: about half as
  // many, at least a few and always an even number); flat solids are the same at any detail.
  explicit TMeshBuilder(float Detail = 1) : FDetail(Detail) {}

  // A flat polygon (convex, its corners in order around it) facing along Normal.
  void Polygon(const std::vector<TVector>& Corners, const TVector& Normal, float UVScale = 1);
  // A box from Min to Max whose top face is scaled by TopScale (x, z) about its centre.
  void Box(const TVector& Min, const TVector& Max, float TopScaleX = 1, float TopScaleZ = 1,
           const TPlacement& Place = {});
  // A solid of revolution about the Y axis from Y0 to Y1 with radii R0 and R1 (0 makes a cone
  // tip); Jag makes every other vertex of the wider ring shorter by that fraction.
  void Cylinder(float Y0, float R0, float Y1, float R1, int Segments, bool Caps,
                const TPlacement& Place = {}, float Jag = 0);
  // An ellipsoid about Centre with the given radii; Rings from pole to pole. With UpperOnly,
  // only the half above the centre (an open dome).
  void Ellipsoid(const TVector& Centre, const TVector& Radii, int Segments, int Rings,
                 const TPlacement& Place = {}, bool UpperOnly = false);
  // An outline in the XY plane (convex, counter-clockwise), extruded from Z0 to Z1.
  void Extrusion(const std::vector<TVector>& Outline, float Z0, float Z1,
                 const TPlacement& Place = {});

  // The mesh named Name, with coordinates rounded so that the files stay short.
  std::unique_ptr<TGLMesh> Finish(const std::string& Name) const;
  // N steps (segments, rings, ...) at this builder's detail, at least Minimum.
  int Detailed(int N, int Minimum);
  // Records that a part was left out at this detail.
  void Omit() { FCoarsened = FDetail < 1; }
  // Some solid got fewer steps than asked for, or a part was left out: the mesh differs from
  // the full-detail one.
  bool Coarsened() const { return FCoarsened; }

private:
  struct TCorner {
    TVector Pos, Normal;
    TUV UV;
  };
  // One triangle; its corners are reordered when needed to face along FaceNormal.
  void Triangle(TCorner A, TCorner B, TCorner C, const TVector& FaceNormal, bool Smooth);
  static TVector Apply(const TPlacement& P, const TVector& V, bool Direction);

  float FDetail = 1;
  bool FCoarsened = false;

  std::vector<TVertex> FVertices;
  std::vector<TFace> FFaces;
};
