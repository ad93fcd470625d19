#pragma once
// The first screen: server address, user name and password. OK connects and sends the login;
// the answer is handled by the message parser. Entering this screen while connected logs the
// user out (the lobby's quit button comes here).

#include "app/client_screen.h"

class TUIEdit;
class TUIWidget;

class TLoginStatus : public TClientScreen {
public:
  static constexpr const char* UI_FILE = "media/login.ui";

  // Loads the .ui file and attaches OkButton and ExitButton; a widget the file lacks leaves
  // its field empty or its handler unattached.
  TLoginStatus();

  // Sends Q and closes the connection if it is open; then no widget has the focus.
  void Enter() override;

  // Connects to the server named in ServerEdit ("host" or "host:port"), asks for matches
  // (R|play|1) and sends the login with the user name and password; the password field is
  // emptied. When the connection
  // cannot be opened, shows "Could not connect to server." instead.
  void OnOkClick(TUIWidget* Sender);
  // Ends the program.
  void OnExitClick(TUIWidget* Sender);

  TUIEdit* ServerEdit = nullptr;
  TUIEdit* UserEdit = nullptr;
  TUIEdit* PassEdit = nullptr;

  // While this screen is current (the login not yet answered): "Connection to server lost.".
  void ConnectionLost() override;
};

inline constexpr const char* CONNECT_FAILED_TEXT = "Could not connect to server.";
