#include "gui/error_window.h"

#include "gui/button.h"
#include "gui/label.h"
#include "gui/text_layout.h"

#include <algorithm>

#include <memory>
#include <vector>

namespace {

struct TBox {
  std::int32_t Left, Top, Width, Height;
};

constexpr TBox WINDOW_BOX{300, 200, 300, 100};
constexpr TBox CLOSE_BOX{190, 40, 84, 32};
// The first row of the message; a longer message takes further rows below it.
constexpr TBox MESSAGE_BOX{10, 10, 200, 10};
constexpr std::int32_t WINDOW_MARGIN_LEFT = 5;
constexpr std::int32_t WINDOW_MARGIN_TOP = 16;
// The message keeps as far from the window's right edge as from its client area's left edge.
constexpr std::int32_t MESSAGE_ROOM = WINDOW_BOX.Width - WINDOW_MARGIN_LEFT - 2 * MESSAGE_BOX.Left;
// Rows that fit above the Close button; each further row moves it down and makes the window
// taller.
constexpr std::int32_t ROWS_ABOVE_CLOSE = (CLOSE_BOX.Top - MESSAGE_BOX.Top) / MESSAGE_BOX.Height;

void Place(TUIWidget& W, const TBox& Box) {
  W.FLeft = Box.Left;
  W.FTop = Box.Top;
  W.SetWidth(Box.Width);
  W.SetHeight(Box.Height);
}

} // namespace

TUIErrorWindow::TUIErrorWindow(const std::string& Message) {
  const std::vector<std::string> rows = WrapText(Message, CharsThatFit(MESSAGE_ROOM));
  const std::int32_t extra =
      std::max(0, static_cast<std::int32_t>(rows.size()) - ROWS_ABOVE_CLOSE) * MESSAGE_BOX.Height;

  FTitle = "Error";
  Place(*this, {WINDOW_BOX.Left, WINDOW_BOX.Top, WINDOW_BOX.Width, WINDOW_BOX.Height + extra});
  FMarginLeft = WINDOW_MARGIN_LEFT;
  FMarginTop = WINDOW_MARGIN_TOP;

  auto close = std::make_unique<TUIButton>();
  close->FCaption = "Close";
  Place(*close, {CLOSE_BOX.Left, CLOSE_BOX.Top + extra, CLOSE_BOX.Width, CLOSE_BOX.Height});
  close->FOnClick = [this](TUIWidget* Sender) { OnCloseClick(Sender); };
  Add(std::move(close));

  std::int32_t top = MESSAGE_BOX.Top;
  for (const std::string& row : rows) {
    auto message = std::make_unique<TUILabel>();
    message->FCaption = row;
    const auto width = static_cast<std::int32_t>(TextWidth(row.size()));
    Place(*message,
          {MESSAGE_BOX.Left, top, std::max(MESSAGE_BOX.Width, width), MESSAGE_BOX.Height});
    Add(std::move(message));
    top += MESSAGE_BOX.Height;
  }
}

void TUIErrorWindow::OnCloseClick(TUIWidget*) {
  RequestDestroy();
}
