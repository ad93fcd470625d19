#include "app/lobby_state.h"

#include "gui/widget.h"

#include <algorithm>
#include <utility>

namespace {

// How the chat names a game: its name in quotes, or its number when its name is not known.
std::string GameTitle(const TLobbyGame& Game) {
  return Game.Name.empty() ? "number " + Game.Number : "\"" + Game.Name + "\"";
}

} // namespace

TLobbyGame TLobbyGame::Announced(std::string Number, std::string Name, std::string MapName,
                                 std::string Points, std::string MainUser) {
  TLobbyGame game;
  game.Number = std::move(Number);
  game.Name = std::move(Name);
  game.MapName = std::move(MapName);
  game.Points = std::move(Points);
  game.MainUser = std::move(MainUser);
  return game;
}

std::vector<std::string> TLobbyGame::Players() const {
  std::vector<std::string> players{MainUser};
  players.insert(players.end(), Joiners.begin(), Joiners.end());
  return players;
}

void TLobbyState::AddListener(TLobbyStateListener* Listener) {
  FListeners.push_back(Listener);
}

void TLobbyState::RemoveListener(TLobbyStateListener* Listener) {
  std::erase(FListeners, Listener);
}

void TLobbyState::Connected() {
  FPlayOffered = false;
  FLoggedIn = false;
  FMatchesAvailable = false;
}

void TLobbyState::PlayOffered() {
  if (!FLoggedIn) {
    FPlayOffered = true;
  }
}

void TLobbyState::LoggedIn(const std::string& OwnName) {
  FLoggedIn = true;
  FMatchesAvailable = FPlayOffered;
  LeaveOwnGame();
  FUsers.clear();
  FGames.clear();
  FGameNumbers.clear();
  FOpenedUnlisted.clear();
  FMatches.clear();
  FLastRemoved = {};
  Tell([](TLobbyStateListener& L) {
    L.UsersCleared();
    L.GamesCleared();
    L.MatchesCleared();
  });
  AddUser(OwnName);
}

void TLobbyState::Chat(const std::string& From, const std::string& Text) {
  const std::string line = "<" + From + "> " + Text;
  Tell([&](TLobbyStateListener& L) { L.ChatLine(line); });
  if (From == SERVER_NAME) {
    Tell([&](TLobbyStateListener& L) { L.ServerNotice(Text); });
  }
}

void TLobbyState::AddUser(const std::string& Name) {
  FUsers.push_back(Name);
  Tell([&](TLobbyStateListener& L) { L.UserAdded(Name); });
}

void TLobbyState::UserEntered(const std::string& Name) {
  const std::string line = Name + " entered.";
  Tell([&](TLobbyStateListener& L) { L.ChatLine(line); });
  AddUser(Name);
}

void TLobbyState::UserExited(const std::string& Name) {
  const std::string line = Name + " exited.";
  Tell([&](TLobbyStateListener& L) { L.ChatLine(line); });
  const auto it = std::find_if(FUsers.begin(), FUsers.end(), [&](const std::string& User) {
    return SameTextIgnoringCase(User, Name);
  });
  if (it == FUsers.end()) {
    return;
  }
  const auto index = static_cast<std::size_t>(it - FUsers.begin());
  FUsers.erase(it);
  Tell([&](TLobbyStateListener& L) { L.UserRemoved(index); });
}

std::vector<TLobbyGame>::iterator TLobbyState::FindGame(const std::string& Number) {
  if (!FGameNumbers.contains(Number)) {
    return FGames.end();
  }
  return std::find_if(FGames.begin(), FGames.end(),
                      [&](const TLobbyGame& G) { return G.Number == Number; });
}

void TLobbyState::AddGame(const TLobbyGame& Game) {
  const auto it = FindGame(Game.Number);
  if (it == FGames.end()) {
    TLobbyGame added = Game;
    added.Open = added.Open || FOpenedUnlisted.erase(Game.Number) > 0;
    FGames.push_back(added);
    FGameNumbers.insert(Game.Number);
    Tell([&](TLobbyStateListener& L) { L.GameAdded(added); });
    return;
  }
  TLobbyGame described = Game;
  described.Open = it->Open;
  described.Joiners = it->Joiners;
  *it = described;
  if (Game.Number == FOwnRoom.Number && FOwnGame != NO_GAME) {
    FOwnRoom = described;
  }
  const auto index = static_cast<std::size_t>(it - FGames.begin());
  Tell([&](TLobbyStateListener& L) { L.GameReplaced(index, described); });
}

void TLobbyState::RemoveGame(const std::string& Number) {
  FOpenedUnlisted.erase(Number);
  const auto it = FindGame(Number);
  if (it != FGames.end()) {
    FLastRemoved = *it;
    EraseGame(it);
  }
}

void TLobbyState::EraseGame(std::vector<TLobbyGame>::iterator It) {
  const auto index = static_cast<std::size_t>(It - FGames.begin());
  FGameNumbers.erase(It->Number);
  FGames.erase(It);
  Tell([&](TLobbyStateListener& L) { L.GameRemoved(index); });
}

void TLobbyState::ConnectionLost() {
  LeaveOwnGame();
  Tell([](TLobbyStateListener& L) { L.ConnectionLost(); });
}

void TLobbyState::MatchLine(const TMsg& Line) {
  Tell([&](TLobbyStateListener& L) { L.MatchLine(Line); });
}

void TLobbyState::GameCreated(std::int32_t Game) {
  EnterOwnGame(Game, 0);
}

void TLobbyState::GameOpened(std::int32_t Game) {
  const std::string number = std::to_string(Game);
  const auto it = FindGame(number);
  if (it == FGames.end()) {
    FOpenedUnlisted.insert(number);
    return;
  }
  if (it->Open) {
    return;
  }
  it->Open = true;
  const auto index = static_cast<std::size_t>(it - FGames.begin());
  Tell([&](TLobbyStateListener& L) { L.GameReplaced(index, *it); });
}

void TLobbyState::GameEntered(std::int32_t Game) {
  // The F|joined that follows at once is this client's, appended after the joiners there are.
  const auto it = FindGame(std::to_string(Game));
  const std::size_t before = it != FGames.end() ? it->Joiners.size() : 0;
  EnterOwnGame(Game, static_cast<std::int32_t>(before) + 1);
}

void TLobbyState::EnterOwnGame(std::int32_t Game, std::int32_t Seat) {
  LeaveOwnGame();
  FOwnGame = Game;
  FOwnSeat = Seat;
  const auto it = FindGame(std::to_string(Game));
  if (it != FGames.end()) {
    FOwnRoom = *it;
  } else {
    FOwnRoom.Number = std::to_string(Game);
  }
  Tell([](TLobbyStateListener& L) { L.OwnGameEntered(); });
}

template <class F>
void TLobbyState::ChangeRoom(std::int32_t Game, const F& Change) {
  const bool own = Game == FOwnGame && !FOwnStarted;
  if (own) {
    Change(FOwnRoom, true);
  }
  const auto it = FindGame(std::to_string(Game));
  if (it != FGames.end()) {
    if (own) {
      it->Joiners = FOwnRoom.Joiners;
    } else {
      Change(*it, false);
    }
    const auto index = static_cast<std::size_t>(it - FGames.begin());
    Tell([&](TLobbyStateListener& L) { L.GameReplaced(index, *it); });
  }
  if (own) {
    Tell([](TLobbyStateListener& L) { L.OwnGameChanged(); });
  }
}

void TLobbyState::PlayerJoined(std::int32_t Game, const std::string& User) {
  ChangeRoom(Game, [&](TLobbyGame& Room, bool) { Room.Joiners.push_back(User); });
}

void TLobbyState::PlayerLeft(std::int32_t Game, const std::string& User) {
  ChangeRoom(Game, [&](TLobbyGame& Room, bool Own) {
    // This client's own entry stays: it leaves by LeaveOwnGame, never by a name.
    const bool joiner = Own && FOwnSeat > 0;
    const std::size_t mine = joiner ? static_cast<std::size_t>(FOwnSeat - 1) : Room.Joiners.size();
    for (std::size_t i = 0; i < Room.Joiners.size(); ++i) {
      if (i != mine && Room.Joiners[i] == User) {
        Room.Joiners.erase(Room.Joiners.begin() + static_cast<std::ptrdiff_t>(i));
        if (joiner && i < mine) {
          --FOwnSeat;
        }
        return;
      }
    }
  });
}

void TLobbyState::MatchStarted(std::int32_t Game, const std::vector<std::string>& Seats) {
  const std::string number = std::to_string(Game);
  if (const auto it = FindGame(number); it != FGames.end()) {
    FLastRemoved = *it;
    EraseGame(it); // a game whose match runs can no longer be joined
  }
  const bool listed = std::any_of(FMatches.begin(), FMatches.end(),
                                  [&](const TLobbyMatch& M) { return M.Number == Game; });
  if (!listed) {
    TLobbyMatch match{Game, "", Seats};
    if (FLastRemoved.Number == number) {
      match.Name = FLastRemoved.Name;
    } else if (Game == FOwnGame) {
      match.Name = FOwnRoom.Name;
    }
    FMatches.push_back(match);
    Tell([&](TLobbyStateListener& L) { L.MatchAdded(match); });
  }
  if (Game == FOwnGame && !FOwnStarted) {
    FOwnStarted = true;
    Tell([](TLobbyStateListener& L) { L.OwnMatchBegun(); });
  }
}

void TLobbyState::MatchEnded(std::int32_t Game) {
  const auto it = std::find_if(FMatches.begin(), FMatches.end(),
                               [&](const TLobbyMatch& M) { return M.Number == Game; });
  if (it != FMatches.end()) {
    const auto index = static_cast<std::size_t>(it - FMatches.begin());
    FMatches.erase(it);
    Tell([&](TLobbyStateListener& L) { L.MatchRemoved(index); });
  }
  if (Game == FOwnGame && FOwnStarted) {
    LeaveOwnGame();
  }
}

void TLobbyState::Refused(const std::string& Reason) {
  Tell([&](TLobbyStateListener& L) { L.Refused(Reason); });
}

void TLobbyState::GameCancelled(std::int32_t Game) {
  if (Game == FOwnGame && FOwnGame != NO_GAME && !FOwnStarted) {
    CancelOwnGame();
  }
}

void TLobbyState::CancelOwnGame() {
  const TLobbyGame room = FOwnRoom;
  const bool creator = OwnGameCreator();
  LeaveOwnGame();
  const std::string line =
      creator || room.MainUser.empty()
          ? "The game " + GameTitle(room) + " was cancelled."
          : room.MainUser + " left; the game " + GameTitle(room) + " is cancelled.";
  Tell([&](TLobbyStateListener& L) { L.ChatLine(line); });
  Tell([](TLobbyStateListener& L) { L.OwnGameCancelled(); });
}

void TLobbyState::LeaveOwnGame() {
  FOwnGame = NO_GAME;
  FOwnSeat = -1;
  FOwnRoom = {};
  FOwnStarted = false;
}
