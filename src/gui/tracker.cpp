#include "gui/tracker.h"

#include "gui/int32_math.h"
#include "gui/tracker_scale.h"

TUITracker::TUITracker() {
  FName = "Tracker1";
  FLeft = 0;
  FHeight = 100;
}

std::int32_t TUITracker::TranslateLogicToReal(std::int32_t V) const {
  return TTrackerScale{FMin, FMax, GetWidth(), FMargin}.LogicToReal(V);
}

std::int32_t TUITracker::TranslateRealToLogic(std::int32_t X) const {
  return TTrackerScale{FMin, FMax, GetWidth(), FMargin}.RealToLogic(X);
}

bool TUITracker::IsCoordsOnCursor(std::int32_t X) const {
  return IsNearCursor(X, TranslateLogicToReal(FPosition), FCursorWidth);
}

void TUITracker::DoMouseDown(std::int32_t X, std::int32_t, TMouseButton) {
  if (IsCoordsOnCursor(X))
    FDragged = true;
  else if (X < GetWidth() / 2)
    FPosition = int32_math::Sub(FPosition, 1);
  else
    FPosition = int32_math::Add(FPosition, 1);
  if (FOnChange)
    FOnChange(this);
}

void TUITracker::DoMouseMove(std::int32_t X, std::int32_t) {
  if (!FDragged)
    return;
  FPosition = ClampToRange(TranslateRealToLogic(X), FMin, FMax);
  if (FOnChange)
    FOnChange(this);
}

void TUITracker::DoMouseUp(std::int32_t, std::int32_t, TMouseButton) {
  FDragged = false;
}

void TUITracker::DoMouseExit() {
  FDragged = false;
}
