#include "model_view.h"

#include "app/global.h"
#include "app/main_loop.h"
#include "gfx/draw_model.h"
#include "gfx/model.h"
#include "gfx/opengl_helpers.h"
#include "gfx/runtime_animator.h"
#include "gui/desktop.h"
#include "gui/label.h"

#include <GL/gl.h>

#include <cstdio>
#include <exception>

namespace {

// The game screen's pace: one animation cycle in about 334 frames.
constexpr float ANIMATION_STEP = 0.003f;
constexpr float TURN_STEP = 5.0f;
constexpr float ZOOM_STEP = 2.0f;
constexpr float MIN_DISTANCE = 2.0f;
constexpr float VIEW_TILT = 20.0f;
constexpr float VIEW_HEIGHT = 2.0f;
constexpr float AXIS_LENGTH = 5.0f;
const GLfloat LIGHT_POSITION[4] = {50.0f, 100.0f, 80.0f, 1.0f};

} // namespace

TModelView::TModelView(TModel& Model) : FModel(Model) {
  FAnimator = std::make_unique<TRuntimeAnimator>();
  FAnimator->Build(FModel);
  if (FModel.Animations.Count() == 0) {
    Animation = -1;
  }
  auto label = std::make_unique<TUILabel>();
  label->FLeft = 10;
  label->FTop = 10;
  FStatus = label.get();
  Desktop->Add(std::move(label));
}

TModelView::~TModelView() = default;

void TModelView::BeforeFrame() {
  std::string status = "model " + FModel.Name;
  if (Animation >= 0) {
    if (!Paused) {
      AnimTime += ANIMATION_STEP;
      if (AnimTime >= 1) {
        AnimTime -= 1;
      }
    }
    try {
      FAnimator->Interpolate(Animation, AnimTime);
    } catch (const std::exception& E) {
      // A key naming a pose the model lacks cannot be played; show the model at rest.
      std::fprintf(stderr, "animation %d cannot play: %s\n", Animation + 1, E.what());
      Animation = FModel.Animations.Count() - 1;
      NextAnimation();
      FStatus->FCaption = "model " + FModel.Name + "  at rest";
      return;
    }
    char phase[16];
    std::snprintf(phase, sizeof phase, "%.2f", AnimTime);
    status += "  animation " + std::to_string(Animation + 1) + "/" +
              std::to_string(FModel.Animations.Count()) + " " +
              FModel.Animations.Get(Animation)->Name + "  t " + phase;
  } else {
    status += "  at rest";
  }
  FStatus->FCaption = status + (Paused ? "  (paused)" : "");
}

void TModelView::DrawScene() {
  glTranslatef(0, -VIEW_HEIGHT, -Distance);
  glRotatef(VIEW_TILT, 1, 0, 0);
  glRotatef(Yaw, 0, 1, 0);
  glLightfv(GL_LIGHT1, GL_POSITION, LIGHT_POSITION);
  DrawOriginLines(AXIS_LENGTH);
  glEnable(GL_LIGHTING);
  if (Animation >= 0) {
    DrawRuntimeModel(*FAnimator);
  } else {
    DrawModel(FModel);
  }
  glDisable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
}

void TModelView::NextAnimation() {
  ++Animation;
  if (Animation >= FModel.Animations.Count()) {
    Animation = -1;
    // Back at rest: the animator's tree shows the model's own transformations again.
    FAnimator->Build(FModel);
  }
  AnimTime = 0;
}

void TModelView::HandleKey(const SDL_KeyboardEvent& Event) {
  switch (Event.keysym.sym) {
  case SDLK_LEFT:
    Yaw -= TURN_STEP;
    break;
  case SDLK_RIGHT:
    Yaw += TURN_STEP;
    break;
  case SDLK_UP:
    Distance = Distance - ZOOM_STEP < MIN_DISTANCE ? MIN_DISTANCE : Distance - ZOOM_STEP;
    break;
  case SDLK_DOWN:
    Distance += ZOOM_STEP;
    break;
  case SDLK_n:
    NextAnimation();
    break;
  case SDLK_SPACE:
    Paused = !Paused;
    break;
  default:
    TDesktopScreen::HandleKey(Event); // Escape quits
    break;
  }
}
