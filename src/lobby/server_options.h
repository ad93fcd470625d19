// The server program's command line: where to listen and every limit of TServerLimits.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lobby/server_limits.h"

struct TServerOptions {
  int32_t Port = 50401;
  std::string Address; // "" for all interfaces
  bool Help = false;
  bool Version = false;
  TServerLimits Limits;
};

// Fills Options from the arguments after the program name; answers an error text ("unknown
// option: -x", "invalid value for --max-per-ip: abc"), or "" when all were understood.
std::string ParseServerOptions(int Count, const char* const* Args, TServerOptions& Options);

// One row of the table of options that --help and the manual page print.
struct TServerOptionRow {
  const char* Option;  // the option with its value's name, such as "--port N"
  const char* Text;    // what it does; a "\n" continues on the next line of --help
  std::string Default; // the default value, "" when there is none
};

// Every option with its default, in the order --help lists them.
std::vector<TServerOptionRow> ServerOptionRows();

// What the program does (under the usage line) and what the signals do (after the options).
inline constexpr const char* SERVER_SUMMARY =
    "Runs the game lobby and logs every event on standard output.";
inline constexpr const char* SERVER_SIGNALS =
    "SIGUSR1 writes the summary line at once; SIGINT or SIGTERM stops the server.";

// The --help text for the program started as Program, with every option and its default.
std::string ServerUsage(const std::string& Program = "server");
