#pragma once
// The lobby: chat with the other users, the list of users present and of announced games, tab
// buttons over four pages, and a modal window to announce a game. Its lists follow the lobby
// state (whichever screen is current); when the server announces a game of this user, the game
// creation screen follows once the lobby is current.

#include "app/client_screen.h"

#include <string>

class TUIEdit;
class TUIList;
class TUIWidget;

class TChatStatus : public TClientScreen {
public:
  static constexpr const char* UI_FILE = "media/chat.ui";
  static constexpr const char* CREATE_GAME_UI_FILE = "media/creategame.ui";
  // Most rows the chat list keeps; older ones are dropped.
  static constexpr std::size_t MAX_CHAT_LINES = 40;

  // Loads the .ui file, finds the lists and the chat edit and attaches the buttons; a widget
  // the file lacks leaves its field empty or its handler unattached.
  TChatStatus();

  // No focus, the chat page shown, not waiting for the server.
  void Enter() override;

  // Appends S to the chat list, wrapped onto as many rows as its width needs, and drops the
  // oldest rows beyond MAX_CHAT_LINES. The list keeps showing its newest row unless the user
  // has scrolled up.
  void AddChatList(const std::string& S);
  // Appends the line "ID Name  MAP: MapName POINTS: Points USER: MainUser" to the game list.
  // A game of this user (MainUser equal to Global.UserName) ends the wait and makes the game
  // creation screen current, at once when the lobby is current, otherwise as soon as it is.
  void AddGame(const std::string& ID, const std::string& Name, const std::string& MapName,
               const std::string& Points, const std::string& MainUser);

  // Back to the login screen, which logs the user out.
  void OnQuitClick(TUIWidget* Sender);
  // Enter in the chat edit: sends its text as a chat line and empties it.
  void OnEnter(TUIWidget* Sender);
  // The tab buttons: show the chat, buy, sell or games page.
  void OnChatClick(TUIWidget* Sender);
  void OnBuyClick(TUIWidget* Sender);
  void OnSellClick(TUIWidget* Sender);
  void OnGamesClick(TUIWidget* Sender);
  // Opens a new create-game window from CREATE_GAME_UI_FILE; a missing or broken file opens
  // nothing.
  void OnCreateGameClick(TUIWidget* Sender);
  // The create-game window's buttons: close it, or send the game (map, points, name), close
  // it and wait for the server's announcement.
  void OnAbortGameWinClick(TUIWidget* Sender);
  void OnCreateGameWinClick(TUIWidget* Sender);

  TUIList* ChatList = nullptr;
  TUIList* UserList = nullptr;
  TUIList* GameList = nullptr;
  TUIEdit* Edit = nullptr;
  // From sending a game until the server announces it, the server says why it will not (a
  // chat line from SERVER_NAME) or the connection ends; the cursor is an hourglass meanwhile.
  bool WaitingResponse = false;

  // The lobby state's changes: chat lines through AddChatList, games through AddGame, users
  // straight into the user list. A removed row takes its selection with it; the rows below
  // keep theirs. A lost connection is shown here unless the login screen is current.
  void ChatLine(const std::string& Line) override;
  void ServerNotice(const std::string& Text) override;
  void UserAdded(const std::string& Name) override;
  void UserRemoved(std::size_t Index) override;
  void UsersCleared() override;
  void GameAdded(const TLobbyGame& Game) override;
  void GameReplaced(std::size_t Index, const TLobbyGame& Game) override;
  void GameRemoved(std::size_t Index) override;
  void GamesCleared() override;
  void ConnectionLost() override;

protected:
  // Handles the messages, then moves on to game creation if this user's game came while
  // another screen was current.
  void BeforeFrame() override;
  std::string CursorTexture() const override;

private:
  void SwitchPage(const std::string& Page);
  // Makes the game creation screen current if this user's game has come and the lobby is.
  void MoveOnToOwnGame();

  // This user's game was announced while the lobby was not current.
  bool FOwnGameWaiting = false;
};

inline constexpr const char* HOURGLASS_TEXTURE = "hourglass";
