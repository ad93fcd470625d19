#include "app/event_listener.h"
#include "app/global.h"
#include "app/main_loop.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The loops only need SDL's event queue, which the dummy video driver provides without any
// display.
class LoopTest : public ::testing::Test {
protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
    }
  }
  void TearDown() override {
    Global = TGlobal{};
    ActiveEvent = nullptr;
    SDL_Quit();
    unsetenv("SDL_VIDEODRIVER");
  }
};

void PushKey(Uint8 Type, SDLKey Sym, Uint16 Unicode = 0) {
  SDL_Event e{};
  e.type = Type;
  e.key.type = Type;
  e.key.keysym.sym = Sym;
  e.key.keysym.unicode = Unicode;
  ASSERT_EQ(SDL_PushEvent(&e), 0);
}

void PushMotion(Uint16 X, Uint16 Y) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.type = SDL_MOUSEMOTION;
  e.motion.x = X;
  e.motion.y = Y;
  ASSERT_EQ(SDL_PushEvent(&e), 0);
}

void PushButton(Uint8 Type, Uint8 Button, Uint16 X, Uint16 Y) {
  SDL_Event e{};
  e.type = Type;
  e.button.type = Type;
  e.button.button = Button;
  e.button.x = X;
  e.button.y = Y;
  ASSERT_EQ(SDL_PushEvent(&e), 0);
}

void PushType(Uint8 Type) {
  SDL_Event e{};
  e.type = Type;
  ASSERT_EQ(SDL_PushEvent(&e), 0);
}

// Wires all six callbacks of a loop to a log of what arrived.
void Record(TOpenGLGenericLoop& L, std::vector<std::string>& Log) {
  L.SetCycleEvent([&Log] { Log.push_back("frame"); });
  L.SetKeyDownEvent([&Log](const SDL_KeyboardEvent& E) {
    Log.push_back("down " + std::to_string(E.keysym.sym) + " " + std::to_string(E.keysym.unicode));
  });
  L.SetKeyUpEvent(
      [&Log](const SDL_KeyboardEvent& E) { Log.push_back("up " + std::to_string(E.keysym.sym)); });
  L.SetMouseMoveEvent([&Log](const SDL_MouseMotionEvent& E) {
    Log.push_back("move " + std::to_string(E.x) + "," + std::to_string(E.y));
  });
  L.SetMouseDownEvent([&Log](const SDL_MouseButtonEvent& E) {
    Log.push_back("press " + std::to_string(E.button) + " " + std::to_string(E.x) + "," +
                  std::to_string(E.y));
  });
  L.SetMouseUpEvent([&Log](const SDL_MouseButtonEvent& E) {
    Log.push_back("release " + std::to_string(E.button) + " " + std::to_string(E.x) + "," +
                  std::to_string(E.y));
  });
}

TEST_F(LoopTest, RealtimeLoopDispatchesEverySixKindsThenDrawsOneFrame) {
  TOpenGLRealtimeLoop loop;
  std::vector<std::string> log;
  Record(loop, log);
  PushKey(SDL_KEYDOWN, SDLK_a, 'a');
  PushKey(SDL_KEYUP, SDLK_a);
  PushMotion(799, 12);
  PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 5, 6);
  PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 7, 8);
  PushType(SDL_ACTIVEEVENT); // ignored
  PushType(SDL_QUIT);
  loop.StartLoop();
  const std::vector<std::string> expected = {"down 97 97",  "up 97",         "move 799,12",
                                             "press 1 5,6", "release 3 7,8", "frame"};
  EXPECT_EQ(log, expected);
  EXPECT_TRUE(loop.FDone);
}

TEST_F(LoopTest, EachPassDrawsExactlyOneFrameAfterTheQueueIsEmpty) {
  TOpenGLRealtimeLoop loop;
  std::vector<std::string> log;
  Record(loop, log);
  loop.SingleLoop();
  PushMotion(1, 2);
  PushMotion(3, 4);
  loop.SingleLoop();
  loop.SingleLoop();
  const std::vector<std::string> expected = {"frame", "move 1,2", "move 3,4", "frame", "frame"};
  EXPECT_EQ(log, expected);
  EXPECT_FALSE(loop.FDone);
}

TEST_F(LoopTest, QuitStillDispatchesTheQueuedEventsAndDrawsOneFrame) {
  TOpenGLRealtimeLoop loop;
  std::vector<std::string> log;
  Record(loop, log);
  PushType(SDL_QUIT);
  PushKey(SDL_KEYDOWN, SDLK_RETURN, 13);
  PushMotion(10, 20);
  loop.StartLoop();
  const std::vector<std::string> expected = {"down 13 13", "move 10,20", "frame"};
  EXPECT_EQ(log, expected);
}

TEST_F(LoopTest, StopLoopInsideAHandlerFinishesThePass) {
  TOpenGLRealtimeLoop loop;
  std::vector<std::string> log;
  Record(loop, log);
  loop.SetKeyDownEvent([&](const SDL_KeyboardEvent&) {
    log.push_back("stop");
    loop.StopLoop();
  });
  PushKey(SDL_KEYDOWN, SDLK_ESCAPE, 27);
  PushMotion(1, 1);
  loop.StartLoop();
  const std::vector<std::string> expected = {"stop", "move 1,1", "frame"};
  EXPECT_EQ(log, expected);
}

TEST_F(LoopTest, StopLoopFromTheFrameEndsTheLoop) {
  TOpenGLRealtimeLoop loop;
  int frames = 0;
  loop.SetCycleEvent([&] {
    if (++frames == 3) {
      loop.StopLoop();
    }
  });
  loop.StartLoop();
  EXPECT_EQ(frames, 3);
}

TEST_F(LoopTest, EventsWithoutACallbackAreDropped) {
  TOpenGLRealtimeLoop loop;
  int frames = 0;
  loop.SetCycleEvent([&] { ++frames; });
  PushKey(SDL_KEYDOWN, SDLK_a, 'a');
  PushKey(SDL_KEYUP, SDLK_a);
  PushMotion(1, 1);
  PushButton(SDL_MOUSEBUTTONDOWN, 1, 1, 1);
  PushButton(SDL_MOUSEBUTTONUP, 1, 1, 1);
  PushType(SDL_QUIT);
  loop.StartLoop();
  EXPECT_EQ(frames, 1);
  SDL_Event e;
  EXPECT_EQ(SDL_PollEvent(&e), 0);
}

TEST_F(LoopTest, AHandlerMayReplaceItsOwnCallback) {
  // The replaced function object must not be destroyed while it runs; big captures live on
  // the heap, where a sanitizer build would see the use after free.
  TOpenGLRealtimeLoop loop;
  std::vector<std::string> log;
  std::string big(200, 'x');
  loop.SetKeyDownEvent([&, big](const SDL_KeyboardEvent&) {
    loop.SetKeyDownEvent([&](const SDL_KeyboardEvent&) { log.push_back("second"); });
    log.push_back("first " + std::to_string(big.size()));
  });
  PushKey(SDL_KEYDOWN, SDLK_a);
  PushKey(SDL_KEYDOWN, SDLK_b);
  PushType(SDL_QUIT);
  loop.StartLoop();
  const std::vector<std::string> expected = {"first 200", "second"};
  EXPECT_EQ(log, expected);
}

TEST_F(LoopTest, StaticLoopDrawsOnExposeAndStopsThroughAQuitEvent) {
  TOpenGLStaticLoop loop;
  std::vector<std::string> log;
  Record(loop, log);
  PushMotion(4, 5);
  PushType(SDL_VIDEOEXPOSE);
  loop.SetKeyDownEvent([&](const SDL_KeyboardEvent&) {
    log.push_back("key");
    loop.StopLoop();
  });
  PushKey(SDL_KEYDOWN, SDLK_q);
  loop.StartLoop();
  const std::vector<std::string> expected = {"move 4,5", "frame", "key"};
  EXPECT_EQ(log, expected);
}

TEST_F(LoopTest, StaticLoopCanDrawAfterEveryEvent) {
  TOpenGLStaticLoop loop;
  loop.CallCycleAfterEvents = true;
  std::vector<std::string> log;
  Record(loop, log);
  PushMotion(1, 1);
  PushType(SDL_VIDEOEXPOSE);
  PushType(SDL_QUIT);
  loop.StartLoop();
  const std::vector<std::string> expected = {"move 1,1", "frame", "frame", "frame", "frame"};
  EXPECT_EQ(log, expected);
}

TEST_F(LoopTest, StaticLoopEndsWhenNoEventCanEverArrive) {
  SDL_Quit();
  TOpenGLStaticLoop loop;
  int frames = 0;
  loop.SetCycleEvent([&] { ++frames; });
  loop.StartLoop(); // would spin for ever if a failed wait were ignored
  EXPECT_TRUE(loop.FDone);
  EXPECT_EQ(frames, 0);
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
}

// A screen that logs what reaches it, under a name.
class LoggingListener : public TEventListener {
public:
  LoggingListener(std::string N, std::vector<std::string>& L) : Name(std::move(N)), Log(L) {}
  void Enter() override { Log.push_back(Name + " enter"); }
  void Exit() override { Log.push_back(Name + " exit"); }
  void DoLoop() override { Log.push_back(Name + " frame"); }
  void KeyDownEvent(const SDL_KeyboardEvent& E) override {
    Log.push_back(Name + " down " + std::to_string(E.keysym.sym));
    if (Next != nullptr && E.keysym.sym == SDLK_TAB) {
      ChangeListener(Next);
    }
  }
  void KeyUpEvent(const SDL_KeyboardEvent&) override { Log.push_back(Name + " up"); }
  void MouseDownEvent(const SDL_MouseButtonEvent&) override { Log.push_back(Name + " press"); }
  void MouseUpEvent(const SDL_MouseButtonEvent&) override { Log.push_back(Name + " release"); }
  void MouseMoveEvent(const SDL_MouseMotionEvent&) override { Log.push_back(Name + " move"); }

  std::string Name;
  std::vector<std::string>& Log;
  TEventListener* Next = nullptr;
};

TEST_F(LoopTest, FirstChangeListenerEntersWithoutAnExit) {
  TOpenGLRealtimeLoop loop;
  Global.Loop = &loop;
  std::vector<std::string> log;
  LoggingListener a("a", log);
  ChangeListener(&a);
  EXPECT_EQ(log, std::vector<std::string>{"a enter"});
  EXPECT_TRUE(a.Active);
  EXPECT_EQ(ActiveEvent, &a);
}

TEST_F(LoopTest, ChangeListenerWiresAllSixCallbacksToTheNewScreen) {
  TOpenGLRealtimeLoop loop;
  Global.Loop = &loop;
  std::vector<std::string> log;
  LoggingListener a("a", log), b("b", log);
  ChangeListener(&a);
  ChangeListener(&b);
  EXPECT_FALSE(a.Active);
  EXPECT_TRUE(b.Active);
  log.clear();
  PushKey(SDL_KEYDOWN, SDLK_a);
  PushKey(SDL_KEYUP, SDLK_a);
  PushMotion(1, 1);
  PushButton(SDL_MOUSEBUTTONDOWN, 1, 1, 1);
  PushButton(SDL_MOUSEBUTTONUP, 1, 1, 1);
  loop.SingleLoop();
  const std::vector<std::string> expected = {"b down 97", "b up",      "b move",
                                             "b press",   "b release", "b frame"};
  EXPECT_EQ(log, expected);
}

TEST_F(LoopTest, ChangeListenerToTheCurrentScreenRunsExitAndEnterAgain) {
  TOpenGLRealtimeLoop loop;
  Global.Loop = &loop;
  std::vector<std::string> log;
  LoggingListener a("a", log);
  ChangeListener(&a);
  ChangeListener(&a);
  const std::vector<std::string> expected = {"a enter", "a exit", "a enter"};
  EXPECT_EQ(log, expected);
  EXPECT_TRUE(a.Active);
  loop.SingleLoop();
  EXPECT_EQ(log.back(), "a frame");
}

TEST_F(LoopTest, ScreenSwitchInsideAHandlerSendsTheRestOfTheBatchAndTheFrameToTheNewScreen) {
  TOpenGLRealtimeLoop loop;
  Global.Loop = &loop;
  std::vector<std::string> log;
  LoggingListener a("a", log), b("b", log);
  a.Next = &b;
  ChangeListener(&a);
  log.clear();
  PushKey(SDL_KEYDOWN, SDLK_TAB);
  PushMotion(3, 3);
  PushKey(SDL_KEYUP, SDLK_TAB);
  PushType(SDL_QUIT);
  loop.StartLoop();
  const std::vector<std::string> expected = {"a down 9", "a exit", "b enter",
                                             "b move",   "b up",   "b frame"};
  EXPECT_EQ(log, expected);
}

TEST_F(LoopTest, DestroyedCurrentScreenIsNoLongerCurrent) {
  std::vector<std::string> log;
  {
    LoggingListener a("a", log);
    ChangeListener(&a);
    EXPECT_EQ(ActiveEvent, &a);
  }
  EXPECT_EQ(ActiveEvent, nullptr);
}

} // namespace
