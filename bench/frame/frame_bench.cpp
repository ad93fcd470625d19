// Frame-rate benchmark of the client's drawing. It builds what the client builds at start-up
// (window, media manager, the four screens), then measures, on the client's own screens:
//   - the time from start to the first frame (the login screen, as the client shows it first);
//   - the lobby with 40 full chat lines, a full user list and 40 announced games, once as it
//     stands (its retained layer is drawn back) and once with a new chat line every frame (the
//     whole layer is drawn again each time);
//   - the game screen: tile map, three models and the animated figure under the GUI;
//   - a four-seat match on a 20 x 20 field with 96 units (every seat played by the computer, an
//     order every half second, every unit animating), its trees, health bars and the match
//     panel, seen from above the whole field, drawn by the match view.
// Every frame is a whole pass of the screen's DoLoop, buffer swap included, with the SDL event
// queue drained in between as the client's loop does. For scale it also draws an empty desktop
// (background, cursor and swap only).
//
// Usage (needs an X display; software rendering as on the test machines):
//   xvfb-run -a -s "-screen 0 800x600x24 -noreset" env LIBGL_ALWAYS_SOFTWARE=1 frame_bench
//   [--frames N] [--only lobby|empty|game|match]
// The media are read from the project's media/ directory.

#include "app/connection.h"
#include "app/desktop_screen.h"
#include "app/event_listener.h"
#include "app/global.h"
#include "app/key_state.h"
#include "app/main_loop.h"
#include "app/match_view.h"
#include "app/prog.h"
#include "app/screen.h"
#include "app/screens/chat_status.h"
#include "app/screens/game_creation_status.h"
#include "app/screens/game_status.h"
#include "app/screens/login_status.h"
#include "app/screens/screens.h"
#include "gfx/media_manager.h"
#include "gui/list.h"
#include "match_screen.h"

#include <GL/gl.h>
#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

constexpr int DEFAULT_FRAMES = 600;
constexpr int WARM_UP_FRAMES = 20;
constexpr int CHAT_LINES = 40;
constexpr int USERS = 40;
constexpr int GAMES = 40;

double Seconds(TClock::duration D) {
  return std::chrono::duration<double>(D).count();
}

void DrainEvents() {
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
  }
}

// Processor time of the whole process (every renderer thread included), in seconds.
double ProcessSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

struct TRate {
  double BestFps = 0;   // the best round, frames per second of wall-clock time
  double MedianFps = 0; // the median round
  double CpuMs = 0;     // processor milliseconds per frame over all rounds, all threads together
};

// The machine is shared, so the frames are drawn in ROUNDS rounds: the best round shows what
// the drawing costs, the median what a user would see under the same load.
constexpr int ROUNDS = 5;

// Draws Frames frames of Screen; Step, if given, runs before each frame.
TRate Measure(TEventListener& Screen, int Frames, const std::function<void()>& Step = {}) {
  auto frame = [&] {
    DrainEvents();
    if (Step) {
      Step();
    }
    Screen.DoLoop();
  };
  for (int i = 0; i < WARM_UP_FRAMES; ++i) {
    frame();
  }
  glFinish();
  const int perRound = std::max(1, Frames / ROUNDS);
  std::vector<double> rates;
  const double cpuStart = ProcessSeconds();
  for (int round = 0; round < ROUNDS; ++round) {
    const auto start = TClock::now();
    for (int i = 0; i < perRound; ++i) {
      frame();
    }
    glFinish();
    rates.push_back(perRound / Seconds(TClock::now() - start));
  }
  std::sort(rates.begin(), rates.end());
  return {rates.back(), rates[rates.size() / 2],
          1000 * (ProcessSeconds() - cpuStart) / (perRound * ROUNDS)};
}

void Report(const char* What, TRate Rate, const std::string& Detail) {
  std::printf("%-16s best %7.1f  median %7.1f frames/s  %6.2f ms processor/frame  (%s)\n", What,
              Rate.BestFps, Rate.MedianFps, Rate.CpuMs, Detail.c_str());
}

template <class T, class... TArgs>
std::unique_ptr<T> Build(const char* What, const TArgs&... Args) {
  try {
    return std::make_unique<T>(Args...);
  } catch (const std::exception& E) {
    std::printf("%s cannot be built: %s\n", What, E.what());
    return nullptr;
  }
}

std::string ChatLine(int I) {
  return "<player" + std::to_string(I % USERS) + "> " +
         "anyone up for a game on the river map tonight? " + std::to_string(I);
}

// Fills the lobby as a busy evening would: every list at its fullest.
int FillLobby(TChatStatus& Lobby) {
  int glyphs = 0;
  for (int i = 0; i < CHAT_LINES; ++i) {
    const std::string line = ChatLine(i);
    Lobby.AddChatList(line);
    glyphs += static_cast<int>(line.size());
  }
  if (Lobby.UserList != nullptr) {
    for (int i = 0; i < USERS; ++i) {
      Lobby.UserList->FStrings.push_back("player" + std::to_string(i));
      glyphs += static_cast<int>(Lobby.UserList->FStrings.back().size());
    }
  }
  for (int i = 0; i < GAMES; ++i) {
    Lobby.AddGame(std::to_string(i + 1), "evening match " + std::to_string(i), "river",
                  std::to_string(1000 + i), "player" + std::to_string(i % USERS));
  }
  return glyphs;
}

int CountTrees(const TGame& Game) {
  int trees = 0;
  for (int32_t y = 0; Game.Map && y < Game.Map->SizeY; ++y) {
    for (int32_t x = 0; x < Game.Map->SizeX; ++x) {
      trees += HasTree(Game, x, y) ? 1 : 0;
    }
  }
  return trees;
}

} // namespace

int main(int argc, char** argv) {
  const auto start = TClock::now();
  int frames = DEFAULT_FRAMES;
  std::string only; // one measurement by its name, or all of them
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--frames" && i + 1 < argc) {
      frames = std::atoi(argv[++i]);
    } else if (std::string(argv[i]) == "--only" && i + 1 < argc) {
      only = argv[++i];
    } else {
      std::fprintf(stderr, "usage: frame_bench [--frames N] [--only lobby|empty|game|match]\n");
      return 2;
    }
  }
  if (frames <= 0 || chdir(PROJECT_ROOT) != 0) {
    std::fprintf(stderr, "frame_bench: bad frame count or project root %s\n", PROJECT_ROOT);
    return 2;
  }

  // What the client's start-up builds, in its order.
  TScreen screen(CLIENT_CAPTION, CLIENT_WIDTH, CLIENT_HEIGHT,
                 std::getenv("BPP") ? std::atoi(std::getenv("BPP")) : 16, false, 500.0f);
  if (!screen.Initialize()) {
    std::fprintf(stderr, "frame_bench: no window (%s); run under xvfb-run\n", SDL_GetError());
    return 1;
  }
  TKeyState keys;
  TFileMediaManager man;
  TOpenGLRealtimeLoop loop;
  TConnection conn;
  Global.Screen = &screen;
  Global.KeyState = &keys;
  Global.Man = &man;
  Global.Loop = &loop;
  Global.Conn = &conn;
  Global.UserName = "me";
  TProg prog;
  prog.InitGL();
  auto login = Build<TLoginStatus>("login screen");
  auto lobby = Build<TChatStatus>("lobby screen");
  auto creation = Build<TGameCreationStatus>("game creation screen");
  auto game = Build<TGameStatus>("game screen");
  LoginStatus = login.get();
  ChatStatus = lobby.get();
  GameCreationStatus = creation.get();
  GameStatus = game.get();

  std::printf("renderer: %s; %d frames per measurement\n",
              reinterpret_cast<const char*>(glGetString(GL_RENDERER)), frames);
  if (login != nullptr) {
    ChangeListener(login.get());
    login->DoLoop();
    glFinish();
    std::printf("%-16s %7.1f ms\n", "first frame", 1000 * Seconds(TClock::now() - start));
  }
  if (lobby != nullptr && (only.empty() || only == "lobby")) {
    ChangeListener(lobby.get());
    const int glyphs = FillLobby(*lobby);
    Global.MX = 400;
    Global.MY = 300;
    Report("lobby", Measure(*lobby, frames),
           std::to_string(CHAT_LINES) + " chat lines, " + std::to_string(USERS) + " users, " +
               std::to_string(GAMES) + " games; " + std::to_string(glyphs) +
               " glyphs in the chat page's lists; nothing changes");
    // The worst case for the retained layer: the chat scrolls by a line every frame.
    int next = CHAT_LINES;
    Report("lobby, chatting",
           Measure(*lobby, frames, [&] { lobby->AddChatList(ChatLine(next++)); }),
           "the same with a new chat line every frame");
  }
  if (only.empty() || only == "empty") {
    // For scale: a frame with an empty desktop is the background, the cursor and the swap.
    TDesktopScreen empty;
    ChangeListener(&empty);
    Report("empty desktop", Measure(empty, frames), "background, cursor, buffer swap");
    ActiveEvent = nullptr;
  }
  if (game != nullptr && (only.empty() || only == "game")) {
    ChangeListener(game.get());
    Global.MX = 400; // inside the window: no edge scrolling
    Global.MY = 300;
    Report("game", Measure(*game, frames), "64 x 64 tile map, 3 models, 1 animated");
  }
  std::unique_ptr<TLocalMatchScreen> match;
  {
    TLocalMatchSetup setup;
    setup.PlayerSeat = -1; // the computer plays every seat
    match = Build<TLocalMatchScreen>("match screen", setup);
  }
  if (match != nullptr && (only.empty() || only == "match")) {
    ChangeListener(match.get());
    Global.MX = 400; // inside the window: no edge scrolling
    Global.MY = 300;
    const TRate rate = Measure(*match, frames);
    Report("match", rate,
           std::to_string(match->Game->Units.Count()) + " units, " +
               std::to_string(match->View->UnitsDrawn()) + " drawn in the last frame, " +
               std::to_string(CountTrees(*match->Game)) + " trees, 4 seats, round " +
               std::to_string(match->Game->Turns));
  }
  ActiveEvent = nullptr;
  match.reset();
  Global = TGlobal{};
  return (login && lobby && game && match) ? 0 : 1;
}
