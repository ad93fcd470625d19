#include "app/screens/game_status.h"

#include "app/connection.h"
#include "app/global.h"
#include "app/lighting.h"
#include "app/match_field.h"
#include "app/match_panel.h"
#include "app/match_view.h"
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
#include "gui/edit.h"
#include "gui/label.h"
#include "gui/text_layout.h"
#include "gui/window.h"
#include "net/protocol.h"

#include <GL/gl.h>

#include <charconv>
#include <chrono>
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

// A widget's place: left, top, width, height.
struct TBox {
  std::int32_t Left, Top, Width, Height;
};

void Place(TUIWidget& W, const TBox& Box) {
  W.FLeft = Box.Left;
  W.FTop = Box.Top;
  W.SetWidth(Box.Width);
  W.SetHeight(Box.Height);
}

// In a match: the line of the server's refusals at the top left, the chat rows and the chat
// line at the bottom left, above the camera label.
constexpr TBox NOTICE_BOX{10, 10, 560, 8};
constexpr TBox CHAT_ROW_BOX{10, 496, 560, 8};
constexpr std::int32_t CHAT_ROW_SPACING = 12;
constexpr TBox CHAT_EDIT_BOX{10, 558, 560, 16};
// The question and result windows: a message over a row of buttons, in the window's middle.
constexpr TBox CHOICE_WINDOW_BOX{250, 230, 300, 100};
constexpr TBox CHOICE_MESSAGE_BOX{10, 10, 270, 10};
constexpr TBox CHOICE_BUTTON_BOX{0, 40, 112, 32};
constexpr std::int32_t CHOICE_BUTTON_SPACING = 120;
// The last button's left edge, from the window's right edge.
constexpr std::int32_t CHOICE_BUTTONS_RIGHT = 130;
constexpr std::int32_t CHOICE_MARGIN_LEFT = 5;
constexpr std::int32_t CHOICE_MARGIN_TOP = 16;

constexpr const char* RESULT_TITLE = "Match over";
constexpr const char* QUESTION_TITLE = "Resign";
constexpr const char* BACK_TO_LOBBY = "Back to lobby";

// The time now in seconds, by the frames' clock.
double Seconds() {
  const auto now = Global.Clock ? Global.Clock() : std::chrono::steady_clock::now();
  return std::chrono::duration<double>(now.time_since_epoch()).count();
}

void SendToServer(const std::string& Line) {
  if (Global.Conn != nullptr) {
    Global.Conn->Send(Line);
  }
}

struct TChoice {
  const char* Caption;
  TOnSimpleEvent Click;
};

// A small window with Message over a row of buttons, right-aligned.
std::unique_ptr<TUIWindow> ChoiceWindow(const std::string& Title, const std::string& Message,
                                        std::vector<TChoice> Choices) {
  auto window = std::make_unique<TUIWindow>();
  window->FTitle = Title;
  Place(*window, CHOICE_WINDOW_BOX);
  window->FMarginLeft = CHOICE_MARGIN_LEFT;
  window->FMarginTop = CHOICE_MARGIN_TOP;
  auto message = std::make_unique<TUILabel>();
  message->FCaption = Message.substr(0, CharsThatFit(CHOICE_MESSAGE_BOX.Width));
  Place(*message, CHOICE_MESSAGE_BOX);
  window->Add(std::move(message));
  const auto count = static_cast<std::int32_t>(Choices.size());
  for (std::int32_t i = 0; i < count; ++i) {
    auto button = std::make_unique<TUIButton>();
    button->FCaption = Choices[static_cast<std::size_t>(i)].Caption;
    button->FOnClick = std::move(Choices[static_cast<std::size_t>(i)].Click);
    Place(*button,
          {CHOICE_WINDOW_BOX.Width - CHOICE_BUTTONS_RIGHT - (count - 1 - i) * CHOICE_BUTTON_SPACING,
           CHOICE_BUTTON_BOX.Top, CHOICE_BUTTON_BOX.Width, CHOICE_BUTTON_BOX.Height});
    window->Add(std::move(button));
  }
  return window;
}

template <class W>
std::unique_ptr<W> Placed(const TBox& Box) {
  auto widget = std::make_unique<W>();
  Place(*widget, Box);
  return widget;
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

  Session = std::make_unique<TMatchSession>(SendToServer, Seconds);
  Session->OnReset = [this](const TGame& Game, int32_t Seat) { MatchReset(Game, Seat); };
  Session->OnEvent = [this](const TMatchEvent& Event) {
    if (View) {
      View->Push(Event);
    }
  };
  FPlainWidgets.emplace_back(Desktop->Find<TUIWidget>("HelpWindow"));
}

TGameStatus::~TGameStatus() = default;

void TGameStatus::OnExitButtonClick(TUIWidget*) {
  if (FInMatch) {
    AskResign();
  } else if (ChatStatus != nullptr) {
    ChangeListener(ChatStatus);
  }
}

void TGameStatus::Enter() {
  TClientScreen::Enter();
  if (!FInMatch && Session->Following() && Lobby() != nullptr && Lobby()->OwnMatchStarted()) {
    BeginMatch();
  }
}

void TGameStatus::BeginMatch() {
  MakeMatchWidgets();
  FInMatch = true;
  FCameraPlaced = false;
  FPlainCamera = Camera;
  ShowMatchWidgets(true);
  ShowChatRows();
  if (const TGame* game = Session->Game()) {
    MatchReset(*game, Session->Seat());
  }
}

void TGameStatus::MakeMatchWidgets() {
  if (Panel) {
    return;
  }
  Panel = std::make_unique<TMatchPanel>(*Desktop);
  Panel->OnEndTurn = [this] { Session->Order(TOrder::EndTurn()); };
  Panel->OnResign = [this] { AskResign(); };
  FMatchWidgets.emplace_back(Panel->Window);
  auto notice = Placed<TUILabel>(NOTICE_BOX);
  NoticeLabel = notice.get();
  Desktop->Add(std::move(notice));
  FMatchWidgets.emplace_back(NoticeLabel);
  for (std::size_t row = 0; row < CHAT_ROWS; ++row) {
    auto label = Placed<TUILabel>(
        {CHAT_ROW_BOX.Left, CHAT_ROW_BOX.Top + static_cast<std::int32_t>(row) * CHAT_ROW_SPACING,
         CHAT_ROW_BOX.Width, CHAT_ROW_BOX.Height});
    ChatLabels[row] = label.get();
    Desktop->Add(std::move(label));
    FMatchWidgets.emplace_back(ChatLabels[row]);
  }
  auto edit = Placed<TUIEdit>(CHAT_EDIT_BOX);
  edit->FOnEnter = [this](TUIWidget*) {
    if (!ChatEdit->FText.empty()) {
      SendToServer(Build(TChatRequest{ChatEdit->FText}));
    }
    CloseChatLine();
  };
  ChatEdit = edit.get();
  Desktop->Add(std::move(edit));
  FChatEditSlot = TWidgetSlot(ChatEdit);
  FChatEditSlot.Show(false);
}

void TGameStatus::ShowMatchWidgets(bool Shown) {
  for (TWidgetSlot& slot : FPlainWidgets) {
    slot.Show(!Shown);
  }
  for (TWidgetSlot& slot : FMatchWidgets) {
    slot.Show(Shown);
  }
  if (!Shown) {
    FChatEditSlot.Show(false);
  }
}

void TGameStatus::MatchReset(const TGame& Game, int32_t Seat) {
  if (View) {
    View->Reset(Game, Seat);
  }
  if (FInMatch && !FCameraPlaced && Game.Map) {
    Camera = StartCamera(Seat, PlaceField(Game.Map->SizeX, Game.Map->SizeY));
    FCameraPlaced = true;
  }
}

void TGameStatus::LeaveMatch() {
  Session->Leave();
  if (!FInMatch) {
    return;
  }
  FInMatch = false;
  CloseWindow(Question);
  CloseWindow(Result);
  ShowMatchWidgets(false);
  Camera = FPlainCamera;
  if (Active && ChatStatus != nullptr) {
    ChangeListener(ChatStatus);
  }
}

void TGameStatus::CloseWindow(TUIWindow*& Window) {
  if (Window != nullptr) {
    TUIWindow* closing = Window;
    Window = nullptr;
    closing->RequestDestroy();
  }
}

void TGameStatus::AskResign() {
  if (!FInMatch || Question != nullptr || Result != nullptr) {
    return;
  }
  CloseChatLine();
  const TGame* game = Session->Game();
  const bool playing = game == nullptr || InPlay(*game, Session->Seat());
  auto window = ChoiceWindow(QUESTION_TITLE, playing ? RESIGN_QUESTION : LEAVE_QUESTION,
                             {{"Yes", [this](TUIWidget*) { AnswerResign(true); }},
                              {"No", [this](TUIWidget*) { AnswerResign(false); }}});
  Question = window.get();
  Desktop->AddModal(std::move(window));
}

void TGameStatus::AnswerResign(bool Yes) {
  CloseWindow(Question);
  if (Yes) {
    Session->Resign();
    if (Lobby() != nullptr) {
      Lobby()->LeaveOwnGame();
    }
    LeaveMatch();
  }
}

void TGameStatus::ShowResult() {
  CloseWindow(Question);
  CloseChatLine();
  // The match is over: no unit can be ordered any more, so none stays selected.
  if (View) {
    View->Selection.Deselect();
  }
  auto window = ChoiceWindow(RESULT_TITLE, Session->ResultText(),
                             {{BACK_TO_LOBBY, [this](TUIWidget*) { LeaveMatch(); }}});
  Result = window.get();
  Desktop->AddModal(std::move(window));
}

void TGameStatus::OpenChatLine() {
  if (ChatEdit == nullptr || Question != nullptr || Result != nullptr) {
    return;
  }
  ChatEdit->FText.clear();
  FChatEditSlot.Show(true);
  ChatEdit->Focus();
}

void TGameStatus::CloseChatLine() {
  FChatEditSlot.Show(false);
}

void TGameStatus::ChatLine(const std::string& Line) {
  FChatLines.push_back(Line.substr(0, CharsThatFit(CHAT_ROW_BOX.Width)));
  if (FChatLines.size() > CHAT_ROWS) {
    FChatLines.erase(FChatLines.begin());
  }
  if (FInMatch) {
    ShowChatRows();
  }
}

void TGameStatus::ShowChatRows() {
  // The newest line on the bottom row.
  const std::size_t empty = CHAT_ROWS - FChatLines.size();
  for (std::size_t row = 0; row < CHAT_ROWS; ++row) {
    if (ChatLabels[row] != nullptr) {
      ChatLabels[row]->FCaption = row < empty ? std::string() : FChatLines[row - empty];
    }
  }
}

void TGameStatus::OwnMatchBegun() {
  Session->OwnMatchBegun();
  if (Active) {
    if (!FInMatch) {
      BeginMatch();
    }
  } else if (GameStatus == this) {
    ChangeListener(this);
  }
}

void TGameStatus::MatchLine(const TMsg& Line) {
  Session->MatchLine(Line);
}

void TGameStatus::Refused(const std::string& Reason) {
  Session->Refused(Reason);
}

void TGameStatus::ConnectionLost() {
  Session->ConnectionLost();
  LeaveMatch();
}

void TGameStatus::BeforeFrame() {
  TClientScreen::BeforeFrame();
  ScrollCamera(Camera, Global.MX, Global.MY);
  Label1->FCaption = CameraCaption(Camera);
  if (!FInMatch) {
    return;
  }
  if (const TGame* game = Session->Game()) {
    if (View) {
      View->Update(*game);
    }
    Panel->Update(*game, Session->Seat(), Session->SecondsLeft());
  }
  NoticeLabel->FCaption = Session->Notice();
  if (Session->Over() && Result == nullptr) {
    ShowResult();
  }
}

void TGameStatus::DrawScene() {
  if (FInMatch) {
    const TGame* game = Session->Game();
    if (game == nullptr) {
      return; // the ground appears with the match's first block
    }
    if (!View) {
      View = std::make_unique<TMatchView>(Global.Man);
      View->Clock = Seconds; // the animations and the session run on the same clock
      View->Selection.OnOrder = [this](const TOrder& Order) { Session->Order(Order); };
      View->Reset(*game, Session->Seat());
      Panel->SetSeatTextures(View->SeatTextures());
    }
  }
  glRotatef(VIEW_TILT, 1, 0, 0);
  glRotatef(Camera.AngleY, 0, 1, 0);
  glTranslatef(-Camera.X, -Camera.Y, -Camera.Z);
  glLightfv(GL_LIGHT1, GL_POSITION, LightPosition);
  glEnable(GL_LIGHTING);
  if (FInMatch) {
    View->Draw(*Session->Game());
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    return;
  }

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

void TGameStatus::KeyDownEvent(const SDL_KeyboardEvent& Event) {
  FKeyForChatLine = ChatLineOpen();
  TClientScreen::KeyDownEvent(Event);
}

void TGameStatus::MouseDownEvent(const SDL_MouseButtonEvent& Event) {
  // A press on the panel or another widget is the desktop's; one on the open field is an order.
  const bool onField = Desktop->WidgetByPos(Event.x, Event.y, true) == Desktop.get();
  TClientScreen::MouseDownEvent(Event);
  if (ChatLineOpen() && onField) {
    ChatEdit->Focus(); // the line being typed keeps the keys while the player clicks
  }
  const TGame* game = Session->Game();
  if (FInMatch && onField && Event.button == SDL_BUTTON_LEFT && View && game != nullptr &&
      Question == nullptr && Result == nullptr) {
    View->Click(*game, Event.x, Event.y);
  }
}

void TGameStatus::HandleKey(const SDL_KeyboardEvent& Event) {
  if (FKeyForChatLine) {
    if (Event.keysym.sym == SDLK_ESCAPE) {
      CloseChatLine();
    }
    return;
  }
  switch (Event.keysym.sym) {
  case SDLK_ESCAPE:
    if (!FInMatch) {
      if (ChatStatus != nullptr) {
        ChangeListener(ChatStatus);
      }
    } else if (Question != nullptr) {
      AnswerResign(false);
    } else {
      AskResign();
    }
    break;
  case SDLK_RETURN:
  case SDLK_KP_ENTER:
    if (FInMatch) {
      OpenChatLine();
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
