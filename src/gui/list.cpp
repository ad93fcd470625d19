#include "gui/list.h"

#include "gui/int32_math.h"

#include <algorithm>
#include <limits>

namespace {

std::int32_t ToInt32(long long V) {
  return static_cast<std::int32_t>(std::clamp<long long>(
      V, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

} // namespace

TUIList::TUIList() = default;

std::int32_t TUIList::RowCount() const {
  return ToInt32(static_cast<long long>(FStrings.size()));
}

std::int32_t TUIList::VisibleRows() const {
  return ToInt32(std::max(0LL, (static_cast<long long>(GetHeight()) - 2 * RowsInset) / RowHeight));
}

std::int32_t TUIList::FirstShownRow() const {
  const std::int32_t Last = std::max(0, RowCount() - VisibleRows());
  return std::clamp(FTopRow, 0, Last);
}

std::size_t TUIList::CharsPerRow() const {
  return CharsThatFit(static_cast<long long>(GetWidth()) - 2 * TextInset);
}

bool TUIList::ShowsLastRow() const {
  return static_cast<long long>(FirstShownRow()) + VisibleRows() >= RowCount();
}

void TUIList::ScrollBy(std::int32_t Rows) {
  FTopRow = ToInt32(static_cast<long long>(FirstShownRow()) + Rows);
  FTopRow = FirstShownRow();
}

void TUIList::ScrollToEnd() {
  FTopRow = std::max(0, RowCount() - VisibleRows());
}

void TUIList::AppendWrapped(const std::string& S) {
  const bool Follow = ShowsLastRow();
  for (std::string& Row : WrapText(S, CharsPerRow()))
    FStrings.push_back(std::move(Row));
  if (Follow)
    ScrollToEnd();
}

void TUIList::Clear() {
  FPairRow = -1;
  FStrings.clear();
  FIndex = -1;
  FTopRow = 0;
}

void TUIList::DeleteFirstRows(std::size_t Count) {
  Count = std::min(Count, FStrings.size());
  FPairRow = -1;
  FStrings.erase(FStrings.begin(), FStrings.begin() + static_cast<std::ptrdiff_t>(Count));
  const std::int32_t Deleted = ToInt32(static_cast<long long>(Count));
  FTopRow = std::max(0, FirstShownRow() - Deleted);
  if (FIndex >= 0)
    FIndex = FIndex >= Deleted ? FIndex - Deleted : -1;
}

void TUIList::DeleteRow(std::size_t Index) {
  if (Index >= FStrings.size())
    return;
  FPairRow = -1;
  const std::int32_t Top = FirstShownRow();
  FStrings.erase(FStrings.begin() + static_cast<std::ptrdiff_t>(Index));
  const std::int32_t Row = ToInt32(static_cast<long long>(Index));
  FTopRow = Row < Top ? Top - 1 : Top;
  if (FIndex == Row)
    FIndex = -1;
  else if (FIndex > Row)
    --FIndex;
}

void TUIList::DoMouseDown(std::int32_t, std::int32_t, TMouseButton Button) {
  if (IsWheel(Button)) {
    ScrollBy(Button == mbWheelUp ? -WheelRows : WheelRows);
    return;
  }
  if (!Simple)
    Clicked = true;
}

void TUIList::DoMouseUp(std::int32_t, std::int32_t Y, TMouseButton Button) {
  if (!Clicked || Simple || IsWheel(Button))
    return;
  const std::int32_t Shown = std::min(VisibleRows(), RowCount() - FirstShownRow());
  const std::int32_t ViewRow = int32_math::Sub(Y, FMarginTop) / RowHeight;
  FIndex = Shown > 0 ? FirstShownRow() + std::clamp(ViewRow, 0, Shown - 1) : -1;
  Clicked = false;
  const auto Now = FClock ? FClock() : std::chrono::steady_clock::now();
  const bool Double = FIndex >= 0 && FIndex == FPairRow && Now - FPairTime <= DoubleClickTime;
  FPairRow = Double ? -1 : FIndex;
  FPairTime = Now;
  // The handlers may destroy the list: nothing of it is touched once they run.
  TOnSimpleEvent OnDouble = Double ? FOnDoubleClick : nullptr;
  if (FOnClick)
    FOnClick(this);
  if (OnDouble)
    OnDouble(this);
}

void TUIList::DoMouseExit() {
  Clicked = false;
}

std::string TUIList::GetText() const {
  if (FIndex < 0 || static_cast<std::size_t>(FIndex) >= FStrings.size())
    return std::string();
  return FStrings[static_cast<std::size_t>(FIndex)];
}
