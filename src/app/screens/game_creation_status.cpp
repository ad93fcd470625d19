#include "app/screens/game_creation_status.h"

#include "app/screens/chat_status.h"
#include "app/screens/game_status.h"
#include "app/screens/screens.h"
#include "gui/button.h"
#include "gui/desktop.h"

TGameCreationStatus::TGameCreationStatus() : TClientScreen(UI_FILE) {
  if (auto* start = Desktop->Find<TUIButton>("GameStartButton")) {
    start->FOnClick = [this](TUIWidget* Sender) { OnGameStartButtonClick(Sender); };
  }
  if (auto* exit = Desktop->Find<TUIButton>("GameExitButton")) {
    exit->FOnClick = [this](TUIWidget* Sender) { OnGameExitButtonClick(Sender); };
  }
}

void TGameCreationStatus::OnGameStartButtonClick(TUIWidget*) {
  if (GameStatus != nullptr) {
    ChangeListener(GameStatus);
  }
}

void TGameCreationStatus::OnGameExitButtonClick(TUIWidget*) {
  if (ChatStatus != nullptr) {
    ChangeListener(ChatStatus);
  }
}
