// Many posed models drawn with few OpenGL calls. Drawing a model node by node costs one draw per
// node, and a software renderer spends more on each draw than on the few dozen triangles in it;
// a batch instead places every node's triangles in the world on the processor (positions,
// normals, the node's colour) and draws all that share a texture with one call, the colour
// taken per vertex as the material's ambient and diffuse colour. It draws what DrawModel and
// DrawRuntimeModel draw: the same triangles, lit the same way.
#pragma once

#include "gfx/model.h"
#include "math3d/matrix4.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class TMesh;
class TTexture;

// The world matrix of a node under its parent's: translate, rotate about X, Y, Z, scale (as
// ApplyTrans multiplies it onto OpenGL's matrix).
TMatrix4 NodeMatrix(const TMatrix4& Parent, const TTransformation& T);

class TModelBatch {
public:
  TModelBatch();
  ~TModelBatch();
  TModelBatch(const TModelBatch&) = delete;
  TModelBatch& operator=(const TModelBatch&) = delete;

  // Forgets what was added (the storage is kept for the next frame).
  void Clear();
  // Adds the model tree Source (its meshes, colours and textures) with the transformations of
  // Posed (a tree of the same shape: Source itself, or an animator's current pose) under the
  // world matrix Place. Each node's colour is mixed towards Tint by TintShare (0: as it is).
  void Add(const TModelTreeNode& Source, const TModelTreeNode& Posed, const TMatrix4& Place,
           const TRGB& Tint = {}, float TintShare = 0);
  // Draws everything added, one call per texture (untextured nodes together), under the current
  // modelview and lighting. Leaves colour material off and 2D texturing as the last batch
  // needed it.
  void Draw() const;

  // Triangles added since the last Clear.
  std::size_t Triangles() const;

private:
  // A mesh's corners with their own position, normal and texture coordinates, each distinct
  // corner once, and its triangles as indices into them.
  struct TMeshCorners;
  struct TVertex {
    float U = 0, V = 0;
    std::uint8_t R = 0, G = 0, B = 0, A = 255;
    float NX = 0, NY = 0, NZ = 0;
    float X = 0, Y = 0, Z = 0;
  };
  struct TPart {
    TTexture* Texture = nullptr;
    std::vector<TVertex> Vertices;
    std::vector<std::uint32_t> Indices;
  };

  const TMeshCorners& CornersOf(const TMesh& Mesh);
  TPart& PartFor(TTexture* Texture);
  void AddNode(const TModelTreeNode& Source, const TModelTreeNode& Posed, const TMatrix4& Parent,
               const TRGB& Tint, float TintShare);

  std::unordered_map<const TMesh*, std::unique_ptr<TMeshCorners>> FCorners;
  std::vector<TPart> FParts;
};
