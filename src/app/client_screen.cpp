#include "app/client_screen.h"

#include "app/global.h"
#include "app/message_parser.h"
#include "gui/button.h"
#include "gui/desktop.h"
#include "xml/error.h"

#include <stdexcept>

namespace {

// The desktop screen, built with errors that name the file they come from.
std::string NamedError(const std::string& FileName, const std::exception& E) {
  return FileName + ": " + E.what();
}

} // namespace

TClientScreen::TClientScreen(const std::string& UIFileName) try : TDesktopScreen(UIFileName) {
  FLobby = Global.Lobby;
  if (FLobby != nullptr) {
    FLobby->AddListener(this);
  }
} catch (const TXMLFileError&) {
  throw; // its text already names the file
} catch (const std::exception& E) {
  throw std::runtime_error(NamedError(UIFileName, E));
}

TClientScreen::~TClientScreen() {
  if (FLobby != nullptr) {
    FLobby->RemoveListener(this);
  }
}

void TClientScreen::AttachClick(const std::string& Name, TOnSimpleEvent Handler) {
  if (auto* button = Desktop->Find<TUIButton>(Name)) {
    button->FOnClick = std::move(Handler);
  }
}

void TClientScreen::BeforeFrame() {
  ParseMessages();
}
