// The lobby and the waiting room on a server that plays matches: the offer at login, rooms
// and matches on the games page, joining, the room of the creator and of a joiner, and the ways
// a room ends. The peer plays the server line by line.
#include "app/lobby_state.h"
#include "gui/button.h"
#include "screens_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

using namespace client_test;

namespace {

class MatchesTest : public TScreensTest {
protected:
  // Clicks row Row of a list on the lobby's desktop.
  static void ClickRow(TUIList& List, int Row) {
    const int y = List.FMarginTop + Row * TUIList::RowHeight + 4;
    List.DoMouseDown(5, y, mbLeft);
    List.DoMouseUp(5, y, mbLeft);
  }
  // Announces a room of anna's (101) that bert joined, as the burst after a login gives it.
  std::vector<std::string> AnnasRoom() {
    return {"G|101|duel|plain|10|anna", "F|open|101", "F|joined|101|bert"};
  }
  bool Shown(TUIWidget* W) { return W != nullptr && W->FParent != nullptr; }
};

// Matches count only when the server offers them before accepting the login; otherwise the
// games page is today's: no join control, no match list, plain rows.
TEST_F(MatchesTest, OfferedBeforeTheLoginOrNotAtAll) {
  BuildScreens();
  const struct {
    std::vector<std::string> Answer;
    bool Available;
    const char* Row;
  } cases[] = {
      {{"F|play|1", "O|carl"}, true, "101 duel  MAP: plain POINTS: 10 USER: anna  PLAYERS: 2/4"},
      {{"O|carl"}, false, "101 duel  MAP: plain POINTS: 10 USER: anna"},
      {{"O|carl", "F|play|1"}, false, "101 duel  MAP: plain POINTS: 10 USER: anna"},
      {{"F|play|2", "O|carl"}, false, "101 duel  MAP: plain POINTS: 10 USER: anna"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Answer.front());
    ChangeListener(LoginStatus);
    auto peer = LogInWith("carl", c.Answer);
    ASSERT_NE(peer, nullptr);
    Receive(*peer, AnnasRoom());
    EXPECT_EQ(FLobby.MatchesAvailable(), c.Available);
    EXPECT_EQ(Shown(FChat->JoinButton), c.Available);
    EXPECT_EQ(Shown(FChat->MatchList), c.Available);
    EXPECT_EQ(Shown(FChat->Desktop->Find<TUIWidget>("GamesHint")), !c.Available);
    EXPECT_EQ(FChat->GameList->FStrings, std::vector<std::string>{c.Row});
    EXPECT_EQ(FChat->GameList->FHeight, c.Available ? 316 : 508);
  }
}

// The games page follows the rooms and matches: players join and leave, a game that is not
// open cannot be joined, a started match is listed apart with its players (its users stay in
// the user list), an ended one goes.
TEST_F(MatchesTest, GamesPageFollowsRoomsAndMatches) {
  BuildScreens();
  auto peer = LogInWith("carl");
  ASSERT_NE(peer, nullptr);
  const std::string room = "101 duel  MAP: plain POINTS: 10 USER: anna  PLAYERS: ";
  const std::string closed = "102 old  MAP: hills POINTS: 5 USER: dora  (cannot be joined)";
  const struct {
    std::vector<std::string> Lines;
    std::vector<std::string> Games, Matches;
  } steps[] = {
      {{"U|anna", "U|bert", "F|open|101", "G|101|duel|plain|10|anna", "G|102|old|hills|5|dora"},
       {room + "1/4", closed},
       {}},
      {{"F|joined|101|bert", "F|joined|101|bert"}, {room + "3/4", closed}, {}},
      {{"F|left|101|bert", "F|joined|999|x"}, {room + "2/4", closed}, {}},
      {{"H|101", "F|started|101|anna|bert"}, {closed}, {"101 duel  PLAYERS: anna, bert"}},
      {{"F|started|77|eve|Server computer"},
       {closed},
       {"101 duel  PLAYERS: anna, bert", "77  PLAYERS: eve, Server computer"}},
      {{"F|ended|101|anna", "F|ended|5"}, {closed}, {"77  PLAYERS: eve, Server computer"}},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.Lines.front());
    Receive(*peer, step.Lines);
    EXPECT_EQ(FChat->GameList->FStrings, step.Games);
    EXPECT_EQ(FChat->MatchList->FStrings, step.Matches);
  }
  EXPECT_EQ(FChat->UserList->FStrings, (std::vector<std::string>{"carl", "anna", "bert"}));
}

// Join (button or double click) asks for the selected open game once; a row that cannot be
// joined does not stay selected; a refusal ends the wait in an error window; the server's
// F|entered leads into the room, whose creator starts it.
TEST_F(MatchesTest, JoiningARoom) {
  BuildScreens();
  auto peer = LogInWith("bert");
  ASSERT_NE(peer, nullptr);
  Receive(*peer, {"G|101|duel|plain|10|anna", "F|open|101", "G|102|old|hills|5|dora",
                  "F|started|77|eve|Server computer"});
  TUIList& games = *FChat->GameList;
  std::chrono::steady_clock::time_point now{};
  games.FClock = [&] { return now; };
  ClickRow(*FChat->MatchList, 0);
  ClickRow(*FChat->MatchList, 0);
  EXPECT_EQ(FChat->MatchList->FIndex, -1) << "a match in progress cannot be picked, nor joined";

  ClickRow(games, 1);
  EXPECT_EQ(games.FIndex, -1) << "a game that is not open";
  EXPECT_FALSE(FChat->JoinButton->FEnabled);
  ClickRow(games, 0);
  EXPECT_TRUE(FChat->JoinButton->FEnabled);
  FChat->JoinButton->FOnClick(FChat->JoinButton);
  EXPECT_EQ(peer->ReadLine(), "J|101");
  EXPECT_TRUE(FChat->WaitingResponse);
  ClickRow(games, 0); // a double click while the answer is awaited asks nothing more
  EXPECT_FALSE(peer->ReadLine(QUIET_MS).has_value());

  Receive(*peer, {"F|refused|This game is full."});
  EXPECT_FALSE(FChat->WaitingResponse);
  EXPECT_EQ(Errors(*FChat->Desktop), (std::vector<std::string>{"This game is full."}));

  now += std::chrono::seconds(1);
  ClickRow(games, 0);
  ClickRow(games, 0);
  EXPECT_EQ(peer->ReadLine(), "J|101") << "double click";
  Receive(*peer, {"F|entered|101", "F|joined|101|bert"});
  EXPECT_TRUE(FCreation->Active);
  EXPECT_EQ(FLobby.OwnGame(), 101);
  EXPECT_EQ(FLobby.OwnSeat(), 1);
  EXPECT_FALSE(Shown(FCreation->StartButton));
  EXPECT_EQ(FCreation->StatusLabel->FCaption, "Waiting for anna to start");
  EXPECT_EQ(FCreation->PlayerList->FStrings,
            (std::vector<std::string>{"Seat 0: anna", "Seat 1: bert  (you)"}));
  EXPECT_EQ(FCreation->GameLabel->FCaption, "Game 101: duel");
  EXPECT_EQ(FCreation->MapLabel->FCaption, "Map: plain   Points: 10");

  FCreation->OnGameStartButtonClick(nullptr);
  EXPECT_FALSE(peer->ReadLine(QUIET_MS).has_value()) << "only the creator starts";
  FCreation->OnGameExitButtonClick(nullptr);
  EXPECT_EQ(peer->ReadLine(), "K|");
  EXPECT_TRUE(FChat->Active);
  EXPECT_EQ(FLobby.OwnGame(), NO_GAME);
}

// The creator's room: the game is this client's by F|created (not by its name), players come
// and go, "Start game" asks once, and the match keeps the room's seat for the game screen.
TEST_F(MatchesTest, CreatorsRoomStartsTheMatch) {
  BuildScreens();
  auto peer = LogInWith("anna");
  ASSERT_NE(peer, nullptr);
  Receive(*peer, {"G|100|other anna's|forest|5|anna"});
  EXPECT_TRUE(FChat->Active) << "a game of the same name is not this client's";

  FChat->WaitingResponse = true;
  Receive(*peer, {"G|101|duel|plain|10|anna", "F|created|101", "F|open|101"});
  EXPECT_FALSE(FChat->WaitingResponse);
  ASSERT_TRUE(FCreation->Active);
  EXPECT_TRUE(Shown(FCreation->StartButton));
  EXPECT_EQ(FCreation->StatusLabel->FCaption,
            "Alone, you play against the computer. Start when ready.");
  Receive(*peer, {"F|joined|101|bert", "F|joined|101|anna", "F|left|101|bert"});
  std::cerr << FLobby.OwnGame() << " seat " << FLobby.OwnSeat() << "\n";
  EXPECT_EQ(FCreation->PlayerList->FStrings,
            (std::vector<std::string>{"Seat 0: anna  (you)", "Seat 1: anna"}));
  EXPECT_EQ(FCreation->StatusLabel->FCaption, "Start the game when everyone is here.");

  FCreation->OnGameStartButtonClick(nullptr);
  FCreation->OnGameStartButtonClick(nullptr);
  EXPECT_EQ(peer->ReadLine(), "B|");
  EXPECT_FALSE(peer->ReadLine(QUIET_MS).has_value()) << "asked once";
  Receive(*peer, {"H|101", "F|started|101|anna|anna"});
  EXPECT_TRUE(FLobby.OwnMatchStarted());
  EXPECT_EQ(FLobby.OwnGame(), 101);
  EXPECT_EQ(FLobby.OwnSeat(), 0);
  FCreation->OnGameExitButtonClick(nullptr);
  EXPECT_TRUE(FCreation->Active) << "the match has begun; the game screen takes over";
  Receive(*peer, {"F|ended|101|anna"});
  EXPECT_EQ(FLobby.OwnGame(), NO_GAME);
}

// A room ends without its match: the server cancels it (F|cancelled before its H), or the
// connection is lost. The joiner is back in the lobby, told why. An H alone is the one that
// comes before the match starts: the room waits for it.
TEST_F(MatchesTest, RoomEndsWithoutItsMatch) {
  BuildScreens();
  const struct {
    std::vector<std::string> Lines; // nothing: the connection closes
    bool Cancelled;
  } cases[] = {{{"F|cancelled|101", "H|101", "X|anna"}, true},
               {{"H|101", "C|carl|hello"}, false},
               {{}, true}};
  for (const auto& c : cases) {
    ChangeListener(LoginStatus);
    auto peer = LogInWith("bert");
    ASSERT_NE(peer, nullptr);
    Receive(*peer, AnnasRoom());
    Receive(*peer, {"F|entered|101", "F|joined|101|bert"});
    ASSERT_TRUE(FCreation->Active);
    if (c.Lines.empty()) {
      peer->Close();
      ASSERT_TRUE(WaitFor([&] {
        Frame();
        return FChat->Active;
      }));
      EXPECT_EQ(Errors(*FChat->Desktop).back(), "Connection to server lost.");
      continue;
    }
    Receive(*peer, c.Lines);
    if (!c.Cancelled) {
      EXPECT_TRUE(FCreation->Active) << "its start may still come";
      EXPECT_EQ(FLobby.OwnGame(), 101);
      continue;
    }
    EXPECT_TRUE(FChat->Active);
    EXPECT_EQ(FLobby.OwnGame(), NO_GAME);
    const auto& chat = FChat->ChatList->FStrings;
    EXPECT_NE(std::find(chat.begin(), chat.end(), "anna left; the game \"duel\" is cancelled."),
              chat.end());
  }
}

// This client's seat comes from F|entered and the order of joining, never from its name: a
// joiner of the same name leaving before it moves its seat up, and its own entry stays.
TEST_F(MatchesTest, OwnSeatIsKeptApartFromNames) {
  BuildScreens();
  auto peer = LogInWith("bert");
  ASSERT_NE(peer, nullptr);
  Receive(*peer, {"G|101|duel|plain|10|anna", "F|open|101", "F|joined|101|bert", "F|entered|101",
                  "F|joined|101|bert", "F|joined|101|carl"});
  EXPECT_EQ(FLobby.OwnSeat(), 2);
  Receive(*peer, {"F|left|101|bert"});
  EXPECT_EQ(FLobby.OwnSeat(), 1);
  EXPECT_EQ(FCreation->PlayerList->FStrings,
            (std::vector<std::string>{"Seat 0: anna", "Seat 1: bert  (you)", "Seat 2: carl"}));
}

} // namespace
