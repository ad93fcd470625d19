// Each widget kind as the drawer paints it, read back through feedback mode.
#include "drawer_fixture.h"

namespace {

using WidgetDrawing = DrawerTest;

// The runs of a capture without the empty run before the first bind.
std::vector<TTexturedRun> Bound(std::vector<TTexturedRun> Runs) {
  if (!Runs.empty() && Runs.front().Texture.empty()) {
    EXPECT_TRUE(Runs.front().Prims.empty()) << "drawn before any texture was bound";
    Runs.erase(Runs.begin());
  }
  return Runs;
}

std::vector<std::string> Names(const std::vector<TTexturedRun>& Runs) {
  std::vector<std::string> names;
  for (const auto& r : Runs) {
    names.push_back(r.Texture);
  }
  return names;
}

template <class T>
std::unique_ptr<T> Make(int L, int T_, int W, int H) {
  auto w = std::make_unique<T>();
  w->FLeft = L;
  w->FTop = T_;
  w->SetWidth(W);
  w->SetHeight(H);
  return w;
}

void ExpectColour(const TQuad& Q, float R, float G, float B) {
  EXPECT_NEAR(Q.R, R, 1e-5);
  EXPECT_NEAR(Q.G, G, 1e-5);
  EXPECT_NEAR(Q.B, B, 1e-5);
}

TEST_F(WidgetDrawing, WindowFrameTitleAndChildrenInItsClientArea) {
  auto window = Make<TUIWindow>(100, 50, 200, 150);
  window->FTitle = "Hi";
  window->FMarginLeft = 5;
  window->FMarginTop = 16;
  auto label = Make<TUILabel>(10, 20, 50, 10);
  label->FCaption = "x";
  window->Add(std::move(label));
  Add(std::move(window));

  auto runs = Bound(Capture());
  ASSERT_EQ(Names(runs), (std::vector<std::string>{"interf3", "font", "font"}));
  auto frame = Quads(runs[0].Prims);
  ASSERT_EQ(frame.size(), 9u);
  ExpectRect(frame[0], 100, 50, 116, 66);
  ExpectRect(frame[3], 284, 184, 300, 200);
  ExpectColour(frame[0], 1, 1, 1);
  ExpectText(Quads(runs[1].Prims), 110, 55, "Hi");
  // The label sits at window corner + margins + its own offset.
  ExpectText(Quads(runs[2].Prims), 115, 86, "x");
}

TEST_F(WidgetDrawing, DisabledWindowUsesTheGreyFrameAndFocusedOneIsTinted) {
  auto& window = Add(Make<TUIWindow>(0, 0, 100, 100));
  window.FEnabled = false;
  EXPECT_EQ(Bound(Capture())[0].Texture, "interf3b");
  window.FEnabled = true;
  Desktop.SetFocus(&window);
  auto runs = Bound(Capture());
  ASSERT_EQ(runs[0].Texture, "interf3");
  for (const auto& q : Quads(runs[0].Prims)) {
    ExpectColour(q, 1, 1, 0);
  }
}

TEST_F(WidgetDrawing, RolledUpWindowFramesItsTitleBandAndHidesItsChildren) {
  auto window = Make<TUIRollableWindow>(10, 10, 200, 200);
  window->FMarginTop = 20;
  window->FOpen = false;
  window->Add(Make<TUIButton>(0, 50, 100, 40));
  auto& ref = *window;
  Add(std::move(window));
  auto runs = Bound(Capture());
  auto frame = Quads(runs[0].Prims);
  ASSERT_EQ(frame.size(), 4u); // 200 x 20: corners only
  EXPECT_NEAR(frame[1].Bottom, 30, 1e-3);
  ASSERT_EQ(Names(runs), (std::vector<std::string>{"interf3", "font", "interf4", "font"}));
  EXPECT_TRUE(runs[2].Prims.empty()) << "the button lies below the title band";
  ref.FOpen = true;
  ExpectRect(Quads(Bound(Capture())[2].Prims)[0], 10, 80, 26, 96);
}

TEST_F(WidgetDrawing, ButtonFramesByStateAndSinksItsCaptionWhilePressed) {
  auto& button = Add(Make<TUIButton>(300, 400, 100, 40));
  button.FCaption = "OK";
  auto runs = Bound(Capture());
  ASSERT_EQ(Names(runs), (std::vector<std::string>{"interf4", "font"}));
  ExpectColour(Quads(runs[0].Prims)[0], 1, 1, 1);
  ExpectText(Quads(runs[1].Prims), 312, 410, "OK");

  button.Clicked = true;
  Desktop.SetFocus(&button);
  runs = Bound(Capture());
  ExpectColour(Quads(runs[0].Prims)[0], 1, 1, 0);
  ExpectText(Quads(runs[1].Prims), 312, 413, "OK");

  button.FEnabled = false;
  EXPECT_EQ(Bound(Capture())[0].Texture, "interf4g");
}

TEST_F(WidgetDrawing, MaskedFocusedEditShowsAsterisksAndTheCaret) {
  auto& edit = Add(Make<TUIEdit>(50, 60, 200, 32));
  edit.FText = "abc";
  edit.FMask = true;
  auto runs = Bound(Capture());
  ExpectText(Quads(runs[1].Prims), 62, 70, "***");
  Desktop.SetFocus(&edit);
  runs = Bound(Capture());
  ASSERT_EQ(Names(runs), (std::vector<std::string>{"interf4", "font"}));
  ExpectColour(Quads(runs[0].Prims)[0], 1, 1, 0);
  ExpectText(Quads(runs[1].Prims), 62, 70, "***_");
  edit.FMask = false;
  ExpectText(Quads(Bound(Capture())[1].Prims), 62, 70, "abc_");
}

TEST_F(WidgetDrawing, EditTooNarrowForItsTextShowsTheEndWithTheCaret) {
  auto& edit = Add(Make<TUIEdit>(50, 60, 100, 32)); // room for ten characters
  edit.FText = "abcdefghijklmno";
  Desktop.SetFocus(&edit);
  ExpectText(Quads(Bound(Capture())[1].Prims), 62, 70, "ghijklmno_");
}

TEST_F(WidgetDrawing, ListDrawsItsSelectionBarAndEveryItem) {
  auto& list = Add(Make<TUIList>(100, 100, 200, 72)); // room for four rows
  list.FStrings = {"one", "two", "three", "four"};
  list.FIndex = 2;
  auto runs = Bound(Capture());
  ASSERT_EQ(Names(runs), (std::vector<std::string>{"interf4", "font"}));
  auto quads = Quads(runs[0].Prims);
  ASSERT_EQ(quads.size(), 10u); // frame, then the bar in the same bind
  ExpectRect(quads[9], 110, 136, 290, 149);
  ExpectColour(quads[9], 0.6f, 0.6f, 0.6f);
  auto text = Quads(runs[1].Prims);
  ASSERT_EQ(text.size(), 3u + 3 + 5 + 4);
  // The third item's first glyph, past the lines of its frame.
  ExpectRect(text[6], 110, 140, 118, 148);
  ExpectRect(text[11], 110, 152, 118, 160);
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(WidgetDrawing, ListWithoutSelectionOrSimpleHasNoBar) {
  auto& list = Add(Make<TUIList>(0, 0, 100, 100));
  list.FStrings = {"a"};
  EXPECT_EQ(Quads(Bound(Capture())[0].Prims).size(), 9u);
  list.FIndex = 0;
  list.Simple = true;
  EXPECT_EQ(Quads(Bound(Capture())[0].Prims).size(), 9u);
}

TEST_F(WidgetDrawing, TrackerCursorFollowsThePositionAndShowsTheValue) {
  auto& tracker = Add(Make<TUITracker>(100, 200, 100, 40));
  tracker.FPosition = 5; // centre at 50 with the default range 0..10 and margin 20
  auto runs = Bound(Capture());
  ASSERT_EQ(Names(runs), (std::vector<std::string>{"interf4", "font"}));
  auto quads = Quads(runs[0].Prims);
  ASSERT_EQ(quads.size(), 10u);
  ExpectRect(quads[9], 142, 200, 158, 240);
  ExpectColour(quads[9], 0.6f, 0.6f, 0.6f);
  ExpectText(Quads(runs[1].Prims), 112, 210, "5");
}

TEST_F(WidgetDrawing, TrackerWithAnEmptyRangeDrawsItsCursorAtTheLeftMargin) {
  auto& tracker = Add(Make<TUITracker>(100, 200, 100, 40));
  tracker.FMin = 3;
  tracker.FMax = 3;
  tracker.FPosition = 3;
  auto quads = Quads(Bound(Capture())[0].Prims);
  ASSERT_EQ(quads.size(), 10u);
  ExpectRect(quads[9], 112, 200, 128, 240);
}

TEST_F(WidgetDrawing, CheckBoxIsThirtyTwoSquareWithTickAndCaption) {
  auto& box = Add(Make<TUICheckBox>(40, 50, 300, 100));
  box.FCaption = "Sound";
  auto runs = Bound(Capture());
  ASSERT_EQ(Names(runs), (std::vector<std::string>{"interf4", "font"}));
  auto frame = Quads(runs[0].Prims);
  ASSERT_EQ(frame.size(), 4u);
  ExpectRect(frame[3], 56, 66, 72, 82);
  ExpectText(Quads(runs[1].Prims), 74, 60, "Sound");

  box.FChecked = true;
  runs = Bound(Capture());
  ASSERT_EQ(Names(runs), (std::vector<std::string>{"interf4", "interftick", "font"}));
  auto tick = Quads(runs[1].Prims);
  ASSERT_EQ(tick.size(), 1u);
  ExpectRect(tick[0], 40, 50, 72, 82);
  ExpectColour(tick[0], 1, 1, 1);
  EXPECT_NEAR(tick[0].U2, 1, 1e-6);
  EXPECT_NEAR(tick[0].V2, 1, 1e-6);
}

TEST_F(WidgetDrawing, BarFillsInProportionUpToItsMaximum) {
  struct Case {
    int Position, Max;
    float Fill; // width of the fill; 0 for none
  };
  const Case cases[] = {{50, 100, 98},   {150, 100, 198}, {0, 100, 0}, {-5, 100, 0},
                        {100, 100, 198}, {1, 100, 0},     {50, 0, 0},  {50, -10, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Position << " of " << c.Max);
    Desktop.Remove(Desktop.Count() > 0 ? Desktop.Get(0) : nullptr);
    auto& bar = Add(Make<TUIBar>(100, 300, 200, 20));
    bar.FPosition = c.Position;
    bar.FMax = c.Max;
    bar.FShowPosition = false;
    auto runs = Capture();
    // The fill comes before any texture is bound for the bar.
    auto fill = Quads(runs[0].Prims);
    if (c.Fill == 0) {
      EXPECT_TRUE(fill.empty());
    } else {
      ASSERT_EQ(fill.size(), 1u);
      ExpectRect(fill[0], 101, 301, 101 + c.Fill, 319);
      ExpectColour(fill[0], 1, 1, 0);
    }
    runs.erase(runs.begin());
    ASSERT_EQ(Names(runs), (std::vector<std::string>{"interf6"}));
  }
}

TEST_F(WidgetDrawing, BarCentresItsPositionTextAndCanShowItsCaption) {
  auto& bar = Add(Make<TUIBar>(100, 300, 200, 20));
  bar.FPosition = 50;
  bar.FShowCaption = true;
  bar.FCaption = "HP";
  auto runs = Capture();
  EXPECT_EQ(Quads(runs[0].Prims).size(), 1u); // the fill
  runs.erase(runs.begin());
  ASSERT_EQ(Names(runs), (std::vector<std::string>{"interf6", "font", "font"}));
  ExpectText(Quads(runs[1].Prims), 104, 304, "HP");
  // "50/100": 6 characters, centred on 8 pixels each.
  ExpectText(Quads(runs[2].Prims), 176, 306, "50/100");
}

TEST_F(WidgetDrawing, ImageStretchesItsTextureOverTheWidget) {
  auto& image = Add(Make<TUIImage>(10, 20, 300, 200));
  GLuint tex = 0;
  glGenTextures(1, &tex);
  image.FImage = tex;
  GLint bound = -1;
  auto runs = SplitByTexture(CaptureFeedback([&] {
    Drawer.Draw(Desktop);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  }));
  EXPECT_EQ(bound, static_cast<GLint>(tex));
  auto q = Quads(runs[0].Prims);
  ASSERT_EQ(q.size(), 1u);
  ExpectRect(q[0], 10, 20, 310, 220);
  EXPECT_NEAR(q[0].U2, 1, 1e-6);
  ExpectColour(q[0], 1, 1, 1);
  glDeleteTextures(1, &tex);
}

TEST_F(WidgetDrawing, LabelIsItsCaptionOnly) {
  auto& label = Add(Make<TUILabel>(7, 9, 100, 10));
  label.FCaption = "0,0";
  auto runs = Bound(Capture());
  ASSERT_EQ(Names(runs), (std::vector<std::string>{"font"}));
  ExpectText(Quads(runs[0].Prims), 7, 9, "0,0");
}

TEST_F(WidgetDrawing, LayeredWidgetDrawsOnlyItsActivePage) {
  auto layered = Make<TUILayered>(100, 100, 300, 300);
  layered->FMarginLeft = 3;
  layered->FMarginTop = 4;
  for (const char* name : {"pagChat", "pagGames"}) {
    auto page = Make<TUIPage>(0, 0, 300, 300);
    page->FName = name;
    auto label = Make<TUILabel>(1, 2, 60, 10);
    label->FCaption = name;
    page->Add(std::move(label));
    layered->Add(std::move(page));
  }
  auto& ref = *layered;
  Add(std::move(layered));
  auto runs = Bound(Capture());
  ASSERT_EQ(Names(runs), (std::vector<std::string>{"font"}));
  ExpectText(Quads(runs[0].Prims), 104, 106, "pagGames");
  ref.SwitchPage("PAGCHAT");
  ExpectText(Quads(Bound(Capture())[0].Prims), 104, 106, "pagChat");
}

TEST_F(WidgetDrawing, PageBackgroundOnlyWhenAsked) {
  auto page = Make<TUIPage>(10, 10, 100, 100);
  page->Add(Make<TUILabel>(0, 0, 10, 10));
  auto& ref = *page;
  Add(std::move(page));
  EXPECT_EQ(Names(Bound(Capture())), (std::vector<std::string>{"font"}));
  ref.FDrawBack = true;
  auto runs = Bound(Capture());
  ASSERT_EQ(Names(runs), (std::vector<std::string>{"interf4", "font"}));
  EXPECT_EQ(Quads(runs[0].Prims).size(), 9u);
  ref.FEnabled = false;
  EXPECT_EQ(Bound(Capture())[0].Texture, "interf4g");
}

TEST_F(WidgetDrawing, KindsWithoutALookDrawNothing) {
  Add(std::make_unique<TUILayered>()); // no pages
  Add(std::make_unique<TUIMultiTracker>());
  auto plain = std::make_unique<TUIContainer>();
  plain->Add(Make<TUILabel>(0, 0, 10, 10));
  Add(std::move(plain));
  EXPECT_TRUE(CaptureFeedback([this] { Drawer.Draw(Desktop); }).empty());
}

TEST_F(WidgetDrawing, InvisibleWidgetsAreDrawnToo) {
  auto& button = Add(Make<TUIButton>(0, 0, 100, 40));
  button.FVisible = false;
  EXPECT_EQ(Names(Bound(Capture())), (std::vector<std::string>{"interf4", "font"}));
}

TEST_F(WidgetDrawing, ChildrenAreDrawnBackToFrontAndTheMatrixIsRestored) {
  auto window = Make<TUIWindow>(10, 10, 300, 300);
  window->FMarginLeft = 5;
  window->FMarginTop = 20;
  auto inner = Make<TUIPage>(30, 40, 100, 100);
  inner->FMarginLeft = 2;
  auto label = Make<TUILabel>(1, 1, 10, 10);
  label->FCaption = "a";
  inner->Add(std::move(label));
  window->Add(std::move(inner));
  auto second = Make<TUILabel>(0, 0, 10, 10);
  second->FCaption = "b";
  window->Add(std::move(second));
  Add(std::move(window));
  auto top = Make<TUILabel>(600, 500, 10, 10);
  top->FCaption = "c";
  Add(std::move(top));

  auto runs = Bound(Capture());
  ASSERT_EQ(runs.size(), 5u);
  ExpectText(Quads(runs[2].Prims), 10 + 5 + 30 + 2 + 1, 10 + 20 + 40 + 1, "a");
  ExpectText(Quads(runs[3].Prims), 15, 30, "b");
  ExpectText(Quads(runs[4].Prims), 600, 500, "c");
  GLfloat m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  EXPECT_FLOAT_EQ(m[12], 0);
  EXPECT_FLOAT_EQ(m[13], 0);
}

TEST_F(WidgetDrawing, TexturesAreLookedUpOnEveryDraw) {
  Add(Make<TUIButton>(0, 0, 100, 40));
  Capture();
  Capture();
  EXPECT_EQ(Man.Requests, (std::vector<std::string>{"interf4", "font", "interf4", "font"}));
}

TEST_F(WidgetDrawing, DrawerWithoutAMediaManagerStillDrawsEverything) {
  TGUIDrawer bare(nullptr);
  auto& button = Add(Make<TUIButton>(0, 0, 100, 40));
  button.FCaption = "ab";
  auto prims = CaptureFeedback([&] { bare.Draw(Desktop); });
  EXPECT_EQ(Quads(prims).size(), 9u + 2u);
}

// Pixels: the frame colour shows through white textures; a missing texture leaves the quads
// untextured instead of drawing with whatever was bound before.
TEST_F(WidgetDrawing, FocusTintAndMissingTexturesOnScreen) {
  GLuint red = 0;
  glGenTextures(1, &red);
  glBindTexture(GL_TEXTURE_2D, red);
  const unsigned char pixel[4] = {255, 0, 0, 255};
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);

  auto& focused = Add(Make<TUIButton>(100, 100, 100, 100));
  auto& plain = Add(Make<TUIButton>(300, 100, 100, 100));
  auto& missing = Add(Make<TUIWindow>(500, 100, 100, 100));
  focused.FCaption = plain.FCaption = "";
  Desktop.SetFocus(&focused);
  Man.Missing = {"interf3"};
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT);
  glBindTexture(GL_TEXTURE_2D, red);
  Drawer.Draw(Desktop);
  EXPECT_EQ(ReadPixel(150, 150), (TPixel{255, 255, 0}));
  EXPECT_EQ(ReadPixel(350, 150), (TPixel{255, 255, 255}));
  EXPECT_EQ(ReadPixel(550, 150), (TPixel{255, 255, 255}));
  EXPECT_EQ(ReadPixel(50, 50), (TPixel{0, 0, 0}));
  (void)missing;
  glDeleteTextures(1, &red);
}

} // namespace
