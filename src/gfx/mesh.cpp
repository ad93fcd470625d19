#include "gfx/mesh.h"

#include <cmath>
#include <fstream>
#include <iostream>
#include <stdexcept>

#include "gfx/xml3d.h"
#include "math3d/vector.h"
#include "xml/document.h"
#include "xml/stream.h"

namespace {

// A count read from the file, refused when negative or larger than the number of bytes of the
// document (every element it counts would need more than one byte).
int CheckedCount(const TXMLNode& Root, const char* Name, std::size_t DocumentSize) {
  const std::int32_t n = ChildInt(Root, Name);
  if (n < 0 || static_cast<std::size_t>(n) > DocumentSize)
    throw std::runtime_error(std::string("mesh ") + Name + " " + std::to_string(n) +
                             " is impossible for a document of " + std::to_string(DocumentSize) +
                             " bytes");
  return n;
}

// The "id" attribute of a vertex or face element, which must index an array of Count slots.
std::size_t CheckedId(const TXMLNode& Node, int Count) {
  const std::int32_t id = XMLTextToInt(Node.Attributes.GetAttribute("id"));
  if (id < 0 || id >= Count)
    throw std::runtime_error("mesh " + Node.Name + " id " + std::to_string(id) + " outside 0.." +
                             std::to_string(Count - 1));
  return static_cast<std::size_t>(id);
}

} // namespace

void TMesh::SetNumFace(int N) {
  if (N < 0)
    throw std::invalid_argument("negative face count");
  FNumFace = N;
  Face.resize(static_cast<std::size_t>(N));
}

void TMesh::SetNumVertex(int N) {
  if (N < 0)
    throw std::invalid_argument("negative vertex count");
  FNumVertex = N;
  Vertex.resize(static_cast<std::size_t>(N));
}

void TMesh::LoadFrom(const std::string& FileName) {
  std::cout << "Loading " << FileName << std::endl;
  std::ifstream file(FileName, std::ios::binary);
  if (!file)
    throw std::runtime_error("cannot open mesh file " + FileName);
  LoadFrom(file);
}

void TMesh::LoadFrom(std::istream& Stream) {
  const std::string text = ReadStreamRest(Stream);
  TXMLDocument doc;
  doc.LoadFromMemory(text);
  const TXMLNode& root = *doc.Node;
  Nome = RequiredChild(root, "NAME").GetText();
  SetNumFace(CheckedCount(root, "FACECOUNT", text.size()));
  SetNumVertex(CheckedCount(root, "POINTCOUNT", text.size()));
  if (const TXMLNode* points = root.Query("POINTS"))
    for (const auto& child : points->Children)
      if (child->NodeType == TNodeType::ndTag && child->Name == "VERTEX")
        Vertex[CheckedId(*child, FNumVertex)] = XMLToVertex(*child);
  if (const TXMLNode* faces = root.Query("FACES"))
    for (const auto& child : faces->Children)
      if (child->NodeType == TNodeType::ndTag && child->Name == "FACE")
        Face[CheckedId(*child, FNumFace)] = XMLToFace(*child);
  for (std::size_t i = 0; i < Face.size(); ++i)
    for (std::int32_t p : Face[i].Point)
      if (p < 0 || p >= FNumVertex)
        throw std::runtime_error("mesh face " + std::to_string(i) + " uses vertex " +
                                 std::to_string(p) + " of " + std::to_string(FNumVertex));
}

void TMesh::Scale(float Factor) {
  for (TVertex& v : Vertex) {
    v.X *= Factor;
    v.Y *= Factor;
    v.Z *= Factor;
  }
}

void TMesh::Translate(float X, float Y, float Z) {
  for (TVertex& v : Vertex) {
    v.X += X;
    v.Y += Y;
    v.Z += Z;
  }
}

void TMesh::CalcolateNormals() {
  std::vector<TVector> sums(Vertex.size());
  std::vector<int> counts(Vertex.size(), 0);
  for (TFace& f : Face) {
    bool valid = true;
    for (std::int32_t p : f.Point)
      valid = valid && p >= 0 && p < static_cast<std::int32_t>(Vertex.size());
    if (!valid)
      continue;
    const TVertex& a = Vertex[static_cast<std::size_t>(f.Point[0])];
    const TVertex& b = Vertex[static_cast<std::size_t>(f.Point[1])];
    const TVertex& c = Vertex[static_cast<std::size_t>(f.Point[2])];
    const TVector n = Normalized(
        Cross(TVector{b.X - a.X, b.Y - a.Y, b.Z - a.Z}, TVector{c.X - a.X, c.Y - a.Y, c.Z - a.Z}));
    f.NX = n.X;
    f.NY = n.Y;
    f.NZ = n.Z;
    // Each face counts once for a vertex, even when it uses the vertex at two corners.
    for (int corner = 0; corner < 3; ++corner) {
      const std::int32_t p = f.Point[corner];
      if ((corner > 0 && p == f.Point[0]) || (corner == 2 && p == f.Point[1]))
        continue;
      sums[static_cast<std::size_t>(p)] = Add(sums[static_cast<std::size_t>(p)], n);
      ++counts[static_cast<std::size_t>(p)];
    }
  }
  for (std::size_t i = 0; i < Vertex.size(); ++i) {
    const TVector n = counts[i] ? Scaled(sums[i], 1.0f / static_cast<float>(counts[i])) : TVector{};
    Vertex[i].NX = n.X;
    Vertex[i].NY = n.Y;
    Vertex[i].NZ = n.Z;
  }
}

void TMesh::CalculateBoundingSphereRadius() {
  float best = 0;
  for (const TVertex& v : Vertex)
    best = std::max(best, std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z));
  Radius = best;
}

float TMesh::GetBoundingSphereRadius() {
  if (Radius == 0)
    CalculateBoundingSphereRadius();
  return Radius;
}

TMesh* TMeshList::GetMeshByName(const std::string& Name) const {
  for (TMesh* mesh : FItems)
    if (mesh->Nome == Name)
      return mesh;
  return nullptr;
}
