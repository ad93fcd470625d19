// TUIMultiTracker: a track with several cursors that the application adds (AddCursor) and reads.
// A press on a cursor grabs it (it moves to the front of FCursors and becomes FSelIndex 0);
// moving then drags it within FMin..FMax.
#pragma once

#include "gui/widget.h"

#include <memory>
#include <vector>

// One cursor of a multi-tracker.
struct TCursor {
  // Logical value.
  std::int32_t FPosition = 0;
  // For the application; the toolkit never reads it.
  void* FData = nullptr;
};

// The cursors of a multi-tracker, in hit-testing order. The list owns them; a TCursor keeps its
// address while it is in the list.
class TCursorList {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  // The cursor at Index (0 <= Index < Count()).
  TCursor* GetCursor(int Index) const { return FItems[static_cast<std::size_t>(Index)].get(); }
  // Appends a new cursor (position 0, no data) and gives it.
  TCursor* Add();
  // Moves the cursor at Index to index 0, keeping the order of the others.
  void MoveToFront(int Index);

private:
  std::vector<std::unique_ptr<TCursor>> FItems;
};

class TUIMultiTracker : public TUIWidget {
public:
  TUIMultiTracker();

  TCursorList FCursors;
  // Index of the cursor being dragged, -1 for none.
  std::int32_t FDragged = -1;
  std::int32_t FMin = 0;
  std::int32_t FMax = 10;
  std::int32_t FCursorWidth = 16;
  std::int32_t FMargin = 20;
  TOnSimpleEvent FOnChange;
  TOnSimpleEvent FOnSelect;
  // Index of the selected cursor, -1 before any selection.
  std::int32_t FSelIndex = -1;

  // Same mapping as TUITracker's.
  std::int32_t TranslateLogicToReal(std::int32_t V) const;
  std::int32_t TranslateRealToLogic(std::int32_t X) const;
  // The index of the first cursor less than half a cursor width from X; -1 if none.
  int IsCoordsOnCursor(std::int32_t X) const;
  // Appends a cursor at position 0 and gives it; the multi-tracker owns it.
  TCursor* AddCursor() { return FCursors.Add(); }

  // On a cursor: grabs it (front of the list, dragged, selected) and calls FOnSelect.
  // Elsewhere: nothing.
  void DoMouseDown(std::int32_t X, std::int32_t Y, TMouseButton Button) override;
  // While dragging: the cursor follows X, clamped to FMin..FMax, then FOnChange.
  void DoMouseMove(std::int32_t X, std::int32_t Y) override;
  void DoMouseUp(std::int32_t X, std::int32_t Y, TMouseButton Button) override;
  void DoMouseExit() override;
  bool LoadFromNode(const TXMLNode& Node) override;
};
