#pragma once
// The client's shared objects, reachable from every screen. The record only refers to them:
// the client's start-up creates and owns each object and keeps it alive for the whole run.

#include <chrono>
#include <functional>
#include <string>

class TKeyState;
class TScreen;
class TOpenGLGenericLoop;
class TGenericMediaManager;
class TConnection;
class TLobbyState;

// The time now, by the clock that frames measure their budgets with.
using TClockNow = std::function<std::chrono::steady_clock::time_point()>;

struct TGlobal {
  TKeyState* KeyState = nullptr;
  TScreen* Screen = nullptr;
  // The main loop (a TOpenGLRealtimeLoop in the client).
  TOpenGLGenericLoop* Loop = nullptr;
  // Gives textures, meshes and sounds by bare name.
  TGenericMediaManager* Man = nullptr;
  // Last mouse position in window pixels, origin top-left.
  int MX = 0;
  int MY = 0;
  // The connection to the lobby server.
  TConnection* Conn = nullptr;
  // The user name the server accepted at login; empty until then.
  std::string UserName;
  // What the client knows of the lobby, kept up to date by the message parser.
  TLobbyState* Lobby = nullptr;
  // The clock of the frames' time budgets; when empty, std::chrono::steady_clock. Tests put a
  // fake one here.
  TClockNow Clock;
};

extern TGlobal Global;
