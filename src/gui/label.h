// TUILabel: a caption drawn as text; no behaviour of its own.
#pragma once

#include "gui/widget.h"

class TUILabel : public TUIWidget {
public:
  TUILabel();

  std::string FCaption;

  bool LoadFromNode(const TXMLNode& Node) override;
};
