// The client as a player uses it: a real server on a free port of 127.0.0.1 and real client
// windows on private virtual displays, driven by synthetic mouse and key input. Each test
// writes screenshots of what it saw to the build tree's e2e-screens folder.
#include "client_driver.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;

// Where the scene puts things at the game's starting camera: the map fills the view; the
// figure, the tree, the tank and the animated figure stand on it at these window pixels.
constexpr int FigureAt[] = {165, 359};
constexpr int TreeAt[] = {254, 304};
constexpr int TankAt[] = {546, 304};
constexpr int AnimatedAt[] = {691, 304};

// The whole way through: log in, chat, announce a game, start it, look at the scene, back to
// the lobby, back to the login screen, and out. The server's log tells the same story.
TEST(ClientPlay, LoginChatCreateGamePlayAndLeave) {
  TLobbyServer server;
  TPlayer player(server);
  ASSERT_TRUE(player.Ready());
  TXDisplay& display = player.Display();
  test_support::TServerProcess& log = *server.Process;
  ASSERT_GT(player.LoginScreen.Lit(230, 170, 340, 244), 20000) << "no login window drawn";

  ASSERT_TRUE(player.LogIn("anna", true));
  EXPECT_EQ(log.ReadLogText(), "Connected 127.0.0.1");
  EXPECT_EQ(log.ReadLogText(), "Autenticating user: anna pass: ********");
  EXPECT_EQ(log.ReadLogText(), "User autenticated anna ip: 127.0.0.1");

  // The lobby: the tab buttons stand where the login screen showed only its background.
  player.Rest();
  const TImage& login = player.LoginScreen;
  TImage lobby = WaitForScreen(
      display, [&](const TImage& I) { return I.Differences(login, 0, 0, 800, 44) > 3000; });
  ASSERT_GT(lobby.Differences(login, 0, 0, 800, 44), 3000) << "no lobby";

  player.Say("hello everyone");
  EXPECT_EQ(log.ReadLogText(), "#anna: hello everyone");
  ASSERT_TRUE(player.Client().WaitForLine("received C|anna|hello everyone"));
  player.Rest();
  SleepMs(300);
  lobby = Screenshot(display);
  // The chat list shows the line: text appeared in the list's first rows.
  EXPECT_GT(lobby.Differences(login, 16, 60, 300, 12), 30);
  lobby.SavePNG(ScreenshotPath("lobby.png"));

  // The create-game window opens over the lobby; Create announces the game.
  player.ClickAt(at::CreateGameButton);
  player.Rest();
  TImage window = WaitForScreen(
      display, [&](const TImage& I) { return I.Differences(lobby, 250, 180, 300, 210) > 20000; });
  ASSERT_GT(window.Differences(lobby, 250, 180, 300, 210), 20000) << "no create-game window";
  player.ClickAt(at::GameNameEdit);
  EXPECT_TRUE(Type(display, "Evening match"));
  player.ClickAt(at::CreateButton);
  ASSERT_TRUE(player.Client().WaitForLine("received G|101|Evening match|forest|100|anna"));

  // The game creation screen: the lobby's tab buttons are gone.
  player.Rest();
  TImage creation = WaitForScreen(display, [&](const TImage& I) {
    return I.Differences(lobby, 0, 0, 800, 44) > 3000 &&
           I.Differences(window, 220, 200, 360, 30) > 2000;
  });
  ASSERT_GT(creation.Differences(lobby, 0, 0, 800, 44), 3000) << "no game creation screen";
  SleepMs(300);
  creation = Screenshot(display);
  creation.SavePNG(ScreenshotPath("gamecreation.png"));

  // The game: the scene covers the window where the other screens showed their background.
  player.ClickAt(at::GameStartButton);
  player.Rest();
  TImage game = WaitForScreen(display, [&](const TImage& I) {
    return I.Differences(creation, 220, 200, 360, 160) > 20000;
  });
  ASSERT_GT(game.Differences(creation, 220, 200, 360, 160), 20000) << "no game screen";
  SleepMs(500);
  game = Screenshot(display);
  game.SavePNG(ScreenshotPath("game.png"));
  // An empty frame is black: the map is drawn over the whole middle of the view, and the
  // models stand on it, in colours far from the ground's, where a patch of open ground shows
  // none.
  EXPECT_GT(game.Lit(100, 150, 600, 400), 600 * 400 * 9 / 10) << "no map";
  const TImage::TPixel ground = game.Mean(380, 420, 120, 60);
  EXPECT_LT(game.Unlike(ground, 400 - 15, 200 - 40, 30, 40), 10) << "open ground";
  for (const auto& where : {FigureAt, TreeAt, TankAt, AnimatedAt}) {
    EXPECT_GT(game.Unlike(ground, where[0] - 15, where[1] - 40, 30, 40), 40)
        << "no model at " << where[0] << "," << where[1];
  }
  // The animated figure moves from frame to frame; the tree beside the first figure does not.
  SleepMs(700);
  const TImage later = Screenshot(display);
  EXPECT_GT(later.Differences(game, AnimatedAt[0] - 40, AnimatedAt[1] - 80, 80, 100), 20)
      << "the animated figure does not move";
  EXPECT_LT(later.Differences(game, TreeAt[0] - 20, TreeAt[1] - 60, 40, 70), 10);

  // Escape, held for a second: back to the lobby, whose tab buttons return; the key's repeats
  // do not end the program there.
  EXPECT_TRUE(XDoTool(display, {"keydown", "Escape"}));
  SleepMs(1000);
  EXPECT_TRUE(XDoTool(display, {"keyup", "Escape"}));
  TImage back = WaitForScreen(
      display, [&](const TImage& I) { return I.Differences(lobby, 0, 0, 800, 44) < 100; });
  EXPECT_LT(back.Differences(lobby, 0, 0, 800, 44), 100) << "not back in the lobby";
  EXPECT_FALSE(player.Client().Wait(300).has_value()) << "the held Escape ended the client";

  // Quit: the login screen logs the user out, and the server sees a clean end.
  player.ClickAt(at::QuitButton);
  EXPECT_EQ(log.ReadLogText(), "Removing user anna");
  EXPECT_EQ(log.ReadLogText(), "Gracefully disconnected 127.0.0.1");
  player.Rest();
  TImage again = WaitForScreen(
      display, [&](const TImage& I) { return I.Differences(login, 0, 0, 800, 160) < 100; });
  EXPECT_LT(again.Differences(login, 0, 0, 800, 160), 100) << "not back on the login screen";

  // Escape on the login screen ends the program.
  EXPECT_TRUE(Key(display, "Escape"));
  EXPECT_EQ(player.Client().Wait(), 0);
  EXPECT_EQ(log.ReadLogText(500), "<none>") << "nothing more happened at the server";
}

// Two players on one server see each other's chat, arrivals and departures.
TEST(ClientPlay, TwoClientsSeeEachOther) {
  TLobbyServer server;
  TPlayer anna(server);
  TPlayer bob(server);
  ASSERT_TRUE(anna.Ready());
  ASSERT_TRUE(bob.Ready());
  test_support::TServerProcess& log = *server.Process;

  ASSERT_TRUE(anna.LogIn("anna"));
  ASSERT_TRUE(bob.LogIn("bob"));
  ASSERT_TRUE(bob.Client().WaitForLine("received U|anna"));
  ASSERT_TRUE(anna.Client().WaitForLine("received E|bob"));

  anna.Say("hi bob");
  ASSERT_TRUE(bob.Client().WaitForLine("received C|anna|hi bob"));
  ASSERT_TRUE(anna.Client().WaitForLine("received C|anna|hi bob"));
  bob.Say("hi anna");
  ASSERT_TRUE(anna.Client().WaitForLine("received C|bob|hi anna"));
  ASSERT_TRUE(bob.Client().WaitForLine("received C|bob|hi anna"));
  anna.Rest();
  SleepMs(300);
  Screenshot(anna.Display()).SavePNG(ScreenshotPath("lobby-two-players.png"));

  // Bob leaves with the quit button, comes back, and leaves by closing the program.
  bob.ClickAt(at::QuitButton);
  ASSERT_TRUE(anna.Client().WaitForLine("received X|bob"));
  ASSERT_TRUE(bob.LogIn("bob"));
  ASSERT_TRUE(anna.Client().WaitForLine("received E|bob"));
  EXPECT_TRUE(Key(bob.Display(), "Escape"));
  EXPECT_EQ(bob.Client().Wait(), 0);
  ASSERT_TRUE(anna.Client().WaitForLine("received X|bob"));

  // The server saw all of it.
  std::vector<std::string> seen;
  for (std::string text = log.ReadLogText(); text != "<none>"; text = log.ReadLogText(1000)) {
    seen.push_back(text);
    if (text == "Removing user bob" && seen.size() > 12) {
      break;
    }
  }
  const std::vector<std::string> expected{"User autenticated anna ip: 127.0.0.1",
                                          "User autenticated bob ip: 127.0.0.1",
                                          "#anna: hi bob",
                                          "#bob: hi anna",
                                          "Removing user bob",
                                          "Gracefully disconnected 127.0.0.1",
                                          "User autenticated bob ip: 127.0.0.1",
                                          "Brutally disconnecting bob IP: 127.0.0.1",
                                          "Removing user bob"};
  std::size_t next = 0;
  for (const auto& line : seen) {
    if (next < expected.size() && line == expected[next]) {
      ++next;
    }
  }
  EXPECT_EQ(next, expected.size())
      << "the server's log lacks: " << expected[std::min(next, expected.size() - 1)];
}

// A refused login and an unreachable server both show the error window, and the client keeps
// running.
TEST(ClientPlay, RefusedLoginShowsAnError) {
  TLobbyServer server;
  TPlayer player(server);
  ASSERT_TRUE(player.Ready());
  EXPECT_TRUE(player.LogIn("Sam", false, "N|Invalid user/pass"));
  player.Rest();
  const TImage error = WaitForScreen(player.Display(), [&](const TImage& I) {
    return I.Differences(player.LoginScreen, 300, 200, 300, 100) > 5000;
  });
  EXPECT_GT(error.Differences(player.LoginScreen, 300, 200, 300, 100), 5000) << "no error window";
  error.SavePNG(ScreenshotPath("login-refused.png"));
  EXPECT_FALSE(player.Client().Wait(300).has_value()) << "the client ended";

  // Close removes the window; the login screen is as it was, its password field emptied.
  player.ClickAt(at::ErrorClose);
  player.Rest();
  const TImage closed = WaitForScreen(player.Display(), [&](const TImage& I) {
    return I.Differences(player.LoginScreen, 300, 200, 300, 100) < 3000;
  });
  EXPECT_LT(closed.Differences(player.LoginScreen, 300, 200, 300, 100), 3000)
      << "the error window stayed";
}

// Start-up failures end the client with a reason on its error output and status 1.
TEST(ClientPlay, StartUpFailuresAreReported) {
  TXDisplay display;
  ASSERT_TRUE(display.Ready());
  const std::string empty = ScreenshotPath("no-media");
  std::filesystem::create_directories(empty);
  auto client = StartClient(display, {}, empty, true);
  EXPECT_TRUE(client->WaitForLine("client: cannot find the game's media: looked for "
                                  "media/login.ui in " +
                                  empty));
  EXPECT_EQ(client->Wait(), 1) << "missing media/login.ui";

  TChild noWindow({BINARY_DIR "/client"}, {{"DISPLAY", ""}, {"SDL_VIDEODRIVER", "x11"}}, SOURCE_DIR,
                  true, true);
  EXPECT_TRUE(noWindow.WaitForLine("client: cannot open the window: "));
  EXPECT_EQ(noWindow.Wait(), 1) << "no display";
}

} // namespace
