#pragma once
// A real client window in the client's OpenGL state, the 2D projection the screens draw the GUI
// in, and a media manager whose look-ups leave a marker in a feedback capture: every texture
// bind of the drawer shows up in the captured stream just before the quads drawn with it.

#include "app/ortho.h"
#include "app/screen.h"
#include "gfx/media_manager.h"
#include "gfx/texture.h"
#include "gui/gui.h"
#include "guidraw/gui_drawer.h"

#include "../support/gl_capture.h"
#include "../support/pin_libraries.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

// Every texture name the drawer may ask for, in marker order.
inline const std::vector<std::string> TEXTURE_NAMES = {
    "font", "interf3", "interf3b", "interf4", "interf4g", "interf6", "interftick"};

class TMarkingMediaManager : public TGenericMediaManager {
public:
  TMesh* GetMeshByName(const std::string&) override { return nullptr; }
  TSound* GetSoundByName(const std::string&) override { return nullptr; }
  TTexture* GetTextureByName(const std::string& Name) override {
    Requests.push_back(Name);
    for (std::size_t i = 0; i < TEXTURE_NAMES.size(); ++i) {
      if (TEXTURE_NAMES[i] == Name) {
        glPassThrough(static_cast<GLfloat>(i));
      }
    }
    if (Missing.count(Name) != 0) {
      return nullptr;
    }
    auto& slot = Textures[Name];
    if (!slot) {
      slot = std::make_unique<TTexture>();
      slot->Name = Name;
      GLuint tex = 0;
      glGenTextures(1, &tex);
      slot->Texture = tex;
      glBindTexture(GL_TEXTURE_2D, tex);
      // A plain white image: drawn colours are the vertex colours.
      const unsigned char white[4 * 4 * 4] = {
          255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
          255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
          255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
          255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255};
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    }
    return slot.get();
  }

  std::vector<std::string> Requests;
  std::set<std::string> Missing;
  std::map<std::string, std::unique_ptr<TTexture>> Textures;
};

// The primitives drawn while one texture was bound.
struct TTexturedRun {
  std::string Texture; // empty for what came before the first bind
  std::vector<TFeedbackPrimitive> Prims;
};

inline std::vector<TTexturedRun> SplitByTexture(const std::vector<TFeedbackPrimitive>& Prims) {
  std::vector<TTexturedRun> runs(1);
  for (const auto& p : Prims) {
    if (p.Kind == GL_PASS_THROUGH_TOKEN) {
      runs.push_back({TEXTURE_NAMES.at(static_cast<std::size_t>(p.Marker)), {}});
    } else {
      runs.back().Prims.push_back(p);
    }
  }
  return runs;
}

// A quad as the drawer emits it: two triangles, vertices 0, 1, 2 of the first being the
// strip's top-left, bottom-left and top-right corners, vertex 2 of the second the bottom-right.
struct TQuad {
  float Left = 0, Top = 0, Right = 0, Bottom = 0;
  float U = 0, V = 0, U2 = 0, V2 = 0;
  float R = 0, G = 0, B = 0;
};

inline std::vector<TQuad> Quads(const std::vector<TFeedbackPrimitive>& Prims) {
  std::vector<TQuad> quads;
  for (std::size_t i = 0; i + 1 < Prims.size(); i += 2) {
    const auto& a = Prims[i].Vertices;
    const auto& b = Prims[i + 1].Vertices;
    if (a.size() != 3 || b.size() != 3) {
      ADD_FAILURE() << "not a quad at primitive " << i;
      break;
    }
    TQuad q;
    q.Left = a[0].X;
    q.Top = a[0].Y;
    q.Right = b[2].X;
    q.Bottom = b[2].Y;
    q.U = a[0].S;
    q.V = a[0].T;
    q.U2 = b[2].S;
    q.V2 = b[2].T;
    q.R = a[0].R;
    q.G = a[0].G;
    q.B = a[0].B;
    quads.push_back(q);
  }
  if (Prims.size() % 2 != 0) {
    ADD_FAILURE() << "odd number of triangles";
  }
  return quads;
}

// Adds a new T at (L, T_), W x H, to Parent and answers it.
template <class T>
T& Place(TUIContainer& Parent, int L, int T_, int W, int H) {
  auto w = std::make_unique<T>();
  w->FLeft = L;
  w->FTop = T_;
  w->SetWidth(W);
  w->SetHeight(H);
  T& ref = *w;
  Parent.Add(std::move(w));
  return ref;
}

class DrawerTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run (tools/test.sh)";
    ASSERT_TRUE(InitializePinned(Screen)) << SDL_GetError();
    // The client's OpenGL state for the 2D layer.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    BeginOrtho(800, 600);
  }
  void TearDown() override {
    if (Screen.IsActive()) {
      EndOrtho();
    }
  }

  // Draws the desktop in feedback mode and splits what it drew by bound texture.
  std::vector<TTexturedRun> Capture() {
    return SplitByTexture(CaptureFeedback([this] { Drawer.Draw(Desktop); }));
  }

  template <class T>
  T& Add(std::unique_ptr<T> W) {
    T& ref = *W;
    Desktop.Add(std::move(W));
    return ref;
  }

  TScreen Screen{"drawer test", 800, 600, 24, false, 500.0f};
  TMarkingMediaManager Man;
  TGUIDrawer Drawer{&Man};
  TUIDesktop Desktop;
};

// Checks the position of a quad in pixels.
inline void ExpectRect(const TQuad& Q, float L, float T, float R, float B) {
  EXPECT_NEAR(Q.Left, L, 1e-3);
  EXPECT_NEAR(Q.Top, T, 1e-3);
  EXPECT_NEAR(Q.Right, R, 1e-3);
  EXPECT_NEAR(Q.Bottom, B, 1e-3);
}

// Checks that a run of quads is text: glyph I at (X + 7 I, Y), 8 x 8, in the cells of Text.
inline void ExpectText(const std::vector<TQuad>& Glyphs, float X, float Y,
                       const std::string& Text) {
  ASSERT_EQ(Glyphs.size(), Text.size());
  for (std::size_t i = 0; i < Text.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "glyph " << i << " '" << Text[i] << "'");
    ExpectRect(Glyphs[i], X + 7.0f * i, Y, X + 7.0f * i + 8, Y + 8);
    const int k = static_cast<unsigned char>(Text[i]) - 32;
    EXPECT_NEAR(Glyphs[i].U, (k % 16) / 16.0f, 1e-5);
    EXPECT_NEAR(Glyphs[i].V, (k / 16) / 16.0f + 0.5f, 1e-5);
    EXPECT_NEAR(Glyphs[i].R + Glyphs[i].G + Glyphs[i].B, 0.0f, 1e-5) << "text is black";
  }
}
