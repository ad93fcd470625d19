#include "app/screens/login_status.h"

#include "app/connection.h"
#include "app/global.h"
#include "app/lobby_state.h"
#include "app/main_loop.h"
#include "app/message_parser.h"
#include "gui/button.h"
#include "gui/desktop.h"
#include "gui/edit.h"
#include "gui/error_window.h"
#include "net/protocol.h"

#include <cstdint>
#include <memory>
#include <string>

namespace {

std::string TextOf(const TUIEdit* Edit) {
  return Edit != nullptr ? Edit->FText : std::string();
}

} // namespace

TLoginStatus::TLoginStatus() : TClientScreen(UI_FILE) {
  ServerEdit = Desktop->Find<TUIEdit>("ServerEdit");
  UserEdit = Desktop->Find<TUIEdit>("UserEdit");
  PassEdit = Desktop->Find<TUIEdit>("PassEdit");
  AttachClicks<TLoginStatus>({
      {"OkButton", &TLoginStatus::OnOkClick},
      {"ExitButton", &TLoginStatus::OnExitClick},
  });
}

void TLoginStatus::Enter() {
  if (Global.Conn != nullptr && Global.Conn->Connected()) {
    Global.Conn->Send(Build(TQuitRequest{}));
    Global.Conn->Close();
  }
  TClientScreen::Enter();
}

void TLoginStatus::OnOkClick(TUIWidget*) {
  std::string host;
  std::uint16_t port = DEFAULT_SERVER_PORT;
  const bool connected = Global.Conn != nullptr &&
                         SplitServerAddress(TextOf(ServerEdit), host, port) &&
                         Global.Conn->Connect(host, port);
  if (!connected) {
    Desktop->AddModal(std::make_unique<TUIErrorWindow>(CONNECT_FAILED_TEXT));
    return;
  }
  // Asked before the login, so that the server's offer arrives before its answer.
  if (Global.Lobby != nullptr) {
    Global.Lobby->Connected();
  }
  Global.Conn->Send(Build(TFeatureRequest{std::string(PlayFeature), std::to_string(PlayVersion)}));
  Global.Conn->Send(Build(TLoginRequest{TextOf(UserEdit), TextOf(PassEdit)}));
  if (PassEdit != nullptr) {
    PassEdit->FText.clear();
  }
}

void TLoginStatus::ConnectionLost() {
  if (Active) {
    Desktop->AddModal(std::make_unique<TUIErrorWindow>(CONNECTION_LOST_TEXT));
  }
}

void TLoginStatus::OnExitClick(TUIWidget*) {
  if (Global.Loop != nullptr) {
    Global.Loop->StopLoop();
  }
}
