// manpage: writes the manual pages of fjordfront-server and fjordfront-client into a folder.
// Their options come from the tables that the programs' --help prints.
// Usage: manpage OUTPUT_DIR
#include "game_version.h"
#include "lobby/server_options.h"
#include "manual_page.h"
#include "programs/client_options.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

const std::string SERVER = GAME_SERVER_NAME;
const std::string CLIENT = GAME_CLIENT_NAME;
const std::string OPTIONS_FILE = "/etc/default/" + SERVER;

std::string Source() {
  return std::string(GAME_TITLE) + " " + GAME_VERSION;
}

TManualPage ServerPage() {
  TManualPage page;
  page.Name = SERVER;
  page.Source = Source();
  page.Summary = std::string("the game lobby of ") + GAME_TITLE;
  page.Synopsis = "[options]";
  page.Description = {
      SERVER_SUMMARY,
      "Players log in with " + CLIENT +
          "(6), chat with everyone logged in and announce games that the others see. The "
          "lobby keeps nothing on disk: when it stops or restarts, every waiting room and match "
          "ends and the players log in again.",
      "Every log line is the time of day (hh:nn) and the event. Passwords never reach the log."};
  for (const TServerOptionRow& row : ServerOptionRows()) {
    page.Options.push_back({row.Option, row.Text, row.Default});
  }
  page.Sections = {
      {"Signals", {SERVER_SIGNALS}},
      {"Service",
       {"The package runs the lobby as the systemd service " + SERVER +
        ". Its command-line options go into FJORDFRONT_SERVER_OPTIONS in " + OPTIONS_FILE +
        "; systemctl restart " + SERVER +
        " applies them (and ends every waiting room and "
        "match), journalctl -u " +
        SERVER + " shows the log, and systemctl kill -s USR1 " + SERVER +
        " writes the summary line."}},
      {"Exit status",
       {"0 after SIGINT or SIGTERM and after --help or --version; 1 when the lobby cannot "
        "start (the port is taken, for instance); 2 for a wrong option."}},
      {"Files", {OPTIONS_FILE + ": the service's options."}},
      {"See also", {CLIENT + "(6), systemctl(1), journalctl(1)"}}};
  return page;
}

TManualPage ClientPage() {
  TManualPage page;
  page.Name = CLIENT;
  page.Source = Source();
  page.Summary = std::string("play ") + GAME_TITLE + ", a networked turn-based game";
  page.Synopsis = "[option]";
  page.Description = {
      CLIENT_SUMMARY,
      "The login screen asks for the lobby server (host or host:port, port 50401 when none is "
      "given), a user name and a password. Escape, or closing the window, ends the game.",
      std::string("The client reads its media from media/ in the working folder when "
                  "media/login.ui is there, and otherwise from the data folder installed with "
                  "it, ") +
          GAME_DATA_FROM_BIN +
          " from the folder of the program (/usr/share/fjordfront for the "
          "package). Only the first argument counts."};
  for (const TClientOption& row : ClientOptions()) {
    page.Options.push_back({row.Option, row.Text, ""});
  }
  page.Sections = {
      {"Environment",
       {"DISPLAY: the X display the window opens on; without one the client says so and ends.",
        "SDL_VIDEODRIVER: the video driver of SDL; x11 when it is not set."}},
      {"Exit status",
       {"0 when the player ends the game and after --help or --version; 1 when the client finds "
        "no media, no X display or no window, or a media file is missing or broken."}},
      {"See also", {SERVER + "(6)"}}};
  return page;
}

bool Write(const std::filesystem::path& Dir, const TManualPage& Page) {
  const std::filesystem::path file = Dir / (Page.Name + "." + std::to_string(Page.Section));
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << FormatManualPage(Page);
  out.close();
  if (!out) {
    std::fprintf(stderr, "manpage: cannot write %s\n", file.c_str());
  }
  return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  return Write(dir, ServerPage()) && Write(dir, ClientPage()) ? 0 : 1;
}
