// LoadFromNode of every widget kind: each reads its own property elements in a fixed order and
// then its base's (the layered widget reads its base's first). The table of properties is in
// ui_loader.h.
#include "gui/gui.h"
#include "xml/error.h"
#include "xml/node.h"

#include <string_view>

namespace {

// The first direct child of Node with exactly this tag, or none.
const TXMLNode* Property(const TXMLNode& Node, std::string_view Tag) {
  return Node.Query(Tag);
}

// Each reader stores the property's value and answers true when the property is present; an
// absent property leaves Value as it was.

bool ReadString(const TXMLNode& Node, std::string_view Tag, std::string& Value) {
  const TXMLNode* P = Property(Node, Tag);
  if (P != nullptr)
    Value = P->GetText();
  return P != nullptr;
}

bool ReadInteger(const TXMLNode& Node, std::string_view Tag, std::int32_t& Value) {
  const TXMLNode* P = Property(Node, Tag);
  if (P == nullptr)
    return false;
  try {
    Value = P->GetNumber();
  } catch (const TXMLConvertError& Error) {
    // Say which property of which widget is wrong, so the file can be fixed.
    throw TXMLConvertError(std::string(Error.what()) + " in <" + std::string(Tag) + "> of <" +
                           Node.Name + " name=\"" + Node.Attributes.GetAttribute("name") + "\">");
  }
  return true;
}

// True exactly for "true" in any letter case; "yes", "1" and empty text are false.
bool ReadBoolean(const TXMLNode& Node, std::string_view Tag, bool& Value) {
  const TXMLNode* P = Property(Node, Tag);
  if (P != nullptr)
    Value = SameTextIgnoringCase(P->GetText(), "true");
  return P != nullptr;
}

// The items of a text: one per line, lines ending at CR, LF or CR LF. A line break at the very
// end does not start another item.
std::vector<std::string> SplitLines(const std::string& Text) {
  std::vector<std::string> Lines;
  std::size_t Start = 0;
  while (Start < Text.size()) {
    std::size_t End = Text.find_first_of("\r\n", Start);
    if (End == std::string::npos) {
      Lines.push_back(Text.substr(Start));
      break;
    }
    Lines.push_back(Text.substr(Start, End - Start));
    Start = End + 1;
    if (Text[End] == '\r' && Start < Text.size() && Text[Start] == '\n')
      ++Start;
  }
  return Lines;
}

} // namespace

bool TUIWidget::LoadFromNode(const TXMLNode& Node) {
  FName = ShortName(Node.Attributes.GetAttribute("name"));
  ReadInteger(Node, "LEFT", FLeft);
  ReadInteger(Node, "TOP", FTop);
  std::int32_t Size = 0;
  if (ReadInteger(Node, "WIDTH", Size))
    SetWidth(Size);
  if (ReadInteger(Node, "HEIGHT", Size))
    SetHeight(Size);
  if (ReadString(Node, "NAME", FName))
    FName = ShortName(FName);
  ReadBoolean(Node, "VISIBLE", FVisible);
  ReadBoolean(Node, "ENABLED", FEnabled);
  return true;
}

bool TUIContainer::LoadFromNode(const TXMLNode& Node) {
  ReadInteger(Node, "MARGINLEFT", FMarginLeft);
  ReadInteger(Node, "MARGINTOP", FMarginTop);
  // An unknown tag among the children ends this container's children; the rest of the file
  // loads on.
  if (const TXMLNode* Children = Property(Node, "CHILDREN"))
    LoadGUI(*this, *Children);
  return TUIWidget::LoadFromNode(Node);
}

bool TUIWindow::LoadFromNode(const TXMLNode& Node) {
  ReadString(Node, "TITLE", FTitle);
  return TUIContainer::LoadFromNode(Node);
}

bool TUIRollableWindow::LoadFromNode(const TXMLNode& Node) {
  ReadBoolean(Node, "OPEN", FOpen);
  return TUIWindow::LoadFromNode(Node);
}

bool TUIPage::LoadFromNode(const TXMLNode& Node) {
  ReadBoolean(Node, "DRAWBACK", FDrawBack);
  return TUIContainer::LoadFromNode(Node);
}

bool TUILayered::LoadFromNode(const TXMLNode& Node) {
  const bool Result = TUIContainer::LoadFromNode(Node);
  std::string Active;
  if (ReadString(Node, "ACTIVE", Active))
    SwitchPage(Active);
  return Result;
}

bool TUIButton::LoadFromNode(const TXMLNode& Node) {
  ReadString(Node, "CAPTION", FCaption);
  return TUIWidget::LoadFromNode(Node);
}

bool TUILabel::LoadFromNode(const TXMLNode& Node) {
  ReadString(Node, "CAPTION", FCaption);
  return TUIWidget::LoadFromNode(Node);
}

bool TUIEdit::LoadFromNode(const TXMLNode& Node) {
  ReadString(Node, "TEXT", FText);
  ReadBoolean(Node, "MASK", FMask);
  return TUIWidget::LoadFromNode(Node);
}

bool TUIList::LoadFromNode(const TXMLNode& Node) {
  std::string Text;
  if (ReadString(Node, "TEXT", Text))
    FStrings = SplitLines(Text);
  ReadInteger(Node, "MARGINTOP", FMarginTop);
  ReadBoolean(Node, "SIMPLE", Simple);
  return TUIWidget::LoadFromNode(Node);
}

bool TUICheckBox::LoadFromNode(const TXMLNode& Node) {
  ReadString(Node, "CAPTION", FCaption);
  ReadBoolean(Node, "CHECKED", FChecked);
  return TUIWidget::LoadFromNode(Node);
}

bool TUIBar::LoadFromNode(const TXMLNode& Node) {
  ReadString(Node, "CAPTION", FCaption);
  ReadBoolean(Node, "SHOWCAPTION", FShowCaption);
  ReadBoolean(Node, "SHOWPOSITION", FShowPosition);
  ReadInteger(Node, "MIN", FMin);
  ReadInteger(Node, "MAX", FMax);
  ReadInteger(Node, "POSITION", FPosition);
  return TUIWidget::LoadFromNode(Node);
}

bool TUITracker::LoadFromNode(const TXMLNode& Node) {
  ReadInteger(Node, "MIN", FMin);
  ReadInteger(Node, "MAX", FMax);
  ReadInteger(Node, "POSITION", FPosition);
  ReadInteger(Node, "CURSORWIDTH", FCursorWidth);
  ReadInteger(Node, "MARGIN", FMargin);
  ReadString(Node, "CAPTION", FCaption);
  return TUIWidget::LoadFromNode(Node);
}

bool TUIMultiTracker::LoadFromNode(const TXMLNode& Node) {
  ReadInteger(Node, "MIN", FMin);
  ReadInteger(Node, "MAX", FMax);
  ReadInteger(Node, "CURSORWIDTH", FCursorWidth);
  ReadInteger(Node, "MARGIN", FMargin);
  return TUIWidget::LoadFromNode(Node);
}
