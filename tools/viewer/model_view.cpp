#include "model_view.h"

#include "app/frame_canvas.h"
#include "app/global.h"
#include "app/main_loop.h"
#include "gfx/draw_model.h"
#include "gfx/mesh.h"
#include "gfx/model.h"
#include "gfx/opengl_helpers.h"
#include "gfx/runtime_animator.h"
#include "gui/desktop.h"
#include "gui/label.h"
#include "gui/window.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>

namespace {

// The game screen's pace: one animation cycle in about 334 frames.
constexpr float ANIMATION_STEP = 0.003f;
constexpr float TURN_STEP = 5.0f;
constexpr float ZOOM_STEP = 0.25f;   // of the model's size
constexpr float MIN_DISTANCE = 2.5f; // just beyond the near plane
constexpr float MIN_SIZE = 0.5f;
constexpr float FIT_DISTANCE = 3.0f; // of the model's size
constexpr float VIEW_TILT = 20.0f;
constexpr float AXIS_LENGTH = 5.0f;
constexpr int STATUS_HEIGHT = 40;
const GLfloat LIGHT_POSITION[4] = {50.0f, 100.0f, 80.0f, 1.0f};

// A rough radius of the subtree: node offsets (scaled by the largest scale on the way) plus
// each mesh's bounding sphere.
float Extent(const TModelTreeNode& Node, float Scale) {
  const float x = std::fabs(Node.Transf.Pos.X), y = std::fabs(Node.Transf.Pos.Y),
              z = std::fabs(Node.Transf.Pos.Z);
  const float offset = Scale * std::sqrt(x * x + y * y + z * z);
  const float scale = Scale * std::max({std::fabs(Node.Transf.Sca.X), std::fabs(Node.Transf.Sca.Y),
                                        std::fabs(Node.Transf.Sca.Z)});
  float extent = 0;
  if (Node.GraphicalElement.Type_ == geMesh && Node.GraphicalElement.Mesh != nullptr) {
    extent = scale * Node.GraphicalElement.Mesh->GetBoundingSphereRadius();
  }
  for (int i = 0; i < Node.Children.Count(); ++i) {
    extent = std::max(extent, Extent(*Node.Children.Get(i), scale));
  }
  return offset + extent;
}

} // namespace

TModelView::TModelView(TModel& Model) : FModel(Model) {
  FAnimator = std::make_unique<TRuntimeAnimator>();
  FAnimator->Build(FModel);
  if (FModel.Animations.Count() == 0) {
    Animation = -1;
  }
  if (FModel.Root != nullptr) {
    Size = std::max(MIN_SIZE, Extent(*FModel.Root, 1));
  }
  Distance = FIT_DISTANCE * Size;
  // Text is drawn in black: the status line sits in a window at the top.
  auto window = std::make_unique<TUIWindow>();
  window->FLeft = 0;
  window->FTop = 0;
  window->SetWidth(CLIENT_WIDTH);
  window->SetHeight(STATUS_HEIGHT);
  window->FTitle = "Left/Right turn  Up/Down zoom  N next animation  Space pause  Esc quit";
  window->FMarginLeft = 10;
  window->FMarginTop = 18;
  auto label = std::make_unique<TUILabel>();
  label->FLeft = 0;
  label->FTop = 0;
  FStatus = label.get();
  window->Add(std::move(label));
  Desktop->Add(std::move(window));
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
  glTranslatef(0, 0, -Distance);
  glRotatef(VIEW_TILT, 1, 0, 0);
  glRotatef(Yaw, 0, 1, 0);
  glTranslatef(0, -Size / 2, 0); // models stand on their origin: look at their middle
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
    Distance = std::max(MIN_DISTANCE, Distance - ZOOM_STEP * Size);
    break;
  case SDLK_DOWN:
    Distance += ZOOM_STEP * Size;
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
