#include "gui/check_box.h"

TUICheckBox::TUICheckBox() {
  FName = "CheckBox1";
  FLeft = 0;
}

void TUICheckBox::DoMouseDown(std::int32_t, std::int32_t, TMouseButton) {
  Clicked = true;
}

void TUICheckBox::DoMouseUp(std::int32_t, std::int32_t, TMouseButton) {
  if (!Clicked)
    return;
  Clicked = false;
  FChecked = !FChecked;
  if (FOnToggle)
    FOnToggle(this);
}

void TUICheckBox::DoMouseExit() {
  Clicked = false;
}
