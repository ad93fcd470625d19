#pragma once
// What the client knows of the lobby: the users present, the games announced (each with its
// number and, on a server that plays matches, who waits in its room), the matches in progress,
// and the game this client waits in or plays. The message parser keeps it up to date; screens
// are told of every change, in the order the changes happen, through TLobbyStateListener, and
// draw from that. Nothing here knows of widgets or of the connection.

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

class TMsg;

// One announced game, as the server described it.
struct TLobbyGame {
  // A game as its G line describes it, before anything is known of its room.
  static TLobbyGame Announced(std::string Number, std::string Name, std::string MapName,
                              std::string Points, std::string MainUser);

  std::string Number;
  std::string Name;
  std::string MapName;
  std::string Points;
  std::string MainUser;
  // Its waiting room takes players (the server said F|open); only then are joiners known.
  bool Open = false;
  // The users who joined its room, in join order; MainUser, its creator, has seat 0 and they
  // have seats 1, 2, ...
  std::vector<std::string> Joiners;

  // The creator and the joiners, in seat order.
  std::vector<std::string> Players() const;
};

// A match being played, as the server announced it.
struct TLobbyMatch {
  std::int32_t Number = 0;
  // The name of its game when the game was listed here; empty for a match that was already
  // under way at login.
  std::string Name;
  // Every seat's name, seat 0 first (the computer's seat included).
  std::vector<std::string> Seats;
};

// No game: what OwnGame() answers when this client is in none.
inline constexpr std::int32_t NO_GAME = -1;

// Told of each change of a TLobbyState; every method does nothing unless overridden.
class TLobbyStateListener {
public:
  virtual ~TLobbyStateListener() = default;
  // A line for the chat: "<name> text", "name entered.", "name exited.", or why the own game
  // ended.
  virtual void ChatLine(const std::string& /*Line*/) {}
  // A chat line from the server itself (SERVER_NAME), such as its refusal to announce a game;
  // told after the line's ChatLine.
  virtual void ServerNotice(const std::string& /*Text*/) {}
  // Name was appended to Users().
  virtual void UserAdded(const std::string& /*Name*/) {}
  // The user at Index of Users() has left the list.
  virtual void UserRemoved(std::size_t /*Index*/) {}
  virtual void UsersCleared() {}
  // Game was appended to Games().
  virtual void GameAdded(const TLobbyGame& /*Game*/) {}
  // The game at Index of Games() has been described anew where it stands (announced again,
  // opened, or its room's players changed).
  virtual void GameReplaced(std::size_t /*Index*/, const TLobbyGame& /*Game*/) {}
  // The game at Index of Games() has left the list.
  virtual void GameRemoved(std::size_t /*Index*/) {}
  virtual void GamesCleared() {}
  // Match was appended to Matches().
  virtual void MatchAdded(const TLobbyMatch& /*Match*/) {}
  // The match at Index of Matches() has ended and left the list.
  virtual void MatchRemoved(std::size_t /*Index*/) {}
  virtual void MatchesCleared() {}
  // This client now waits in the room of OwnGame(): it created the game or joined it.
  virtual void OwnGameEntered() {}
  // The players of the own game's room changed (OwnRoom(), OwnSeat()).
  virtual void OwnGameChanged() {}
  // The own game's match has begun (OwnMatchStarted()); its lines follow as MatchLine.
  virtual void OwnMatchBegun() {}
  // The own game was cancelled while this client waited in its room; told after the chat line
  // that says why. OwnGame() is NO_GAME by now.
  virtual void OwnGameCancelled() {}
  // The server refused something this client asked for (F|refused), with its reason.
  virtual void Refused(const std::string& /*Reason*/) {}
  // The connection to the server has ended without the user leaving.
  virtual void ConnectionLost() {}
  // A line of a match being played (F with start, seat, tree, unit, turn, moved, hit, out or
  // over), for whoever keeps the client's copy of the match.
  virtual void MatchLine(const TMsg& /*Line*/) {}
};

class TLobbyState {
public:
  // Listeners are told in the order they were added. None may be added or removed while one is
  // being told, and each must be removed before it goes away.
  void AddListener(TLobbyStateListener* Listener);
  void RemoveListener(TLobbyStateListener* Listener);

  // ---- the login ----
  // A new connection, which has asked for matches: none are known to be available until the
  // server offers them.
  void Connected();
  // The server offered matches (F|play). Counts only before the login is accepted.
  void PlayOffered();
  // The server accepted the login: the lists start again, with only this user in, and matches
  // are available from now on exactly when the server offered them before.
  void LoggedIn(const std::string& OwnName);

  // ---- the lobby's lines ----
  // A chat line; one from SERVER_NAME is also a server notice.
  void Chat(const std::string& From, const std::string& Text);
  // A user who was there before this user logged in.
  void AddUser(const std::string& Name);
  // A user came in, which the chat shows.
  void UserEntered(const std::string& Name);
  // A user left, which the chat shows; the first user of that name, ignoring letter case,
  // leaves the list.
  void UserExited(const std::string& Name);
  // A game was announced. A number already listed names the same game: its entry is described
  // anew where it stands (keeping what is known of its room).
  void AddGame(const TLobbyGame& Game);
  // The game with this number left the list; an unknown number changes nothing. When it is the
  // own game, its match is expected next (MatchStarted); anything else means it was cancelled.
  void RemoveGame(const std::string& Number);
  void ConnectionLost();
  // Passes a line of a match on to the listeners.
  void MatchLine(const TMsg& Line);

  // ---- the extension's lines ----
  // This client's game was announced (F|created): it waits in its room as seat 0.
  void GameCreated(std::int32_t Game);
  // The game's room takes players (F|open). A game not listed yet is opened when it comes.
  void GameOpened(std::int32_t Game);
  // This client joined the game's room (F|entered); the PlayerJoined of that game that follows
  // at once is its own seat.
  void GameEntered(std::int32_t Game);
  void PlayerJoined(std::int32_t Game, const std::string& User);
  // A joiner left the room. Of several joiners of that name the first one that is not this
  // client leaves (this client leaves by LeaveOwnGame).
  void PlayerLeft(std::int32_t Game, const std::string& User);
  void MatchStarted(std::int32_t Game, const std::vector<std::string>& Seats);
  void MatchEnded(std::int32_t Game);
  void Refused(const std::string& Reason);
  // The game's room closed without a match (F|cancelled, which comes before its H; the H
  // before a match starts comes without it). When it is the own room, this client is back in
  // the lobby with a chat line saying why.
  void GameCancelled(std::int32_t Game);

  // ---- this client's own game ----
  // Forgets the own game (after leaving its room, resigning or the end of its match); the
  // screens are not told.
  void LeaveOwnGame();

  const std::vector<std::string>& Users() const { return FUsers; }
  const std::vector<TLobbyGame>& Games() const { return FGames; }
  const std::vector<TLobbyMatch>& Matches() const { return FMatches; }
  // The server offered matches before accepting this login.
  bool MatchesAvailable() const { return FMatchesAvailable; }
  // The number of the game this client created or joined, from its room until its match ends
  // or this client leaves; NO_GAME when none.
  std::int32_t OwnGame() const { return FOwnGame; }
  // This client's seat in the own game (0 for its creator, then in join order); -1 when none.
  // Kept as the match starts.
  std::int32_t OwnSeat() const { return FOwnSeat; }
  bool OwnGameCreator() const { return FOwnGame != NO_GAME && FOwnSeat == 0; }
  // The own game as its room was last described (creator, joiners, name, map, points).
  const TLobbyGame& OwnRoom() const { return FOwnRoom; }
  // The own game's match has been announced (the game screen takes over from the room).
  bool OwnMatchStarted() const { return FOwnStarted; }

private:
  // The listed game with this number; end() when there is none.
  std::vector<TLobbyGame>::iterator FindGame(const std::string& Number);
  // Takes the game at It off the list and tells the listeners.
  void EraseGame(std::vector<TLobbyGame>::iterator It);
  // Applies Change to the listed game with this number and to the own room when it is that
  // game, and tells the listeners.
  template <class F>
  void ChangeRoom(std::int32_t Game, const F& Change);
  // Makes Game the own game with this client at Seat and tells the listeners.
  void EnterOwnGame(std::int32_t Game, std::int32_t Seat);
  // The own game's room was cancelled.
  void CancelOwnGame();

  template <class F>
  void Tell(const F& Call) {
    for (TLobbyStateListener* listener : FListeners) {
      Call(*listener);
    }
  }

  std::vector<TLobbyStateListener*> FListeners;
  std::vector<std::string> FUsers;
  std::vector<TLobbyGame> FGames;
  // The numbers in FGames, so that announcing a game never searches the list.
  std::unordered_set<std::string> FGameNumbers;
  // Games opened before they were listed.
  std::unordered_set<std::string> FOpenedUnlisted;
  std::vector<TLobbyMatch> FMatches;
  // The last game removed from the list, which names the match that may follow.
  TLobbyGame FLastRemoved;

  bool FPlayOffered = false;
  bool FLoggedIn = false;
  bool FMatchesAvailable = false;

  std::int32_t FOwnGame = NO_GAME;
  std::int32_t FOwnSeat = -1;
  TLobbyGame FOwnRoom;
  bool FOwnStarted = false;
};

// The pseudo-user whose chat lines are the server's own notices.
inline constexpr const char* SERVER_NAME = "Server";
