#include "app/screen.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <utility>

namespace {

constexpr double FIELD_OF_VIEW = 45.0;
constexpr double NEAR_PLANE = 2.0;
// A display server that is busy may refuse a connection made right after another one closed
// (SDL then falls back to a video driver without OpenGL); opening the window is tried this many
// times, this many milliseconds apart.
constexpr int VIDEO_INIT_ATTEMPTS = 5;
constexpr Uint32 VIDEO_INIT_RETRY_MS = 50;

} // namespace

TScreen::TScreen(std::string ATitle, int AWidth, int AHeight, int ABpp, bool AFullScreen,
                 float AFarClip)
    : FTitle(std::move(ATitle)), FWidth(AWidth), FHeight(AHeight), FBpp(ABpp), FFarClip(AFarClip),
      FFullScreen(AFullScreen) {}

TScreen::~TScreen() {
  if (IsActive()) {
    Finalize();
  }
}

bool TScreen::InitSDL() {
  for (int attempt = 1; attempt <= VIDEO_INIT_ATTEMPTS; ++attempt) {
    if (attempt > 1) {
      SDL_Delay(VIDEO_INIT_RETRY_MS);
    }
    if (OpenWindow()) {
      return true;
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }
  return false;
}

bool TScreen::OpenWindow() {
  if (SDL_Init(SDL_INIT_VIDEO) < 0) {
    return false;
  }
  const SDL_VideoInfo* info = SDL_GetVideoInfo();
  if (info == nullptr) {
    return false;
  }
  Uint32 flags = SDL_OPENGL | SDL_DOUBLEBUF | SDL_HWPALETTE;
  if (FFullScreen) {
    flags |= SDL_FULLSCREEN;
  }
  // The first group of capability bits says a hardware surface or a window manager is there,
  // the second that some blit is accelerated.
  if (info->hw_available || info->wm_available) {
    flags |= SDL_HWSURFACE;
  }
  if (info->blit_hw || info->blit_hw_CC || info->blit_hw_A || info->blit_sw || info->blit_sw_CC ||
      info->blit_sw_A || info->blit_fill) {
    flags |= SDL_HWACCEL;
  }
  SDL_WM_SetCaption(FTitle.c_str(), nullptr);
  FSurface = SDL_SetVideoMode(FWidth, FHeight, FBpp, flags);
  if (FSurface == nullptr) {
    return false;
  }
  SDL_ShowCursor(SDL_DISABLE);
  return true;
}

void TScreen::InitGL() {
  glShadeModel(GL_SMOOTH);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glViewport(0, 0, FWidth, FHeight);
  SetMaterialColor(std::uint8_t{255}, std::uint8_t{255}, std::uint8_t{255});
}

bool TScreen::SetupWindow(int Width, int Height, float AFarClip) {
  if (Height == 0) {
    Height = 1;
  }
  glViewport(0, 0, Width, Height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(FIELD_OF_VIEW, static_cast<double>(Width) / Height, NEAR_PLANE, AFarClip);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  return true;
}

bool TScreen::Initialize() {
  const bool ok = InitSDL();
  if (ok) {
    InitGL();
    SetupWindow(FWidth, FHeight, FFarClip);
  }
  return ok;
}

void TScreen::Finalize() {
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  SDL_Quit();
  FSurface = nullptr;
}

void SetMaterialColor(std::uint8_t R, std::uint8_t G, std::uint8_t B) {
  const GLfloat colour[4] = {R / 255.0f, G / 255.0f, B / 255.0f, 1.0f};
  glMaterialfv(GL_FRONT, GL_DIFFUSE, colour);
  glMaterialfv(GL_FRONT, GL_AMBIENT, colour);
}
