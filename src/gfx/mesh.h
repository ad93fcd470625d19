// Indexed triangle meshes: per-vertex positions and normals, per-corner texture coordinates,
// read from the XML ".mesh" format. TMesh holds the data; a subclass draws it (TGLMesh).
#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "game/list.h"

struct TVertex {
  float X = 0, Y = 0, Z = 0;    // position
  float NX = 0, NY = 0, NZ = 0; // vertex normal
  float TU = 0, TV = 0;         // texture coordinates (kept, not used for drawing)
};

struct TUV {
  float U = 0, V = 0;
};

struct TFace {
  std::array<std::int32_t, 3> Point = {0, 0, 0}; // vertex indices of corners A, B, C
  float NX = 0, NY = 0, NZ = 0;                  // face normal
  std::array<TUV, 3> UV = {};                    // texture coordinates of corners A, B, C
  bool Smooth = false; // true: corners use vertex normals; false: the face normal
};

class TMesh {
public:
  TMesh() = default;
  virtual ~TMesh() = default;
  TMesh(const TMesh&) = delete;
  TMesh& operator=(const TMesh&) = delete;

  virtual void Draw() = 0;

  const std::string& GetName() const { return Nome; }
  // Resize the arrays; new elements are zero. Throws std::invalid_argument for N < 0.
  void SetNumFace(int N);
  void SetNumVertex(int N);

  // Writes "Loading " + FileName, then loads the file. Throws std::runtime_error when the file
  // cannot be opened, and what the stream form throws.
  void LoadFrom(const std::string& FileName);
  // Loads a .mesh document from the stream's position to its end. Malformed XML raises the
  // XML library's errors; a missing required element, a number that is not valid, a count
  // that is negative or larger than the document could describe, or an id or corner index
  // outside the arrays raise std::runtime_error. Normals and radius are taken as the file has
  // them.
  void LoadFrom(std::istream& Stream);

  // Multiplies every vertex position by Factor (normals untouched).
  void Scale(float Factor);
  // Adds (X, Y, Z) to every vertex position.
  void Translate(float X, float Y, float Z);
  // Face normals from the corner positions; vertex normals as the plain average of the
  // normals of the faces that use the vertex (zero for a vertex no face uses).
  void CalcolateNormals();
  // Radius := the largest distance of a vertex from the origin (0 without vertices).
  void CalculateBoundingSphereRadius();
  // Radius, computed first when it is 0.
  float GetBoundingSphereRadius();

  std::string Nome;            // the mesh name stored in the file
  float Radius = 0;            // bounding-sphere radius about the origin; 0 = not computed
  std::int32_t FNumFace = 0;   // length of Face
  std::int32_t FNumVertex = 0; // length of Vertex
  std::uint32_t UserData = 0;  // free for the owner
  std::vector<TVertex> Vertex;
  std::vector<TFace> Face;
};

// An ordered list of meshes it does not own.
class TMeshList : public TRefList<TMesh> {
public:
  TMesh* GetMesh(int Index) const { return Get(Index); }
  // The first mesh whose Nome equals Name exactly; nullptr when none does.
  TMesh* GetMeshByName(const std::string& Name) const;
};
