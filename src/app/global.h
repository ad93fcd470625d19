#pragma once
// The client's shared objects, reachable from every screen. The record only refers to them:
// the client's start-up creates and owns each object and keeps it alive for the whole run.

#include <string>

class TKeyState;
class TScreen;
class TOpenGLGenericLoop;
class TGenericMediaManager;
class TConnection;

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
};

extern TGlobal Global;
