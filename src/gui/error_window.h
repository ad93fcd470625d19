// TUIErrorWindow: the small "Error" window that shows a message and a "Close" button, shown
// modally (TUIDesktop::AddModal) by the client's login and lobby screens.
//   Desktop.AddModal(std::make_unique<TUIErrorWindow>("Could not connect to server."));
#pragma once

#include "gui/window.h"

#include <string>

class TUIErrorWindow : public TUIWindow {
public:
  // The window at (300, 200), 300 x 100, titled "Error": the message at (10, 10) of its client
  // area and a "Close" button at (190, 40) that destroys the window. A message too wide for the
  // window goes on over further rows, one label each; past three rows the button moves down and
  // the window grows by a row each.
  explicit TUIErrorWindow(const std::string& Message);

  // Destroys the window once the click that called it has been handled.
  void OnCloseClick(TUIWidget* Sender);
};
