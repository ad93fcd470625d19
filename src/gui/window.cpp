#include "gui/window.h"

#include "gui/desktop.h"

TUIWindow::TUIWindow() {
  FName = "Window1";
}

bool TUIWindow::IsDraggablePoint(std::int32_t, std::int32_t Y) const {
  return Y <= FMarginTop;
}

std::int32_t TUIRollableWindow::GetHeight() const {
  return FOpen ? FHeight : FMarginTop;
}

void TUIRollableWindow::DoMouseDown(std::int32_t X, std::int32_t Y, TMouseButton Button) {
  // A child's handler may ask to destroy this window; the scope keeps it alive until we are done.
  TDispatchScope Scope(GetDesktop());
  TUIContainer::DoMouseDown(X, Y, Button);
  if (Button == mbRight && IsDraggablePoint(X, Y))
    FOpen = !FOpen;
}
