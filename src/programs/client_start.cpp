#include "programs/client_start.h"

#include <cstdlib>
#include <system_error>

namespace {

constexpr const char* X11_DRIVER = "x11";

bool HoldsMarker(const std::filesystem::path& Folder, const std::string& Marker) {
  std::error_code error;
  return std::filesystem::is_regular_file(Folder / Marker, error);
}

std::string Environment(const char* Name) {
  const char* value = std::getenv(Name);
  return value != nullptr ? value : "";
}

} // namespace

TMediaSearch FindMedia(const std::filesystem::path& WorkFolder,
                       const std::filesystem::path& Program, const std::string& DataFromBin,
                       const std::string& Marker) {
  TMediaSearch search;
  search.WorkFolder = WorkFolder;
  search.Installed = (Program.parent_path() / DataFromBin).lexically_normal();
  if (HoldsMarker(search.WorkFolder, Marker)) {
    search.Found = search.WorkFolder;
  } else if (!Program.empty() && HoldsMarker(search.Installed, Marker)) {
    search.Found = search.Installed;
  }
  return search;
}

std::string MediaNotFoundText(const TMediaSearch& Search, const std::string& Marker) {
  return "cannot find the game's media: looked for " + Marker + " in " +
         Search.WorkFolder.string() + " (the working folder) and in " + Search.Installed.string() +
         " (the installed data)";
}

std::string PrepareVideoDriver() {
  // SDL takes an empty name for a driver it does not have.
  if (Environment("SDL_VIDEODRIVER").empty()) {
    setenv("SDL_VIDEODRIVER", X11_DRIVER, 1);
  }
  if (Environment("SDL_VIDEODRIVER") == X11_DRIVER && Environment("DISPLAY").empty()) {
    return "no X display: DISPLAY is not set";
  }
  return "";
}

std::string WindowFailureText(const std::string& SdlError) {
  if (Environment("SDL_VIDEODRIVER") == X11_DRIVER) {
    return "no window on the X display " + Environment("DISPLAY") + ": " + SdlError;
  }
  return SdlError;
}
