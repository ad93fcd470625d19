// Clipping and scrolling: the clipping output on its own, then what the drawer puts on screen,
// read back pixel by pixel (the fixture's textures are plain white, text is black).
#include "drawer_fixture.h"

#include "guidraw/clipping_output.h"
#include "guidraw/gui_command_list.h"

namespace {

// What the clipping output passes on, against what it should pass on, drawn into two lists.
TEST(ClippingOutput, CutsQuadsWithTheirTextureAndLeavesOutWhatLiesOutside) {
  TGUICommandList got, want;
  TClippingOutput out(got);
  out.PushClip(10, 10, 100, 50); // 10..110 x 10..60
  out.BeginQuads();
  out.Quad({20, 20, 30, 30, 0, 0, 1, 1});     // inside: as it was
  out.Quad({100, 50, 120, 70, 0, 0, 1, 0.5}); // across the right and bottom edges
  out.Quad({200, 20, 210, 30, 0, 0, 1, 1});   // outside
  out.EndQuads();
  out.BeginQuads(); // a batch with nothing left is not sent
  out.Quad({0, 0, 5, 5, 0, 0, 1, 1});
  out.EndQuads();
  out.Translate(100, 0);         // the clip stays where it was
  out.PushClip(-95, 0, 50, 100); // within the outer one: 10..55 x 10..60 before translation
  out.Rectangle(-100, 0, 20, 20, 1, 0, 0); // 0..20 x 0..20 before translation
  out.PlainRectangle(-60, 50, 40, 40, 0, 1, 0);
  out.PopClip();
  out.Rectangle(-80, 30, 10, 10, 0, 0, 1); // inside the outer clip again
  out.PlainRectangle(300, 300, 10, 10, 1, 1, 0);

  want.BeginQuads();
  want.Quad({20, 20, 30, 30, 0, 0, 1, 1});
  want.Quad({100, 50, 110, 60, 0, 0, 0.5f, 0.25f});
  want.EndQuads();
  want.Translate(100, 0);
  want.Color(1, 0, 0);
  want.BeginQuads();
  want.Quad({-90, 10, -80, 20, 0.5f, 0.5f, 1, 1});
  want.EndQuads();
  want.PlainRectangle(-60, 50, 15, 10, 0, 1, 0);
  want.Rectangle(-80, 30, 10, 10, 0, 0, 1);
  want.Color(1, 1, 0);
  EXPECT_TRUE(got == want);
}

using ClippedDrawing = DrawerTest;

constexpr TPixel BACKGROUND{0, 0, 255};
constexpr TPixel BLACK{0, 0, 0};
constexpr TPixel WHITE{255, 255, 255};

class OnScreen : public DrawerTest {
protected:
  void Paint() {
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    Drawer.Draw(Desktop);
  }
};

TEST_F(OnScreen, TextStopsAtTheEdgeOfItsWidgetAndOfItsWindow) {
  Place<TUILabel>(Desktop, 100, 100, 50, 8).FCaption = std::string(20, 'M');
  Place<TUIButton>(Desktop, 100, 200, 60, 32).FCaption = "A caption far too long";
  auto& window = Place<TUIWindow>(Desktop, 300, 100, 100, 100);
  Place<TUILabel>(window, 80, 10, 100, 8).FCaption = std::string(10, 'X');
  Paint();
  EXPECT_EQ(ReadPixel(145, 104), BLACK);
  EXPECT_EQ(ReadPixel(155, 104), BACKGROUND);
  EXPECT_EQ(ReadPixel(113, 214), BLACK);
  EXPECT_EQ(ReadPixel(165, 214), BACKGROUND);
  EXPECT_EQ(ReadPixel(395, 114), BLACK);
  EXPECT_EQ(ReadPixel(405, 114), BACKGROUND);
}

// Twenty rows, row I holding I + 1 characters, in a list with room for five.
TEST_F(OnScreen, ListShowsTheRowsScrolledToAndMarksThoseWaitingBelow) {
  auto& list = Place<TUIList>(Desktop, 100, 300, 200, 84);
  for (int i = 0; i < 20; ++i) {
    list.FStrings.push_back(std::string(static_cast<std::size_t>(i) + 1, 'x'));
  }
  // The first shown row's text ends after its last glyph: 10 + 7 (n - 1) + 8 pixels in.
  auto firstRowLength = [&] {
    int n = 0;
    while (n < 30 && ReadPixel(100 + 10 + 7 * n + 4, 320) == BLACK) {
      ++n;
    }
    return n;
  };
  const int arrowX = 100 + 200 - 20, arrowY = 300 + 84 - 10;
  Paint();
  EXPECT_EQ(firstRowLength(), 1);
  EXPECT_EQ(ReadPixel(110, 300 + 16 + 4 * 12 + 4), BLACK) << "the fifth row";
  EXPECT_EQ(ReadPixel(110, 300 + 16 + 6 * 12 + 4), BACKGROUND) << "nothing below the list";
  EXPECT_EQ(ReadPixel(arrowX, arrowY), BLACK);

  Desktop.DoMouseDown(150, 330, mbWheelDown);
  Desktop.DoMouseUp(150, 330, mbWheelDown);
  Paint();
  EXPECT_EQ(firstRowLength(), 1 + TUIList::WheelRows);
  EXPECT_EQ(ReadPixel(arrowX, arrowY), BLACK);

  list.ScrollToEnd();
  Paint();
  EXPECT_EQ(firstRowLength(), 16);
  EXPECT_EQ(ReadPixel(arrowX, arrowY), WHITE) << "no rows below the last";
}

// A list records the same commands whether it holds a few rows more than it shows or 10,000.
TEST_F(ClippedDrawing, LongListsRecordOnlyTheRowsTheyShow) {
  auto& list = Place<TUIList>(Desktop, 0, 0, 400, 508);
  list.FIndex = 5;
  TGUICommandList small, large;
  list.FStrings.assign(50, "1234 evening match  MAP: river POINTS: 1000 USER: player7");
  Drawer.Record(Desktop, small);
  list.FStrings.resize(10000, list.FStrings.front());
  Drawer.Record(Desktop, large);
  EXPECT_EQ(large.Size(), small.Size());
  list.ScrollBy(5000);
  Drawer.Record(Desktop, large);
  EXPECT_EQ(large.Size(), small.Size() - 1) << "the selection bar scrolled away";
}

} // namespace
