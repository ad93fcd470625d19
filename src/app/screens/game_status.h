#pragma once
// The game screen: a textured tile map with three models and one animated figure under one
// light, seen through a camera that the mouse at the window edges and the arrow keys move. The
// desktop ("media/game.ui" and a label with the camera's X and Z) is drawn over the scene. It
// exchanges no messages with the server.

#include "app/client_screen.h"

#include <memory>
#include <string>

class TGLMap;
class TModel;
class TRuntimeAnimator;
class TUILabel;
class TUIWidget;

// The view: position in world units and rotation about the vertical axis in degrees.
struct TCamera {
  float X = 0;
  float Y = 0;
  float Z = 0;
  float AngleY = 0;
};

inline constexpr TCamera START_CAMERA{32, 20, 36, 45};
// World units the camera moves per frame while the mouse touches an edge.
inline constexpr long double SCROLL_STEP = 0.3L;
// Animation phase gained per frame; a cycle is 1.
inline constexpr float ANIMATION_STEP = 0.003f;
// The animation of the figure model that the animated copy plays.
inline constexpr int FIGURE_ANIMATION = 2;

// Edge scrolling for a mouse at (MX, MY) of the 800 x 600 window: each edge pixel row or
// column moves the camera one step, left/right along the view's X axis and up/down along its
// depth, so at a corner two moves apply. Computed in extended precision, stored as single.
void ScrollCamera(TCamera& Camera, int MX, int MY);
// The camera's X and Z, each in general format with at most 15 significant digits ("32").
std::string CameraCaption(const TCamera& Camera);
// One frame later in a looping animation: Phase + ANIMATION_STEP, less 1 once it reaches 1.
float NextAnimTime(float Phase);

class TGameStatus : public TClientScreen {
public:
  static constexpr const char* UI_FILE = "media/game.ui";
  static constexpr const char* TREE_MODEL = "media/tree.model";
  static constexpr const char* FIGURE_MODEL = "media/viking_weapon.model";
  static constexpr const char* TANK_MODEL = "media/tank_ok.model";

  // Loads the .ui file (attaching ExitButton when present), adds the coordinates label, loads
  // the three models with Global.Man and builds the animator on the figure. A model file that
  // is missing or broken raises an error naming it.
  TGameStatus();
  ~TGameStatus() override;

  // Back to the lobby.
  void OnExitButtonClick(TUIWidget* Sender);

  std::unique_ptr<TModel> M1;
  std::unique_ptr<TModel> M2;
  std::unique_ptr<TModel> M3;
  std::unique_ptr<TRuntimeAnimator> Anim;
  float AnimTime = 0;
  std::unique_ptr<TGLMap> Map;
  TCamera Camera = START_CAMERA;
  // Shows the camera's X and Z; owned by the desktop.
  TUILabel* Label1 = nullptr;

protected:
  // Drains the connection, scrolls at the window edges and updates the label.
  void BeforeFrame() override;
  // The map, the models and the animated figure under the light.
  void DrawScene() override;
  bool HasBackground() const override { return false; }
  // Escape goes back to the lobby; Left turns the view, Up and Down raise and lower it.
  void HandleKey(const SDL_KeyboardEvent& Event) override;
};

inline constexpr const char* TILE_TEXTURE = "tile0";
