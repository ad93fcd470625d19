// Matches as people play them: a real server that plays matches, real client windows on private
// virtual displays driven by synthetic mouse and keys, and protocol-level players beside them.
// The tests follow the client through its own trace of what it received, kept as a copy of the
// match, and through screenshots, which they write to the build tree's e2e-screens folder.
#include "client_driver.h"
#include "match_player.h"

#include "net/match_lines.h"
#include "net/protocol.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;
using test_support::TProtocolPlayer;

const std::string RECEIVED = "received ";

// The client's side of the story: every line it traced as received, in order, and its copy of
// the match built from them the way the client builds its own.
class TClientTrace {
public:
  explicit TClientTrace(TChild& Client) : FClient(Client) {}

  // Reads the client's output until a received line starts with Prefix (true) or TimeoutMs pass.
  bool WaitFor(const std::string& Prefix, int TimeoutMs = WAIT_MS) {
    return WaitUntil([&](const std::string& Line) { return Line.rfind(Prefix, 0) == 0; },
                     TimeoutMs);
  }
  // Reads until Done holds for a received line.
  bool WaitUntil(const std::function<bool(const std::string&)>& Done, int TimeoutMs = WAIT_MS) {
    const auto deadline = TClock::now() + std::chrono::milliseconds(TimeoutMs);
    for (;;) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now()).count();
      const auto line = FClient.ReadLine(static_cast<int>(std::max<long long>(left, 0)));
      if (!line) {
        return false;
      }
      if (line->rfind(RECEIVED, 0) != 0) {
        continue;
      }
      const std::string received = line->substr(RECEIVED.size());
      Received.push_back(received);
      if (Mirror.Feed(received) == TMatchMirror::TFeed::Mismatch) {
        Mismatches.push_back(received);
      }
      if (Done(received)) {
        return true;
      }
    }
  }

  std::vector<std::string> Received;
  TMatchMirror Mirror;
  std::vector<std::string> Mismatches;

private:
  TChild& FClient;
};

// Announces a game from the lobby's create-game window with the given map and points.
void CreateGame(e2e::TPlayer& Player, const std::string& Name, const std::string& Map, int Points) {
  Player.ClickAt(at::CreateGameButton);
  Player.ClickAt(at::GameNameEdit);
  EXPECT_TRUE(Type(Player.Display(), Name));
  Player.ClickAt(at::MapEdit);
  EXPECT_TRUE(Key(Player.Display(), "BackSpace", 12));
  EXPECT_TRUE(Type(Player.Display(), Map));
  Player.ClickAt(at::PointEdit);
  EXPECT_TRUE(Key(Player.Display(), "BackSpace", 6));
  EXPECT_TRUE(Type(Player.Display(), std::to_string(Points)));
  Player.ClickAt(at::CreateButton);
}

// How many pixels of a list row (12 pixels high, from X to X + 200, rows from Y) stand out from
// the row below it, which the tests leave empty: text drawn on the row.
int RowText(const TImage& Image, int X, int Y) {
  const TImage::TPixel background = Image.Mean(X, Y + 12, 200, 12);
  return Image.Unlike(background, X, Y, 200, 12);
}

// One real client against a protocol-level player: the client announces a game, the player
// joins it, the client starts it; both copies of the match agree; the player resigns and both
// see the client's seat win. On the way, the games page with an open game and a match in
// progress, and the waiting room with both players, are photographed.
TEST(ClientMatch, AgainstAProtocolPlayer) {
  TLobbyServer server({"--computer-pace", "50"});
  // Carl's game stays open; dave plays alone against the computer and never moves.
  TProtocolPlayer carl(server.Port, "carl"), dave(server.Port, "dave");
  ASSERT_TRUE(carl.LoggedIn() && dave.LoggedIn());
  ASSERT_NE(carl.Create("forest", 10, "Open to all"), 0);
  ASSERT_NE(dave.Create("plain", 10, "Solo"), 0);
  dave.Start();
  ASSERT_TRUE(dave.WaitForMatch());

  e2e::TPlayer anna(server);
  ASSERT_TRUE(anna.Ready());
  TClientTrace trace(anna.Client());
  ASSERT_TRUE(anna.LogIn("anna"));
  ASSERT_TRUE(trace.WaitFor("F|started|102|dave|Server computer"));

  // The games page: the open game in the game list, the match in the list below.
  anna.ClickAt(at::GamesTab);
  anna.Rest();
  const TImage games = WaitForScreen(anna.Display(), [](const TImage& I) {
    return RowText(I, 16, 60) > 40 && RowText(I, 16, 392) > 40;
  });
  EXPECT_GT(RowText(games, 16, 60), 40) << "no open game listed";
  EXPECT_GT(RowText(games, 16, 392), 40) << "no match in progress listed";
  games.SavePNG(ScreenshotPath("match-games.png"));

  // The waiting room: bert joins anna's game and shows in its list of players.
  TProtocolPlayer bert(server.Port, "bert");
  ASSERT_TRUE(bert.LoggedIn());
  CreateGame(anna, "Duel", "plain", 3);
  ASSERT_TRUE(trace.WaitFor("F|created|103"));
  ASSERT_TRUE(bert.Join(103));
  ASSERT_TRUE(trace.WaitFor("F|joined|103|bert"));
  anna.Rest();
  const TImage room = WaitForScreen(anna.Display(), [](const TImage& I) {
    return RowText(I, 200, 262) > 20 && RowText(I, 200, 274) > 20;
  });
  EXPECT_GT(RowText(room, 200, 274), 20) << "the joiner is not listed";
  room.SavePNG(ScreenshotPath("match-waiting-room.png"));

  // Start: both receive the whole match and build the same copy of it.
  anna.ClickAt(at::RoomStartButton);
  ASSERT_TRUE(bert.WaitForMatch());
  ASSERT_TRUE(trace.WaitUntil([&](const std::string&) { return trace.Mirror.Game() != nullptr; }));
  EXPECT_EQ(trace.Mirror.YourSeat(), 0);
  EXPECT_EQ(bert.Mind().Mirror.YourSeat(), 1);
  EXPECT_EQ(trace.Mirror.Checksum(), bert.Mind().Mirror.Checksum());
  EXPECT_EQ(MatchChecksum(*trace.Mirror.Game()), MatchChecksum(*bert.Mind().Mirror.Game()));

  // Bert resigns: the client's seat wins, and both hear it.
  bert.Resign();
  ASSERT_TRUE(bert.ReadUntil([](const std::string& L) { return L == "F|ended|103|anna"; }));
  EXPECT_EQ(bert.Winner(), 0);
  ASSERT_TRUE(trace.WaitFor("F|over|0"));
  ASSERT_TRUE(trace.WaitFor("F|ended|103|anna"));
  EXPECT_EQ(trace.Mismatches, std::vector<std::string>{});
  EXPECT_EQ(bert.Faults(), std::vector<std::string>{});
  EXPECT_EQ(anna.Client().Wait(300), std::nullopt) << "the client ended";
}

} // namespace
