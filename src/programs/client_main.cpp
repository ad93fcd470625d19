// The game client: an 800 x 600 OpenGL window (full screen with "-fs" as the first argument)
// that leads from the login screen through the lobby to the game. Reads its media from
// "media/" under the working directory. Exits with status 1 when the window cannot be opened
// or a media file it needs is missing or broken, with the reason on standard error.
#include "app/fpu_control.h"
#include "app/prog.h"
#include "net/network.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  Set8087CW(CLIENT_FPU_CONTROL_WORD);
  int status = 0;
  {
    TProg prog;
    try {
      InitNetwork();
      if (!prog.Start(WantsFullScreen(std::vector<std::string>(argv, argv + argc)))) {
        std::fprintf(stderr, "client: cannot open the window: %s\n", prog.Error.c_str());
        status = 1;
      }
    } catch (const std::exception& E) {
      std::fprintf(stderr, "client: %s\n", E.what());
      status = 1;
    }
    prog.Cleanup();
  }
  Set8087CW(DEFAULT_FPU_CONTROL_WORD);
  return status;
}
