// TUIList: a list of text rows, 12 pixels each, in which a press and release selects a row.
#pragma once

#include "gui/widget.h"

#include <vector>

class TUIList : public TUIWidget {
public:
  TUIList();

  // Height of a row in pixels.
  static constexpr std::int32_t RowHeight = 12;

  // One item per row; the application reads and changes them freely.
  std::vector<std::string> FStrings;
  bool Clicked = false;
  TOnSimpleEvent FOnClick;
  // The selected row, -1 for none.
  std::int32_t FIndex = -1;
  // Vertical offset of row 0, for hit-testing.
  std::int32_t FMarginTop = 12;
  // Display only: never selects, never calls FOnClick.
  bool Simple = false;

  void DoMouseDown(std::int32_t X, std::int32_t Y, TMouseButton Button) override;
  // After a press on the list: selects the row under Y (rows past the end select the last one,
  // rows above the first select the first; -1 in an empty list), then calls FOnClick.
  void DoMouseUp(std::int32_t X, std::int32_t Y, TMouseButton Button) override;
  void DoMouseExit() override;
  bool LoadFromNode(const TXMLNode& Node) override;

  // The selected item; the empty string when no valid row is selected.
  std::string GetText() const;
};
