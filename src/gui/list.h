// TUIList: a list of text rows, 12 pixels each, in which a press and release selects a row and
// a second click on the same row soon after is a double click. A list shows the whole rows its
// height holds, from FTopRow on, and scrolls with the mouse wheel.
#pragma once

#include "gui/text_layout.h"
#include "gui/widget.h"

#include <chrono>
#include <functional>
#include <vector>

class TUIList : public TUIWidget {
public:
  TUIList();

  // Height of a row in pixels.
  static constexpr std::int32_t RowHeight = 12;
  // The rows start this far below the list's top and leave as much room under the last one.
  static constexpr std::int32_t RowsInset = 12;
  // Text starts this far right of the list's left edge and keeps as far from its right edge.
  static constexpr std::int32_t TextInset = 10;
  // Rows scrolled by one notch of the mouse wheel.
  static constexpr std::int32_t WheelRows = 3;
  // Longest time from one click to the next on the same row that makes them a double click.
  static constexpr std::chrono::milliseconds DoubleClickTime{400};

  using TClock = std::function<std::chrono::steady_clock::time_point()>;

  // One item per row; the application reads and changes them freely.
  std::vector<std::string> FStrings;
  bool Clicked = false;
  TOnSimpleEvent FOnClick;
  // Called after FOnClick when the click is the second on the same row within DoubleClickTime
  // (a third click starts a new pair). Rows deleted in between break the pair, since another
  // item may then stand in that row.
  TOnSimpleEvent FOnDoubleClick;
  // The time of a click; std::chrono::steady_clock when empty. Tests put a fake clock here.
  TClock FClock;
  // The selected row, -1 for none.
  std::int32_t FIndex = -1;
  // Vertical offset of row 0, for hit-testing.
  std::int32_t FMarginTop = 12;
  // Display only: never selects, never calls FOnClick.
  bool Simple = false;
  // The first row shown. Read it through FirstShownRow: rows may have been deleted since.
  std::int32_t FTopRow = 0;

  // A wheel notch scrolls by WheelRows (also a Simple list); any other press starts a click.
  void DoMouseDown(std::int32_t X, std::int32_t Y, TMouseButton Button) override;
  // After a press on the list: selects the shown row under Y (below the last shown row the
  // last one, above the first the first; -1 in an empty list), then calls FOnClick, and
  // FOnDoubleClick when the click completes a double click.
  void DoMouseUp(std::int32_t X, std::int32_t Y, TMouseButton Button) override;
  void DoMouseExit() override;
  bool LoadFromNode(const TXMLNode& Node) override;

  // The selected item; the empty string when no valid row is selected.
  std::string GetText() const;

  std::int32_t RowCount() const;
  // Whole rows the list's height shows.
  std::int32_t VisibleRows() const;
  // The first row shown: FTopRow, moved up where it would leave shown rows empty.
  std::int32_t FirstShownRow() const;
  // Characters that fit on a row between the text insets (at least one).
  std::size_t CharsPerRow() const;
  // True when the last row is shown (also when there are no rows).
  bool ShowsLastRow() const;

  // Scrolls by Rows (negative: up), staying within the rows.
  void ScrollBy(std::int32_t Rows);
  // Scrolls so that the last row is the lowest one shown.
  void ScrollToEnd();
  // Appends S as rows no wider than the list (WrapText). A list that showed its last row before
  // keeps showing it; one scrolled up stays where it is.
  void AppendWrapped(const std::string& S);
  // Empties the list: no rows, no selection, scrolled to the top.
  void Clear();
  // Deletes the first Count rows (all if there are fewer). The rows still shown and the
  // selected row stay shown and selected; a deleted selected row leaves none.
  void DeleteFirstRows(std::size_t Count);
  // Deletes row Index (nothing when there is none). The rows shown stay shown where they can,
  // and the selection stays on its row; a deleted selected row leaves none.
  void DeleteRow(std::size_t Index);

private:
  // The row and time of the last click that may begin a double click; -1 for none.
  std::int32_t FPairRow = -1;
  std::chrono::steady_clock::time_point FPairTime;
};
