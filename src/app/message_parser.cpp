#include "app/message_parser.h"

#include "app/connection.h"
#include "app/event_listener.h"
#include "app/global.h"
#include "app/lobby_state.h"
#include "app/screens/chat_status.h"
#include "app/screens/login_status.h"
#include "app/screens/screens.h"
#include "gui/desktop.h"
#include "gui/error_window.h"
#include "net/message.h"
#include "net/protocol.h"

#include <cstdio>
#include <memory>
#include <string>

namespace {

std::chrono::steady_clock::time_point Now() {
  return Global.Clock ? Global.Clock() : std::chrono::steady_clock::now();
}

// Trace lines are flushed once per batch of lines, so that whoever reads the client's output
// sees them as soon as the frame has handled them.
void Trace(const std::string& Line) {
  std::fwrite(Line.data(), 1, Line.size(), stdout);
  std::fputc('\n', stdout);
}

// Reads one line and handles it, or reports the end of a dead connection.
void HandleOne() {
  std::string line;
  if (!Global.Conn->Recv(line)) {
    if (Global.Lobby != nullptr) {
      Global.Lobby->ConnectionLost();
    }
    return;
  }
  Trace("received " + line);
  if (!line.empty()) {
    Parse(TMsg(line));
  }
}

// The F lines that describe a match and its play, as opposed to those of the lobby.
bool IsMatchLine(const TMsg& M) {
  switch (ExtOf(M)) {
  case TExt::Start:
  case TExt::Seat:
  case TExt::Tree:
  case TExt::Unit:
  case TExt::Turn:
  case TExt::Moved:
  case TExt::Hit:
  case TExt::Out:
  case TExt::Over:
    return true;
  default:
    return false;
  }
}

// A game line as the lobby lists it: every parameter as the text it came as, so that a line
// whose number or points do not read is still shown as it says.
struct TListedGame {
  static constexpr char Type = Msg::Game;
  std::string Number, Name, Map, Points, Creator;
  static constexpr auto Fields() {
    return std::tuple{&TListedGame::Number, &TListedGame::Name, &TListedGame::Map,
                      &TListedGame::Points, &TListedGame::Creator};
  }
};

bool Waiting() {
  return Global.Conn->LinesWaiting() > 0 || Global.Conn->EndPending();
}

// Calls Act with Message read as a T, when it reads as one.
template <class T, class F>
void With(const TMsg& Message, const F& Act) {
  if (auto line = Read<T>(Message)) {
    Act(*line);
  }
}

// The F lines of the lobby's side of the extension; those of a match go to the match's keeper.
void ParseExtension(TLobbyState& Lobby, const TMsg& M) {
  switch (ExtOf(M)) {
  case TExt::Play:
    With<TPlayOffer>(M, [&](const auto& L) {
      if (L.Version == PlayVersion) {
        Lobby.PlayOffered();
      }
    });
    break;
  case TExt::Created:
    With<TGameCreated>(M, [&](const auto& L) { Lobby.GameCreated(L.Game); });
    break;
  case TExt::Open:
    With<TGameOpen>(M, [&](const auto& L) { Lobby.GameOpened(L.Game); });
    break;
  case TExt::Entered:
    With<TGameEntered>(M, [&](const auto& L) { Lobby.GameEntered(L.Game); });
    break;
  case TExt::Joined:
    With<TPlayerJoined>(M, [&](const auto& L) { Lobby.PlayerJoined(L.Game, L.User); });
    break;
  case TExt::Left:
    With<TPlayerLeft>(M, [&](const auto& L) { Lobby.PlayerLeft(L.Game, L.User); });
    break;
  case TExt::Started:
    With<TMatchStarted>(M, [&](const auto& L) { Lobby.MatchStarted(L.Game, L.Seats); });
    break;
  case TExt::Ended:
    With<TMatchEnded>(M, [&](const auto& L) { Lobby.MatchEnded(L.Game); });
    break;
  case TExt::Cancelled:
    With<TGameCancelled>(M, [&](const auto& L) { Lobby.GameCancelled(L.Game); });
    break;
  case TExt::Refused:
    With<TRefusal>(M, [&](const auto& L) { Lobby.Refused(L.Reason); });
    break;
  default:
    if (IsMatchLine(M)) {
      Lobby.MatchLine(M);
    }
    break;
  }
}

// The lines that may come at any time, told to the lobby state.
void ParseLobbyLine(TLobbyState& Lobby, const TMsg& M) {
  switch (M.GetType()) {
  case Msg::Said:
    With<TChatRelayed>(M, [&](const auto& L) { Lobby.Chat(L.Name, L.Text); });
    break;
  case Msg::Entered:
    With<TUserEntered>(M, [&](const auto& L) { Lobby.UserEntered(L.Name); });
    break;
  case Msg::Extension:
    ParseExtension(Lobby, M);
    break;
  case Msg::Game:
    With<TListedGame>(M, [&](const auto& L) {
      Lobby.AddGame(TLobbyGame::Announced(L.Number, L.Name, L.Map, L.Points, L.Creator));
    });
    break;
  case Msg::Removed:
    With<TGameRemoved>(M, [&](const auto& L) { Lobby.RemoveGame(std::to_string(L.Id)); });
    break;
  case Msg::Present:
    With<TUserPresent>(M, [&](const auto& L) { Lobby.AddUser(L.Name); });
    break;
  case Msg::Exited:
    With<TUserExited>(M, [&](const auto& L) { Lobby.UserExited(L.Name); });
    break;
  }
}

bool IsLobbyLine(char Type) {
  for (char lobbyType : {Msg::Said, Msg::Entered, Msg::Extension, Msg::Game, Msg::Removed,
                         Msg::Present, Msg::Exited}) {
    if (Type == lobbyType) {
      return true;
    }
  }
  return false;
}

} // namespace

void ParseMessage() {
  if (Global.Conn == nullptr || !Global.Conn->DataAvaiable()) {
    return;
  }
  HandleOne();
  std::fflush(stdout);
}

std::size_t ParseMessages(std::chrono::microseconds Budget) {
  if (Global.Conn == nullptr) {
    return 0;
  }
  Global.Conn->Poll();
  const auto start = Now();
  std::size_t handled = 0;
  while (Waiting()) {
    HandleOne();
    ++handled;
    if (Now() - start >= Budget) {
      break;
    }
  }
  if (handled > 0) {
    std::fflush(stdout);
  }
  return handled;
}

bool Parse(const TMsg& M) {
  if (!IsLobbyLine(M.GetType())) {
    return LoginStatus != nullptr && LoginStatus->Active && ParseLogin(M);
  }
  if (Global.Lobby != nullptr) {
    ParseLobbyLine(*Global.Lobby, M);
  }
  return true;
}

bool ParseLogin(const TMsg& M) {
  if (auto accepted = Read<TLoginAccepted>(M)) {
    if (Global.Lobby != nullptr) {
      Global.Lobby->LoggedIn(accepted->Name);
    }
    Global.UserName = accepted->Name;
    if (ChatStatus != nullptr) {
      ChangeListener(ChatStatus);
    }
    return true;
  }
  if (auto denied = Read<TLoginDenied>(M)) {
    if (Global.Conn != nullptr) {
      Global.Conn->Close();
    }
    if (LoginStatus != nullptr) {
      LoginStatus->Desktop->AddModal(
          std::make_unique<TUIErrorWindow>(ACCESS_DENIED_TEXT + denied->Reason));
    }
    return true;
  }
  Trace("Unexpected message");
  return false;
}
