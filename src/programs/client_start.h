// What the client settles before it opens its window: the folder it reads its media from, and
// whether there is an X display to open the window on.
#pragma once

#include <filesystem>
#include <string>

// Where the media were looked for, and where they were found.
struct TMediaSearch {
  std::filesystem::path WorkFolder; // the working folder, used when it holds the marker file
  std::filesystem::path Installed;  // the data folder installed with the program
  std::filesystem::path Found;      // one of the two, or empty when neither holds the marker
};

// Marker is a file every media set has, relative to the folder that holds media/ (such as
// "media/login.ui"). The working folder wins, so that a client started in the project's folder
// reads the project's media; otherwise the data folder DataFromBin (relative to the folder of
// Program, the running executable) is used when it holds the marker.
TMediaSearch FindMedia(const std::filesystem::path& WorkFolder,
                       const std::filesystem::path& Program, const std::string& DataFromBin,
                       const std::string& Marker);

// The one-line report for a search that found nothing, naming both places.
std::string MediaNotFoundText(const TMediaSearch& Search, const std::string& Marker);

// Makes SDL use its X11 video driver unless SDL_VIDEODRIVER names one, so that a missing
// display is reported rather than met with SDL's text-mode drivers. Answers why no window can
// open ("no X display: DISPLAY is not set") or "" when the window may be tried.
std::string PrepareVideoDriver();

// The one-line report for a window that did not open, given SDL's reason.
std::string WindowFailureText(const std::string& SdlError);
