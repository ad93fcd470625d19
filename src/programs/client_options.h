// The client's command line: the table of options that --help and the manual page print, and
// what a command line asks for. Only the first argument counts; the rest are ignored.
#pragma once

#include <string>
#include <vector>

struct TClientOption {
  const char* Option; // "-fs"
  const char* Text;   // what it does
};

// What the program does, in one sentence (under the usage line, and in the manual page).
inline constexpr const char* CLIENT_SUMMARY =
    "Plays the game: log in to a lobby server, chat, announce games and play them.";

// -fs, --help and --version, in the order the help lists them.
const std::vector<TClientOption>& ClientOptions();

// What a command line asks for: the game (in a window or full screen) or one of the answers.
enum class TClientRequest { Play, Help, Version };
TClientRequest ClientRequest(const std::vector<std::string>& Args);

// The --help text for the program started as Program.
std::string ClientUsage(const std::string& Program);
