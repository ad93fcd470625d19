// TUIEdit: a one-line text entry that takes printable characters and Backspace at the end of its
// text and calls FOnEnter on Enter. It receives keys while it holds the desktop's focus.
#pragma once

#include "gui/widget.h"

// Applies one typed character to Text: a printable ASCII character (space to tilde) is
// appended, Backspace (8) deletes the last character, anything else is ignored.
void HandleKeyPress(std::string& Text, char C);

class TUIEdit : public TUIWidget {
public:
  TUIEdit();

  // The edited text, exactly as typed (also when masked).
  std::string FText;
  TOnSimpleEvent FOnEnter;
  // Drawn as asterisks.
  bool FMask = false;

  // Enter (13) calls FOnEnter and leaves the text; any other character goes to HandleKeyPress.
  void DoKeyPress(char C) override;
  bool LoadFromNode(const TXMLNode& Node) override;
};
