// TUIButton: a push button that calls FOnClick on a press and release without the pointer
// leaving it in between.
#pragma once

#include "gui/widget.h"

class TUIButton : public TUIWidget {
public:
  TUIButton();

  std::string FCaption = "Button1";
  TOnSimpleEvent FOnClick;
  // Pressed and not yet released (nor left).
  bool Clicked = false;

  void DoMouseDown(std::int32_t X, std::int32_t Y, TMouseButton Button) override;
  // Clicks if pressed; FOnClick may destroy the button or its window (RequestDestroy).
  void DoMouseUp(std::int32_t X, std::int32_t Y, TMouseButton Button) override;
  void DoMouseExit() override;
  bool LoadFromNode(const TXMLNode& Node) override;
};
