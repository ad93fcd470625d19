// Fuzz target: .mesh documents. A load either raises or leaves a mesh whose every face corner
// indexes its vertex array and whose counts match its arrays.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <sstream>
#include <string>

#include "gfx/mesh.h"

namespace {

class TFuzzMesh : public TMesh {
public:
  void Draw() override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzMesh mesh;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  try {
    mesh.LoadFrom(in);
  } catch (const std::exception&) {
    return 0;
  }
  if (mesh.Vertex.size() != static_cast<std::size_t>(mesh.FNumVertex) ||
      mesh.Face.size() != static_cast<std::size_t>(mesh.FNumFace))
    __builtin_trap();
  for (const TFace& f : mesh.Face)
    for (std::int32_t p : f.Point)
      if (p < 0 || p >= mesh.FNumVertex)
        __builtin_trap();
  mesh.CalcolateNormals();
  mesh.GetBoundingSphereRadius();
  return 0;
}
