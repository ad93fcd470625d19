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

// The F lines of the lobby's side of the extension; those of a match go to the match's keeper.
void ParseExtension(TLobbyState& Lobby, const TMsg& M) {
  switch (ExtOf(M)) {
  case TExt::Play:
    if (auto line = Read<TPlayOffer>(M); line && line->Version == PlayVersion) {
      Lobby.PlayOffered();
    }
    break;
  case TExt::Created:
    if (auto line = Read<TGameCreated>(M)) {
      Lobby.GameCreated(line->Game);
    }
    break;
  case TExt::Open:
    if (auto line = Read<TGameOpen>(M)) {
      Lobby.GameOpened(line->Game);
    }
    break;
  case TExt::Entered:
    if (auto line = Read<TGameEntered>(M)) {
      Lobby.GameEntered(line->Game);
    }
    break;
  case TExt::Joined:
    if (auto line = Read<TPlayerJoined>(M)) {
      Lobby.PlayerJoined(line->Game, line->User);
    }
    break;
  case TExt::Left:
    if (auto line = Read<TPlayerLeft>(M)) {
      Lobby.PlayerLeft(line->Game, line->User);
    }
    break;
  case TExt::Started:
    if (auto line = Read<TMatchStarted>(M)) {
      Lobby.MatchStarted(line->Game, line->Seats);
    }
    break;
  case TExt::Ended:
    if (auto line = Read<TMatchEnded>(M)) {
      Lobby.MatchEnded(line->Game);
    }
    break;
  case TExt::Refused:
    if (auto line = Read<TRefusal>(M)) {
      Lobby.Refused(line->Reason);
    }
    break;
  default:
    if (IsMatchLine(M)) {
      Lobby.MatchLine(M);
    }
    break;
  }
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
  if (Global.Lobby != nullptr && !Waiting()) {
    Global.Lobby->Quiet(Now());
  }
  return handled;
}

bool Parse(const TMsg& M) {
  TLobbyState* lobby = Global.Lobby;
  if (lobby != nullptr && lobby->OwnGameClosing()) {
    const auto started = Read<TMatchStarted>(M);
    lobby->LineArriving(started && started->Game == lobby->OwnGame());
  }
  switch (M.GetType()) {
  case Msg::Said:
    if (auto line = Read<TChatRelayed>(M); line && lobby != nullptr) {
      lobby->Chat(line->Name, line->Text);
    }
    return true;
  case Msg::Entered:
    if (auto line = Read<TUserEntered>(M); line && lobby != nullptr) {
      lobby->UserEntered(line->Name);
    }
    return true;
  case Msg::Extension:
    if (lobby != nullptr) {
      ParseExtension(*lobby, M);
    }
    return true;
  case Msg::Game:
    if (auto line = Read<TListedGame>(M); line && lobby != nullptr) {
      lobby->AddGame(
          TLobbyGame::Announced(line->Number, line->Name, line->Map, line->Points, line->Creator));
    }
    return true;
  case Msg::Removed:
    if (auto line = Read<TGameRemoved>(M); line && lobby != nullptr) {
      lobby->RemoveGame(std::to_string(line->Id));
    }
    return true;
  case Msg::Present:
    if (auto line = Read<TUserPresent>(M); line && lobby != nullptr) {
      lobby->AddUser(line->Name);
    }
    return true;
  case Msg::Exited:
    if (auto line = Read<TUserExited>(M); line && lobby != nullptr) {
      lobby->UserExited(line->Name);
    }
    return true;
  default:
    if (LoginStatus != nullptr && LoginStatus->Active) {
      return ParseLogin(M);
    }
    return false;
  }
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
