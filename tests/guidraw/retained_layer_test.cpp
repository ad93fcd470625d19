// The recorded GUI and the retained layer: a replayed recording draws what direct drawing
// draws, and the kept picture is drawn only while everything it was made of repeats.
#include "drawer_fixture.h"

#include "gfx/opengl_helpers.h"
#include "guidraw/gui_command_list.h"
#include "guidraw/retained_layer.h"

#include <functional>

namespace {

std::vector<unsigned char> ReadWindow() {
  std::vector<unsigned char> pixels(800 * 600 * 4);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

// What lies under the GUI: a plain colour.
void Under() {
  glDisable(GL_TEXTURE_2D);
  DrawRectangle(0, 0, 800, 600, 0.2f, 0.4f, 0.6f);
  glEnable(GL_TEXTURE_2D);
}

class RetainedLayer : public DrawerTest {
protected:
  // Every widget kind that draws, inside a window and a layered widget's page.
  void BuildDesktop() {
    auto& window = Place<TUIWindow>(Desktop, 20, 20, 700, 500);
    window.FTitle = "Lobby";
    window.FMarginLeft = 8;
    window.FMarginTop = 24;
    Place<TUIButton>(window, 0, 0, 100, 32).FCaption = "Chat";
    Edit = &Place<TUIEdit>(window, 110, 0, 300, 32);
    Edit->FText = "hello";
    List = &Place<TUIList>(window, 0, 40, 300, 200);
    List->FStrings = {"<ann> hi", "<bob> hello there", "<cid> a game?"};
    List->FStrings.resize(30, "<dan> a chat line far too long for the list it is shown in");
    List->FIndex = 1;
    Place<TUITracker>(window, 310, 40, 200, 32).FPosition = 4;
    Place<TUICheckBox>(window, 310, 80, 32, 32).FChecked = true;
    auto& bar = Place<TUIBar>(window, 310, 120, 200, 24);
    bar.FPosition = 30;
    Place<TUIImage>(window, 520, 40, 64, 64).FImage = 0;
    auto& layered = Place<TUILayered>(window, 0, 250, 600, 200);
    auto& page = Place<TUIPage>(layered, 0, 0, 600, 200);
    page.FDrawBack = true;
    Label = &Place<TUILabel>(page, 20, 20, 200, 8);
    Label->FCaption = "on the page";
    Desktop.SetFocus(Edit);
  }

  // One frame through the layer, and the same frame drawn directly; both read back.
  std::vector<unsigned char> Layered(std::uint32_t UnderTexture) {
    glClear(GL_COLOR_BUFFER_BIT);
    Drawer.Record(Desktop, Commands);
    Layer.Draw(UnderTexture, Commands, Under);
    return ReadWindow();
  }
  std::vector<unsigned char> Direct() {
    glClear(GL_COLOR_BUFFER_BIT);
    Under();
    Drawer.Draw(Desktop);
    return ReadWindow();
  }

  TUIEdit* Edit = nullptr;
  TUIList* List = nullptr;
  TUILabel* Label = nullptr;
  TGUICommandList Commands;
  TRetainedLayer Layer;
};

TEST_F(RetainedLayer, ReplayedRecordingDrawsTheGeometryOfDirectDrawing) {
  BuildDesktop();
  const auto direct = Polygons(CaptureFeedback([&] { Drawer.Draw(Desktop); }));
  EXPECT_TRUE(Polygons(CaptureFeedback([&] { Drawer.Record(Desktop, Commands); })).empty())
      << "recording draws nothing";
  const auto replayed = Polygons(CaptureFeedback([&] { Commands.Replay(GLGUIOutput()); }));
  ASSERT_GT(direct.size(), 100u);
  ASSERT_EQ(replayed.size(), direct.size());
  for (std::size_t i = 0; i < direct.size(); ++i) {
    ASSERT_EQ(replayed[i].Vertices.size(), direct[i].Vertices.size()) << "primitive " << i;
    for (std::size_t k = 0; k < direct[i].Vertices.size(); ++k) {
      const auto& a = direct[i].Vertices[k];
      const auto& b = replayed[i].Vertices[k];
      EXPECT_TRUE(a.X == b.X && a.Y == b.Y && a.S == b.S && a.T == b.T && a.R == b.R &&
                  a.G == b.G && a.B == b.B)
          << "primitive " << i << " vertex " << k;
    }
  }
}

TEST_F(RetainedLayer, PictureIsKeptOnlyWhileUnderGuiAndViewportRepeat) {
  BuildDesktop();
  struct Change {
    const char* What;
    std::function<void()> Apply;
    std::uint32_t Under;
  };
  const Change changes[] = {
      {"first frames", [] {}, 1},
      {"another texture under the GUI", [] {}, 2},
      {"the edit's text", [&] { Edit->FText += "!"; }, 2},
      {"the focus", [&] { Desktop.ResetFocus(); }, 2},
      {"the list scrolled", [&] { List->ScrollBy(1); }, 2},
      {"a label cut shorter", [&] { Label->SetWidth(40); }, 2},
      {"a smaller viewport", [] { glViewport(0, 0, 400, 300); }, 2},
      {"the whole window again", [] { glViewport(0, 0, 800, 600); }, 2},
  };
  for (const auto& change : changes) {
    SCOPED_TRACE(change.What);
    change.Apply();
    // Drawn at once, drawn and copied on the first repeat, then drawn from the copy.
    for (bool kept : {false, false, true, true}) {
      const auto layered = Layered(change.Under);
      EXPECT_EQ(Layer.LastFrameKept(), kept);
      EXPECT_TRUE(layered == Direct()) << "the layer differs from direct drawing";
    }
  }
}

TEST_F(RetainedLayer, NewContextNeverShowsThePictureOfTheOldOne) {
  BuildDesktop();
  for (int i = 0; i < 3; ++i) {
    Layered(0);
  }
  ASSERT_TRUE(Layer.LastFrameKept());
  Screen.Finalize();
  ASSERT_TRUE(InitializePinned(Screen));
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_TEXTURE_2D);
  BeginOrtho(800, 600);
  // The new context gives the old texture names, the layer's among them, to textures of its
  // own: the same commands now draw green frames and text.
  std::vector<GLuint> names(64);
  glGenTextures(static_cast<GLsizei>(names.size()), names.data());
  const unsigned char green[4] = {0, 255, 0, 255};
  for (GLuint name : names) {
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, green);
  }
  // The commands repeat the last frame's, so the first frame is drawn and copied at once.
  for (bool kept : {false, true, true}) {
    const auto layered = Layered(0);
    EXPECT_EQ(Layer.LastFrameKept(), kept);
    EXPECT_TRUE(layered == Direct()) << "the layer differs from direct drawing";
  }
  glDeleteTextures(static_cast<GLsizei>(names.size()), names.data());
}

} // namespace
