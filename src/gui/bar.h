// TUIBar: a display-only progress bar showing FPosition within FMin..FMax.
#pragma once

#include "gui/widget.h"

class TUIBar : public TUIWidget {
public:
  TUIBar();

  std::string FCaption = "Bar1";
  bool FShowCaption = false;
  bool FShowPosition = true;
  std::int32_t FMin = 0;
  std::int32_t FMax = 100;
  std::int32_t FPosition = 0;

  bool LoadFromNode(const TXMLNode& Node) override;
};
