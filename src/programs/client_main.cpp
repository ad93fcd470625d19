// The game client: an 800 x 600 OpenGL window (full screen with "-fs" as the first argument)
// that leads from the login screen through the lobby to the game. Reads its media from
// "media/" under the working directory when media/login.ui is there, else from the data folder
// installed with it (share/fjordfront beside the folder of the program), which it then works
// in. Exits with status 1 when it finds no media, when there is no X display, when the window
// cannot be opened or a media file it needs is missing or broken, with the reason on standard
// error. "--help" and "--version" as the first argument answer and end.
#include "app/fpu_control.h"
#include "app/prog.h"
#include "app/screens/login_status.h"
#include "game_version.h"
#include "net/network.h"
#include "programs/client_options.h"
#include "programs/client_start.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

// Settles the media folder and the display; false, with the reason on standard error, when
// the game cannot start.
bool PrepareStart() {
  std::error_code error;
  const std::filesystem::path work = std::filesystem::current_path(error);
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  const TMediaSearch media = FindMedia(work, program, GAME_DATA_FROM_BIN, TLoginStatus::UI_FILE);
  if (media.Found.empty()) {
    std::fprintf(stderr, "client: %s\n", MediaNotFoundText(media, TLoginStatus::UI_FILE).c_str());
    return false;
  }
  std::filesystem::current_path(media.Found, error);
  if (error) {
    std::fprintf(stderr, "client: cannot work in %s: %s\n", media.Found.c_str(),
                 error.message().c_str());
    return false;
  }
  const std::string noDisplay = PrepareVideoDriver();
  if (!noDisplay.empty()) {
    std::fprintf(stderr, "client: cannot open the window: %s\n", noDisplay.c_str());
    return false;
  }
  return true;
}

} // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv, argv + argc);
  switch (ClientRequest(args)) {
  case TClientRequest::Help:
    std::fputs(ClientUsage(ProgramName(argv[0])).c_str(), stdout);
    return 0;
  case TClientRequest::Version:
    std::fputs(VersionLine(ProgramName(argv[0])).c_str(), stdout);
    return 0;
  case TClientRequest::Play:
    break;
  }
  Set8087CW(CLIENT_FPU_CONTROL_WORD);
  int status = 1;
  if (PrepareStart()) {
    status = 0;
    TProg prog;
    try {
      InitNetwork();
      if (!prog.Start(WantsFullScreen(args))) {
        std::fprintf(stderr, "client: cannot open the window: %s\n",
                     WindowFailureText(prog.Error).c_str());
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
