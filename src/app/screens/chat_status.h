#pragma once
// The lobby: chat with the other users, the list of users present and of announced games, tab
// buttons over four pages, and a modal window to announce a game. Its lists follow the lobby
// state (whichever screen is current); when the server announces a game of this user, the game
// creation screen follows once the lobby is current. On a server that plays matches the games
// page also lists the matches in progress, and an open game can be joined with "Join" or a
// double click; the waiting room follows once the server lets this client in.

#include "app/client_screen.h"
#include "app/screens/widget_slot.h"

#include <string>
#include <vector>

class TUIButton;
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

  // No focus, the chat page shown, not waiting for the server; the match controls of the
  // games page shown exactly when the server plays matches.
  void Enter() override;

  // Appends S to the chat list, wrapped onto as many rows as its width needs, and drops the
  // oldest rows beyond MAX_CHAT_LINES. The list keeps showing its newest row unless the user
  // has scrolled up.
  void AddChatList(const std::string& S);
  // Appends the line "ID Name  MAP: MapName POINTS: Points USER: MainUser" to the game list.
  // A game of this user (MainUser equal to Global.UserName) ends the wait and makes the game
  // creation screen current, at once when the lobby is current, otherwise as soon as it is;
  // on a server that plays matches only the server's word (F|created) makes a game this
  // user's, since one name may be logged in twice.
  void AddGame(const std::string& ID, const std::string& Name, const std::string& MapName,
               const std::string& Points, const std::string& MainUser);
  // The game list's line for Game: AddGame's, and on a server that plays matches how many
  // players its room holds ("  PLAYERS: 2/4"), or that it cannot be joined.
  std::string GameLine(const TLobbyGame& Game) const;
  // The match list's line: "101 Evening match  PLAYERS: anna, bert".
  static std::string MatchRow(const TLobbyMatch& Match);
  // Whether this client may ask to join Game: its room is open and not full, and it is not
  // this client's own.
  bool Joinable(const TLobbyGame& Game) const;

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
  // A click in the game list: a row that cannot be joined does not stay selected.
  void OnGameListClick(TUIWidget* Sender);
  // "Join" (or a double click on a row): asks to join the selected game, unless this client is
  // already in a game or waits for the server's answer to an earlier request.
  void OnJoinClick(TUIWidget* Sender);

  TUIList* ChatList = nullptr;
  TUIList* UserList = nullptr;
  TUIList* GameList = nullptr;
  TUIEdit* Edit = nullptr;
  // The games page's match controls, shown only on a server that plays matches.
  TUIButton* JoinButton = nullptr;
  TUIList* MatchList = nullptr;
  // From sending a game (or a request to join one) until the server announces it (lets this
  // client in), says why it will not (a chat line from SERVER_NAME, or F|refused) or the
  // connection ends; the cursor is an hourglass meanwhile.
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
  void MatchAdded(const TLobbyMatch& Match) override;
  void MatchRemoved(std::size_t Index) override;
  void MatchesCleared() override;
  // The server let this client into a room (its own game or one it joined): the waiting room
  // follows, as for AddGame.
  void OwnGameEntered() override;
  void OwnGameCancelled() override;
  // Ends the wait; shown in an error window while the lobby is current.
  void Refused(const std::string& Reason) override;
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
  void AppendGame(const TLobbyGame& Game);
  // Shows or hides the games page's match controls; the game list takes the room of the
  // hidden ones.
  void ShowMatchControls(bool Shown);
  // The listed game in the game list's selected row, or none.
  const TLobbyGame* SelectedGame() const;
  // Drops a selection that cannot be joined and enables "Join" when one that can is selected.
  void CheckSelection();

  // This user's game was announced while the lobby was not current.
  bool FOwnGameWaiting = false;
  // The match controls and the hints for either kind of server.
  std::vector<TWidgetSlot> FMatchControls;
  TWidgetSlot FPlainHint;
  // The game list's height with and without the match controls below it.
  std::int32_t FGameListHeight = 0;
  std::int32_t FGameListShortHeight = 0;
};

inline constexpr const char* HOURGLASS_TEXTURE = "hourglass";
