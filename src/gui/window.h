// TUIWindow: a titled window that the desktop raises on a press and drags by its title band;
// TUIRollableWindow: a window that a right press on its title band rolls up and down.
//
// A window built in code: create it, set FLeft/FTop/size, FMarginTop (the title band's height)
// and FMarginLeft, Add its children, then hand it to a desktop with Add (an ordinary window) or
// AddModal (a modal window: it goes above everything and takes the focus away from the rest).
//   auto Win = std::make_unique<TUIWindow>();
//   Win->FLeft = 250; Win->FTop = 250; Win->SetWidth(300); Win->SetHeight(120);
//   Win->FMarginTop = 24; Win->FTitle = "Error";
//   auto Close = std::make_unique<TUIButton>();
//   Close->FCaption = "Close";
//   Close->FOnClick = [](TUIWidget* Sender) { Sender->FParent->RequestDestroy(); };
//   Win->Add(std::move(Close));
//   Desktop.AddModal(std::move(Win));   // the desktop owns it; the button closes it
// A subclass (a ready-made dialog) does the same in its constructor, adding to *this.
#pragma once

#include "gui/abstract_window.h"

class TUIWindow : public TUIAbstractWindow {
public:
  TUIWindow();

  // Drawn in the title band.
  std::string FTitle;

  // True exactly when Y lies in the title band (Y <= FMarginTop); X is not looked at.
  bool IsDraggablePoint(std::int32_t X, std::int32_t Y) const override;
  bool LoadFromNode(const TXMLNode& Node) override;
};

class TUIRollableWindow : public TUIWindow {
public:
  TUIRollableWindow() = default;

  // Unrolled (true) or rolled up to its title band (false).
  bool FOpen = false;

  // FHeight when open, else FMarginTop: a rolled-up window only hit-tests its title band.
  std::int32_t GetHeight() const override;
  // The press goes to the children as in any container; then a right press on the title band
  // toggles FOpen.
  void DoMouseDown(std::int32_t X, std::int32_t Y, TMouseButton Button) override;
  bool LoadFromNode(const TXMLNode& Node) override;
};
