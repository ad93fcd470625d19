// A lobby-like screen drawn through its retained layer, read back whole and compared with the
// same frame drawn directly: kept frames, frames after a change and a moving cursor.
#include "app/desktop_screen.h"
#include "app/frame_canvas.h"
#include "app/global.h"
#include "app/prog.h"
#include "app/screen.h"
#include "gfx/media_manager.h"
#include "gui/gui.h"

#include "../support/pin_libraries.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> ReadWindow() {
  std::vector<unsigned char> pixels(static_cast<std::size_t>(CLIENT_WIDTH) * CLIENT_HEIGHT * 4);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, CLIENT_WIDTH, CLIENT_HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

// The OpenGL canvas without the buffer swap, so that the frame stays to be read.
class TKeptCanvas : public TGLFrameCanvas {
public:
  using TGLFrameCanvas::TGLFrameCanvas;
  void Present() override {}
};

// The same, drawing every frame directly as a canvas without a layer does.
class TDirectCanvas : public TKeptCanvas {
public:
  using TKeptCanvas::TKeptCanvas;
  bool DrawLayer(const std::string&, const TGUICommandList&) override { return false; }
};

class RetainedFrame : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run (tools/test.sh)";
    ASSERT_TRUE(InitializePinned(Screen)) << SDL_GetError();
    TProg().InitGL();
    Global.Man = &Man;
    Lobby = std::make_unique<TDesktopScreen>(std::string(SOURCE_DIR) + "/media/chat.ui");
    auto canvas = std::make_unique<TKeptCanvas>(&Man);
    Canvas = canvas.get();
    Lobby->Canvas = std::move(canvas);
    Chat = Lobby->Desktop->Find<TUIList>("ChatList");
    auto* users = Lobby->Desktop->Find<TUIList>("UserList");
    ASSERT_TRUE(Chat != nullptr && users != nullptr);
    for (int i = 0; i < 40; ++i) {
      Chat->FStrings.push_back("<player" + std::to_string(i) + "> anyone for the river map? ");
      users->FStrings.push_back("player" + std::to_string(i));
    }
    users->FIndex = 2;
    Global.MX = 400;
    Global.MY = 300;
  }
  void TearDown() override {
    Lobby.reset();
    Global = TGlobal{};
  }

  // One frame through the screen's layer.
  std::vector<unsigned char> Frame() {
    Lobby->DoLoop();
    return ReadWindow();
  }
  // The same frame drawn directly.
  std::vector<unsigned char> Reference() {
    std::unique_ptr<TFrameCanvas> direct = std::make_unique<TDirectCanvas>(&Man);
    std::swap(Lobby->Canvas, direct);
    Lobby->DoLoop();
    std::swap(Lobby->Canvas, direct);
    return ReadWindow();
  }
  bool Kept() const { return Canvas->Layer.LastFrameKept(); }
  // Draws until the layer shows its kept picture; answers the last frame.
  std::vector<unsigned char> KeptFrame() {
    std::vector<unsigned char> frame;
    for (int i = 0; i < 3 && !Kept(); ++i) {
      frame = Frame();
    }
    EXPECT_TRUE(Kept());
    return frame;
  }

  TScreen Screen{"retained frame test", CLIENT_WIDTH, CLIENT_HEIGHT, 24, false, 500.0f};
  TFileMediaManager Man{std::string(SOURCE_DIR) + "/media/"};
  std::unique_ptr<TDesktopScreen> Lobby;
  TKeptCanvas* Canvas = nullptr;
  TUIList* Chat = nullptr;
};

TEST_F(RetainedFrame, KeptFrameHasTheDirectlyDrawnFramesPixels) {
  const auto reference = Reference();
  EXPECT_GT(std::set<unsigned char>(reference.begin(), reference.end()).size(), 16u)
      << "the lobby should show pictures and text";
  for (bool kept : {false, false, true, true}) {
    const auto frame = Frame();
    EXPECT_EQ(Kept(), kept);
    EXPECT_TRUE(frame == reference) << "frame differs from the directly drawn one";
  }
}

TEST_F(RetainedFrame, ChangeShowsInTheVeryNextFrame) {
  auto* edit = Lobby->Desktop->Find<TUIEdit>("ChatEdit");
  ASSERT_NE(edit, nullptr);
  SDL_MouseButtonEvent press{};
  press.type = SDL_MOUSEBUTTONDOWN;
  press.button = SDL_BUTTON_LEFT;
  press.x = 20; // on the chat tab button
  press.y = 20;
  const std::pair<const char*, std::function<void()>> changes[] = {
      {"a new chat line",
       [&] {
         Chat->FStrings.erase(Chat->FStrings.begin());
         Chat->FStrings.push_back("<dan> late again");
       }},
      {"the focus moves to the chat edit", [&] { Lobby->Desktop->SetFocus(edit); }},
      {"a typed character", [&] { Lobby->Desktop->DoKeyPress('h'); }},
      {"a button pressed", [&] { Lobby->MouseDownEvent(press); }},
      {"another page", [&] { Lobby->Desktop->Find<TUILayered>("lyd1")->SwitchPage("pagGames"); }},
  };
  for (const auto& [what, change] : changes) {
    SCOPED_TRACE(what);
    const auto before = KeptFrame();
    change();
    const auto after = Frame();
    EXPECT_FALSE(Kept());
    EXPECT_FALSE(after == before) << "the change should be visible";
    EXPECT_TRUE(after == Reference()) << "frame differs from the directly drawn one";
  }
  EXPECT_EQ(edit->FText, "h");
}

TEST_F(RetainedFrame, CursorMovesOverTheKeptLayer) {
  KeptFrame();
  for (auto [x, y] : {std::pair{0, 0}, {410, 300}, {790, 590}, {20, 530}, {-30, -30}}) {
    SCOPED_TRACE(testing::Message() << x << ", " << y);
    Global.MX = x;
    Global.MY = y;
    const auto frame = Frame();
    EXPECT_TRUE(Kept()) << "the cursor is not part of the layer";
    EXPECT_TRUE(frame == Reference()) << "frame differs from the directly drawn one";
  }
}

} // namespace
