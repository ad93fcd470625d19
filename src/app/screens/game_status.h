#pragma once
// The game screen: a textured tile map with three models and one animated figure under one
// light, seen through a camera that the mouse at the window edges and the arrow keys move. The
// desktop ("media/game.ui" and a label with the camera's X and Z) is drawn over the scene.
//
// While this client's own match is played (from the lobby state's OwnMatchBegun until the
// player goes back to the lobby) it shows the match instead: the battlefield under the same
// camera, starting over the player's corner, with the match panel, a line for the server's
// refusals, the chat's last lines and a line to type into (Enter), orders given by clicking the
// field; Escape asks whether to resign, and the end of the match shows its result.

#include "app/client_screen.h"
#include "app/match_session.h"
#include "app/screens/widget_slot.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class TGLMap;
class TMatchPanel;
class TMatchView;
class TModel;
class TRuntimeAnimator;
class TUIEdit;
class TUILabel;
class TUIWidget;
class TUIWindow;

// The view: position in world units and rotation about the vertical axis in degrees.
struct TCamera {
  float X = 0;
  float Y = 0;
  float Z = 0;
  float AngleY = 0;
};

inline constexpr TCamera START_CAMERA{32, 20, 36, 45};
// The fixed downward tilt of the view, in degrees.
inline constexpr float VIEW_TILT = 45.0f;
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

  // Chat rows shown over the field in a match.
  static constexpr std::size_t CHAT_ROWS = 5;
  static constexpr const char* RESIGN_QUESTION = "Resign this match?";
  static constexpr const char* LEAVE_QUESTION = "Leave this match?";

  // Back to the lobby; in a match, asks whether to resign first.
  void OnExitButtonClick(TUIWidget* Sender);

  // Starts showing the own match when it has begun and this screen is not showing it yet.
  void Enter() override;

  // The lobby state's changes: chat lines are kept for the match's chat rows; the match's lines,
  // refusals and a lost connection go to Session. The own match's start makes this screen
  // current.
  void ChatLine(const std::string& Line) override;
  void OwnMatchBegun() override;
  void MatchLine(const TMsg& Line) override;
  void Refused(const std::string& Reason) override;
  void ConnectionLost() override;

  // Opens the question whether to resign (once: while it is open, nothing more opens it).
  void AskResign();
  // The question's answer: Yes sends Y and goes back to the lobby; No closes it.
  void AnswerResign(bool Yes);
  // Leaves the match for the lobby (after its result, or when resigning).
  void LeaveMatch();
  // Opens the line to type a chat line into; Enter sends it as C, Escape closes it.
  void OpenChatLine();
  void CloseChatLine();
  bool InMatch() const { return FInMatch; }
  bool ChatLineOpen() const { return FChatEditSlot.Shown(); }

  // The client's copy of the match; sends through Global.Conn.
  std::unique_ptr<TMatchSession> Session;
  // Made at the first frame drawn in a match (it needs OpenGL); none before.
  std::unique_ptr<TMatchView> View;
  // The match's widgets, made when the first match begins; none before.
  std::unique_ptr<TMatchPanel> Panel;
  TUILabel* NoticeLabel = nullptr;
  std::array<TUILabel*, CHAT_ROWS> ChatLabels{};
  TUIEdit* ChatEdit = nullptr;
  // The open question window and result window (owned by the desktop); none when closed.
  TUIWindow* Question = nullptr;
  TUIWindow* Result = nullptr;

  std::unique_ptr<TModel> M1;
  std::unique_ptr<TModel> M2;
  std::unique_ptr<TModel> M3;
  std::unique_ptr<TRuntimeAnimator> Anim;
  float AnimTime = 0;
  std::unique_ptr<TGLMap> Map;
  TCamera Camera = START_CAMERA;
  // Shows the camera's X and Z; owned by the desktop.
  TUILabel* Label1 = nullptr;

  // A key typed into the chat line goes there only (Escape closes it).
  void KeyDownEvent(const SDL_KeyboardEvent& Event) override;
  // In a match, a left press on the open field (not on a widget) is a click on the battlefield;
  // an open chat line keeps the keys.
  void MouseDownEvent(const SDL_MouseButtonEvent& Event) override;

protected:
  // Drains the connection, scrolls at the window edges and updates the label; in a match also
  // the battlefield, the panel, the notice and the result.
  void BeforeFrame() override;
  // The map, the models and the animated figure under the light; in a match the battlefield.
  void DrawScene() override;
  bool HasBackground() const override { return false; }
  // Escape goes back to the lobby (in a match: asks whether to resign, or closes that
  // question); Left turns the view, Up and Down raise and lower it; in a match Enter opens the
  // chat line.
  void HandleKey(const SDL_KeyboardEvent& Event) override;

private:
  // Makes the match's widgets (once) and shows them instead of the plain screen's.
  void BeginMatch();
  void ShowMatchWidgets(bool Shown);
  void MakeMatchWidgets();
  void ShowChatRows();
  // The copy was rebuilt from a block: the picture starts again, and the camera goes over the
  // player's corner at the match's first block.
  void MatchReset(const TGame& Game, int32_t Seat);
  void CloseWindow(TUIWindow*& Window);
  void ShowResult();

  bool FInMatch = false;
  bool FCameraPlaced = false;
  // The key being handled came while the chat line was open.
  bool FKeyForChatLine = false;
  // The camera outside matches, kept while a match is shown.
  TCamera FPlainCamera = START_CAMERA;
  // The lobby's last chat lines, oldest first, each cut to its row's width.
  std::vector<std::string> FChatLines;
  std::vector<TWidgetSlot> FPlainWidgets;
  std::vector<TWidgetSlot> FMatchWidgets;
  TWidgetSlot FChatEditSlot;
};

inline constexpr const char* TILE_TEXTURE = "tile0";
