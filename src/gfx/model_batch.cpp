#include "gfx/model_batch.h"

#include "gfx/mesh.h"
#include "gfx/texture.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <map>
#include <numbers>
#include <tuple>

struct TModelBatch::TMeshCorners {
  std::vector<TVertex> Vertices; // colour unset
  std::vector<std::uint32_t> Indices;
};

namespace {

constexpr float RADIANS_PER_DEGREE = std::numbers::pi_v<float> / 180.0f;

std::uint8_t Byte(float Value) {
  return static_cast<std::uint8_t>(std::lround(std::fmin(1.0f, std::fmax(0.0f, Value)) * 255));
}

} // namespace

TMatrix4 NodeMatrix(const TMatrix4& Parent, const TTransformation& T) {
  TMatrix4 m = Multiply(Parent, TranslationMatrix(T.Pos.X, T.Pos.Y, T.Pos.Z));
  m = Multiply(m, RotationMatrix(T.Rot.X * RADIANS_PER_DEGREE, 1, 0, 0));
  m = Multiply(m, RotationMatrix(T.Rot.Y * RADIANS_PER_DEGREE, 0, 1, 0));
  m = Multiply(m, RotationMatrix(T.Rot.Z * RADIANS_PER_DEGREE, 0, 0, 1));
  return Multiply(m, ScaleMatrix(T.Sca.X, T.Sca.Y, T.Sca.Z));
}

TModelBatch::TModelBatch() = default;
TModelBatch::~TModelBatch() = default;

void TModelBatch::Clear() {
  for (TPart& part : FParts) {
    part.Vertices.clear();
    part.Indices.clear();
  }
}

std::size_t TModelBatch::Triangles() const {
  std::size_t count = 0;
  for (const TPart& part : FParts) {
    count += part.Indices.size() / 3;
  }
  return count;
}

const TModelBatch::TMeshCorners& TModelBatch::CornersOf(const TMesh& Mesh) {
  auto& held = FCorners[&Mesh];
  if (held) {
    return *held;
  }
  held = std::make_unique<TMeshCorners>();
  // Corners alike in position, normal and texture coordinates become one vertex. Faces with a
  // corner outside the vertex array are left out, as the mesh's own drawing leaves them out.
  using TKey = std::tuple<float, float, float, float, float, float, float, float>;
  std::map<TKey, std::uint32_t> seen;
  const auto count = static_cast<std::int32_t>(Mesh.Vertex.size());
  for (const TFace& f : Mesh.Face) {
    if (f.Point[0] < 0 || f.Point[0] >= count || f.Point[1] < 0 || f.Point[1] >= count ||
        f.Point[2] < 0 || f.Point[2] >= count) {
      continue;
    }
    for (int corner = 0; corner < 3; ++corner) {
      const auto& v = Mesh.Vertex[static_cast<std::size_t>(f.Point[corner])];
      TVertex c;
      c.U = f.UV[corner].U;
      c.V = f.UV[corner].V;
      c.NX = f.Smooth ? v.NX : f.NX;
      c.NY = f.Smooth ? v.NY : f.NY;
      c.NZ = f.Smooth ? v.NZ : f.NZ;
      c.X = v.X;
      c.Y = v.Y;
      c.Z = v.Z;
      const TKey key{c.U, c.V, c.NX, c.NY, c.NZ, c.X, c.Y, c.Z};
      auto [at, added] = seen.try_emplace(key, static_cast<std::uint32_t>(held->Vertices.size()));
      if (added) {
        held->Vertices.push_back(c);
      }
      held->Indices.push_back(at->second);
    }
  }
  return *held;
}

TModelBatch::TPart& TModelBatch::PartFor(TTexture* Texture) {
  for (TPart& part : FParts) {
    if (part.Texture == Texture) {
      return part;
    }
  }
  FParts.push_back({Texture, {}, {}});
  return FParts.back();
}

void TModelBatch::Add(const TModelTreeNode& Source, const TModelTreeNode& Posed,
                      const TMatrix4& Place, const TRGB& Tint, float TintShare) {
  AddNode(Source, Posed, Place, Tint, TintShare);
}

void TModelBatch::AddNode(const TModelTreeNode& Source, const TModelTreeNode& Posed,
                          const TMatrix4& Parent, const TRGB& Tint, float TintShare) {
  const TMatrix4 m = NodeMatrix(Parent, Posed.Transf);
  const TGraphicElement& element = Source.GraphicalElement;
  if (element.Type_ == geMesh && element.Mesh != nullptr) {
    const TMeshCorners& corners = CornersOf(*element.Mesh);
    TPart& part = PartFor(Source.Texture);
    // Normals go through the inverse transpose of the matrix's turning part: its cofactors
    // divided by its determinant, of which only the sign matters once they are normalised.
    const float a = m[0], b = m[4], c = m[8];
    const float d = m[1], e = m[5], f = m[9];
    const float g = m[2], h = m[6], i = m[10];
    const float n00 = e * i - f * h, n01 = f * g - d * i, n02 = d * h - e * g;
    const float n10 = c * h - b * i, n11 = a * i - c * g, n12 = b * g - a * h;
    const float n20 = b * f - c * e, n21 = c * d - a * f, n22 = a * e - b * d;
    const float determinant = a * n00 + b * n01 + c * n02;
    const std::uint8_t red = Byte(Source.Color.R + (Tint.R - Source.Color.R) * TintShare);
    const std::uint8_t green = Byte(Source.Color.G + (Tint.G - Source.Color.G) * TintShare);
    const std::uint8_t blue = Byte(Source.Color.B + (Tint.B - Source.Color.B) * TintShare);
    const std::size_t base = part.Vertices.size();
    part.Vertices.resize(base + corners.Vertices.size());
    TVertex* out = part.Vertices.data() + base;
    for (const TVertex& v : corners.Vertices) {
      TVertex& w = *out++;
      w.U = v.U;
      w.V = v.V;
      w.X = m[0] * v.X + m[4] * v.Y + m[8] * v.Z + m[12];
      w.Y = m[1] * v.X + m[5] * v.Y + m[9] * v.Z + m[13];
      w.Z = m[2] * v.X + m[6] * v.Y + m[10] * v.Z + m[14];
      const float nx = n00 * v.NX + n01 * v.NY + n02 * v.NZ;
      const float ny = n10 * v.NX + n11 * v.NY + n12 * v.NZ;
      const float nz = n20 * v.NX + n21 * v.NY + n22 * v.NZ;
      const float length = std::sqrt(nx * nx + ny * ny + nz * nz);
      const float scale = length > 0 ? (determinant < 0 ? -1 : 1) / length : 0;
      w.NX = nx * scale;
      w.NY = ny * scale;
      w.NZ = nz * scale;
      w.R = red;
      w.G = green;
      w.B = blue;
      w.A = 255;
    }
    // A mirroring matrix turns the winding: the second and third corners change places.
    const std::size_t at = part.Indices.size();
    part.Indices.resize(at + corners.Indices.size());
    std::uint32_t* index = part.Indices.data() + at;
    const auto offset = static_cast<std::uint32_t>(base);
    const bool mirrored = determinant < 0;
    for (std::size_t k = 0; k + 2 < corners.Indices.size(); k += 3) {
      *index++ = offset + corners.Indices[k];
      *index++ = offset + corners.Indices[mirrored ? k + 2 : k + 1];
      *index++ = offset + corners.Indices[mirrored ? k + 1 : k + 2];
    }
  }
  const int children = std::min(Source.Children.Count(), Posed.Children.Count());
  for (int k = 0; k < children; ++k) {
    AddNode(*Source.Children.Get(k), *Posed.Children.Get(k), m, Tint, TintShare);
  }
}

void TModelBatch::Draw() const {
  glEnable(GL_COLOR_MATERIAL);
  glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  constexpr auto stride = static_cast<GLsizei>(sizeof(TVertex));
  for (const TPart& part : FParts) {
    if (part.Indices.empty()) {
      continue;
    }
    if (part.Texture != nullptr) {
      glEnable(GL_TEXTURE_2D);
      part.Texture->Bind();
    } else {
      glDisable(GL_TEXTURE_2D);
    }
    const TVertex* first = part.Vertices.data();
    glTexCoordPointer(2, GL_FLOAT, stride, &first->U);
    glColorPointer(4, GL_UNSIGNED_BYTE, stride, &first->R);
    glNormalPointer(GL_FLOAT, stride, &first->NX);
    glVertexPointer(3, GL_FLOAT, stride, &first->X);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(part.Indices.size()), GL_UNSIGNED_INT,
                   part.Indices.data());
  }
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisable(GL_COLOR_MATERIAL);
}
