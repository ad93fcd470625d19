#pragma once
// The waiting room between the lobby and the game. On a server without matches it offers to
// start the game on this machine or to go back to the lobby, and sends nothing. On a server that
// plays matches it shows the game this client created or joined (the lobby state's own game):
// its name, map and points and its players as they come and go; the creator starts the match
// ("Start game", B), the others wait for it; "Back to lobby" leaves the room (K). A cancelled
// room or a lost connection leads back to the lobby, which says why.

#include "app/client_screen.h"
#include "app/screens/widget_slot.h"

#include <string>

class TUIButton;
class TUILabel;
class TUIList;
class TUIWidget;

class TGameCreationStatus : public TClientScreen {
public:
  static constexpr const char* UI_FILE = "media/gamecreation.ui";

  // Loads the .ui file and attaches the buttons of both rooms when present.
  TGameCreationStatus();

  // Shows the room that fits the server: the match room while this client has a game of its
  // own in the lobby state, otherwise the plain one.
  void Enter() override;

  // Plain room: the game screen becomes current. Match room: the creator asks the server to
  // start the match (once); the game screen follows when the match's lines come.
  void OnGameStartButtonClick(TUIWidget* Sender);
  // Back to the lobby. Plain room: the game stays announced. Match room: this client leaves
  // the room (the creator's leaving cancels the game); once the match has begun, nothing.
  void OnGameExitButtonClick(TUIWidget* Sender);

  // The match room's widgets.
  TUILabel* GameLabel = nullptr;
  TUILabel* MapLabel = nullptr;
  TUILabel* PlayersLabel = nullptr;
  TUIList* PlayerList = nullptr;
  TUILabel* StatusLabel = nullptr;
  TUIButton* StartButton = nullptr;

  // The lobby state's changes to the own game, shown while this screen is current.
  void OwnGameChanged() override;
  void OwnMatchBegun() override;
  void OwnGameCancelled() override;
  void Refused(const std::string& Reason) override;
  void ConnectionLost() override;

private:
  // Fills the match room from the lobby state's own game.
  void ShowRoom();
  // Back to the lobby, when this screen is current.
  void BackToLobby();

  TWidgetSlot FPlainRoom;
  TWidgetSlot FMatchRoom;
  TWidgetSlot FStartSlot;
  // The match room is the one shown.
  bool FInMatchRoom = false;
  // The creator asked for the start and waits for the match.
  bool FStartAsked = false;
};
