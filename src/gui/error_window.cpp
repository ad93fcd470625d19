#include "gui/error_window.h"

#include "gui/button.h"
#include "gui/label.h"

#include <memory>

namespace {

struct TBox {
  std::int32_t Left, Top, Width, Height;
};

constexpr TBox WINDOW_BOX{300, 200, 300, 100};
constexpr TBox CLOSE_BOX{190, 40, 84, 32};
constexpr TBox MESSAGE_BOX{10, 10, 200, 10};
constexpr std::int32_t WINDOW_MARGIN_LEFT = 5;
constexpr std::int32_t WINDOW_MARGIN_TOP = 16;

void Place(TUIWidget& W, const TBox& Box) {
  W.FLeft = Box.Left;
  W.FTop = Box.Top;
  W.SetWidth(Box.Width);
  W.SetHeight(Box.Height);
}

} // namespace

TUIErrorWindow::TUIErrorWindow(const std::string& Message) {
  FTitle = "Error";
  Place(*this, WINDOW_BOX);
  FMarginLeft = WINDOW_MARGIN_LEFT;
  FMarginTop = WINDOW_MARGIN_TOP;

  auto close = std::make_unique<TUIButton>();
  close->FCaption = "Close";
  Place(*close, CLOSE_BOX);
  close->FOnClick = [this](TUIWidget* Sender) { OnCloseClick(Sender); };
  Add(std::move(close));

  auto message = std::make_unique<TUILabel>();
  message->FCaption = Message;
  Place(*message, MESSAGE_BOX);
  Add(std::move(message));
}

void TUIErrorWindow::OnCloseClick(TUIWidget*) {
  RequestDestroy();
}
