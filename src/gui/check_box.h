// TUICheckBox: a captioned box that a press and release toggles, calling FOnToggle.
#pragma once

#include "gui/widget.h"

class TUICheckBox : public TUIWidget {
public:
  TUICheckBox();

  std::string FCaption = "CheckBox1";
  TOnSimpleEvent FOnToggle;
  bool FChecked = false;
  // Pressed and not yet released (nor left).
  bool Clicked = false;

  void DoMouseDown(std::int32_t X, std::int32_t Y, TMouseButton Button) override;
  // After a press: inverts FChecked, then calls FOnToggle (which sees the new state).
  void DoMouseUp(std::int32_t X, std::int32_t Y, TMouseButton Button) override;
  void DoMouseExit() override;
  bool LoadFromNode(const TXMLNode& Node) override;
};
