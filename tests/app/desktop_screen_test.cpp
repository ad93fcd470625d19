// The shape the screens share, checked without a window: a recording canvas and GUI drawer
// stand in for OpenGL, and SDL's event queue (dummy video driver) feeds the real loop.
#include "app/desktop_screen.h"
#include "app/global.h"
#include "app/key_state.h"
#include "app/main_loop.h"
#include "gui/gui.h"
#include "guidraw/gui_drawer.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class TRecordingCanvas : public TFrameCanvas {
public:
  explicit TRecordingCanvas(std::vector<std::string>& L) : Log(L) {}
  void Clear() override { Log.push_back("clear"); }
  void BeginOrtho2D() override { Log.push_back("ortho"); }
  void DrawImage(const std::string& T, int X, int Y, int W, int H) override {
    Log.push_back("image " + T + " " + std::to_string(X) + " " + std::to_string(Y) + " " +
                  std::to_string(W) + " " + std::to_string(H));
  }
  void EndOrtho2D() override { Log.push_back("end ortho"); }
  void Present() override { Log.push_back("present"); }
  std::vector<std::string>& Log;
};

class TRecordingDrawer : public TAbstractGUIDrawer {
public:
  explicit TRecordingDrawer(std::vector<std::string>& L) : Log(L) {}
  void Draw(TUIDesktop& D) override { Log.push_back("gui " + std::to_string(D.Count())); }
  std::vector<std::string>& Log;
};

const char* const UI = R"(<GUI>
  <WINDOW name="Main">
    <LEFT>100</LEFT><TOP>100</TOP><WIDTH>400</WIDTH><HEIGHT>300</HEIGHT>
    <MARGINTOP>20</MARGINTOP>
    <CHILDREN>
      <EDIT name="NameEdit"><LEFT>10</LEFT><TOP>10</TOP><WIDTH>200</WIDTH><HEIGHT>32</HEIGHT></EDIT>
      <BUTTON name="OkButton"><LEFT>10</LEFT><TOP>60</TOP><WIDTH>100</WIDTH><HEIGHT>32</HEIGHT></BUTTON>
    </CHILDREN>
  </WINDOW>
</GUI>
)";

// A screen with the default shape, its drawing recorded.
class TPlainScreen : public TDesktopScreen {
public:
  TPlainScreen(const std::string& File, std::vector<std::string>& Log) : TDesktopScreen(File) {
    GUIDrawer = std::make_unique<TRecordingDrawer>(Log);
    Canvas = std::make_unique<TRecordingCanvas>(Log);
  }
};

// A screen that uses every hook, as the game and lobby screens do.
class THookedScreen : public TPlainScreen {
public:
  THookedScreen(const std::string& File, std::vector<std::string>& Log)
      : TPlainScreen(File, Log), Log(Log) {}
  std::vector<std::string>& Log;
  std::vector<int> Keys;

protected:
  void BeforeFrame() override { Log.push_back("poll"); }
  void DrawScene() override { Log.push_back("scene"); }
  bool HasBackground() const override { return false; }
  std::string CursorTexture() const override { return "hourglass"; }
  void HandleKey(const SDL_KeyboardEvent& E) override { Keys.push_back(E.keysym.sym); }
};

class DesktopScreenTest : public ::testing::Test {
protected:
  void SetUp() override {
    File = std::string(BINARY_DIR) + "/desktop_screen_test_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ui";
    std::ofstream(File) << UI;
    Global.KeyState = &Keys;
    Global.Loop = &Loop;
  }
  void TearDown() override {
    std::remove(File.c_str());
    Global = TGlobal{};
    ActiveEvent = nullptr;
  }

  static SDL_KeyboardEvent Key(SDLKey Sym, Uint16 Unicode) {
    SDL_KeyboardEvent e{};
    e.type = SDL_KEYDOWN;
    e.keysym.sym = Sym;
    e.keysym.unicode = Unicode;
    return e;
  }
  static SDL_MouseButtonEvent Button(Uint8 Type, Uint8 B, Uint16 X, Uint16 Y) {
    SDL_MouseButtonEvent e{};
    e.type = Type;
    e.button = B;
    e.x = X;
    e.y = Y;
    return e;
  }
  static SDL_MouseMotionEvent Motion(Uint16 X, Uint16 Y) {
    SDL_MouseMotionEvent e{};
    e.type = SDL_MOUSEMOTION;
    e.x = X;
    e.y = Y;
    return e;
  }

  std::string File;
  TKeyState Keys;
  TOpenGLRealtimeLoop Loop;
  std::vector<std::string> Log;
};

TEST_F(DesktopScreenTest, LoadsItsDesktopAndCreatesTheDrawers) {
  TDesktopScreen screen(File);
  ASSERT_NE(screen.Desktop, nullptr);
  EXPECT_NE(screen.Desktop->Find<TUIEdit>("nameedit"), nullptr);
  EXPECT_NE(screen.Desktop->Find<TUIButton>("OkButton"), nullptr);
  EXPECT_NE(dynamic_cast<TGUIDrawer*>(screen.GUIDrawer.get()), nullptr);
  EXPECT_NE(dynamic_cast<TGLFrameCanvas*>(screen.Canvas.get()), nullptr);
}

TEST_F(DesktopScreenTest, ScreenWithoutAFileStartsEmpty) {
  TDesktopScreen screen;
  EXPECT_EQ(screen.Desktop->Count(), 0);
  EXPECT_NE(screen.GUIDrawer, nullptr);
  EXPECT_NE(screen.Canvas, nullptr);
}

TEST_F(DesktopScreenTest, UnreadableFileRaisesAndUnknownElementsLeaveAPartialDesktop) {
  EXPECT_ANY_THROW(TDesktopScreen("no/such/file.ui"));
  std::ofstream(File) << "<GUI><LABEL name=\"a\"/><lowercase/><LABEL name=\"b\"/></GUI>";
  TDesktopScreen screen(File);
  EXPECT_EQ(screen.Desktop->Count(), 1);
}

TEST_F(DesktopScreenTest, FrameDrawsBackgroundGuiAndCursorAtTheMouse) {
  TPlainScreen screen(File, Log);
  Global.MX = 799;
  Global.MY = 12;
  screen.DoLoop();
  const std::vector<std::string> expected = {
      "clear",     "ortho",  "image background 0 0 800 600", "gui 1", "image pointer 799 12 64 64",
      "end ortho", "present"};
  EXPECT_EQ(Log, expected);
}

TEST_F(DesktopScreenTest, HooksPlaceTheScreensOwnSteps) {
  THookedScreen screen(File, Log);
  screen.DoLoop();
  const std::vector<std::string> expected = {"poll",      "clear",  "scene",
                                             "ortho",     "gui 1",  "image hourglass 0 0 64 64",
                                             "end ortho", "present"};
  EXPECT_EQ(Log, expected);
}

TEST_F(DesktopScreenTest, EnterClearsTheFocus) {
  TPlainScreen screen(File, Log);
  screen.Desktop->SetFocus(screen.Desktop->Find<TUIEdit>("NameEdit"));
  screen.Enter();
  EXPECT_EQ(screen.Desktop->FFocused, nullptr);
}

TEST_F(DesktopScreenTest, MouseEventsReachTheDesktopAndMovesAreRemembered) {
  TPlainScreen screen(File, Log);
  int clicks = 0;
  screen.Desktop->Find<TUIButton>("OkButton")->FOnClick = [&](TUIWidget*) { ++clicks; };
  std::vector<int> buttons;
  screen.Desktop->FOnMouseDown = [&](TUIWidget*, int, int, TMouseButton B) {
    buttons.push_back(B);
  };
  // The button's corner in window pixels: window (100, 100) + title band 20 + (10, 60).
  screen.MouseMoveEvent(Motion(115, 185));
  screen.MouseDownEvent(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 115, 185));
  screen.MouseUpEvent(Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 115, 185));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(Global.MX, 115);
  EXPECT_EQ(Global.MY, 185);
  // Over empty desktop; wheel buttons pass through as their numbers.
  screen.MouseDownEvent(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_WHEELUP, 5, 5));
  screen.MouseDownEvent(Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 5, 5));
  EXPECT_EQ(buttons, (std::vector<int>{4, 3}));
  screen.MouseMoveEvent(Motion(799, 599));
  EXPECT_EQ(Global.MX, 799);
  EXPECT_EQ(Global.MY, 599);
}

TEST_F(DesktopScreenTest, KeysReachTheFocusedWidgetAndTheKeyState) {
  TPlainScreen screen(File, Log);
  auto* edit = screen.Desktop->Find<TUIEdit>("NameEdit");
  screen.Desktop->SetFocus(edit);
  screen.KeyDownEvent(Key(SDLK_a, 'a'));
  screen.KeyDownEvent(Key(SDLK_LSHIFT, 0));
  screen.KeyDownEvent(Key(SDLK_b, 'B'));
  // A key that types nothing reaches the GUI as character 0 and still counts as held.
  screen.KeyDownEvent(Key(SDLK_UP, 0));
  // Only the low byte of the Unicode value is typed: U+263A arrives as ':'.
  screen.KeyDownEvent(Key(SDLK_WORLD_0, 0x263A));
  EXPECT_EQ(edit->FText, "aB:");
  EXPECT_TRUE(Keys.Shift);
  EXPECT_TRUE(Keys.Up);
  screen.KeyDownEvent(Key(SDLK_BACKSPACE, 8));
  EXPECT_EQ(edit->FText, "aB");
  // Releases go to the key state only.
  SDL_KeyboardEvent up = Key(SDLK_UP, 'x');
  up.type = SDL_KEYUP;
  screen.KeyUpEvent(up);
  EXPECT_FALSE(Keys.Up);
  EXPECT_EQ(edit->FText, "aB");
  EXPECT_FALSE(Loop.FDone);
}

TEST_F(DesktopScreenTest, EscapeStopsTheLoopUnlessTheScreenHandlesKeysItself) {
  TPlainScreen plain(File, Log);
  plain.KeyDownEvent(Key(SDLK_ESCAPE, 27));
  EXPECT_TRUE(Loop.FDone);
  plain.KeyUpEvent(Key(SDLK_ESCAPE, 27));
  Loop.FDone = false;
  THookedScreen hooked(File, Log);
  hooked.KeyDownEvent(Key(SDLK_ESCAPE, 27));
  EXPECT_FALSE(Loop.FDone);
  EXPECT_EQ(hooked.Keys, std::vector<int>{SDLK_ESCAPE});
}

TEST_F(DesktopScreenTest, WithoutKeyStateOrLoopKeysAreStillSafe) {
  TPlainScreen screen(File, Log);
  Global.KeyState = nullptr;
  Global.Loop = nullptr;
  screen.KeyDownEvent(Key(SDLK_ESCAPE, 27));
  SDL_KeyboardEvent up = Key(SDLK_ESCAPE, 27);
  screen.KeyUpEvent(up);
  SUCCEED();
}

// The whole path, from SDL's queue through the loop and ChangeListener to the widgets.
TEST_F(DesktopScreenTest, SyntheticEventsDriveTheCurrentScreenThroughTheLoop) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
  TPlainScreen first(File, Log);
  TPlainScreen second(File, Log);
  auto* edit = first.Desktop->Find<TUIEdit>("NameEdit");
  first.Desktop->Find<TUIButton>("OkButton")->FOnClick = [&](TUIWidget*) {
    ChangeListener(&second);
  };
  ChangeListener(&first);

  auto push = [](SDL_Event E) { ASSERT_EQ(SDL_PushEvent(&E), 0); };
  SDL_Event e{};
  e.button = Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 120, 135); // focus the edit
  push(e);
  e.button = Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 120, 135);
  push(e);
  e = {};
  e.key = Key(SDLK_h, 'h');
  push(e);
  e.key = Key(SDLK_i, 'i');
  push(e);
  e = {};
  e.button = Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 115, 185); // press OK
  push(e);
  e.button = Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 115, 185); // click: switch screens
  push(e);
  e = {};
  e.motion = Motion(120, 135); // after the switch: over the second screen's edit
  push(e);
  e = {};
  e.type = SDL_QUIT;
  push(e);
  Loop.StartLoop();

  EXPECT_EQ(edit->FText, "hi");
  EXPECT_TRUE(second.Active);
  EXPECT_FALSE(first.Active);
  EXPECT_EQ(Global.MX, 120);
  EXPECT_EQ(second.Desktop->FOver, second.Desktop->Find<TUIEdit>("NameEdit"));
  EXPECT_EQ(first.Desktop->FOver, first.Desktop.get());
  // One frame, drawn by the second screen.
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "present"), 1);
  SDL_Quit();
  unsetenv("SDL_VIDEODRIVER");
}

} // namespace
