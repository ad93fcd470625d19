#pragma once
// A screen that shows one model turning in front of the camera, playing its animations one
// after another, with a line of status text. Keys: Left/Right turn, Up/Down move the camera
// nearer or farther, N the next animation (after the last: the model at rest), Space pauses,
// Escape quits.

#include "app/desktop_screen.h"

#include <memory>
#include <string>

class TModel;
class TRuntimeAnimator;
class TUILabel;

class TModelView : public TDesktopScreen {
public:
  // The model is used, not owned; it must outlive the view.
  explicit TModelView(TModel& Model);
  ~TModelView() override;

  // Which animation plays: 0 to count - 1, or -1 for the model at rest.
  int Animation = 0;
  float AnimTime = 0;
  bool Paused = false;
  float Yaw = 30;
  // Camera distance from the model's middle; set from the model's size.
  float Distance = 20;
  // Rough radius of the model around its origin, from its meshes and their positions.
  float Size = 1;

protected:
  void BeforeFrame() override;
  void DrawScene() override;
  bool HasBackground() const override { return false; }
  void HandleKey(const SDL_KeyboardEvent& Event) override;

private:
  void NextAnimation();

  TModel& FModel;
  std::unique_ptr<TRuntimeAnimator> FAnimator;
  TUILabel* FStatus = nullptr;
};
