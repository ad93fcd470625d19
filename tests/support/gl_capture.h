#pragma once
// Test support for drawing code: records what OpenGL would rasterise (feedback mode) and reads
// pixels back. Needs a current OpenGL context; the tests run under a virtual X display.

#include <GL/gl.h>

#include <cmath>
#include <functional>
#include <vector>

// One vertex as feedback mode reports it, with Y turned to count from the window's top edge so
// that it matches the 2D pixel projection the screens draw in.
struct TFeedbackVertex {
  float X = 0, Y = 0, Z = 0;
  float R = 0, G = 0, B = 0, A = 0;
  float S = 0, T = 0, P = 0, Q = 0;
};

// One primitive: GL_POLYGON_TOKEN (triangles of strips and quads), GL_LINE_TOKEN or
// GL_LINE_RESET_TOKEN, GL_POINT_TOKEN, or GL_PASS_THROUGH_TOKEN (no vertices; Marker holds the
// value given to glPassThrough).
struct TFeedbackPrimitive {
  int Kind = 0;
  float Marker = 0;
  std::vector<TFeedbackVertex> Vertices;
};

// Runs Draw in feedback mode and answers the primitives it produced, in drawing order.
inline std::vector<TFeedbackPrimitive> CaptureFeedback(const std::function<void()>& Draw,
                                                       std::size_t Capacity = 1 << 22) {
  std::vector<GLfloat> buffer(Capacity);
  GLint viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, viewport);
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
  glRenderMode(GL_FEEDBACK);
  Draw();
  const GLint used = glRenderMode(GL_RENDER);
  std::vector<TFeedbackPrimitive> result;
  if (used < 0) {
    return result; // overflow: callers see an empty capture and fail their checks
  }
  auto readVertex = [&](GLint& i) {
    TFeedbackVertex v;
    float* f[] = {&v.X, &v.Y, &v.Z, &v.R, &v.G, &v.B, &v.A, &v.S, &v.T, &v.P, &v.Q};
    for (float* field : f) {
      *field = buffer[i++];
    }
    v.Y = static_cast<float>(viewport[3]) - v.Y;
    if (v.Q != 0 && v.Q != 1) {
      v.S /= v.Q;
      v.T /= v.Q;
    }
    return v;
  };
  GLint i = 0;
  while (i < used) {
    TFeedbackPrimitive p;
    p.Kind = static_cast<int>(buffer[i++]);
    int count = 0;
    switch (p.Kind) {
    case GL_POLYGON_TOKEN:
      count = static_cast<int>(buffer[i++]);
      break;
    case GL_LINE_TOKEN:
    case GL_LINE_RESET_TOKEN:
      count = 2;
      break;
    case GL_POINT_TOKEN:
    case GL_BITMAP_TOKEN:
    case GL_DRAW_PIXEL_TOKEN:
    case GL_COPY_PIXEL_TOKEN:
      count = 1;
      break;
    case GL_PASS_THROUGH_TOKEN:
      p.Marker = buffer[i++];
      break;
    default:
      return result;
    }
    for (int k = 0; k < count; ++k) {
      p.Vertices.push_back(readVertex(i));
    }
    result.push_back(std::move(p));
  }
  return result;
}

// Axis-aligned bounds of a set of primitives (window pixels, Y from the top).
struct TBounds {
  float Left = 0, Top = 0, Right = 0, Bottom = 0;
  float MinS = 0, MinT = 0, MaxS = 0, MaxT = 0;
};

inline TBounds BoundsOf(const std::vector<TFeedbackPrimitive>& Prims) {
  TBounds b;
  bool first = true;
  for (const auto& p : Prims) {
    for (const auto& v : p.Vertices) {
      if (first) {
        b = {v.X, v.Y, v.X, v.Y, v.S, v.T, v.S, v.T};
        first = false;
        continue;
      }
      b.Left = std::fmin(b.Left, v.X);
      b.Right = std::fmax(b.Right, v.X);
      b.Top = std::fmin(b.Top, v.Y);
      b.Bottom = std::fmax(b.Bottom, v.Y);
      b.MinS = std::fmin(b.MinS, v.S);
      b.MaxS = std::fmax(b.MaxS, v.S);
      b.MinT = std::fmin(b.MinT, v.T);
      b.MaxT = std::fmax(b.MaxT, v.T);
    }
  }
  return b;
}

// Splits a capture at glPassThrough markers: group k holds the primitives drawn after the k-th
// marker (group 0 those before the first one).
inline std::vector<std::vector<TFeedbackPrimitive>>
SplitAtMarkers(const std::vector<TFeedbackPrimitive>& Prims) {
  std::vector<std::vector<TFeedbackPrimitive>> groups(1);
  for (const auto& p : Prims) {
    if (p.Kind == GL_PASS_THROUGH_TOKEN) {
      groups.emplace_back();
    } else {
      groups.back().push_back(p);
    }
  }
  return groups;
}

// Only the polygons (the triangles of strips and quads) of a capture.
inline std::vector<TFeedbackPrimitive> Polygons(const std::vector<TFeedbackPrimitive>& Prims) {
  std::vector<TFeedbackPrimitive> out;
  for (const auto& p : Prims) {
    if (p.Kind == GL_POLYGON_TOKEN) {
      out.push_back(p);
    }
  }
  return out;
}

// The triangles of a capture that cover some area. OpenGL drivers may join the strips compiled
// into a display list with zero-area triangles, which feedback reports as well.
inline std::vector<TFeedbackPrimitive> AreaTriangles(const std::vector<TFeedbackPrimitive>& Prims) {
  std::vector<TFeedbackPrimitive> out;
  for (const auto& p : Prims) {
    if (p.Kind != GL_POLYGON_TOKEN || p.Vertices.size() != 3) {
      continue;
    }
    const auto& a = p.Vertices[0];
    const auto& b = p.Vertices[1];
    const auto& c = p.Vertices[2];
    const float area = (b.X - a.X) * (c.Y - a.Y) - (c.X - a.X) * (b.Y - a.Y);
    if (std::fabs(area) > 1e-6f) {
      out.push_back(p);
    }
  }
  return out;
}

struct TPixel {
  unsigned char R = 0, G = 0, B = 0;
  bool operator==(const TPixel&) const = default;
};

// The colour at (X, Y) of the back buffer, Y counted from the window's top edge.
inline TPixel ReadPixel(int X, int Y) {
  GLint viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, viewport);
  unsigned char rgba[4] = {0, 0, 0, 0};
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(X, viewport[3] - 1 - Y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  return {rgba[0], rgba[1], rgba[2]};
}
