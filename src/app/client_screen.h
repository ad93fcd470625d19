#pragma once
// What the client's four screens add to the shared desktop screen: every frame first handles
// the server's messages that have arrived, whichever screen is current, within the frame's
// time budget; the lobby's lists follow the server while the player is elsewhere.

#include "app/desktop_screen.h"
#include "app/lobby_state.h"
#include "gui/widget.h"

#include <initializer_list>
#include <string>
#include <utility>

class TClientScreen : public TDesktopScreen, public TLobbyStateListener {
public:
  // Loads UIFileName as the desktop screen does, then listens to Global.Lobby (when there is
  // one) for as long as it lives. A file that cannot be read or parsed raises an error whose
  // text names the file.
  explicit TClientScreen(const std::string& UIFileName);
  ~TClientScreen() override;

protected:
  // Lets the message parser handle what has arrived on Global.Conn (ParseMessages).
  void BeforeFrame() override;
  // The lobby state this screen listens to; none when there was none at its creation.
  TLobbyState* Lobby() const { return FLobby; }
  // The server offered matches before accepting this login.
  bool MatchesAvailable() const { return FLobby != nullptr && FLobby->MatchesAvailable(); }

  // Makes Handler the click of the desktop's button named Name; nothing when there is none.
  void AttachClick(const std::string& Name, TOnSimpleEvent Handler);
  // The same for a table of button names and methods of the screen S:
  //   AttachClicks<TChatStatus>({{"btnQuit", &TChatStatus::OnQuitClick}});
  template <class S>
  void
  AttachClicks(std::initializer_list<std::pair<const char*, void (S::*)(TUIWidget*)>> Buttons) {
    for (const auto& [name, handler] : Buttons) {
      AttachClick(name,
                  [this, h = handler](TUIWidget* Sender) { (static_cast<S*>(this)->*h)(Sender); });
    }
  }

private:
  TLobbyState* FLobby = nullptr;
};
