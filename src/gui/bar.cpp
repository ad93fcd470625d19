#include "gui/bar.h"

TUIBar::TUIBar() {
  FName = "Bar1";
  FLeft = 0;
}
