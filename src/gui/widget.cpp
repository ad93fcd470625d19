#include "gui/widget.h"

#include "gui/container.h"
#include "gui/desktop.h"

#include <cstdint>

std::string ShortName(const std::string& Name) {
  return Name.size() > MaxWidgetNameLength ? Name.substr(0, MaxWidgetNameLength) : Name;
}

static char LowerAscii(char C) {
  return (C >= 'A' && C <= 'Z') ? static_cast<char>(C - 'A' + 'a') : C;
}

bool SameTextIgnoringCase(const std::string& A, const std::string& B) {
  if (A.size() != B.size())
    return false;
  for (std::size_t I = 0; I < A.size(); ++I)
    if (LowerAscii(A[I]) != LowerAscii(B[I]))
      return false;
  return true;
}

void TUIWidget::DoMouseDown(std::int32_t X, std::int32_t Y, TMouseButton Button) {
  if (FOnMouseDown)
    FOnMouseDown(this, X, Y, Button);
}

void TUIWidget::DoMouseUp(std::int32_t X, std::int32_t Y, TMouseButton Button) {
  if (FOnMouseUp)
    FOnMouseUp(this, X, Y, Button);
}

void TUIWidget::DoMouseMove(std::int32_t X, std::int32_t Y) {
  if (FOnMouseMove)
    FOnMouseMove(this, X, Y);
}

void TUIWidget::DoKeyPress(char) {}

bool TUIWidget::IsInside(std::int32_t X, std::int32_t Y) const {
  // Compared in 64 bits so that a far-off widget cannot wrap round onto the point.
  const std::int64_t Left = FLeft, Top = FTop;
  return Left <= X && X <= Left + GetWidth() && Top <= Y && Y <= Top + GetHeight();
}

TUIDesktop* TUIWidget::GetDesktop() const {
  if (FParent == nullptr)
    return nullptr;
  if (auto* D = dynamic_cast<TUIDesktop*>(FParent))
    return D;
  return FParent->GetDesktop();
}

bool TUIWidget::IsFocused() const {
  const TUIDesktop* D = GetDesktop();
  return D != nullptr && D->FFocused == this;
}

void TUIWidget::Focus() {
  if (TUIDesktop* D = GetDesktop())
    D->SetFocus(this);
}

bool TUIWidget::RequestDestroy() {
  if (FParent == nullptr)
    return false;
  TUIDesktop* D = GetDesktop();
  if (D != nullptr && D->IsDispatching()) {
    D->QueueDestroy(this);
    return true;
  }
  // Not inside a dispatch: take it out of its parent and let it go.
  FParent->Remove(this);
  return true;
}
