#include "app/screens/game_status.h"

#include "app/global.h"
#include "app/lighting.h"
#include "app/screens/chat_status.h"
#include "app/screens/screens.h"
#include "gfx/draw_model.h"
#include "gfx/gl_map.h"
#include "gfx/media_manager.h"
#include "gfx/model.h"
#include "gfx/runtime_animator.h"
#include "gfx/texture.h"
#include "gui/button.h"
#include "gui/desktop.h"
#include "gui/label.h"

#include <GL/gl.h>

#include <charconv>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace {

// The edge pixels that scroll: the first and last column and row of the window.
constexpr int LEFT_EDGE = 0;
constexpr int RIGHT_EDGE = CLIENT_WIDTH - 1;
constexpr int TOP_EDGE = 0;
constexpr int BOTTOM_EDGE = CLIENT_HEIGHT - 1;

// The coordinates label, placed in code below whatever the .ui file holds.
constexpr int LABEL_LEFT = 10;
constexpr int LABEL_TOP = 580;
constexpr int LABEL_WIDTH = 200;
constexpr int LABEL_HEIGHT = 8;

// The fixed downward tilt of the view, in degrees.
constexpr float VIEW_TILT = 45.0f;
constexpr int GENERAL_DIGITS = 15;

std::string General(float Value) {
  char text[64];
  auto [end, error] = std::to_chars(text, text + sizeof text, static_cast<double>(Value),
                                    std::chars_format::general, GENERAL_DIGITS);
  return error == std::errc() ? std::string(text, end) : std::string();
}

// Loads FileName into Model; every failure becomes an error that names the file.
void LoadModel(TModel& Model, const char* FileName) {
  bool loaded = false;
  try {
    loaded = Model.Load(std::string(FileName), Global.Man);
  } catch (const std::exception& E) {
    throw std::runtime_error(std::string(FileName) + ": " + E.what());
  }
  if (!loaded) {
    throw std::runtime_error(std::string(FileName) + ": the file cannot be opened");
  }
}

} // namespace

void ScrollCamera(TCamera& Camera, int MX, int MY) {
  const long double a = Camera.AngleY * std::numbers::pi_v<long double> / 180.0L;
  const long double dx = SCROLL_STEP * std::cos(a);
  const long double dz = SCROLL_STEP * std::sin(a);
  auto move = [&Camera](long double X, long double Z) {
    Camera.X = static_cast<float>(Camera.X + X);
    Camera.Z = static_cast<float>(Camera.Z + Z);
  };
  if (MX == LEFT_EDGE) {
    move(-dx, -dz);
  }
  if (MX == RIGHT_EDGE) {
    move(dx, dz);
  }
  if (MY == TOP_EDGE) {
    move(dz, -dx);
  }
  if (MY == BOTTOM_EDGE) {
    move(-dz, dx);
  }
}

std::string CameraCaption(const TCamera& Camera) {
  return General(Camera.X) + " " + General(Camera.Z);
}

float NextAnimTime(float Phase) {
  Phase += ANIMATION_STEP;
  if (Phase >= 1) {
    Phase -= 1;
  }
  return Phase;
}

TGameStatus::TGameStatus() : TClientScreen(UI_FILE) {
  if (auto* exit = Desktop->Find<TUIButton>("ExitButton")) {
    exit->FOnClick = [this](TUIWidget* Sender) { OnExitButtonClick(Sender); };
  }
  auto label = std::make_unique<TUILabel>();
  label->FLeft = LABEL_LEFT;
  label->FTop = LABEL_TOP;
  label->SetWidth(LABEL_WIDTH);
  label->SetHeight(LABEL_HEIGHT);
  label->FCaption = "0,0";
  Label1 = label.get();
  Desktop->Add(std::move(label));

  M1 = std::make_unique<TModel>();
  LoadModel(*M1, TREE_MODEL);
  M2 = std::make_unique<TModel>();
  LoadModel(*M2, FIGURE_MODEL);
  M3 = std::make_unique<TModel>();
  LoadModel(*M3, TANK_MODEL);
  Anim = std::make_unique<TRuntimeAnimator>();
  Anim->Build(*M2);
  Map = std::make_unique<TGLMap>();
}

TGameStatus::~TGameStatus() = default;

void TGameStatus::OnExitButtonClick(TUIWidget*) {
  if (ChatStatus != nullptr) {
    ChangeListener(ChatStatus);
  }
}

void TGameStatus::BeforeFrame() {
  TClientScreen::BeforeFrame();
  ScrollCamera(Camera, Global.MX, Global.MY);
  Label1->FCaption = CameraCaption(Camera);
}

void TGameStatus::DrawScene() {
  glRotatef(VIEW_TILT, 1, 0, 0);
  glRotatef(Camera.AngleY, 0, 1, 0);
  glTranslatef(-Camera.X, -Camera.Y, -Camera.Z);
  glLightfv(GL_LIGHT1, GL_POSITION, LightPosition);
  glEnable(GL_LIGHTING);

  TTexture* tile = Global.Man != nullptr ? Global.Man->GetTextureByName(TILE_TEXTURE) : nullptr;
  glBindTexture(GL_TEXTURE_2D, tile != nullptr ? tile->Texture : 0);
  Map->Render();

  // Each model stands where the translations so far add up to.
  glTranslatef(2, 0, 2);
  glTranslatef(36, 0, 16);
  DrawModel(*M2);
  glTranslatef(4, 0, 0);
  DrawModel(*M1);
  glTranslatef(8, 0, 8);
  DrawModel(*M3);
  AnimTime = NextAnimTime(AnimTime);
  Anim->Interpolate(FIGURE_ANIMATION, AnimTime);
  glTranslatef(4, 0, 4);
  DrawRuntimeModel(*Anim);

  glDisable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
}

void TGameStatus::HandleKey(const SDL_KeyboardEvent& Event) {
  switch (Event.keysym.sym) {
  case SDLK_ESCAPE:
    if (ChatStatus != nullptr) {
      ChangeListener(ChatStatus);
    }
    break;
  case SDLK_LEFT:
    Camera.AngleY += 1;
    break;
  case SDLK_UP:
    Camera.Y += 1;
    break;
  case SDLK_DOWN:
    Camera.Y -= 1;
    break;
  default:
    break;
  }
}
