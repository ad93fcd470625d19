#include "gui/multi_tracker.h"

#include "gui/tracker_scale.h"

TCursor* TCursorList::Add() {
  FItems.push_back(std::make_unique<TCursor>());
  return FItems.back().get();
}

void TCursorList::MoveToFront(int Index) {
  auto It = FItems.begin() + Index;
  std::unique_ptr<TCursor> C = std::move(*It);
  FItems.erase(It);
  FItems.insert(FItems.begin(), std::move(C));
}

TUIMultiTracker::TUIMultiTracker() {
  FName = "MultiTracker1";
  FLeft = 0;
  FHeight = 16;
}

std::int32_t TUIMultiTracker::TranslateLogicToReal(std::int32_t V) const {
  return TTrackerScale{FMin, FMax, GetWidth(), FMargin}.LogicToReal(V);
}

std::int32_t TUIMultiTracker::TranslateRealToLogic(std::int32_t X) const {
  return TTrackerScale{FMin, FMax, GetWidth(), FMargin}.RealToLogic(X);
}

int TUIMultiTracker::IsCoordsOnCursor(std::int32_t X) const {
  for (int I = 0; I < FCursors.Count(); ++I)
    if (IsNearCursor(X, TranslateLogicToReal(FCursors.GetCursor(I)->FPosition), FCursorWidth))
      return I;
  return -1;
}

void TUIMultiTracker::DoMouseDown(std::int32_t X, std::int32_t, TMouseButton) {
  const int I = IsCoordsOnCursor(X);
  if (I < 0)
    return;
  FCursors.MoveToFront(I);
  FDragged = 0;
  FSelIndex = 0;
  if (FOnSelect)
    FOnSelect(this);
}

void TUIMultiTracker::DoMouseMove(std::int32_t X, std::int32_t) {
  // The application could have changed the list under a drag; an index off the list drags nothing.
  if (FDragged < 0 || FDragged >= FCursors.Count())
    return;
  FCursors.GetCursor(FDragged)->FPosition = ClampToRange(TranslateRealToLogic(X), FMin, FMax);
  if (FOnChange)
    FOnChange(this);
}

void TUIMultiTracker::DoMouseUp(std::int32_t, std::int32_t, TMouseButton) {
  if (FDragged >= 0)
    FDragged = -1;
}

void TUIMultiTracker::DoMouseExit() {
  if (FDragged >= 0)
    FDragged = -1;
}
