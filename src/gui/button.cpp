#include "gui/button.h"

TUIButton::TUIButton() {
  FName = "Button1";
  FLeft = 0;
}

void TUIButton::DoMouseDown(std::int32_t, std::int32_t, TMouseButton) {
  Clicked = true;
}

void TUIButton::DoMouseUp(std::int32_t, std::int32_t, TMouseButton) {
  if (!Clicked)
    return;
  Clicked = false;
  // The handler may destroy this button: nothing of it is touched afterwards.
  if (FOnClick)
    FOnClick(this);
}

void TUIButton::DoMouseExit() {
  Clicked = false;
}
