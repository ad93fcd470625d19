#include "app/message_parser.h"

#include "app/chat_status.h"
#include "app/connection.h"
#include "app/event_listener.h"
#include "app/global.h"
#include "app/login_status.h"
#include "app/screens.h"
#include "gui/desktop.h"
#include "gui/error_window.h"
#include "gui/list.h"
#include "net/message.h"

#include <cstdio>
#include <memory>
#include <string>

namespace {

// The lobby's user list, or none when its .ui file has no "UserList".
std::vector<std::string>* Users() {
  if (ChatStatus == nullptr || ChatStatus->UserList == nullptr) {
    return nullptr;
  }
  return &ChatStatus->UserList->FStrings;
}

void AddUser(const std::string& Name) {
  if (auto* users = Users()) {
    users->push_back(Name);
  }
}

void RemoveUser(const std::string& Name) {
  auto* users = Users();
  if (users == nullptr) {
    return;
  }
  for (auto it = users->begin(); it != users->end(); ++it) {
    if (SameTextIgnoringCase(*it, Name)) {
      users->erase(it);
      return;
    }
  }
}

void AddChatLine(const std::string& Line) {
  if (ChatStatus != nullptr) {
    ChatStatus->AddChatList(Line);
  }
}

void ShowError(TUIDesktop& Desktop, const std::string& Text) {
  Desktop.AddModal(std::make_unique<TUIErrorWindow>(Text));
}

// Trace lines go out at once, so that whoever reads the client's output sees them as they
// happen.
void Trace(const std::string& Line) {
  std::fwrite(Line.data(), 1, Line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

} // namespace

void ParseMessage() {
  if (Global.Conn == nullptr) {
    return;
  }
  std::string line;
  if (!Global.Conn->Recv(line)) {
    // The connection was found dead (Recv reports that once): tell the user where they are.
    if (ChatStatus != nullptr && ChatStatus->Active) {
      ShowError(*ChatStatus->Desktop, CONNECTION_LOST_TEXT);
    } else if (LoginStatus != nullptr && LoginStatus->Active) {
      ShowError(*LoginStatus->Desktop, CONNECTION_LOST_TEXT);
    }
    return;
  }
  Trace("received " + line);
  if (line.empty()) {
    return;
  }
  TMsg message(line);
  Parse(message);
}

bool Parse(const TMsg& M) {
  switch (M.GetType()) {
  case 'C':
    AddChatLine("<" + M.GetToken(1) + "> " + M.GetToken(2));
    return true;
  case 'E':
    AddChatLine(M.GetToken(1) + " entered.");
    AddUser(M.GetToken(1));
    return true;
  case 'F':
    return true;
  case 'G':
    if (ChatStatus != nullptr) {
      ChatStatus->AddGame(M.GetToken(1), M.GetToken(2), M.GetToken(3), M.GetToken(4),
                          M.GetToken(5));
    }
    return true;
  case 'U':
    AddUser(M.GetToken(1));
    return true;
  case 'X':
    AddChatLine(M.GetToken(1) + " exited.");
    RemoveUser(M.GetToken(1));
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
    if (auto* users = Users()) {
      users->clear();
    }
    AddUser(M.GetToken(1));
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
      ShowError(*LoginStatus->Desktop, ACCESS_DENIED_TEXT + M.GetToken(1));
    }
    return true;
  default:
    Trace("Unexpected message");
    return false;
  }
}
