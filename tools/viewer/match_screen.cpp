#include "match_screen.h"

#include "app/global.h"
#include "app/lighting.h"
#include "app/match_panel.h"
#include "app/match_view.h"
#include "gui/desktop.h"

#include <GL/gl.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace {

// At the 45-degree tilt and the screen's 45-degree field of view, the ground shows from 0.414
// to 2.414 times the camera's height ahead of it, and the bottom edge of the window spans 1.1
// times the height across: the overview is high enough for the field's width to fit at the
// bottom, with a tile to spare in front.
constexpr float NEAR_GROUND_PER_HEIGHT = 0.4142f;
constexpr float OVERVIEW_HEIGHT_PER_TILE = 3.8f;

// A camera facing the field's far edge that shows the whole field.
TCamera OverviewCamera(const TFieldPlacement& Field) {
  TCamera camera;
  camera.Y = OVERVIEW_HEIGHT_PER_TILE * static_cast<float>(std::max(Field.Columns, Field.Rows));
  const TVector nearEdge =
      Field.At(static_cast<float>(Field.Columns) / 2, static_cast<float>(Field.Rows) + 1);
  camera.X = nearEdge.X;
  camera.Z = nearEdge.Z + NEAR_GROUND_PER_HEIGHT * camera.Y;
  return camera;
}
const char* const SEAT_NAMES[MaxSeats] = {"anna", "bert", "carl", "dora"};

} // namespace

TLocalMatchScreen::TLocalMatchScreen(const TLocalMatchSetup& ASetup)
    : TDesktopScreen(TGameStatus::UI_FILE), Setup(ASetup) {
  std::vector<TSeatSpec> seats;
  for (int32_t seat = 0; seat < Setup.Seats && seat < MaxSeats; ++seat) {
    seats.push_back({SEAT_NAMES[seat], seat != Setup.PlayerSeat});
  }
  Game = CreateMatch(Setup.MapName, Setup.Points, seats);
  if (!Game) {
    throw std::runtime_error("no match for " + std::to_string(Setup.Seats) + " seats");
  }
  View = std::make_unique<TMatchView>(Global.Man);
  View->Reset(*Game, Setup.PlayerSeat);
  View->Selection.OnOrder = [this](const TOrder& Order) { Execute(Setup.PlayerSeat, Order); };
  Panel = std::make_unique<TMatchPanel>(*Desktop);
  Panel->SetSeatTextures(View->SeatTextures());
  Panel->OnEndTurn = [this] { Execute(Setup.PlayerSeat, TOrder::EndTurn()); };
  Panel->OnResign = [this] { Execute(Setup.PlayerSeat, TOrder::Leave()); };
  Camera = Setup.PlayerSeat >= 0 && !Setup.Overview ? StartCamera(Setup.PlayerSeat, View->Field())
                                                    : OverviewCamera(View->Field());
  TurnStart = LastComputerOrder = View->Clock();
}

TLocalMatchScreen::~TLocalMatchScreen() = default;

void TLocalMatchScreen::Execute(int32_t Seat, const TOrder& Order) {
  std::vector<TMatchEvent> events;
  if (ExecuteOrder(*Game, Seat, Order, events) != nullptr) {
    return;
  }
  for (const TMatchEvent& event : events) {
    View->Push(event);
    if (event.Kind == TMatchEventKind::Turn) {
      TurnStart = View->Clock();
    }
  }
}

void TLocalMatchScreen::Select(int32_t Id) {
  if (const TUnit* unit = FindUnit(*Game, Id)) {
    View->Selection.Click(*Game, UnitSeat(*unit), TTilePos{unit->X, unit->Y});
  }
}

double TLocalMatchScreen::SecondsLeft() const {
  return TurnSeconds(*Game, Game->ToPlay) - (View->Clock() - TurnStart);
}

void TLocalMatchScreen::BeforeFrame() {
  ScrollCamera(Camera, Global.MX, Global.MY);
  const double now = View->Clock();
  if (!Game->Over) {
    if (Game->ToPlay != Setup.PlayerSeat && now - LastComputerOrder >= Setup.ComputerPace) {
      LastComputerOrder = now;
      Execute(Game->ToPlay, ComputerOrder(*Game, Game->ToPlay));
    } else if (SecondsLeft() <= 0) {
      Execute(Game->ToPlay, TOrder::TimeOut());
    }
  }
  View->Update(*Game);
  Panel->Update(*Game, Setup.PlayerSeat, SecondsLeft());
}

void TLocalMatchScreen::DrawScene() {
  glRotatef(VIEW_TILT, 1, 0, 0);
  glRotatef(Camera.AngleY, 0, 1, 0);
  glTranslatef(-Camera.X, -Camera.Y, -Camera.Z);
  glLightfv(GL_LIGHT1, GL_POSITION, LightPosition);
  glEnable(GL_LIGHTING);
  View->Draw(*Game);
  glDisable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
}

void TLocalMatchScreen::HandleKey(const SDL_KeyboardEvent& Event) {
  switch (Event.keysym.sym) {
  case SDLK_LEFT:
    Camera.AngleY += 1;
    break;
  case SDLK_RIGHT:
    Camera.AngleY -= 1;
    break;
  case SDLK_UP:
    Camera.Y += 1;
    break;
  case SDLK_DOWN:
    Camera.Y -= 1;
    break;
  default:
    TDesktopScreen::HandleKey(Event);
    break;
  }
}

void TLocalMatchScreen::MouseDownEvent(const SDL_MouseButtonEvent& Event) {
  // A press on the panel or another widget is the desktop's; one on the open field is an order.
  const bool onField = Desktop->WidgetByPos(Event.x, Event.y, true) == Desktop.get();
  TDesktopScreen::MouseDownEvent(Event);
  if (onField && Event.button == SDL_BUTTON_LEFT) {
    View->Click(*Game, Event.x, Event.y);
  }
}
