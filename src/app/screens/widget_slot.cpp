#include "app/screens/widget_slot.h"

#include "gui/container.h"

TWidgetSlot::TWidgetSlot(TUIWidget* W) : FParent(W != nullptr ? W->FParent : nullptr), FWidget(W) {
  if (FParent == nullptr) {
    FWidget = nullptr;
  }
}

TWidgetSlot::~TWidgetSlot() = default;
TWidgetSlot::TWidgetSlot(TWidgetSlot&&) noexcept = default;
TWidgetSlot& TWidgetSlot::operator=(TWidgetSlot&&) noexcept = default;

void TWidgetSlot::Show(bool Shown) {
  if (FWidget == nullptr || Shown == this->Shown()) {
    return;
  }
  if (Shown) {
    FParent->Add(std::move(FHeld));
  } else {
    FHeld = FParent->Remove(FWidget);
  }
}
