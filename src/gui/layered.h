// TUIPage: one page of a TUILayered. TUILayered: a stack of pages of which the last child is the
// active one (the only one drawn, and the first one hit-tested).
#pragma once

#include "gui/container.h"

class TUIPage : public TUIContainer {
public:
  TUIPage();

  // Whether the drawer paints a background frame for the page.
  bool FDrawBack = false;

  bool LoadFromNode(const TXMLNode& Node) override;
};

class TUILayered : public TUIContainer {
public:
  TUILayered();

  // The name last passed to SwitchPage (at most MaxWidgetNameLength characters).
  std::string FPageIndexName;

  // The index of the first page whose name equals Name ignoring case; 0 when none does.
  int FindPageIndex(const std::string& Name) const;
  // Makes the page called Name the active one (moves it to the end of the children). Does
  // nothing when Name equals the name last switched to, ignoring case. A name that matches no
  // page activates the page at index 0.
  void SwitchPage(const std::string& Name);
  // The active page (the last child), or none when there are no pages.
  TUIWidget* ActivePage() const { return Count() > 0 ? Get(Count() - 1) : nullptr; }

  // Loads the pages, then switches to the page named by ACTIVE.
  bool LoadFromNode(const TXMLNode& Node) override;
};
