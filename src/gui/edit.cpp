#include "gui/edit.h"

#include <string_view>

namespace {

constexpr char EnterKey = 13;
constexpr char BackspaceKey = 8;

// The characters an edit accepts: the US keyboard's keys row by row, unshifted then shifted,
// and the space bar.
constexpr std::string_view TypeableCharacters = "`1234567890-=qwertyuiop[]\\asdfghjkl;'zxcvbnm,./"
                                                "~!@#$%^&*()_+QWERTYUIOP{}|ASDFGHJKL:\"ZXCVBNM<>? ";

} // namespace

void HandleKeyPress(std::string& Text, char C) {
  if (TypeableCharacters.find(C) != std::string_view::npos)
    Text.push_back(C);
  else if (C == BackspaceKey && !Text.empty())
    Text.pop_back();
}

TUIEdit::TUIEdit() {
  FName = "Edit1";
  FLeft = 0;
}

void TUIEdit::DoKeyPress(char C) {
  if (C == EnterKey) {
    if (FOnEnter)
      FOnEnter(this);
  } else {
    HandleKeyPress(FText, C);
  }
}
