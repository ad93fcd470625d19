#include "gui/desktop.h"

#include "gui/int32_math.h"
#include "gui/window.h"

#include <algorithm>
#include <utility>

TDispatchScope::TDispatchScope(TUIDesktop* Desktop) : FDesktop(Desktop) {
  if (FDesktop != nullptr)
    ++FDesktop->FDispatchDepth;
}

TDispatchScope::~TDispatchScope() {
  if (FDesktop != nullptr && --FDesktop->FDispatchDepth == 0)
    FDesktop->DestroyQueued();
}

TUIDesktop::TUIDesktop() {
  FName = "Desktop1";
  FLeft = 0;
}

TUIDesktop::~TUIDesktop() {
  // Nothing may point into the tree while it is torn down.
  FOver = nullptr;
  FFocused = nullptr;
  FMovingWindow = nullptr;
  FPressed = nullptr;
  FDestroyQueue.clear();
  DestroyChildren();
}

// True when W is Root or lies inside Root's subtree.
static bool IsInSubtree(const TUIWidget* W, const TUIWidget* Root) {
  for (; W != nullptr; W = W->FParent)
    if (W == Root)
      return true;
  return false;
}

void TUIDesktop::ForgetSubtree(const TUIWidget* W) {
  if (IsInSubtree(FOver, W))
    FOver = nullptr;
  if (IsInSubtree(FFocused, W))
    ResetFocus();
  if (IsInSubtree(FMovingWindow, W))
    FMovingWindow = nullptr;
  if (IsInSubtree(FPressed, W))
    FPressed = nullptr;
  std::erase_if(FDestroyQueue, [W](const TUIWidget* Q) { return IsInSubtree(Q, W); });
}

void TUIDesktop::QueueDestroy(TUIWidget* W) {
  if (std::find(FDestroyQueue.begin(), FDestroyQueue.end(), W) == FDestroyQueue.end())
    FDestroyQueue.push_back(W);
}

void TUIDesktop::DestroyQueued() {
  // Every queued widget is still on this desktop: leaving it (or being destroyed with an
  // ancestor) takes a widget off the queue.
  while (!FDestroyQueue.empty()) {
    TUIWidget* W = FDestroyQueue.front();
    FDestroyQueue.erase(FDestroyQueue.begin());
    W->FParent->Remove(W);
  }
}

bool TUIDesktop::IsBlockedByModal(const TUIWidget* W) const {
  if (auto* Window = dynamic_cast<const TUIAbstractWindow*>(W))
    return Window->ModalValue < FCurrentModal;
  return FCurrentModal > 0;
}

void TUIDesktop::DoMouseDown(std::int32_t X, std::int32_t Y, TMouseButton Button) {
  using namespace int32_math;
  TDispatchScope Scope(this);
  const std::int32_t CX = Sub(X, FMarginLeft), CY = Sub(Y, FMarginTop);
  TUIWidget* W = WidgetByPos(CX, CY, false);
  if (IsBlockedByModal(W))
    return;
  if (IsWheel(Button)) {
    TUIContainer::DoMouseDown(X, Y, Button);
    return;
  }
  TUIWidget* Target = WidgetByPos(CX, CY, true);
  SetFocus(Target);
  if (auto* Window = dynamic_cast<TUIWindow*>(W)) {
    FChildren.MoveToEnd(FChildren.IndexOf(Window));
    const std::int32_t WX = Sub(Sub(Sub(X, FMarginLeft), FLeft), Window->FLeft);
    const std::int32_t WY = Sub(Sub(Sub(Y, FMarginTop), FTop), Window->FTop);
    if (Button == mbLeft && Window->IsDraggablePoint(WX, WY)) {
      FMovingWindow = Window;
      FAncX = Sub(X, Window->FLeft);
      FAncY = Sub(Y, Window->FTop);
      FPressed = nullptr;
      return;
    }
  }
  FPressed = Target;
  TUIContainer::DoMouseDown(X, Y, Button);
}

void TUIDesktop::DoMouseUp(std::int32_t X, std::int32_t Y, TMouseButton Button) {
  using namespace int32_math;
  TDispatchScope Scope(this);
  if (IsWheel(Button))
    return;
  if (FMovingWindow != nullptr) {
    FMovingWindow = nullptr;
    return;
  }
  // Only the widget under the release keeps its press for it (a button then clicks).
  TUIWidget* Under = WidgetByPos(Sub(X, FMarginLeft), Sub(Y, FMarginTop), true);
  TUIWidget* Pressed = std::exchange(FPressed, nullptr);
  if (Pressed != nullptr && Pressed != Under)
    Pressed->DoPressLost();
  TUIContainer::DoMouseUp(X, Y, Button);
}

void TUIDesktop::DoMouseMove(std::int32_t X, std::int32_t Y) {
  using namespace int32_math;
  TDispatchScope Scope(this);
  if (FMovingWindow != nullptr) {
    FMovingWindow->FLeft = Sub(X, FAncX);
    FMovingWindow->FTop = Sub(Y, FAncY);
    return;
  }
  TUIWidget* P = WidgetByPos(Sub(X, FMarginLeft), Sub(Y, FMarginTop), true);
  if (IsBlockedByModal(P))
    return;
  if (P != FOver) {
    if (FOver != nullptr)
      FOver->DoMouseExit();
    P->DoMouseEnter();
    FOver = P;
  }
  TUIContainer::DoMouseMove(X, Y);
}

void TUIDesktop::DoKeyPress(char C) {
  TDispatchScope Scope(this);
  if (FFocused != nullptr && FFocused != this)
    FFocused->DoKeyPress(C);
}

int TUIDesktop::Add(std::unique_ptr<TUIWidget> W) {
  if (auto* Window = dynamic_cast<TUIAbstractWindow*>(W.get()))
    FCurrentModal = std::max(FCurrentModal, Window->ModalValue);
  return TUIContainer::Add(std::move(W));
}

std::unique_ptr<TUIWidget> TUIDesktop::Remove(TUIWidget* W) {
  std::unique_ptr<TUIWidget> Taken = TUIContainer::Remove(W);
  if (dynamic_cast<TUIAbstractWindow*>(Taken.get()) != nullptr) {
    FCurrentModal = 0;
    for (int I = 0; I < Count(); ++I)
      if (auto* Window = dynamic_cast<TUIAbstractWindow*>(Get(I)))
        FCurrentModal = std::max(FCurrentModal, Window->ModalValue);
  }
  return Taken;
}

int TUIDesktop::AddModal(std::unique_ptr<TUIWindow> Window) {
  if (Window == nullptr)
    return -1;
  Window->ModalValue = int32_math::Add(FCurrentModal, 1);
  const int Index = Add(std::move(Window));
  ResetFocus();
  return Index;
}
