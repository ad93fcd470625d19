#pragma once
// What the client knows of the lobby: the users present and the games announced, each game
// with its number. The message parser keeps it up to date; screens are told of every change,
// in the order the changes happen, through TLobbyStateListener, and draw from that. Nothing
// here knows of widgets or of the connection.

#include <cstddef>
#include <string>
#include <unordered_set>
#include <vector>

class TMsg;

// One announced game, as the server described it.
struct TLobbyGame {
  std::string Number;
  std::string Name;
  std::string MapName;
  std::string Points;
  std::string MainUser;
};

// Told of each change of a TLobbyState; every method does nothing unless overridden.
class TLobbyStateListener {
public:
  virtual ~TLobbyStateListener() = default;
  // A line for the chat: "<name> text", "name entered.", "name exited.".
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
  // The game at Index of Games() has been described anew where it stands.
  virtual void GameReplaced(std::size_t /*Index*/, const TLobbyGame& /*Game*/) {}
  // The game at Index of Games() has left the list.
  virtual void GameRemoved(std::size_t /*Index*/) {}
  virtual void GamesCleared() {}
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

  // The server accepted the login: both lists start again, with only this user in.
  void LoggedIn(const std::string& OwnName);
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
  // anew where it stands.
  void AddGame(const TLobbyGame& Game);
  // The game with this number is over; an unknown number changes nothing.
  void RemoveGame(const std::string& Number);
  void ConnectionLost();
  // Passes a line of a match on to the listeners.
  void MatchLine(const TMsg& Line);

  const std::vector<std::string>& Users() const { return FUsers; }
  const std::vector<TLobbyGame>& Games() const { return FGames; }

private:
  // The listed game with this number; end() when there is none.
  std::vector<TLobbyGame>::iterator FindGame(const std::string& Number);

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
};

// The pseudo-user whose chat lines are the server's own notices.
inline constexpr const char* SERVER_NAME = "Server";
