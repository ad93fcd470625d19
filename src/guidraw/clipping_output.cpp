#include "guidraw/clipping_output.h"

#include <algorithm>
#include <limits>

namespace {

// Cuts the span A0..A1 of a quad, whose texture coordinate runs from T0 to T1 along it, to
// C0..C1; false when nothing is left. A span within the limits is left exactly as it was.
bool CutSpan(float& A0, float& A1, float& T0, float& T1, float C0, float C1) {
  const float lo = std::min(A0, A1), hi = std::max(A0, A1);
  if (lo >= C0 && hi <= C1) {
    return true;
  }
  if (hi <= C0 || lo >= C1 || C1 <= C0) {
    return false;
  }
  // The span crosses a limit, so it has a length to divide by.
  const float keptLo = std::max(lo, C0), keptHi = std::min(hi, C1);
  const float n0 = A0 < A1 ? keptLo : keptHi;
  const float n1 = A0 < A1 ? keptHi : keptLo;
  const float perUnit = (T1 - T0) / (A1 - A0);
  T1 = T0 + perUnit * (n1 - A0);
  T0 = T0 + perUnit * (n0 - A0);
  A0 = n0;
  A1 = n1;
  return true;
}

} // namespace

void TClippingOutput::Reset() {
  FClips.clear();
  FOffsetX = FOffsetY = 0;
  FBatchSent = false;
  UpdateLocal();
}

void TClippingOutput::UpdateLocal() {
  constexpr float unbounded = std::numeric_limits<float>::infinity();
  if (FClips.empty()) {
    FLocal = {-unbounded, -unbounded, unbounded, unbounded};
    return;
  }
  const TClip& c = FClips.back();
  FLocal = {c.X0 - FOffsetX, c.Y0 - FOffsetY, c.X1 - FOffsetX, c.Y1 - FOffsetY};
}

void TClippingOutput::PushClip(float X, float Y, float W, float H) {
  TClip c{X + FOffsetX, Y + FOffsetY, X + W + FOffsetX, Y + H + FOffsetY};
  if (!FClips.empty()) {
    const TClip& outer = FClips.back();
    c = {std::max(c.X0, outer.X0), std::max(c.Y0, outer.Y0), std::min(c.X1, outer.X1),
         std::min(c.Y1, outer.Y1)};
  }
  FClips.push_back(c);
  UpdateLocal();
}

void TClippingOutput::PopClip() {
  if (!FClips.empty()) {
    FClips.pop_back();
  }
  UpdateLocal();
}

bool TClippingOutput::Cut(TGUIQuad& Q) const {
  return CutSpan(Q.X0, Q.X1, Q.U0, Q.U1, FLocal.X0, FLocal.X1) &&
         CutSpan(Q.Y0, Q.Y1, Q.V0, Q.V1, FLocal.Y0, FLocal.Y1);
}

void TClippingOutput::BindTexture(std::uint32_t Texture) {
  FTarget->BindTexture(Texture);
}

void TClippingOutput::Color(float R, float G, float B) {
  FTarget->Color(R, G, B);
}

void TClippingOutput::BeginQuads() {
  FBatchSent = false;
}

void TClippingOutput::Quad(const TGUIQuad& Q) {
  if (FLocal.X0 <= Q.X0 && Q.X0 <= Q.X1 && Q.X1 <= FLocal.X1 && FLocal.Y0 <= Q.Y0 && Q.Y0 <= Q.Y1 &&
      Q.Y1 <= FLocal.Y1) {
    SendQuad(Q);
    return;
  }
  TGUIQuad kept = Q;
  if (Cut(kept)) {
    SendQuad(kept);
  }
}

void TClippingOutput::SendQuad(const TGUIQuad& Q) {
  if (!FBatchSent) {
    FTarget->BeginQuads();
    FBatchSent = true;
  }
  FTarget->Quad(Q);
}

void TClippingOutput::EndQuads() {
  if (FBatchSent) {
    FTarget->EndQuads();
    FBatchSent = false;
  }
}

TClippingOutput::TLeft TClippingOutput::CutRectangle(float X, float Y, float W, float H,
                                                     TGUIQuad& Kept) const {
  const TGUIQuad whole{X, Y, X + W, Y + H, 0, 0, 1, 1};
  Kept = whole;
  if (!Cut(Kept)) {
    return TLeft::Nothing;
  }
  return Kept == whole ? TLeft::Whole : TLeft::Part;
}

void TClippingOutput::Rectangle(float X, float Y, float W, float H, float R, float G, float B) {
  TGUIQuad kept;
  const TLeft left = CutRectangle(X, Y, W, H, kept);
  if (left == TLeft::Whole) {
    FTarget->Rectangle(X, Y, W, H, R, G, B);
    return;
  }
  FTarget->Color(R, G, B);
  if (left == TLeft::Part) {
    FTarget->BeginQuads();
    FTarget->Quad(kept);
    FTarget->EndQuads();
  }
}

void TClippingOutput::PlainRectangle(float X, float Y, float W, float H, float R, float G,
                                     float B) {
  TGUIQuad kept;
  const TLeft left = CutRectangle(X, Y, W, H, kept);
  if (left == TLeft::Whole) {
    FTarget->PlainRectangle(X, Y, W, H, R, G, B);
  } else if (left == TLeft::Part) {
    FTarget->PlainRectangle(kept.X0, kept.Y0, kept.X1 - kept.X0, kept.Y1 - kept.Y0, R, G, B);
  } else {
    FTarget->Color(R, G, B);
  }
}

void TClippingOutput::Translate(float X, float Y) {
  FOffsetX += X;
  FOffsetY += Y;
  UpdateLocal();
  FTarget->Translate(X, Y);
}
