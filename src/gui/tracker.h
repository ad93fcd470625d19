// TUITracker: a horizontal slider. A press on its cursor starts dragging it; a press elsewhere
// steps FPosition by one toward that side. FOnChange follows every press and every drag move.
#pragma once

#include "gui/widget.h"

class TUITracker : public TUIWidget {
public:
  TUITracker();

  // Loaded from .ui files but not drawn.
  std::string FCaption;
  bool FDragged = false;
  // The logical value and its range.
  std::int32_t FPosition = 0;
  std::int32_t FMin = 0;
  std::int32_t FMax = 10;
  // Width of the cursor in pixels.
  std::int32_t FCursorWidth = 16;
  // Pixels left free at each end of the track.
  std::int32_t FMargin = 20;
  TOnSimpleEvent FOnChange;

  // Logical value to pixel column and back (the left margin / FMin when range or track is empty).
  std::int32_t TranslateLogicToReal(std::int32_t V) const;
  std::int32_t TranslateRealToLogic(std::int32_t X) const;
  // True when X is less than half a cursor width from the cursor's column.
  bool IsCoordsOnCursor(std::int32_t X) const;

  // On the cursor: starts a drag. Elsewhere: FPosition steps by one (not clamped) toward the
  // half of the widget pressed. Then FOnChange.
  void DoMouseDown(std::int32_t X, std::int32_t Y, TMouseButton Button) override;
  // While dragging: FPosition follows X, clamped to FMin..FMax, then FOnChange.
  void DoMouseMove(std::int32_t X, std::int32_t Y) override;
  void DoMouseUp(std::int32_t X, std::int32_t Y, TMouseButton Button) override;
  void DoMouseExit() override;
  bool LoadFromNode(const TXMLNode& Node) override;
};
