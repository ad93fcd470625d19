#include "app/lobby_state.h"
#include "app/message_parser.h"
#include "gui/button.h"
#include "gui/layered.h"
#include "gui/window.h"
#include "net/message.h"
#include "screens_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace client_test;

namespace {

using ChatStatusTest = TScreensTest;

std::vector<std::string> Lines(const TUIList* List) {
  return List != nullptr ? List->FStrings : std::vector<std::string>{};
}

// The messages that may come at any time, applied to the lobby's lists.
TEST_F(ChatStatusTest, MessagesChangeTheLists) {
  BuildScreens();
  auto peer = LogIn("anna");
  ASSERT_NE(peer, nullptr);
  const struct {
    const char* Line;
    std::vector<std::string> Chat;
    std::vector<std::string> Users;
  } steps[] = {
      {"E|bob", {"bob entered."}, {"anna", "bob"}},
      {"E|bob", {"bob entered.", "bob entered."}, {"anna", "bob", "bob"}},
      {"C|bob|hi &pipe; there", {"bob entered.", "bob entered.", "<bob> hi &pipe; there"}, {}},
      {"X|BOB",
       {"bob entered.", "bob entered.", "<bob> hi &pipe; there", "BOB exited."},
       {"anna", "bob"}},
      {"X|carl",
       {"bob entered.", "bob entered.", "<bob> hi &pipe; there", "BOB exited.", "carl exited."},
       {"anna", "bob"}},
      {"U|dora", {}, {"anna", "bob", "dora"}},
  };
  for (const auto& step : steps) {
    Deliver(*peer, {step.Line});
    testing::internal::CaptureStdout();
    Frame();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string("received ") + step.Line + "\n");
    if (!step.Chat.empty()) {
      EXPECT_EQ(Lines(FChat->ChatList), step.Chat) << step.Line;
    }
    if (!step.Users.empty()) {
      EXPECT_EQ(Lines(FChat->UserList), step.Users) << step.Line;
    }
  }
}

// In the lobby, login answers and unknown types change nothing and print nothing more.
TEST_F(ChatStatusTest, LoginAnswersAndUnknownTypesAreIgnored) {
  BuildScreens();
  auto peer = LogIn("anna");
  ASSERT_NE(peer, nullptr);
  for (const char* line : {"O|mallory", "N|Invalid user/pass", "Z|1"}) {
    Deliver(*peer, {line});
    testing::internal::CaptureStdout();
    Frame();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string("received ") + line + "\n");
    EXPECT_TRUE(FChat->Active) << line;
    EXPECT_EQ(Global.UserName, "anna");
    EXPECT_TRUE(FConn.Connected()) << line;
    EXPECT_EQ(Lines(FChat->UserList), (std::vector<std::string>{"anna"}));
    EXPECT_TRUE(Lines(FChat->ChatList).empty());
    EXPECT_TRUE(Lines(FChat->GameList).empty());
    EXPECT_TRUE(Errors(*FChat->Desktop).empty());
    EXPECT_FALSE(Parse(TMsg(line))) << line;
  }
}

// Missing parameters read as empty strings.
TEST_F(ChatStatusTest, MissingParametersReadAsEmpty) {
  BuildScreens();
  ChangeListener(ChatStatus);
  Global.UserName = "anna";
  for (const char* line : {"C", "C|bob", "E", "U", "X", "G", "G|7|name"}) {
    EXPECT_TRUE(Parse(TMsg(line))) << line;
  }
  EXPECT_EQ(Lines(FChat->ChatList),
            (std::vector<std::string>{"<> ", "<bob> ", " entered.", " exited."}));
  EXPECT_EQ(Lines(FChat->UserList), (std::vector<std::string>{""}));
  EXPECT_EQ(Lines(FChat->GameList), (std::vector<std::string>{"   MAP:  POINTS:  USER: ",
                                                              "7 name  MAP:  POINTS:  USER: "}));
  EXPECT_TRUE(FChat->Active) << "a game without creator is not this user's";
}

// F lines of a match go to whoever keeps the match, in order; those of the lobby do not.
TEST_F(ChatStatusTest, MatchLinesReachTheLobbyStatesListeners) {
  BuildScreens();
  struct TRecorder : TLobbyStateListener {
    std::vector<std::string> Lines;
    void MatchLine(const TMsg& Line) override { Lines.push_back(Line.GetToken(1)); }
  } recorder;
  Global.Lobby->AddListener(&recorder);
  for (const char* line :
       {"F|play|1", "F|start|101|forest|16|16|0|2", "F|seat|0|anna", "F|open|101", "F|tree|3|4",
        "F|unit|1|0|tank|0|0|20|0|0", "F|turn|0|1|48|1", "F|moved|1|1|0", "F|hit|1|2|4", "F|out|1",
        "F|over|0", "F|refused|No.", "F|nonsense"}) {
    EXPECT_TRUE(Parse(TMsg(line))) << line;
  }
  Global.Lobby->RemoveListener(&recorder);
  EXPECT_EQ(recorder.Lines, (std::vector<std::string>{"start", "seat", "tree", "unit", "turn",
                                                      "moved", "hit", "out", "over"}));
}

TEST_F(ChatStatusTest, ChatListKeepsTheLast40Lines) {
  BuildScreens();
  for (int i = 1; i <= 41; ++i) {
    FChat->AddChatList("line " + std::to_string(i));
    EXPECT_EQ(Lines(FChat->ChatList).size(), static_cast<std::size_t>(std::min(i, 40)));
  }
  EXPECT_EQ(Lines(FChat->ChatList).front(), "line 2");
  EXPECT_EQ(Lines(FChat->ChatList).back(), "line 41");
  for (int i = 42; i <= 100; ++i) {
    FChat->AddChatList("line " + std::to_string(i));
  }
  EXPECT_EQ(Lines(FChat->ChatList).size(), 40u);
  EXPECT_EQ(Lines(FChat->ChatList).front(), "line 61");
}

// Another user's game only adds a line; this user's game also ends the wait and opens the
// game creation screen (also when it comes with the game list after login).
TEST_F(ChatStatusTest, AddGameSwitchesForOwnGameOnly) {
  BuildScreens();
  ChangeListener(ChatStatus);
  Global.UserName = "anna";
  FChat->WaitingResponse = true;
  FChat->AddGame("101", "Evening match", "forest", "10", "bob");
  EXPECT_TRUE(FChat->Active);
  EXPECT_TRUE(FChat->WaitingResponse);
  FChat->AddGame("102", "Mine", "hills", "5", "Anna");
  EXPECT_TRUE(FChat->Active) << "the comparison is exact";
  FChat->AddGame("103", "Mine too", "hills", "5", "anna");
  EXPECT_TRUE(FCreation->Active);
  EXPECT_FALSE(FChat->WaitingResponse);
  EXPECT_EQ(Lines(FChat->GameList),
            (std::vector<std::string>{"101 Evening match  MAP: forest POINTS: 10 USER: bob",
                                      "102 Mine  MAP: hills POINTS: 5 USER: Anna",
                                      "103 Mine too  MAP: hills POINTS: 5 USER: anna"}));
}

TEST_F(ChatStatusTest, OwnGameInTheListAfterLoginOpensGameCreation) {
  BuildScreens();
  auto peer = LogIn("anna");
  ASSERT_NE(peer, nullptr);
  Deliver(*peer, {"G|101|Old game|forest|10|anna"});
  testing::internal::CaptureStdout();
  Frame();
  testing::internal::GetCapturedStdout();
  EXPECT_TRUE(FCreation->Active);
}

// Enter in the chat edit sends the line (also an empty one) and empties the edit; the line
// shows only when the server sends it back.
TEST_F(ChatStatusTest, ChatEnterSendsAndEmpties) {
  BuildScreens();
  auto peer = LogIn("anna");
  ASSERT_NE(peer, nullptr);
  FChat->Edit->Focus();
  for (char c : std::string("hi|you")) {
    FChat->KeyDownEvent(Key(static_cast<SDLKey>(c), static_cast<Uint16>(c)));
  }
  EXPECT_EQ(FChat->Edit->FText, "hi|you");
  FChat->KeyDownEvent(Key(SDLK_RETURN, 13));
  EXPECT_EQ(FChat->Edit->FText, "");
  EXPECT_EQ(peer->ReadLine(), "C|hi&pipe;you");
  EXPECT_TRUE(Lines(FChat->ChatList).empty());
  FChat->KeyDownEvent(Key(SDLK_RETURN, 13));
  EXPECT_EQ(peer->ReadLine(), "C|");
}

TEST_F(ChatStatusTest, TabButtonsSwitchPagesAndEnterShowsChat) {
  BuildScreens();
  ChangeListener(ChatStatus);
  auto* pages = FChat->Desktop->Find<TUILayered>("lyd1");
  ASSERT_NE(pages, nullptr);
  const struct {
    void (TChatStatus::*Click)(TUIWidget*);
    const char* Page;
  } tabs[] = {{&TChatStatus::OnGamesClick, "pagGames"},
              {&TChatStatus::OnBuyClick, "pagBuy"},
              {&TChatStatus::OnSellClick, "pagSell"},
              {&TChatStatus::OnChatClick, "pagChat"},
              {&TChatStatus::OnGamesClick, "pagGames"}};
  for (const auto& tab : tabs) {
    (FChat.get()->*tab.Click)(nullptr);
    ASSERT_NE(pages->ActivePage(), nullptr);
    EXPECT_EQ(pages->ActivePage()->FName, tab.Page);
  }
  FChat->WaitingResponse = true;
  ChangeListener(ChatStatus);
  EXPECT_EQ(pages->ActivePage()->FName, "pagChat");
  EXPECT_FALSE(FChat->WaitingResponse);
}

// The tab buttons of the real layout are wired: a click on "Games" shows the game list.
TEST_F(ChatStatusTest, ClickingTheGamesTabShowsTheGameList) {
  BuildScreens();
  ChangeListener(ChatStatus);
  auto* games = FChat->Desktop->Find<TUIButton>("btnGames");
  ASSERT_NE(games, nullptr);
  const int x = games->FLeft + 10;
  const int y = games->FTop + 10;
  FChat->Desktop->DoMouseMove(x, y);
  FChat->Desktop->DoMouseDown(x, y, mbLeft);
  FChat->Desktop->DoMouseUp(x, y, mbLeft);
  EXPECT_EQ(FChat->Desktop->Find<TUILayered>("lyd1")->ActivePage()->FName, "pagGames");
}

// The create-game window: Create sends map, points and name, closes the window and waits with
// the hourglass; Cancel only closes it. Each click opens a new window.
TEST_F(ChatStatusTest, CreateGameWindow) {
  BuildScreens();
  auto peer = LogIn("anna");
  ASSERT_NE(peer, nullptr);
  const int before = FChat->Desktop->Count();
  FChat->OnCreateGameClick(nullptr);
  FChat->OnCreateGameClick(nullptr);
  ASSERT_EQ(FChat->Desktop->Count(), before + 2);
  EXPECT_EQ(FChat->Desktop->FCurrentModal, 2);

  auto* top = dynamic_cast<TUIWindow*>(FChat->Desktop->Get(before + 1));
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->FName, "CreateGameWindow");
  top->Find<TUIEdit>("GameNameEdit")->FText = "Evening match";
  top->Find<TUIEdit>("MapEdit")->FText = "forest";
  top->Find<TUIEdit>("PointEdit")->FText = "10";
  auto* create = top->Find<TUIButton>("CreateButton");
  ASSERT_NE(create, nullptr);
  create->FOnClick(create);
  EXPECT_EQ(peer->ReadLine(), "G|forest|10|Evening match");
  EXPECT_TRUE(FChat->WaitingResponse);
  EXPECT_EQ(FChat->Desktop->Count(), before + 1);

  auto* other = dynamic_cast<TUIWindow*>(FChat->Desktop->Get(before));
  ASSERT_NE(other, nullptr);
  auto* abort = other->Find<TUIButton>("AbortButton");
  ASSERT_NE(abort, nullptr);
  abort->FOnClick(abort);
  EXPECT_EQ(FChat->Desktop->Count(), before);
  EXPECT_EQ(FChat->Desktop->FCurrentModal, 0);

  FFrames.Calls.clear();
  Frame();
  EXPECT_EQ(FFrames.Calls.at(4), "image hourglass 0 0 64 64");

  Deliver(*peer, {"G|101|Evening match|forest|10|anna"});
  testing::internal::CaptureStdout();
  Frame();
  testing::internal::GetCapturedStdout();
  EXPECT_TRUE(FCreation->Active);
  EXPECT_FALSE(FChat->WaitingResponse);
}

// The real window, clicked with the mouse: the Create button closes it after the click.
TEST_F(ChatStatusTest, CreateGameWindowByMouse) {
  BuildScreens();
  auto peer = LogIn("anna");
  ASSERT_NE(peer, nullptr);
  const int before = FChat->Desktop->Count();
  FChat->OnCreateGameClick(nullptr);
  auto* window = dynamic_cast<TUIWindow*>(FChat->Desktop->Get(before));
  ASSERT_NE(window, nullptr);
  auto* create = window->Find<TUIButton>("CreateButton");
  const int x = window->FLeft + window->FMarginLeft + create->FLeft + 5;
  const int y = window->FTop + window->FMarginTop + create->FTop + 5;
  FChat->MouseMoveEvent(SDL_MouseMotionEvent{SDL_MOUSEMOTION, 0, 0, static_cast<Uint16>(x),
                                             static_cast<Uint16>(y), 0, 0});
  SDL_MouseButtonEvent press{SDL_MOUSEBUTTONDOWN,    0,
                             SDL_BUTTON_LEFT,        SDL_PRESSED,
                             static_cast<Uint16>(x), static_cast<Uint16>(y)};
  FChat->MouseDownEvent(press);
  press.type = SDL_MOUSEBUTTONUP;
  FChat->MouseUpEvent(press);
  EXPECT_EQ(peer->ReadLine(), "G|forest|100|");
  EXPECT_EQ(FChat->Desktop->Count(), before);
}

TEST_F(ChatStatusTest, MissingOrBrokenCreateGameFileOpensNothing) {
  BuildScreens();
  ChangeListener(ChatStatus);
  const int before = FChat->Desktop->Count();
  for (const std::string& content :
       {std::string("<ui><WINDOW name=\"Other\"></WINDOW></ui>"), std::string("<ui><WINDOW"),
        std::string("<ui><BUTTON name=\"CreateGameWindow\"/></ui>")}) {
    WriteMedia("creategame.ui", content);
    testing::internal::CaptureStderr();
    FChat->OnCreateGameClick(nullptr);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(FChat->Desktop->Count(), before) << content;
  }
  RemoveMedia("creategame.ui");
  testing::internal::CaptureStderr();
  FChat->OnCreateGameClick(nullptr);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("media/creategame.ui"), std::string::npos);
  EXPECT_EQ(FChat->Desktop->Count(), before);

  // A window without its buttons opens; it just has nothing to click.
  WriteMedia("creategame.ui", "<ui><WINDOW name=\"CreateGameWindow\"></WINDOW></ui>");
  FChat->OnCreateGameClick(nullptr);
  EXPECT_EQ(FChat->Desktop->Count(), before + 1);
}

// A lobby layout without the user list: the parser skips that list.
TEST_F(ChatStatusTest, LobbyWithoutUserList) {
  WriteMedia("chat.ui", "<ui><LIST name=\"ChatList\"><WIDTH>400</WIDTH></LIST></ui>");
  BuildScreens();
  EXPECT_EQ(FChat->UserList, nullptr);
  EXPECT_EQ(FChat->GameList, nullptr);
  auto peer = LogIn("anna");
  ASSERT_NE(peer, nullptr);
  Deliver(*peer, {"E|bob", "U|carl", "X|bob", "G|1|g|m|1|anna"});
  testing::internal::CaptureStdout();
  for (int i = 0; i < 4; ++i) {
    Frame();
  }
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(Lines(FChat->ChatList), (std::vector<std::string>{"bob entered.", "bob exited."}));
  EXPECT_TRUE(FCreation->Active);
}

// Every line that has arrived is handled in the frame it arrives in, whichever screen is
// current: the lobby's lists follow the server while the player is elsewhere. Only the move to
// this user's own game waits until the lobby is current again.
TEST_F(ChatStatusTest, ListsFollowTheServerOnEveryScreen) {
  BuildScreens();
  auto peer = LogIn("anna");
  ASSERT_NE(peer, nullptr);
  ChangeListener(GameCreationStatus);
  Deliver(*peer, {"E|bob", "C|bob|hi", "G|102|His|hills|5|bob", "G|103|Mine|forest|10|anna"});
  testing::internal::CaptureStdout();
  Frame();
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(FConn.LinesWaiting(), 0u);
  EXPECT_EQ(Lines(FChat->UserList), (std::vector<std::string>{"anna", "bob"}));
  EXPECT_EQ(Lines(FChat->ChatList), (std::vector<std::string>{"bob entered.", "<bob> hi"}));
  EXPECT_EQ(Lines(FChat->GameList).size(), 2u);

  FCreation->OnGameExitButtonClick(nullptr);
  EXPECT_TRUE(FChat->Active);
  Frame();
  EXPECT_TRUE(FCreation->Active) << "this user's game, announced meanwhile, is taken up now";
  EXPECT_FALSE(peer->ReadLine(QUIET_MS).has_value()) << "moving between screens sends nothing";
}

// A burst of 5,000 lines is handled in order within the frames the time budget allows: with
// each line costing a tenth of the budget on the frames' clock, ten a frame; with a clock that
// stands still, all in one frame.
TEST_F(ChatStatusTest, BurstIsHandledInOrderWithinTheFramesTimeBudget) {
  BuildScreens();
  auto peer = LogIn("anna");
  ASSERT_NE(peer, nullptr);
  constexpr int BURST = 5000;
  const auto step = MESSAGE_TIME_BUDGET / 10;
  std::chrono::steady_clock::time_point now{};
  for (const bool clockRuns : {true, false}) {
    SCOPED_TRACE(clockRuns ? "each line costs a tenth of the budget" : "lines cost nothing");
    Global.Clock = [&] { return clockRuns ? now += step : now; };
    std::vector<std::string> lines;
    std::string expected;
    for (int i = 0; i < BURST; ++i) {
      lines.push_back("C|bob|" + std::to_string(i));
      expected += "received " + lines.back() + "\n";
    }
    Deliver(*peer, lines);
    const std::size_t perFrame = clockRuns ? 10 : BURST;
    std::vector<std::size_t> handled, allowed;
    testing::internal::CaptureStdout();
    while (FConn.LinesWaiting() > 0 && handled.size() < BURST) {
      const std::size_t before = FConn.LinesWaiting();
      Frame();
      handled.push_back(before - FConn.LinesWaiting());
      allowed.push_back(std::min(before, perFrame));
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected);
    EXPECT_EQ(handled, allowed);
    EXPECT_EQ(Lines(FChat->ChatList).back(), "<bob> " + std::to_string(BURST - 1));
  }
}

// H takes the game with that number off the list, wherever it stands; the selection stays on
// the game it was on. Logging in again starts both lists afresh, so no game is listed twice.
TEST_F(ChatStatusTest, GameListTellsTheTruth) {
  BuildScreens();
  auto peer = LogIn("anna");
  ASSERT_NE(peer, nullptr);
  auto numbers = [&] {
    std::vector<std::string> out;
    for (const auto& game : FLobby.Games()) {
      out.push_back(game.Number);
    }
    return out;
  };
  const std::string g101 = "101 a  MAP: m POINTS: 1 USER: bob";
  const std::string g103 = "103 c  MAP: m POINTS: 3 USER: dora";
  Deliver(*peer, {"G|101|a|m|1|bob", "G|102|b|m|2|carl", "G|103|c|m|3|dora"});
  testing::internal::CaptureStdout();
  Frame();
  FChat->GameList->FIndex = 2;
  Deliver(*peer, {"H|102", "H|999"});
  Frame();
  EXPECT_EQ(Lines(FChat->GameList), (std::vector<std::string>{g101, g103}));
  EXPECT_EQ(FChat->GameList->GetText(), g103);
  EXPECT_EQ(numbers(), (std::vector<std::string>{"101", "103"}));

  FChat->OnQuitClick(nullptr);
  auto again = LogIn("anna");
  ASSERT_NE(again, nullptr);
  EXPECT_TRUE(Lines(FChat->GameList).empty());
  EXPECT_EQ(FChat->GameList->FIndex, -1);
  Deliver(*again, {"U|dora", "G|103|c|m|3|dora"});
  Frame();
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(Lines(FChat->GameList), (std::vector<std::string>{g103}));
  EXPECT_EQ(Lines(FChat->UserList), (std::vector<std::string>{"anna", "dora"}));
  EXPECT_EQ(numbers(), (std::vector<std::string>{"103"}));
}

// While the lobby waits for its own game, the server's refusal (a chat line from "Server")
// ends the wait, as does the end of the connection; another user's line does not.
TEST_F(ChatStatusTest, HourglassEndsWhenTheServerRefusesOrTheConnectionEnds) {
  BuildScreens();
  auto peer = LogIn("anna");
  ASSERT_NE(peer, nullptr);
  FChat->WaitingResponse = true;
  testing::internal::CaptureStdout();
  Deliver(*peer, {"C|bob|Server"});
  Frame();
  EXPECT_TRUE(FChat->WaitingResponse);
  Deliver(*peer, {"C|Server|Game not announced: the lobby's list of games is full."});
  FFrames.Calls.clear();
  Frame();
  EXPECT_FALSE(FChat->WaitingResponse);
  EXPECT_EQ(Lines(FChat->ChatList).back(),
            "<Server> Game not announced: the lobby's list of games is full.");
  EXPECT_NE(std::find(FFrames.Calls.begin(), FFrames.Calls.end(), "image pointer 0 0 64 64"),
            FFrames.Calls.end());

  FChat->WaitingResponse = true;
  peer->Close();
  ASSERT_TRUE(WaitFor([&] {
    Frame();
    return !FConn.Connected() && FConn.LinesWaiting() == 0 && !FConn.EndPending();
  }));
  testing::internal::GetCapturedStdout();
  EXPECT_FALSE(FChat->WaitingResponse);
}

// A connection found dead in the lobby is shown once; the quit button still leads back to
// the login screen, which sends nothing over the dead connection.
TEST_F(ChatStatusTest, LostConnectionIsShownInTheLobby) {
  BuildScreens();
  auto peer = LogIn("anna");
  ASSERT_NE(peer, nullptr);
  peer->SendLine("C|bob|last words");
  peer->Close();
  testing::internal::CaptureStdout();
  ASSERT_TRUE(WaitFor([&] {
    Frame();
    return !Errors(*FChat->Desktop).empty();
  }));
  for (int i = 0; i < 5; ++i) {
    Frame();
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "received C|bob|last words\n");
  EXPECT_EQ(Lines(FChat->ChatList), (std::vector<std::string>{"<bob> last words"}));
  EXPECT_EQ(Errors(*FChat->Desktop), (std::vector<std::string>{"Connection to server lost."}));
  EXPECT_FALSE(FConn.Connected());
  FChat->OnQuitClick(nullptr);
  EXPECT_TRUE(FLogin->Active);

  // Logging in again works on the same connection object.
  auto again = LogIn("anna");
  ASSERT_NE(again, nullptr);
}

// The game creation screen: start leads to the game screen (none here), exit to the lobby;
// neither talks to the server. Escape ends the program.
TEST_F(ChatStatusTest, GameCreationButtons) {
  BuildScreens();
  auto peer = LogIn("anna");
  ASSERT_NE(peer, nullptr);
  ChangeListener(GameCreationStatus);
  FCreation->OnGameStartButtonClick(nullptr);
  EXPECT_TRUE(FCreation->Active) << "without a game screen nothing changes";
  FCreation->OnGameExitButtonClick(nullptr);
  EXPECT_TRUE(FChat->Active);
  ChangeListener(GameCreationStatus);
  FLoop.FDone = false;
  FCreation->KeyDownEvent(Key(SDLK_ESCAPE, 27));
  EXPECT_TRUE(FLoop.FDone);
  EXPECT_FALSE(peer->ReadLine(QUIET_MS).has_value());
}

} // namespace
