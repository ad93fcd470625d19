#pragma once
// A match played on this machine, on a screen of its own: the match view and its panel over a
// camera that scrolls and turns like the game screen's, every seat but the player's played by
// the computer at a pace. For looking at the match view (viewer --match) and for timing it
// (bench/frame); the game screen plays matches through the server instead.

#include "app/desktop_screen.h"
#include "app/screens/game_status.h"

#include <cstdint>
#include <memory>
#include <string>

class TGame;
class TMatchPanel;
class TMatchView;
struct TMatchEvent;
struct TOrder;

struct TLocalMatchSetup {
  std::string MapName = "forest";
  int32_t Points = 72;
  int32_t Seats = 4;
  // The seat the mouse plays; -1: the computer plays every seat.
  int32_t PlayerSeat = 0;
  // Seconds between two of the computer's orders.
  double ComputerPace = 0.5;
  // The camera over the whole field, whoever plays.
  bool Overview = false;
};

class TLocalMatchScreen : public TDesktopScreen {
public:
  // Loads media/game.ui, the match view's models and the panel; the camera starts over the
  // player's corner.
  explicit TLocalMatchScreen(const TLocalMatchSetup& Setup);
  ~TLocalMatchScreen() override;

  // Gives Order for Seat as the server would, and shows the events it causes.
  void Execute(int32_t Seat, const TOrder& Order);
  // Selects unit Id as its own player would by clicking it (to look where it can go).
  void Select(int32_t Id);

  TLocalMatchSetup Setup;
  TCamera Camera;
  std::unique_ptr<TGame> Game;
  std::unique_ptr<TMatchView> View;
  std::unique_ptr<TMatchPanel> Panel;
  // When the last turn began and the computer last gave an order, on the view's clock.
  double TurnStart = 0;
  double LastComputerOrder = 0;

protected:
  void BeforeFrame() override;
  void DrawScene() override;
  bool HasBackground() const override { return false; }
  void HandleKey(const SDL_KeyboardEvent& Event) override;
  void MouseDownEvent(const SDL_MouseButtonEvent& Event) override;

private:
  double SecondsLeft() const;
};
