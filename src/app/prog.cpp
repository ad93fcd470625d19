#include "app/prog.h"

#include "app/connection.h"
#include "app/event_listener.h"
#include "app/global.h"
#include "app/key_state.h"
#include "app/lighting.h"
#include "app/lobby_state.h"
#include "app/main_loop.h"
#include "app/screen.h"
#include "app/screens/chat_status.h"
#include "app/screens/game_creation_status.h"
#include "app/screens/game_status.h"
#include "app/screens/login_status.h"
#include "app/screens/screens.h"
#include "gfx/media_manager.h"

#include <GL/gl.h>
#include <SDL.h>

namespace {

constexpr int CLIENT_BPP = 16;
constexpr float CLIENT_FAR_CLIP = 500.0f;
constexpr int KEY_REPEAT_DELAY_MS = 500;
constexpr int KEY_REPEAT_INTERVAL_MS = 30;

} // namespace

bool WantsFullScreen(const std::vector<std::string>& Args) {
  return Args.size() > 1 && Args[1] == FULL_SCREEN_OPTION;
}

TProg::TProg() = default;

TProg::~TProg() {
  ReleaseObjects();
  FScreen.reset();
}

bool TProg::Start(bool FullScreen) {
  FScreen = std::make_unique<TScreen>(CLIENT_CAPTION, CLIENT_WIDTH, CLIENT_HEIGHT, CLIENT_BPP,
                                      FullScreen, CLIENT_FAR_CLIP);
  Global.Screen = FScreen.get();
  if (!FScreen->Initialize()) {
    Error = SDL_GetError();
    return false;
  }
  FKeyState = std::make_unique<TKeyState>();
  Global.KeyState = FKeyState.get();
  FMan = std::make_unique<TFileMediaManager>();
  Global.Man = FMan.get();
  FLoop = std::make_unique<TOpenGLRealtimeLoop>();
  Global.Loop = FLoop.get();
  FConn = std::make_unique<TConnection>();
  Global.Conn = FConn.get();
  FLobby = std::make_unique<TLobbyState>();
  Global.Lobby = FLobby.get();

  InitGL();
  FLoginStatus = std::make_unique<TLoginStatus>();
  LoginStatus = FLoginStatus.get();
  FChatStatus = std::make_unique<TChatStatus>();
  ChatStatus = FChatStatus.get();
  FGameCreationStatus = std::make_unique<TGameCreationStatus>();
  GameCreationStatus = FGameCreationStatus.get();
  FGameStatus = std::make_unique<TGameStatus>();
  GameStatus = FGameStatus.get();

  ChangeListener(LoginStatus);
  Global.Loop->StartLoop();
  return true;
}

void TProg::InitGL() {
  glMatrixMode(GL_MODELVIEW);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_LIGHTING);
  glClearColor(0, 0, 0, 0);
  SDL_EnableKeyRepeat(KEY_REPEAT_DELAY_MS, KEY_REPEAT_INTERVAL_MS);
  SDL_EnableUNICODE(1);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glLightfv(GL_LIGHT1, GL_AMBIENT, LightAmbient);
  glLightfv(GL_LIGHT1, GL_DIFFUSE, LightDiffuse);
  glLightfv(GL_LIGHT1, GL_POSITION, LightPosition);
  glEnable(GL_LIGHT1);
}

void TProg::Cleanup() {
  ReleaseObjects();
  if (FScreen != nullptr && FScreen->IsActive()) {
    FScreen->Finalize();
  }
}

void TProg::ReleaseObjects() {
  // The current screen is left without a call to its Exit: the program is ending.
  ActiveEvent = nullptr;
  GameStatus = nullptr;
  GameCreationStatus = nullptr;
  ChatStatus = nullptr;
  LoginStatus = nullptr;
  FGameStatus.reset();
  FGameCreationStatus.reset();
  FChatStatus.reset();
  FLoginStatus.reset();
  Global.Lobby = nullptr;
  FLobby.reset();
  Global.Conn = nullptr;
  FConn.reset();
  Global.Loop = nullptr;
  FLoop.reset();
  Global.Man = nullptr;
  FMan.reset();
  Global.KeyState = nullptr;
  FKeyState.reset();
}
