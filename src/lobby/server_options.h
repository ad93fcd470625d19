// The server program's command line: where to listen and every limit of TServerLimits.
#pragma once

#include <cstdint>
#include <string>

#include "lobby/server_limits.h"

struct TServerOptions {
  int32_t Port = 50401;
  std::string Address; // "" for all interfaces
  bool Help = false;
  TServerLimits Limits;
};

// Fills Options from the arguments after the program name; answers an error text ("unknown
// option: -x", "invalid value for --max-per-ip: abc"), or "" when all were understood.
std::string ParseServerOptions(int Count, const char* const* Args, TServerOptions& Options);

// The --help text, with every option and its default.
std::string ServerUsage();
