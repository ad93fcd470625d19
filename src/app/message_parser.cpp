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

bool Waiting() {
  return Global.Conn->LinesWaiting() > 0 || Global.Conn->EndPending();
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
  TLobbyState* lobby = Global.Lobby;
  switch (M.GetType()) {
  case 'C':
    if (lobby != nullptr) {
      lobby->Chat(M.GetToken(1), M.GetToken(2));
    }
    return true;
  case 'E':
    if (lobby != nullptr) {
      lobby->UserEntered(M.GetToken(1));
    }
    return true;
  case 'F':
    if (lobby != nullptr && IsMatchLine(M)) {
      lobby->MatchLine(M);
    }
    return true;
  case 'G':
    if (lobby != nullptr) {
      lobby->AddGame({M.GetToken(1), M.GetToken(2), M.GetToken(3), M.GetToken(4), M.GetToken(5)});
    }
    return true;
  case 'H':
    if (lobby != nullptr) {
      lobby->RemoveGame(M.GetToken(1));
    }
    return true;
  case 'U':
    if (lobby != nullptr) {
      lobby->AddUser(M.GetToken(1));
    }
    return true;
  case 'X':
    if (lobby != nullptr) {
      lobby->UserExited(M.GetToken(1));
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
  switch (M.GetType()) {
  case 'O':
    if (Global.Lobby != nullptr) {
      Global.Lobby->LoggedIn(M.GetToken(1));
    }
    Global.UserName = M.GetToken(1);
    if (ChatStatus != nullptr) {
      ChangeListener(ChatStatus);
    }
    return true;
  case 'N':
    if (Global.Conn != nullptr) {
      Global.Conn->Close();
    }
    if (LoginStatus != nullptr) {
      LoginStatus->Desktop->AddModal(
          std::make_unique<TUIErrorWindow>(ACCESS_DENIED_TEXT + M.GetToken(1)));
    }
    return true;
  default:
    Trace("Unexpected message");
    return false;
  }
}
