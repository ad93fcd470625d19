#include "gui/image.h"
#include "gui/label.h"

TUILabel::TUILabel() {
  FName = "Label1";
  FLeft = 0;
}

TUIImage::TUIImage() {
  FName = "Image1";
  FLeft = 0;
}
