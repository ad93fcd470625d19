// Building widget trees from .ui files: XML whose root element (any tag) holds one element per
// top-level widget.
//
// A widget element's tag selects its kind (exact case): WINDOW, ROLLABLEWINDOW, BUTTON, LAYERED,
// PAGE, TRACKER, EDIT, LIST, IMAGE, LABEL, CHECKBOX, BAR, MULTITRACKER. Its attribute "name" names
// it; every other property is a child element whose text is the value (<LEFT>10</LEFT>); the
// first child with the property's exact tag counts, absent ones keep the constructor's default,
// unknown ones are ignored. Integers are decimal (anything else raises TXMLConvertError); a
// boolean is true exactly when its text, in lower case, is "true".
//
// Properties each kind reads, in this order (the order matters where values depend on earlier
// ones):
//   every widget     attribute name, LEFT, TOP, WIDTH, HEIGHT, NAME (replaces the attribute),
//                    VISIBLE, ENABLED
//   container        MARGINLEFT, MARGINTOP, CHILDREN (element holding child widgets), then the
//                    widget's
//   WINDOW           TITLE, then the container's
//   ROLLABLEWINDOW   OPEN, then the window's
//   PAGE             DRAWBACK, then the container's
//   LAYERED          the container's first (its pages), then ACTIVE (name of the page to show;
//                    without it the last page is active)
//   BUTTON, LABEL    CAPTION, then the widget's
//   EDIT             TEXT, MASK, then the widget's
//   LIST             TEXT (one item per line; CR, LF or CR LF), MARGINTOP (row offset), SIMPLE,
//                    then the widget's
//   CHECKBOX         CAPTION, CHECKED, then the widget's
//   BAR              CAPTION, SHOWCAPTION, SHOWPOSITION, MIN, MAX, POSITION, then the widget's
//   TRACKER          MIN, MAX, POSITION, CURSORWIDTH, MARGIN, CAPTION, then the widget's
//   MULTITRACKER     MIN, MAX, CURSORWIDTH, MARGIN, then the widget's
//   IMAGE            the widget's only (its texture is set by the application)
//
// Example:
//   <ui>
//     <WINDOW name="LoginWindow"><LEFT>250</LEFT><TOP>200</TOP><MARGINTOP>24</MARGINTOP>
//       <TITLE>Login</TITLE>
//       <CHILDREN><EDIT name="PassEdit"><LEFT>80</LEFT><MASK>true</MASK></EDIT></CHILDREN>
//     </WINDOW>
//   </ui>
#pragma once

#include "gui/container.h"

#include <memory>
#include <string>

class TXMLNode;

// A new widget of the kind Node's tag names, with its constructor's defaults; none for any other
// tag.
std::unique_ptr<TUIWidget> CreateWidget(const TXMLNode& Node);

// Loads every element child of Node as a widget and appends it to Container (through its
// virtual Add, so a desktop updates its modal level). An unknown tag stops the loading with
// false; widgets added before it stay. True when every element child was added (also when there
// is none). A malformed integer raises TXMLConvertError; the widget being loaded is not added.
bool LoadGUI(TUIContainer& Container, const TXMLNode& Node);
// The same for the root element of a .ui file. XML errors and a missing file raise TXMLError
// (TXMLFileError for the file); nothing is added then.
bool LoadGUI(TUIContainer& Container, const std::string& FileName);

// Builds and loads the first top-level widget (an element child of Node) whose "name" attribute
// equals Name exactly; none when there is none or its tag is unknown. The caller owns it
// (typically hands it to a desktop with Add or AddModal).
std::unique_ptr<TUIWidget> LoadWidget(const TXMLNode& Node, const std::string& Name);
// The same among the top-level widgets of a .ui file.
std::unique_ptr<TUIWidget> LoadWidget(const std::string& FileName, const std::string& Name);

// LoadWidget for a widget of kind T (for instance a TUIWindow to show with AddModal): none when
// the file holds no such top-level widget or it is of another kind.
template <class T>
std::unique_ptr<T> LoadWidgetAs(const std::string& FileName, const std::string& Name) {
  std::unique_ptr<TUIWidget> W = LoadWidget(FileName, Name);
  if (dynamic_cast<T*>(W.get()) == nullptr)
    return nullptr;
  return std::unique_ptr<T>(static_cast<T*>(W.release()));
}
