#pragma once
// The waiting room between the lobby and the game: start the game, or go back to the lobby.
// It sends nothing to the server; messages arriving meanwhile wait for the lobby.

#include "app/client_screen.h"

class TUIWidget;

class TGameCreationStatus : public TClientScreen {
public:
  static constexpr const char* UI_FILE = "media/gamecreation.ui";

  // Loads the .ui file and attaches GameStartButton and GameExitButton when present.
  TGameCreationStatus();

  // The game screen becomes current.
  void OnGameStartButtonClick(TUIWidget* Sender);
  // Back to the lobby; the game stays announced.
  void OnGameExitButtonClick(TUIWidget* Sender);
};
