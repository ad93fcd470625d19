// Test support for driving the real client as a person would, against the real server: the
// server on a free port, where the login, lobby and waiting-room widgets stand on the window,
// and a player that owns a private display with a client on it.
#pragma once

#include "client_session.h"
#include "server_process.h"

#include "../support/line_client.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace e2e {

// A server on a free port of 127.0.0.1, its start-up line already read. By default it plays no
// matches (the lobby alone, as the first client tests know it); Options replace that.
struct TLobbyServer {
  explicit TLobbyServer(const std::vector<std::string>& Options = {"--no-matches"}) {
    for (int attempt = 0; attempt < 5; ++attempt) {
      Port = test_support::FreePort();
      std::vector<std::string> args{"--listen", "127.0.0.1", "--port", std::to_string(Port)};
      args.insert(args.end(), Options.begin(), Options.end());
      Process = std::make_unique<test_support::TServerProcess>(args);
      EXPECT_EQ(Process->ReadLogText(), "Starting server..");
      if (!Process->Wait(200)) {
        return;
      }
    }
    ADD_FAILURE() << "no free port";
  }
  std::string Address() const { return "127.0.0.1:" + std::to_string(Port); }
  std::uint16_t Port = 0;
  std::unique_ptr<test_support::TServerProcess> Process;
};

// Where the widgets of the project's .ui files stand on the 800 x 600 window (a few pixels
// inside each).
namespace at {
constexpr int ServerEdit[] = {380, 216};
constexpr int UserEdit[] = {380, 256};
constexpr int PassEdit[] = {380, 296};
constexpr int OkButton[] = {336, 346};
constexpr int ChatEdit[] = {400, 576};
constexpr int CreateGameButton[] = {615, 22};
constexpr int QuitButton[] = {747, 22};
constexpr int GameNameEdit[] = {396, 226};
constexpr int CreateButton[] = {341, 352};
constexpr int GameStartButton[] = {311, 306};
constexpr int ErrorClose[] = {535, 272};
// The create-game window's fields; the games page's tab and Join button; the waiting room's
// buttons (on a server that plays matches).
constexpr int MapEdit[] = {435, 266};
constexpr int PointEdit[] = {435, 306};
constexpr int GamesTab[] = {335, 22};
constexpr int JoinButton[] = {68, 576};
constexpr int RoomStartButton[] = {271, 370};
constexpr int RoomExitButton[] = {526, 370};
// The match panel's buttons on the game screen, and the one button of the window that shows a
// match's result (the right-hand button of the screen's question windows).
constexpr int EndTurnButton[] = {610, 266};
constexpr int ResignButton[] = {726, 266};
constexpr int ResultButton[] = {481, 302};
// A resting place for the mouse away from every region the tests compare, and from the
// edges that scroll the game's camera.
constexpr int Rest[] = {770, 560};
} // namespace at

class TPlayer {
public:
  explicit TPlayer(const TLobbyServer& Server) : FServer(Server) {
    if (!FDisplay.Ready()) {
      return;
    }
    FClient = StartClient(FDisplay);
    // The login window is up once its frame has been drawn.
    LoginScreen = WaitForScreen(FDisplay, [](const TImage& I) {
      return I.Width == 800 && I.Lit(230, 170, 340, 244) > 20000;
    });
  }

  bool Ready() const { return FDisplay.Ready() && FClient != nullptr && FClient->Started(); }
  TXDisplay& Display() { return FDisplay; }
  TChild& Client() { return *FClient; }

  void ClickAt(const int (&Where)[2]) { EXPECT_TRUE(Click(FDisplay, Where[0], Where[1])); }
  void Rest() { EXPECT_TRUE(XDoTool(FDisplay, {"mousemove", "770", "560"})); }

  // Fills the login fields and presses OK; true once the client has received Answer (by
  // default the server's acceptance).
  bool LogIn(const std::string& User, bool TakePicture = false, std::string Answer = "") {
    ClickAt(at::ServerEdit);
    EXPECT_TRUE(Key(FDisplay, "BackSpace", 40));
    EXPECT_TRUE(Type(FDisplay, FServer.Address()));
    ClickAt(at::UserEdit);
    EXPECT_TRUE(Key(FDisplay, "BackSpace", 20));
    EXPECT_TRUE(Type(FDisplay, User));
    ClickAt(at::PassEdit);
    EXPECT_TRUE(Type(FDisplay, "secret"));
    if (TakePicture) {
      Rest();
      SleepMs(300);
      Screenshot(FDisplay).SavePNG(ScreenshotPath("login.png"));
    }
    ClickAt(at::OkButton);
    return FClient->WaitForLine("received " + (Answer.empty() ? "O|" + User : Answer));
  }

  // Types a chat line and presses Enter.
  void Say(const std::string& Text) {
    ClickAt(at::ChatEdit);
    EXPECT_TRUE(Type(FDisplay, Text));
    EXPECT_TRUE(Key(FDisplay, "Return"));
  }

  TImage LoginScreen;

private:
  const TLobbyServer& FServer;
  TXDisplay FDisplay;
  std::unique_ptr<TChild> FClient;
};

} // namespace e2e
