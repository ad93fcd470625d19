// contactsheet: draws the media set into one picture for the documentation.
// Usage: contactsheet MEDIA_DIR OUTPUT.png
//
// The picture is two 800 x 600 frames one above the other, each drawn in an OpenGL window and
// read back: first the interface textures (frames at several sizes, the font, cursors, the
// tick, background and ground tile), then the three models at rest and the figure's
// animations at several moments, lit like the game screen lights them.
#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "../mediagen/image.h"
#include "../mediagen/png_writer.h"
#include "gfx/draw_model.h"
#include "gfx/media_manager.h"
#include "gfx/model.h"
#include "gfx/opengl_helpers.h"
#include "gfx/runtime_animator.h"
#include "guidraw/gui_drawer.h"

namespace {

constexpr int W = 800, H = 600;
const float LIGHT_AMBIENT[4] = {0.3f, 0.3f, 0.3f, 1};
const float LIGHT_DIFFUSE[4] = {0.7f, 0.7f, 0.7f, 1};

void Ortho() {
  glViewport(0, 0, W, H);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, W, H, 0, 0, 100);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void Bind(TGenericMediaManager& Man, const char* Name) {
  if (TTexture* t = Man.GetTextureByName(Name))
    t->Bind();
  else
    std::fprintf(stderr, "contactsheet: no texture %s\n", Name);
}

// A light label panel with black text, so that captions read on the dark sheet.
void Label(TGenericMediaManager& Man, int X, int Y, const std::string& Text) {
  glDisable(GL_TEXTURE_2D);
  DrawRectangle(static_cast<float>(X - 3), static_cast<float>(Y - 3),
                static_cast<float>(Text.size() * 7 + 6), 14, 0.86f, 0.84f, 0.78f);
  glEnable(GL_TEXTURE_2D);
  Bind(Man, "font");
  DrawString(X, Y, Text);
}

void Checkerboard(int X, int Y, int Width, int Height) {
  glDisable(GL_TEXTURE_2D);
  for (int y = 0; y < Height; y += 8)
    for (int x = 0; x < Width; x += 8) {
      const float c = ((x / 8 + y / 8) % 2) ? 0.55f : 0.7f;
      DrawRectangle(static_cast<float>(X + x), static_cast<float>(Y + y),
                    static_cast<float>(std::min(8, Width - x)),
                    static_cast<float>(std::min(8, Height - y)), c, c, c);
    }
  glEnable(GL_TEXTURE_2D);
}

void Texture(TGenericMediaManager& Man, const char* Name, int X, int Y, int Size) {
  Checkerboard(X, Y, Size, Size);
  Bind(Man, Name);
  DrawRectangle(static_cast<float>(X), static_cast<float>(Y), static_cast<float>(Size),
                static_cast<float>(Size), 1, 1, 1);
}

void Frame(TGenericMediaManager& Man, const char* Name, int X, int Y, int Width, int Height,
           bool Yellow = false) {
  Bind(Man, Name);
  if (Yellow)
    glColor3f(1, 1, 0);
  else
    glColor3f(1, 1, 1);
  DrawRect(X, Y, Width, Height);
}

void DrawInterfaceFrame(TGenericMediaManager& Man) {
  glClearColor(0.16f, 0.17f, 0.2f, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  Ortho();
  // A window as the GUI draws it, with its widgets, over the lobby background.
  Bind(Man, "background");
  DrawRectangle(10, 10, 400, 300, 1, 1, 1);
  Frame(Man, "interf3", 30, 30, 360, 260);
  Bind(Man, "font");
  DrawString(40, 35, "Lobby - Fjord Raiders");
  Frame(Man, "interf4", 45, 60, 200, 160);
  glDisable(GL_TEXTURE_2D);
  DrawRectangle(55, 84, 180, 13, 0.6f, 0.6f, 0.6f);
  glEnable(GL_TEXTURE_2D);
  Bind(Man, "font");
  const char* users[] = {"Olaf", "Astrid", "Bjorn Ironside", "Freydis", "Sigurd_99"};
  for (int i = 0; i < 5; ++i)
    DrawString(55, 76 + 12 * i, users[i]);
  Frame(Man, "interf4", 260, 60, 115, 36);
  Bind(Man, "font");
  DrawString(272, 70, "Create");
  Frame(Man, "interf4", 260, 104, 115, 36, true);
  Bind(Man, "font");
  DrawString(272, 114, "Join (focus)");
  Frame(Man, "interf4g", 260, 148, 115, 36);
  Bind(Man, "font");
  DrawString(272, 158, "Disabled");
  Frame(Man, "interf4", 45, 232, 200, 36);
  Bind(Man, "font");
  DrawString(57, 242, "Hello, raiders!_");
  Frame(Man, "interf4", 260, 232, 32, 32);
  Bind(Man, "interftick");
  DrawRectangle(260, 232, 32, 32, 1, 1, 1);
  Bind(Man, "font");
  DrawString(294, 242, "Ready");
  glDisable(GL_TEXTURE_2D);
  DrawRectangle(46, 194, 118, 18, 1, 1, 0);
  glEnable(GL_TEXTURE_2D);
  Frame(Man, "interf6", 45, 193, 200, 20);
  Bind(Man, "font");
  DrawString(49, 197, "Loading");
  Bind(Man, "pointer");
  DrawRectangle(300, 190, 64, 64, 1, 1, 1);

  // Each texture on its own, on a checkerboard where it has transparent parts.
  const struct {
    const char* Name;
    int X, Y, Size;
  } textures[] = {
      {"interf3", 430, 30, 96},   {"interf3b", 536, 30, 96},   {"interf4", 642, 30, 96},
      {"interf4g", 430, 160, 96}, {"interf6", 536, 160, 96},   {"interftick", 642, 160, 96},
      {"pointer", 430, 290, 96},  {"hourglass", 536, 290, 96}, {"tile0", 642, 290, 96}};
  for (const auto& t : textures) {
    Texture(Man, t.Name, t.X, t.Y, t.Size);
    Label(Man, t.X, t.Y + t.Size + 6, t.Name);
  }
  // The font texture, and text drawn with it at its real size.
  Texture(Man, "font", 20, 330, 256);
  Label(Man, 20, 592 - 6, "font");
  glDisable(GL_TEXTURE_2D);
  DrawRectangle(290, 420, 500, 104, 0.89f, 0.84f, 0.73f);
  glEnable(GL_TEXTURE_2D);
  Bind(Man, "font");
  const char* lines[] = {"The quick brown fox jumps over the lazy dog.",
                         "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG!",
                         "0123456789 +-*/=<> ()[]{} #$%&@ ~^_|\\ ?!.,;:'\"`",
                         "<Astrid> Anyone up for a raid? Join 'Fjord #2'",
                         "Password: ********_   Score: 1,024/2,048",
                         "Tile 42,17   Camera 32 36   Units: 3 vikings"};
  for (int i = 0; i < 6; ++i)
    DrawString(298, 428 + 15 * i, lines[i]);
  Label(Man, 290, 532, "text drawn with the font, 7-pixel advance");
  Label(Man, 10, 316 - 6, "frames and widgets as the GUI draws them; focused: yellow");
}

// One model in a cell of the frame, lit and seen like the game screen sees it.
void DrawModelCell(int Cell, int Columns, int Rows, float Distance, float TargetY,
                   const std::function<void()>& Draw) {
  const int cw = W / Columns, ch = (H - 40) / Rows;
  const int cx = (Cell % Columns) * cw, cy = (Cell / Columns) * ch; // from the top
  glViewport(cx, H - cy - ch, cw, ch);
  glEnable(GL_SCISSOR_TEST);
  glScissor(cx + 2, H - cy - ch + 2, cw - 4, ch - 4);
  glClearColor(0.42f, 0.5f, 0.58f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glDisable(GL_SCISSOR_TEST);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45, static_cast<double>(cw) / ch, 0.5, 100);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(0, 0, -Distance);
  glRotatef(30, 1, 0, 0);
  glRotatef(45, 0, 1, 0); // the game camera's turn: models face it three-quarters on
  glTranslatef(0, -TargetY, 0);
  // The light sits where the game's light is, seen from the models' place on the map.
  const float light[4] = {86, 200, 106, 1};
  glLightfv(GL_LIGHT1, GL_POSITION, light);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glFrontFace(GL_CCW);
  glEnable(GL_LIGHTING);
  Draw();
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
}

void Ground(TGenericMediaManager& Man, float Half) {
  glEnable(GL_TEXTURE_2D);
  Bind(Man, "tile0");
  SetMaterialColor(1, 1, 1);
  glNormal3f(0, 1, 0);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex3f(-Half, 0, -Half);
  glTexCoord2f(0, Half / 2);
  glVertex3f(-Half, 0, Half);
  glTexCoord2f(Half / 2, Half / 2);
  glVertex3f(Half, 0, Half);
  glTexCoord2f(Half / 2, 0);
  glVertex3f(Half, 0, -Half);
  glEnd();
}

void DrawModelsFrame(TGenericMediaManager& Man, const std::string& Dir) {
  glClearColor(0.16f, 0.17f, 0.2f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  TModel tree, viking, tank;
  for (auto [model, file] :
       {std::pair{&tree, "tree.model"}, std::pair{&viking, "viking_weapon.model"},
        std::pair{&tank, "tank_ok.model"}})
    if (!model->Load(Dir + file, &Man))
      throw std::runtime_error("no model " + Dir + file);
  TRuntimeAnimator anim;
  anim.Build(viking);
  glLightfv(GL_LIGHT1, GL_AMBIENT, LIGHT_AMBIENT);
  glLightfv(GL_LIGHT1, GL_DIFFUSE, LIGHT_DIFFUSE);
  glEnable(GL_LIGHT1);
  glDisable(GL_BLEND);

  struct TShot {
    std::string Caption;
    float Distance, TargetY;
    std::function<void()> Draw;
  };
  auto still = [&](TModel& M) {
    return [&M, &Man] {
      Ground(Man, 4);
      DrawModel(M);
    };
  };
  auto moment = [&](int Animation, float Phase) {
    return [&, Animation, Phase] {
      Ground(Man, 4);
      anim.Interpolate(Animation, Phase);
      DrawRuntimeModel(anim);
    };
  };
  const std::vector<TShot> shots = {
      {"tree", 10, 2, still(tree)},
      {"viking_weapon", 3.6f, 1.15f, still(viking)},
      {"tank_ok", 9, 0.6f, still(tank)},
      {"walk 0.25", 3.6f, 1.15f, moment(1, 0.25f)},
      {"walk 0.5", 3.6f, 1.15f, moment(1, 0.5f)},
      {"idle 0.5", 3.6f, 1.15f, moment(0, 0.5f)},
      {"attack 0.35", 3.6f, 1.25f, moment(2, 0.35f)},
      {"attack 0.45", 3.6f, 1.25f, moment(2, 0.45f)},
      {"attack 0.52", 3.6f, 1.25f, moment(2, 0.52f)},
  };
  for (std::size_t i = 0; i < shots.size(); ++i)
    DrawModelCell(static_cast<int>(i), 3, 3, shots[i].Distance, shots[i].TargetY, shots[i].Draw);
  Ortho();
  for (std::size_t i = 0; i < shots.size(); ++i)
    Label(Man, static_cast<int>(i % 3) * (W / 3) + 8, static_cast<int>(i / 3) * ((H - 40) / 3) + 8,
          shots[i].Caption);
  Label(Man, 8, H - 26,
        "models at rest (top row) and the figure's animations, drawn by the game's model code");
}

TImage ReadFrame() {
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(W * H * 3));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, W, H, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  TImage img(W, H);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const std::uint8_t* p = &pixels[static_cast<std::size_t>(((H - 1 - y) * W + x) * 3)];
      img.Set(x, y, Rgb(p[0], p[1], p[2]));
    }
  return img;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s MEDIA_DIR OUTPUT.png\n", argv[0]);
    return 2;
  }
  if (SDL_Init(SDL_INIT_VIDEO) != 0 || !SDL_SetVideoMode(W, H, 24, SDL_OPENGL | SDL_DOUBLEBUF)) {
    std::fprintf(stderr, "contactsheet: no OpenGL window: %s\n", SDL_GetError());
    return 1;
  }
  int status = 0;
  try {
    const std::string dir = std::string(argv[1]) + "/";
    TFileMediaManager man(dir);
    TImage sheet(W, 2 * H);
    DrawInterfaceFrame(man);
    sheet.Draw(ReadFrame(), 0, 0);
    DrawModelsFrame(man, dir);
    sheet.Draw(ReadFrame(), 0, H);
    WritePng(argv[2], sheet, 3);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "contactsheet: %s\n", e.what());
    status = 1;
  }
  SDL_Quit();
  return status;
}
