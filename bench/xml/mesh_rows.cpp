// A 1 MB .mesh document loaded into a TMesh: the XML reader plus the mesh loader's look-ups,
// number conversions and checks, on the same bytes as the XML row so that the two compare.
#include "mesh_rows.h"

#include <sstream>

#include "gfx/gl_mesh.h"
#include "mesh_document.h"

namespace {

constexpr std::size_t MeshBytes = 1 << 20;

TLoaded LoadMesh(const std::string& Input) {
  auto mesh = std::make_shared<TGLMesh>();
  std::istringstream in(Input);
  mesh->LoadFrom(in);
  return mesh;
}

} // namespace

void AddMeshRows(TBenchTable& Table) {
  Table.push_back({"mesh: 1 MB .mesh into a TMesh",
                   [] { return MakeMeshDocument(MeshBytes); },
                   {{"TMesh::LoadFrom", LoadMesh}}});
}
