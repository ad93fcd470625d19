#pragma once
// A widget of a loaded layout that shows only in some states: the drawer draws every widget of
// the tree, so a hidden widget is taken out of its container and kept here, and put back (in
// front of its siblings) when it shows again.

#include <memory>

class TUIContainer;
class TUIWidget;

class TWidgetSlot {
public:
  TWidgetSlot() = default;
  // Takes charge of W (none: the slot does nothing), which shows as it is now.
  explicit TWidgetSlot(TUIWidget* W);
  // A widget held out of its container goes with the slot.
  ~TWidgetSlot();
  TWidgetSlot(const TWidgetSlot&) = delete;
  TWidgetSlot& operator=(const TWidgetSlot&) = delete;
  TWidgetSlot(TWidgetSlot&&) noexcept;
  TWidgetSlot& operator=(TWidgetSlot&&) noexcept;

  // Puts the widget in its container or takes it out.
  void Show(bool Shown);
  bool Shown() const { return FWidget != nullptr && FHeld == nullptr; }
  // The widget, shown or not; none for an empty slot.
  TUIWidget* Get() const { return FWidget; }

private:
  TUIContainer* FParent = nullptr;
  TUIWidget* FWidget = nullptr;
  // The widget while it is out of its container.
  std::unique_ptr<TUIWidget> FHeld;
};
