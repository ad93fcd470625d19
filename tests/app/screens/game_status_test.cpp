#include "app/match_field.h"
#include "app/match_panel.h"
#include "app/screens/game_status.h"
#include "gfx/runtime_animator.h"
#include "gui/bar.h"
#include "gui/button.h"
#include "net/match_lines.h"
#include "screens_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace client_test;

namespace {

TEST(ScrollCameraTest, EdgesMoveAlongTheView) {
  const float s = 0.3f * std::sqrt(0.5f); // a step at 45 degrees, split over X and Z
  const struct {
    int MX, MY;
    float DX, DZ;
  } cases[] = {
      {0, 300, -s, -s},  {799, 300, s, s},     {400, 0, s, -s},  {400, 599, -s, s},
      {0, 0, 0, -2 * s}, {799, 599, 0, 2 * s}, {1, 300, 0, 0},   {798, 300, 0, 0},
      {400, 1, 0, 0},    {400, 598, 0, 0},     {400, 300, 0, 0}, {-1, 600, 0, 0},
  };
  for (const auto& c : cases) {
    TCamera camera = START_CAMERA;
    ScrollCamera(camera, c.MX, c.MY);
    EXPECT_NEAR(camera.X, 32 + c.DX, 1e-5) << c.MX << "," << c.MY;
    EXPECT_NEAR(camera.Z, 36 + c.DZ, 1e-5) << c.MX << "," << c.MY;
    EXPECT_EQ(camera.Y, 20);
    EXPECT_EQ(camera.AngleY, 45);
  }
}

TEST(ScrollCameraTest, TenFramesAtTheRightEdge) {
  TCamera camera = START_CAMERA;
  for (int i = 0; i < 10; ++i) {
    ScrollCamera(camera, 799, 300);
  }
  EXPECT_NEAR(camera.X - 32, 2.1213f, 1e-3);
  EXPECT_NEAR(camera.Z - 36, 2.1213f, 1e-3);
}

TEST(ScrollCameraTest, FollowsTheViewAngle) {
  TCamera camera = START_CAMERA;
  camera.AngleY = 90;
  ScrollCamera(camera, 799, 300);
  EXPECT_NEAR(camera.X, 32, 1e-5);
  EXPECT_NEAR(camera.Z, 36.3f, 1e-5);
  camera.AngleY = 0;
  ScrollCamera(camera, 400, 0);
  EXPECT_NEAR(camera.X, 32, 1e-5);
  EXPECT_NEAR(camera.Z, 36.0f, 1e-5);
}

TEST(CameraCaptionTest, GeneralFormat) {
  const struct {
    float X, Z;
    const char* Text;
  } cases[] = {
      {32, 36, "32 36"},
      {32.5f, -0.25f, "32.5 -0.25"},
      {1.0f / 3, 100, "0.333333343267441 100"},
      {0, -0.0f, "0 -0"},
      {1e20f, 1e-7f, "1.00000002004088e+20 1.0000000116861e-07"},
  };
  for (const auto& c : cases) {
    TCamera camera{c.X, 0, c.Z, 0};
    EXPECT_EQ(CameraCaption(camera), c.Text);
  }
}

TEST(NextAnimTimeTest, WrapsKeepingTheOvershoot) {
  float phase = 0;
  float previous = 0;
  int frames = 0;
  do {
    previous = phase;
    phase = NextAnimTime(phase);
    ++frames;
  } while (phase > previous);
  EXPECT_EQ(frames, 334);
  EXPECT_NEAR(phase, 0.002f, 1e-4);
  EXPECT_GT(phase, 0);
  EXPECT_FLOAT_EQ(NextAnimTime(0.5f), 0.503f);
  EXPECT_LT(NextAnimTime(0.999f), 0.01f);
}

// The game screen with its scene replaced by a counter, so it runs without OpenGL.
class TCountingGameStatus : public TGameStatus {
public:
  int Scenes = 0;

protected:
  void DrawScene() override { ++Scenes; }
};

class GameStatusTest : public TScreensTest {
protected:
  void SetUp() override {
    TScreensTest::SetUp();
    UseMedia("game.ui");
    for (const char* model : {"tree.model", "viking_weapon.model", "tank_ok.model"}) {
      WriteMedia(model, EMPTY_MODEL);
    }
  }
  void BuildGame() {
    BuildScreens();
    FGame = std::make_unique<TCountingGameStatus>();
    GameStatus = FGame.get();
    RecordFrames(*FGame, FFrames);
  }
  void TearDown() override {
    ActiveEvent = nullptr;
    FGame.reset();
    TScreensTest::TearDown();
  }
  void MoveMouse(int X, int Y) {
    SDL_MouseMotionEvent move{};
    move.x = static_cast<Uint16>(X);
    move.y = static_cast<Uint16>(Y);
    ActiveEvent->MouseMoveEvent(move);
  }
  std::unique_ptr<TCountingGameStatus> FGame;
};

TEST_F(GameStatusTest, StartsWithCameraLabelAndModels) {
  BuildGame();
  EXPECT_EQ(FGame->Camera.X, 32);
  EXPECT_EQ(FGame->Camera.Y, 20);
  EXPECT_EQ(FGame->Camera.Z, 36);
  EXPECT_EQ(FGame->Camera.AngleY, 45);
  EXPECT_EQ(FGame->AnimTime, 0);
  ASSERT_NE(FGame->Label1, nullptr);
  EXPECT_EQ(FGame->Label1->FCaption, "0,0");
  EXPECT_EQ(FGame->Label1->FLeft, 10);
  EXPECT_EQ(FGame->Label1->FTop, 580);
  EXPECT_EQ(FGame->Desktop->Get(FGame->Desktop->Count() - 1), FGame->Label1)
      << "the label is the desktop's last child";
  EXPECT_NE(FGame->Anim->FActualPose, nullptr) << "the animator is built on the figure";
  EXPECT_NE(FGame->Map, nullptr);
}

// A frame: scene first, then the 2D pass without background, the label showing X and Z.
TEST_F(GameStatusTest, FrameScrollsAndShowsCoordinates) {
  BuildGame();
  ChangeListener(GameStatus);
  MoveMouse(400, 300);
  FFrames.Calls.clear();
  Frame();
  EXPECT_EQ(FGame->Scenes, 1);
  EXPECT_EQ(FGame->Label1->FCaption, "32 36");
  EXPECT_EQ(FFrames.Calls,
            (std::vector<std::string>{"clear", "ortho", "desktop", "image pointer 400 300 64 64",
                                      "end", "present"}));
  MoveMouse(799, 300);
  for (int i = 0; i < 10; ++i) {
    Frame();
  }
  EXPECT_NEAR(FGame->Camera.X, 34.1213f, 1e-3);
  EXPECT_NEAR(FGame->Camera.Z, 38.1213f, 1e-3);
  EXPECT_EQ(FGame->Label1->FCaption, CameraCaption(FGame->Camera));
  EXPECT_NE(FGame->Label1->FCaption.find(' '), std::string::npos);
  EXPECT_EQ(FGame->Label1->FCaption.find(','), std::string::npos);
}

// Left turns, Up and Down change the height, Right only reaches the key state; Escape goes
// back to the lobby and the camera is where it was on return.
TEST_F(GameStatusTest, KeysMoveTheCameraAndEscapeLeaves) {
  BuildGame();
  ChangeListener(GameStatus);
  FGame->KeyDownEvent(Key(SDLK_LEFT));
  FGame->KeyDownEvent(Key(SDLK_LEFT));
  FGame->KeyDownEvent(Key(SDLK_UP));
  FGame->KeyDownEvent(Key(SDLK_UP));
  FGame->KeyDownEvent(Key(SDLK_DOWN));
  FGame->KeyDownEvent(Key(SDLK_RIGHT));
  EXPECT_EQ(FGame->Camera.AngleY, 47);
  EXPECT_EQ(FGame->Camera.Y, 21);
  EXPECT_EQ(FGame->Camera.X, 32);
  EXPECT_EQ(FGame->Camera.Z, 36);
  EXPECT_TRUE(FKeys.Right);
  EXPECT_TRUE(FKeys.Left);

  FLoop.FDone = false;
  FGame->KeyDownEvent(Key(SDLK_ESCAPE, 27));
  EXPECT_TRUE(FChat->Active);
  EXPECT_FALSE(FLoop.FDone) << "Escape on the game screen does not end the program";
  FCreation->OnGameStartButtonClick(nullptr);
  EXPECT_TRUE(FGame->Active);
  EXPECT_EQ(FGame->Camera.AngleY, 47);
  EXPECT_EQ(FGame->Camera.Y, 21);
}

// A held Escape leaves the game for the lobby; its repeats do not end the program there. The
// next press on the lobby does.
TEST_F(GameStatusTest, HeldEscapeOnlyLeavesTheGame) {
  BuildGame();
  ChangeListener(GameStatus);
  FLoop.FDone = false;
  ActiveEvent->KeyDownEvent(Key(SDLK_ESCAPE, 27));
  for (int repeat = 0; repeat < 3; ++repeat) {
    ActiveEvent->KeyDownEvent(Key(SDLK_ESCAPE, 27));
  }
  EXPECT_TRUE(FChat->Active);
  EXPECT_FALSE(FLoop.FDone);
  SDL_KeyboardEvent release = Key(SDLK_ESCAPE, 27);
  release.type = SDL_KEYUP;
  ActiveEvent->KeyUpEvent(release);
  ActiveEvent->KeyDownEvent(Key(SDLK_ESCAPE, 27));
  EXPECT_TRUE(FLoop.FDone);
}

TEST_F(GameStatusTest, ExitButtonGoesToTheLobby) {
  BuildGame();
  ChangeListener(GameStatus);
  auto* exit = FGame->Desktop->Find<TUIButton>("ExitButton");
  ASSERT_NE(exit, nullptr);
  exit->FOnClick(exit);
  EXPECT_TRUE(FChat->Active);
}

TEST_F(GameStatusTest, MissingOrBrokenModelNamesTheFile) {
  for (const char* model : {"tree.model", "viking_weapon.model", "tank_ok.model"}) {
    for (bool missing : {true, false}) {
      if (missing) {
        RemoveMedia(model);
      } else {
        WriteMedia(model, "<MODEL><NAME>x</NAME><NODE><NAME>r</NAME></NODE></MODEL>");
      }
      try {
        TGameStatus game;
        ADD_FAILURE() << model << " accepted";
      } catch (const std::exception& E) {
        EXPECT_NE(std::string(E.what()).find(std::string("media/") + model), std::string::npos)
            << E.what();
      }
      WriteMedia(model, EMPTY_MODEL);
    }
  }
}

// The game screen in this client's match against the computer, the peer playing the server.
class MatchScreenTest : public GameStatusTest {
protected:
  void SetUp() override {
    GameStatusTest::SetUp();
    UseMedia("matchpanel.ui");
    BuildGame();
    Global.MX = 400; // away from the edges that scroll
    Global.MY = 300;
  }
  // Logs anna in, starts her game against the computer and sends her match's block.
  std::unique_ptr<TPeer> StartMatch() {
    auto peer = LogInWith("anna");
    if (peer == nullptr) {
      return peer;
    }
    FServer = CreateMatch("plain", 10, {{"anna", false}});
    std::vector<std::string> lines{"G|101|duel|plain|10|anna", "F|created|101", "H|101",
                                   "F|started|101|anna|Server computer"};
    for (const std::string& line : MatchBlock(*FServer, 101, 0, 60)) {
      lines.push_back(line);
    }
    Receive(*peer, lines);
    Frame(); // the game screen's own first frame
    return peer;
  }
  void Press(SDLKey Sym, Uint16 Unicode = 0) { ActiveEvent->KeyDownEvent(Key(Sym, Unicode)); }
  void Release(SDLKey Sym) {
    SDL_KeyboardEvent release = Key(Sym);
    release.type = SDL_KEYUP;
    ActiveEvent->KeyUpEvent(release);
  }
  static TUIButton* Button(TUIWindow* Window, const std::string& Caption) {
    for (int i = 0; Window != nullptr && i < Window->Count(); ++i) {
      auto* button = dynamic_cast<TUIButton*>(Window->Get(i));
      if (button != nullptr && button->FCaption == Caption) {
        return button;
      }
    }
    return nullptr;
  }
  static std::string Message(TUIWindow* Window) {
    return dynamic_cast<TUILabel*>(Window->Get(0))->FCaption;
  }
  int Windows() const {
    int windows = 0;
    for (int i = 0; i < FGame->Desktop->Count(); ++i) {
      windows += dynamic_cast<TUIWindow*>(FGame->Desktop->Get(i)) != nullptr ? 1 : 0;
    }
    return windows;
  }
  std::unique_ptr<TGame> FServer;
};

// The match's start moves the client from its room to the game screen, the camera over its
// corner; the panel, the server's refusals, the chat and orders follow the match.
TEST_F(MatchScreenTest, TheMatchIsPlayedOnTheGameScreen) {
  auto peer = StartMatch();
  ASSERT_NE(peer, nullptr);
  ASSERT_TRUE(FGame->Active);
  ASSERT_TRUE(FGame->InMatch());
  const TCamera start = StartCamera(0, PlaceField(16, 16));
  EXPECT_EQ(FGame->Camera.X, start.X);
  EXPECT_EQ(FGame->Camera.AngleY, start.AngleY);
  EXPECT_EQ(FGame->Panel->TurnBar->FCaption, "Your turn");
  EXPECT_EQ(FGame->Desktop->Find<TUIWidget>("HelpWindow"), nullptr);

  FGame->Panel->EndTurnButton->FOnClick(FGame->Panel->EndTurnButton);
  EXPECT_EQ(peer->ReadLine(), "T|");
  Receive(*peer, {"F|refused|It is not your turn.", "C|bert|well played"});
  EXPECT_EQ(FGame->NoticeLabel->FCaption, "It is not your turn.");
  EXPECT_EQ(Windows(), 1) << "the panel only: a refusal opens no window";
  EXPECT_EQ(FGame->ChatLabels.back()->FCaption, "<bert> well played");

  Press(SDLK_RETURN, 13);
  ASSERT_TRUE(FGame->ChatLineOpen());
  SDL_MouseButtonEvent press{};
  press.button = SDL_BUTTON_LEFT;
  press.x = 300;
  press.y = 300;
  FGame->MouseDownEvent(press); // a click on the field while typing
  for (char c : std::string("gg")) {
    Press(SDLK_g, static_cast<Uint16>(c));
  }
  Press(SDLK_RETURN, 13);
  EXPECT_EQ(peer->ReadLine(), "C|gg");
  EXPECT_FALSE(FGame->ChatLineOpen());
  Press(SDLK_RETURN, 13);
  Press(SDLK_ESCAPE, 27);
  EXPECT_FALSE(FGame->ChatLineOpen());
  EXPECT_EQ(FGame->Question, nullptr) << "Escape only closed the chat line";
}

// Escape asks once; the repeats of the held key neither answer nor reopen the question; a new
// press closes it, and Yes resigns and goes back to the lobby.
TEST_F(MatchScreenTest, EscapeAsksWhetherToResignAndItsRepeatsDoNothing) {
  auto peer = StartMatch();
  ASSERT_NE(peer, nullptr);
  Press(SDLK_ESCAPE, 27);
  TUIWindow* question = FGame->Question;
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(Message(question), "Resign this match?");
  for (int repeat = 0; repeat < 5; ++repeat) {
    Press(SDLK_ESCAPE, 27);
    Frame();
  }
  EXPECT_EQ(FGame->Question, question);
  EXPECT_EQ(Windows(), 2);
  Release(SDLK_ESCAPE);
  Press(SDLK_ESCAPE, 27);
  EXPECT_EQ(FGame->Question, nullptr) << "a new press answers No";
  Release(SDLK_ESCAPE);
  Press(SDLK_ESCAPE, 27);
  ASSERT_NE(FGame->Question, nullptr);
  TUIButton* yes = Button(FGame->Question, "Yes");
  ASSERT_NE(yes, nullptr);
  yes->FOnClick(yes);
  EXPECT_EQ(peer->ReadLine(), "Y|");
  EXPECT_TRUE(FChat->Active);
  EXPECT_FALSE(FGame->InMatch());
  EXPECT_EQ(FLobby.OwnGame(), NO_GAME);
  EXPECT_EQ(Windows(), 1) << "the help window is back, the question and panel gone";
}

// F|over shows the result with the way back to the lobby, where the plain game screen is
// today's again.
TEST_F(MatchScreenTest, OverShowsTheResultAndLeadsBackToTheLobby) {
  auto peer = StartMatch();
  ASSERT_NE(peer, nullptr);
  Press(SDLK_ESCAPE, 27);
  Receive(*peer, {"F|out|1", "F|over|0", "F|ended|101|anna"});
  EXPECT_EQ(FGame->Question, nullptr) << "the result replaces the question";
  ASSERT_NE(FGame->Result, nullptr);
  EXPECT_EQ(Message(FGame->Result), "You win");
  TUIButton* back = Button(FGame->Result, "Back to lobby");
  ASSERT_NE(back, nullptr);
  back->FOnClick(back);
  EXPECT_TRUE(FChat->Active);
  EXPECT_FALSE(peer->ReadLine(QUIET_MS).has_value()) << "nothing to send";
  ChangeListener(GameStatus);
  EXPECT_FALSE(FGame->InMatch());
  EXPECT_EQ(FGame->Camera.X, START_CAMERA.X);
  EXPECT_NE(FGame->Desktop->Find<TUIWidget>("HelpWindow"), nullptr);
}

TEST_F(MatchScreenTest, ALostConnectionEndsTheMatch) {
  auto peer = StartMatch();
  ASSERT_NE(peer, nullptr);
  peer->Close();
  ASSERT_TRUE(WaitFor([&] {
    Frame();
    return FChat->Active;
  }));
  EXPECT_FALSE(FGame->InMatch());
  EXPECT_TRUE(FGame->Session->Lost());
  EXPECT_EQ(Errors(*FChat->Desktop).back(), "Connection to server lost.");
}

} // namespace
