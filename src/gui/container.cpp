#include "gui/container.h"

#include "gui/desktop.h"
#include "gui/int32_math.h"

int TUIWidgetList::IndexOf(const TUIWidget* W) const {
  for (int I = 0; I < Count(); ++I)
    if (GetWidget(I) == W)
      return I;
  return -1;
}

int TUIWidgetList::Append(std::unique_ptr<TUIWidget> W) {
  FItems.push_back(std::move(W));
  return Count() - 1;
}

std::unique_ptr<TUIWidget> TUIWidgetList::Extract(int Index) {
  auto It = FItems.begin() + Index;
  std::unique_ptr<TUIWidget> W = std::move(*It);
  FItems.erase(It);
  return W;
}

void TUIWidgetList::MoveToEnd(int Index) {
  std::unique_ptr<TUIWidget> W = Extract(Index);
  FItems.push_back(std::move(W));
}

TUIContainer::~TUIContainer() {
  DestroyChildren();
}

void TUIContainer::DestroyChildren() {
  while (FChildren.Count() > 0) {
    std::unique_ptr<TUIWidget> W = FChildren.Extract(0);
    W->FParent = nullptr;
  }
}

TUIWidget* TUIContainer::WidgetByPos(std::int32_t X, std::int32_t Y, bool Recursive) {
  using namespace int32_math;
  for (int I = Count() - 1; I >= 0; --I) {
    TUIWidget* W = Get(I);
    if (!W->FEnabled || !W->FVisible || !W->IsInside(X, Y))
      continue;
    auto* C = dynamic_cast<TUIContainer*>(W);
    if (Recursive && C != nullptr)
      return C->WidgetByPos(Sub(Sub(X, C->FMarginLeft), C->FLeft),
                            Sub(Sub(Y, C->FMarginTop), C->FTop), true);
    return W;
  }
  return this;
}

int TUIContainer::Add(std::unique_ptr<TUIWidget> W) {
  if (W == nullptr)
    return -1;
  W->FParent = this;
  return FChildren.Append(std::move(W));
}

std::unique_ptr<TUIWidget> TUIContainer::Remove(TUIWidget* W) {
  const int Index = FChildren.IndexOf(W);
  if (Index < 0)
    return nullptr;
  TUIDesktop* D = dynamic_cast<TUIDesktop*>(this);
  if (D == nullptr)
    D = GetDesktop();
  if (D != nullptr)
    D->ForgetSubtree(W);
  std::unique_ptr<TUIWidget> Taken = FChildren.Extract(Index);
  Taken->FParent = nullptr;
  return Taken;
}

TUIWidget* TUIContainer::WidgetByName(const std::string& Name) {
  const std::string Wanted = ShortName(Name);
  for (int I = Count() - 1; I >= 0; --I) {
    TUIWidget* W = Get(I);
    if (SameTextIgnoringCase(W->FName, Wanted))
      return W;
    if (auto* C = dynamic_cast<TUIContainer*>(W))
      if (TUIWidget* Found = C->WidgetByName(Wanted))
        return Found;
  }
  return nullptr;
}

TUIWidget* TUIContainer::ChildForEvent(std::int32_t& X, std::int32_t& Y) {
  using namespace int32_math;
  TUIWidget* W = WidgetByPos(Sub(X, FMarginLeft), Sub(Y, FMarginTop), false);
  if (W == this)
    return nullptr;
  X = Sub(Sub(X, FMarginLeft), W->FLeft);
  Y = Sub(Sub(Y, FMarginTop), W->FTop);
  return W;
}

void TUIContainer::DoMouseDown(std::int32_t X, std::int32_t Y, TMouseButton Button) {
  if (TUIWidget* W = ChildForEvent(X, Y))
    W->DoMouseDown(X, Y, Button);
  else
    TUIWidget::DoMouseDown(X, Y, Button);
}

void TUIContainer::DoMouseUp(std::int32_t X, std::int32_t Y, TMouseButton Button) {
  if (TUIWidget* W = ChildForEvent(X, Y))
    W->DoMouseUp(X, Y, Button);
  else
    TUIWidget::DoMouseUp(X, Y, Button);
}

void TUIContainer::DoMouseMove(std::int32_t X, std::int32_t Y) {
  if (TUIWidget* W = ChildForEvent(X, Y))
    W->DoMouseMove(X, Y);
  else
    TUIWidget::DoMouseMove(X, Y);
}
