#pragma once
// An output that passes the GUI drawer's primitives on to another output cut to a clip
// rectangle, so that nothing is drawn outside the widget being drawn. A quad that crosses the
// rectangle's edge is cut together with its texture coordinates, so that what remains looks as
// it did; what lies wholly outside is left out (a batch left empty is not sent at all). Because
// the cutting happens here, a recorded command list holds the cut primitives.

#include "guidraw/gui_output.h"

#include <vector>

class TClippingOutput : public TGUIOutput {
public:
  // Target receives what is left; it is used, not owned.
  explicit TClippingOutput(TGUIOutput& Target) : FTarget(&Target) { Reset(); }

  void SetTarget(TGUIOutput& Target) { FTarget = &Target; }
  // Forgets every clip rectangle and translation: nothing is cut until the next PushClip.
  void Reset();
  // Clips what follows to the rectangle (X, Y, W, H), given in the current coordinates (after
  // the translations so far), within the rectangle clipped to before. PopClip goes back to that.
  void PushClip(float X, float Y, float W, float H);
  void PopClip();

  void BindTexture(std::uint32_t Texture) override;
  void Color(float R, float G, float B) override;
  void BeginQuads() override;
  void Quad(const TGUIQuad& Q) override;
  void EndQuads() override;
  // A rectangle that is cut becomes a one-quad batch with the part of the texture it still
  // shows. One that is left out wholly still sets its colour, as drawing it would have.
  void Rectangle(float X, float Y, float W, float H, float R, float G, float B) override;
  void PlainRectangle(float X, float Y, float W, float H, float R, float G, float B) override;
  void Translate(float X, float Y) override;

private:
  // Left, top, right and bottom edges.
  struct TClip {
    float X0, Y0, X1, Y1;
  };
  // Sets FLocal from the innermost clip rectangle and the translation.
  void UpdateLocal();
  // Cuts Q to the current clip rectangle; false when nothing of it is left.
  bool Cut(TGUIQuad& Q) const;
  // Passes a quad on within the batch, beginning it on the target first if need be.
  void SendQuad(const TGUIQuad& Q);
  // How much of a rectangle is left: none, all of it, or the part in Kept (a quad over the
  // part of the whole texture it still shows).
  enum class TLeft { Nothing, Whole, Part };
  TLeft CutRectangle(float X, float Y, float W, float H, TGUIQuad& Kept) const;

  TGUIOutput* FTarget;
  // The clip rectangles, innermost last, in the coordinates before any translation.
  std::vector<TClip> FClips;
  float FOffsetX = 0, FOffsetY = 0;
  // The innermost rectangle in the current coordinates (unbounded without one): most quads lie
  // wholly inside it and are passed on after four comparisons.
  TClip FLocal{};
  // Whether the batch under way has been begun on the target (at its first visible quad).
  bool FBatchSent = false;
};
