#pragma once
// What the client's four screens add to the shared desktop screen: every frame first drains
// the server connection, so nothing piles up at the server whichever screen is current; the
// login and lobby screens then handle at most one received message (ReadsMessages).

#include "app/desktop_screen.h"

#include <string>

class TClientScreen : public TDesktopScreen {
public:
  // Loads UIFileName as the desktop screen does. A file that cannot be read or parsed raises
  // an error whose text names the file.
  explicit TClientScreen(const std::string& UIFileName);

protected:
  // Drains Global.Conn; with ReadsMessages, then lets the message parser handle one message.
  void BeforeFrame() override;
  // Whether this screen handles server messages (only the login and lobby screens do).
  virtual bool ReadsMessages() const { return false; }
};
