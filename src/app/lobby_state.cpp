#include "app/lobby_state.h"

#include "gui/widget.h"

#include <algorithm>

void TLobbyState::AddListener(TLobbyStateListener* Listener) {
  FListeners.push_back(Listener);
}

void TLobbyState::RemoveListener(TLobbyStateListener* Listener) {
  std::erase(FListeners, Listener);
}

void TLobbyState::LoggedIn(const std::string& OwnName) {
  FUsers.clear();
  FGames.clear();
  FGameNumbers.clear();
  Tell([](TLobbyStateListener& L) {
    L.UsersCleared();
    L.GamesCleared();
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
    FGames.push_back(Game);
    FGameNumbers.insert(Game.Number);
    Tell([&](TLobbyStateListener& L) { L.GameAdded(Game); });
    return;
  }
  *it = Game;
  const auto index = static_cast<std::size_t>(it - FGames.begin());
  Tell([&](TLobbyStateListener& L) { L.GameReplaced(index, Game); });
}

void TLobbyState::RemoveGame(const std::string& Number) {
  const auto it = FindGame(Number);
  if (it == FGames.end()) {
    return;
  }
  const auto index = static_cast<std::size_t>(it - FGames.begin());
  FGames.erase(it);
  FGameNumbers.erase(Number);
  Tell([&](TLobbyStateListener& L) { L.GameRemoved(index); });
}

void TLobbyState::ConnectionLost() {
  Tell([](TLobbyStateListener& L) { L.ConnectionLost(); });
}

void TLobbyState::MatchLine(const TMsg& Line) {
  Tell([&](TLobbyStateListener& L) { L.MatchLine(Line); });
}
