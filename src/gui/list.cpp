#include "gui/list.h"

#include "gui/int32_math.h"

TUIList::TUIList() = default;

void TUIList::DoMouseDown(std::int32_t, std::int32_t, TMouseButton) {
  if (!Simple)
    Clicked = true;
}

void TUIList::DoMouseUp(std::int32_t, std::int32_t Y, TMouseButton) {
  if (!Clicked || Simple)
    return;
  const auto ItemCount = static_cast<std::int32_t>(FStrings.size());
  std::int32_t Row = int32_math::Sub(Y, FMarginTop) / RowHeight;
  if (Row >= ItemCount)
    Row = ItemCount - 1;
  else if (Row < 0)
    Row = 0;
  FIndex = Row;
  Clicked = false;
  if (FOnClick)
    FOnClick(this);
}

void TUIList::DoMouseExit() {
  Clicked = false;
}

std::string TUIList::GetText() const {
  if (FIndex < 0 || static_cast<std::size_t>(FIndex) >= FStrings.size())
    return std::string();
  return FStrings[static_cast<std::size_t>(FIndex)];
}
