// TUIAbstractWindow: a container that the desktop treats as a window, with a modal level.
#pragma once

#include "gui/container.h"

class TUIAbstractWindow : public TUIContainer {
public:
  // 0 for an ordinary window; a window shown with TUIDesktop::AddModal gets a level above every
  // other window present, and while it is open only windows of that level receive presses.
  std::int32_t ModalValue = 0;

  // True when a press at (X, Y), in this window's own coordinates, may start dragging it.
  virtual bool IsDraggablePoint(std::int32_t X, std::int32_t Y) const = 0;
};
