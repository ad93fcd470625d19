#pragma once
// The client application: creates every long-lived object in a fixed order (window, key
// state, media manager, main loop, server connection, lobby state, OpenGL state, the four
// screens), makes the login screen current and runs the main loop until it stops. The objects
// are reachable through Global and the four screen variables while the program runs.

#include <memory>
#include <string>
#include <vector>

class TChatStatus;
class TConnection;
class TFileMediaManager;
class TGameCreationStatus;
class TGameStatus;
class TKeyState;
class TLobbyState;
class TLoginStatus;
class TOpenGLRealtimeLoop;
class TScreen;

// The window's caption.
inline constexpr const char* CLIENT_CAPTION = "Turn based game by {KAV}!";
// The only command-line option: full screen when it is the first argument.
inline constexpr const char* FULL_SCREEN_OPTION = "-fs";

// True exactly when the first argument (after the program name) is FULL_SCREEN_OPTION.
bool WantsFullScreen(const std::vector<std::string>& Args);

class TProg {
public:
  TProg();
  // Releases the screens and the media while the window still exists, then the window.
  ~TProg();
  TProg(const TProg&) = delete;
  TProg& operator=(const TProg&) = delete;

  // Builds everything and runs the main loop until it stops. Answers false, with the reason
  // in Error, when the window cannot be opened. A .ui or .model file that is missing or
  // broken raises an error naming the file.
  bool Start(bool FullScreen);
  // The client's OpenGL state: blending, culling, the light, key repeat and typed characters.
  void InitGL();
  // Closes the window.
  void Cleanup();

  std::string Error;

private:
  // Frees the screens and what they use before the window goes.
  void ReleaseObjects();

  std::unique_ptr<TScreen> FScreen;
  std::unique_ptr<TKeyState> FKeyState;
  std::unique_ptr<TFileMediaManager> FMan;
  std::unique_ptr<TOpenGLRealtimeLoop> FLoop;
  std::unique_ptr<TConnection> FConn;
  std::unique_ptr<TLobbyState> FLobby;
  std::unique_ptr<TLoginStatus> FLoginStatus;
  std::unique_ptr<TChatStatus> FChatStatus;
  std::unique_ptr<TGameCreationStatus> FGameCreationStatus;
  std::unique_ptr<TGameStatus> FGameStatus;
};
