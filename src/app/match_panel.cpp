#include "app/match_panel.h"

#include "gui/bar.h"
#include "gui/button.h"
#include "gui/container.h"
#include "gui/image.h"
#include "gui/label.h"
#include "gui/ui_loader.h"
#include "gui/window.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// Names longer than this are cut so that a seat's line fits the panel.
constexpr std::size_t SHOWN_NAME_LENGTH = 16;
constexpr int32_t SEAT_IMAGE_SIZE = 12;

std::string SeatName(const TGame& Game, int32_t Seat) {
  const TPlayer* player = SeatPlayer(Game, Seat);
  return player ? player->Name.substr(0, SHOWN_NAME_LENGTH) : std::string();
}

} // namespace

TMatchPanel::TMatchPanel(TUIContainer& Desktop, const std::string& FileName) {
  auto window = LoadWidgetAs<TUIWindow>(FileName, WINDOW_NAME);
  if (!window) {
    throw std::runtime_error(FileName + ": no window named " + WINDOW_NAME);
  }
  Window = window.get();
  Desktop.Add(std::move(window));
  TurnBar = Window->Find<TUIBar>("TurnBar");
  RoundLabel = Window->Find<TUILabel>("RoundLabel");
  TimeBar = Window->Find<TUIBar>("TimeBar");
  for (int32_t seat = 0; seat < MaxSeats; ++seat) {
    const std::string n = std::to_string(seat);
    SeatColours[static_cast<std::size_t>(seat)] = Window->Find<TUIImage>("SeatColour" + n);
    SeatLabels[static_cast<std::size_t>(seat)] = Window->Find<TUILabel>("SeatLabel" + n);
  }
  EndTurnButton = Window->Find<TUIButton>("EndTurnButton");
  ResignButton = Window->Find<TUIButton>("ResignButton");
  if (EndTurnButton) {
    EndTurnButton->FOnClick = [this](TUIWidget*) {
      if (OnEndTurn) {
        OnEndTurn();
      }
    };
  }
  if (ResignButton) {
    ResignButton->FOnClick = [this](TUIWidget*) {
      if (OnResign) {
        OnResign();
      }
    };
  }
}

void TMatchPanel::Update(const TGame& Game, int32_t Seat, double SecondsLeft) {
  const bool playing = !Game.Over && InPlay(Game, Seat);
  const bool ownTurn = playing && Game.ToPlay == Seat;
  if (TurnBar) {
    TurnBar->FCaption = TurnCaption(Game, Seat);
    TurnBar->FMax = 1;
    TurnBar->FPosition = ownTurn ? 1 : 0;
  }
  if (RoundLabel) {
    RoundLabel->FCaption = RoundCaption(Game);
  }
  if (TimeBar) {
    // The bar's full length is the turn's time when the panel first saw the turn.
    const int32_t seconds = static_cast<int32_t>(std::ceil(std::max(0.0, SecondsLeft)));
    if (Game.Turns != FTimedRound || Game.ToPlay != FTimedSeat) {
      FTimedRound = Game.Turns;
      FTimedSeat = Game.ToPlay;
      FTurnLength = std::max(1, seconds);
    }
    FTurnLength = std::max(FTurnLength, seconds);
    TimeBar->FMax = FTurnLength;
    TimeBar->FPosition = Game.Over ? 0 : seconds;
    TimeBar->FCaption = Game.Over ? std::string() : SecondsCaption(SecondsLeft);
  }
  for (int32_t seat = 0; seat < MaxSeats; ++seat) {
    const bool used = SeatPlayer(Game, seat) != nullptr;
    if (TUILabel* label = SeatLabels[static_cast<std::size_t>(seat)]) {
      label->FCaption = used ? SeatCaption(Game, seat) : std::string();
    }
    if (TUIImage* image = SeatColours[static_cast<std::size_t>(seat)]) {
      // The drawer draws every widget, so an unused seat's image is made empty.
      image->FImage = FSeatTextures[static_cast<std::size_t>(seat)];
      image->SetWidth(used ? SEAT_IMAGE_SIZE : 0);
    }
  }
  if (EndTurnButton) {
    EndTurnButton->FEnabled = ownTurn;
  }
  if (ResignButton) {
    ResignButton->FEnabled = playing;
  }
}

std::string TurnCaption(const TGame& Game, int32_t Seat) {
  if (Game.Over) {
    if (Game.Winner < 0) {
      return "Draw";
    }
    return Game.Winner == Seat ? "You win" : SeatName(Game, Game.Winner) + " wins";
  }
  if (Game.ToPlay == Seat && InPlay(Game, Seat)) {
    return "Your turn";
  }
  return "Turn: " + SeatName(Game, Game.ToPlay);
}

std::string RoundCaption(const TGame& Game) {
  return "Round " + std::to_string(Game.Turns) + " of " + std::to_string(RoundLimit);
}

std::string SecondsCaption(double SecondsLeft) {
  const long seconds = std::lround(std::ceil(std::max(0.0, SecondsLeft)));
  return std::to_string(seconds) + (seconds == 1 ? " second left" : " seconds left");
}

std::string SeatCaption(const TGame& Game, int32_t Seat) {
  const TPlayer* player = SeatPlayer(Game, Seat);
  if (!player) {
    return {};
  }
  const std::string marker = !Game.Over && Game.ToPlay == Seat && !player->Out ? "> " : "";
  if (player->Out) {
    return marker + SeatName(Game, Seat) + ": out";
  }
  const int32_t units = SeatUnitCount(Game, Seat);
  return marker + SeatName(Game, Seat) + ": " + std::to_string(units) +
         (units == 1 ? " unit" : " units");
}
