#include "gui/button.h"
#include "gui/desktop.h"
#include "gui/error_window.h"
#include "gui/label.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(ErrorWindowTest, LayoutAndContent) {
  TUIErrorWindow window("Could not connect to server.");
  EXPECT_EQ(window.FTitle, "Error");
  EXPECT_EQ(window.FLeft, 300);
  EXPECT_EQ(window.FTop, 200);
  EXPECT_EQ(window.GetWidth(), 300);
  EXPECT_EQ(window.GetHeight(), 100);
  EXPECT_EQ(window.FMarginLeft, 5);
  EXPECT_EQ(window.FMarginTop, 16);
  ASSERT_EQ(window.Count(), 2);
  auto* close = dynamic_cast<TUIButton*>(window.Get(0));
  ASSERT_NE(close, nullptr) << "the button comes first";
  EXPECT_EQ(close->FCaption, "Close");
  EXPECT_EQ(close->FLeft, 190);
  EXPECT_EQ(close->FTop, 40);
  EXPECT_EQ(close->GetWidth(), 84);
  EXPECT_EQ(close->GetHeight(), 32);
  auto* label = dynamic_cast<TUILabel*>(window.Get(1));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->FCaption, "Could not connect to server.");
  EXPECT_EQ(label->FLeft, 10);
  EXPECT_EQ(label->FTop, 10);
  EXPECT_EQ(label->GetWidth(), 200);
  EXPECT_EQ(label->GetHeight(), 10);
}

// Shown modally, it blocks the widgets below; its Close button removes it (after the click has
// been handled) and the desktop's modal level falls back.
TEST(ErrorWindowTest, ModalUntilClosed) {
  TUIDesktop desktop;
  auto below = std::make_unique<TUIButton>();
  below->FLeft = 0;
  below->FTop = 0;
  int belowClicks = 0;
  below->FOnClick = [&](TUIWidget*) { ++belowClicks; };
  desktop.Add(std::move(below));
  desktop.AddModal(std::make_unique<TUIErrorWindow>("Access denied: Invalid user/pass"));
  ASSERT_EQ(desktop.Count(), 2);
  EXPECT_EQ(desktop.FCurrentModal, 1);

  desktop.DoMouseDown(10, 10, mbLeft);
  desktop.DoMouseUp(10, 10, mbLeft);
  EXPECT_EQ(belowClicks, 0) << "the window below the error is blocked";

  // The Close button: window (300, 200) + margins (5, 16) + button (190, 40), a few pixels in.
  desktop.DoMouseMove(500, 260);
  desktop.DoMouseDown(500, 260, mbLeft);
  desktop.DoMouseUp(500, 260, mbLeft);
  EXPECT_EQ(desktop.Count(), 1);
  EXPECT_EQ(desktop.FCurrentModal, 0);

  desktop.DoMouseMove(10, 10);
  desktop.DoMouseDown(10, 10, mbLeft);
  desktop.DoMouseUp(10, 10, mbLeft);
  EXPECT_EQ(belowClicks, 1);
}

} // namespace
