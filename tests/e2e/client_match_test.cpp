// Matches as people play them: a real server that plays matches, real client windows on private
// virtual displays driven by synthetic mouse and keys, and protocol-level players beside them.
// The tests follow the client through its own trace of what it received, kept as a copy of the
// match, and through screenshots, which they write to the build tree's e2e-screens folder.
#include "client_driver.h"
#include "match_player.h"

#include "app/match_field.h"
#include "app/match_selection.h"
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

// Where on the window a tile can be clicked: inside the view, off the match panel, above the
// chat rows and the camera label at the bottom.
bool Clickable(int X, int Y) {
  const bool onPanel = X >= 540 && Y >= 44 && Y <= 314;
  return X >= 20 && X <= 780 && Y >= 30 && Y <= 485 && !onPanel;
}

// The client's seat played through its window, as a person would: click a unit, click a lit
// tile or a marked enemy, press "End turn". The window's camera stays where the match started
// it, so the tests know every tile's pixel from the screen's own tile-to-pixel function; the
// client's copy of the match (its trace) says what the rules allow.
class TClientSeat {
public:
  // Pictures: the start of the names of the screenshots it takes.
  TClientSeat(e2e::TPlayer& Player, TClientTrace& Trace, const std::string& Pictures)
      : FPlayer(Player), FTrace(Trace), FPictures(Pictures) {
    const TGame& game = *Trace.Mirror.Game();
    FField = PlaceField(game.Map->SizeX, game.Map->SizeY);
    FCamera = StartCamera(Trace.Mirror.YourSeat(), FField);
  }

  // The pixel of Tile's centre, when it can be clicked.
  std::optional<std::pair<int, int>> PixelOf(TTilePos Tile) const {
    int x = 0, y = 0;
    if (!TilePixel(FCamera, FField, Tile, x, y) || !Clickable(x, y)) {
      return std::nullopt;
    }
    return std::pair{x, y};
  }
  // Tile is drawn in the middle part of the window: units kept there meet the enemy in view.
  bool InMiddle(TTilePos Tile) const {
    const auto pixel = PixelOf(Tile);
    return pixel && pixel->first > 150 && pixel->first < 560 && pixel->second > 150;
  }
  bool ClickTile(TTilePos Tile) {
    const auto pixel = PixelOf(Tile);
    return pixel && Click(FPlayer.Display(), pixel->first, pixel->second);
  }

  bool MyTurn() const {
    const TGame* game = FTrace.Mirror.Game();
    return game != nullptr && !game->Over && game->ToPlay == FTrace.Mirror.YourSeat();
  }
  bool Over() const { return FTrace.Mirror.Game() == nullptr || FTrace.Mirror.Game()->Over; }

  // Plays one turn with the first unit that can be seen: attacks a target in range, else moves
  // it to the tile in the window's middle nearest an enemy and then attacks if it can; ends the
  // turn. Moves,
  // Hits: the orders the server confirmed. The first selection and attack are photographed.
  void PlayTurn(int& Moves, int& Hits) {
    const TUnit* unit = VisibleUnit();
    if (unit != nullptr && Attack(*unit)) {
      ++Hits;
    } else if (unit != nullptr && Move(*unit)) {
      ++Moves;
      if (Attack(*unit)) {
        ++Hits;
      }
    }
    if (MyTurn()) {
      FPlayer.ClickAt(at::EndTurnButton);
      FPlayer.Rest();
      EXPECT_TRUE(FTrace.WaitUntil([&](const std::string&) { return !MyTurn(); }))
          << "End turn did not end the turn";
    }
  }

private:
  const TGame& Game() const { return *FTrace.Mirror.Game(); }

  const TUnit* VisibleUnit() const {
    for (const auto& unit : Game().Units) {
      if (UnitSeat(*unit) == FTrace.Mirror.YourSeat() && PixelOf({unit->X, unit->Y})) {
        return unit.get();
      }
    }
    return nullptr;
  }

  // Selects Unit and clicks the first target it can attack; true once the server's hit came.
  bool Attack(const TUnit& Unit) {
    const TSelectionMarks marks = MarksOf(Game(), Unit);
    for (int32_t id : marks.Targets) {
      const TUnit* target = FindUnit(Game(), id);
      if (target == nullptr || !PixelOf({target->X, target->Y})) {
        continue;
      }
      const std::string hit = "F|hit|" + std::to_string(Unit.Id) + "|" + std::to_string(id) + "|";
      EXPECT_TRUE(ClickTile({Unit.X, Unit.Y}));
      EXPECT_TRUE(ClickTile({target->X, target->Y}));
      FPlayer.Rest();
      const bool hitCame = FTrace.WaitFor(hit);
      EXPECT_TRUE(hitCame) << "the attack on " << id << " was not made";
      if (hitCame && !FAttackShown) {
        FAttackShown = true;
        SleepMs(200);
        Screenshot(FPlayer.Display()).SavePNG(ScreenshotPath(FPictures + "attack.png"));
      }
      return hitCame;
    }
    return false;
  }

  // Selects Unit, checks that its lit tiles show, and clicks the visible one nearest an enemy;
  // true once the server's move came.
  bool Move(const TUnit& Unit) {
    const TSelectionMarks marks = MarksOf(Game(), Unit);
    std::optional<TTilePos> best;
    int32_t bestDistance = 0;
    for (const TTilePos& tile : marks.Lit) {
      for (const auto& enemy : Game().Units) {
        const int32_t distance = std::abs(enemy->X - tile.X) + std::abs(enemy->Y - tile.Y);
        if (UnitSeat(*enemy) != UnitSeat(Unit) && InMiddle(tile) &&
            (!best || distance < bestDistance)) {
          best = tile;
          bestDistance = distance;
        }
      }
    }
    if (!best) {
      return false;
    }
    const auto [x, y] = *PixelOf(*best);
    EXPECT_TRUE(ClickTile({Unit.X, Unit.Y}));
    FPlayer.Rest();
    // The destination lights up once the unit is selected: the ground's green turns to a pale
    // blue there.
    const auto lit = [&](const TImage& I) {
      const TImage::TPixel tile = I.Mean(x - 6, y - 4, 12, 8);
      return tile.B - tile.R > 20;
    };
    const TImage selected = WaitForScreen(FPlayer.Display(), lit);
    EXPECT_TRUE(lit(selected)) << "tile " << best->X << "," << best->Y << " is not lit";
    if (!FSelectionShown) {
      FSelectionShown = true;
      selected.SavePNG(ScreenshotPath(FPictures + "selected.png"));
    }
    EXPECT_TRUE(ClickTile(*best));
    FPlayer.Rest();
    const std::string moved = "F|moved|" + std::to_string(Unit.Id) + "|" + std::to_string(best->X) +
                              "|" + std::to_string(best->Y);
    const bool came = FTrace.WaitFor(moved);
    EXPECT_TRUE(came) << "the move was not made: " << moved;
    return came;
  }

  e2e::TPlayer& FPlayer;
  TClientTrace& FTrace;
  std::string FPictures;
  TFieldPlacement FField;
  TCamera FCamera;
  bool FSelectionShown = false;
  bool FAttackShown = false;
};

// Reads the server's log until a line reads Text; false when it did not come in time.
bool LogHas(TLobbyServer& Server, const std::string& Text) {
  for (std::string line; line != "<none>";) {
    if ((line = Server.Process->ReadLogText(2 * WAIT_MS)) == Text) {
      return true;
    }
  }
  return false;
}

// The window that names the match's result shows over the field, and its button leads back
// to the lobby, whose buttons at the top right (as in Lobby, a picture of it) return.
void ExpectResultWindow(e2e::TPlayer& Player, const TImage& Lobby, const std::string& Picture) {
  const auto windowShown = [](const TImage& I) {
    // The window's frame and face are drawn from the GUI's textures: bright, unlike the field.
    const TImage::TPixel face = I.Mean(260, 250, 280, 30);
    return face.R + face.G + face.B > 450;
  };
  const TImage result = WaitForScreen(Player.Display(), windowShown);
  EXPECT_TRUE(windowShown(result)) << "no result window";
  result.SavePNG(ScreenshotPath(Picture));
  Player.ClickAt(at::ResultButton);
  Player.Rest();
  const auto lobbyShown = [&](const TImage& I) {
    return I.Differences(Lobby, 540, 6, 252, 32) < 100;
  };
  EXPECT_TRUE(lobbyShown(WaitForScreen(Player.Display(), lobbyShown))) << "not back in the lobby";
  EXPECT_EQ(Player.Client().Wait(300), std::nullopt) << "the client ended";
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

  // Two rounds each: the client through its window, bert by the rules' computer.
  TClientSeat seat(anna, trace, "match-duel-");
  int moves = 0, hits = 0;
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(seat.MyTurn());
    seat.PlayTurn(moves, hits);
    ASSERT_TRUE(bert.WaitForTurn());
    ASSERT_TRUE(bert.PlayTurn(3));
    ASSERT_TRUE(trace.WaitUntil([&](const std::string&) { return seat.MyTurn(); }));
  }
  EXPECT_GT(moves, 0) << "the client moved nothing";

  // Bert resigns: the client's seat wins, and both hear it.
  bert.Resign();
  ASSERT_TRUE(bert.ReadUntil([](const std::string& L) { return L == "F|ended|103|anna"; }));
  EXPECT_EQ(bert.Winner(), 0);
  ASSERT_TRUE(trace.WaitFor("F|over|0"));
  ASSERT_TRUE(trace.WaitFor("F|ended|103|anna"));
  EXPECT_EQ(trace.Mismatches, std::vector<std::string>{});
  EXPECT_EQ(bert.Faults(), std::vector<std::string>{});
  EXPECT_EQ(MatchChecksum(*trace.Mirror.Game()), MatchChecksum(*bert.Mind().Mirror.Game()));

  // The result window, and its button back to the lobby.
  anna.Rest();
  ExpectResultWindow(anna, games, "match-result-resigned.png");
}

// One real client plays a whole match against the computer, one viking a side so that it ends
// within a few rounds: select, move, attack, end turn; the computer's orders come between; the
// match ends with one side destroyed, the result window shows, and its button leads back to the
// lobby. The server's log tells the same story.
TEST(ClientMatch, AgainstTheComputerToTheLastUnit) {
  TLobbyServer server({"--computer-pace", "100"});
  e2e::TPlayer anna(server);
  ASSERT_TRUE(anna.Ready());
  TClientTrace trace(anna.Client());
  ASSERT_TRUE(anna.LogIn("anna"));
  anna.Rest();
  const TImage lobby = WaitForScreen(anna.Display(), [&](const TImage& I) {
    return I.Differences(anna.LoginScreen, 0, 0, 800, 44) > 3000;
  });
  CreateGame(anna, "Solo", "plain", 1);
  ASSERT_TRUE(trace.WaitFor("F|created|101"));
  anna.ClickAt(at::RoomStartButton);
  ASSERT_TRUE(trace.WaitUntil([&](const std::string&) { return trace.Mirror.Game() != nullptr; }));
  ASSERT_TRUE(LogHas(server, "Game 101 started: anna, Server computer"));

  TClientSeat seat(anna, trace, "match-");
  int moves = 0, hits = 0;
  for (int turn = 0; turn < 60 && !seat.Over(); ++turn) {
    if (seat.MyTurn()) {
      seat.PlayTurn(moves, hits);
    } else {
      ASSERT_TRUE(trace.WaitUntil([&](const std::string&) { return seat.MyTurn() || seat.Over(); },
                                  4 * WAIT_MS))
          << "the computer did not end its turn";
    }
  }
  ASSERT_TRUE(seat.Over()) << "no end after 60 turns";
  EXPECT_GT(moves, 0);
  EXPECT_GT(hits, 0);
  // Every move and hit the client received that it did not order was the computer's.
  int orders = 0;
  for (const std::string& line : trace.Received) {
    const TExt kind = ExtOf(TMsg(line));
    orders += kind == TExt::Moved || kind == TExt::Hit;
  }
  EXPECT_GT(orders, moves + hits) << "no move of the computer seen";
  const TGame& game = *trace.Mirror.Game();
  EXPECT_TRUE(SeatUnitCount(game, 0) == 0 || SeatUnitCount(game, 1) == 0);
  const std::string winner = SeatUnitCount(game, 0) == 0 ? "Server computer" : "anna";
  EXPECT_TRUE(LogHas(server, "Game 101 over: " + winner + " wins"));
  EXPECT_EQ(trace.Mismatches, std::vector<std::string>{});

  anna.Rest();
  ExpectResultWindow(anna, lobby, "match-result.png");
}

} // namespace
