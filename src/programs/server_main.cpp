// The lobby server: listens on port 50401 of every interface unless told otherwise, logs every
// event on standard output, and runs until SIGINT or SIGTERM.
#include "lobby/game_server.h"
#include "lobby/logger.h"
#include "net/network.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>

namespace {

// The one lobby of this process, for the signal handlers (null while there is none).
std::atomic<TGameServer*> Server{nullptr};

const char* const Usage = "Usage: server [--port N] [--listen ADDR]\n"
                          "Runs the game lobby and logs every event on standard output.\n"
                          "  --port N       listen on TCP port N (1-65535, default 50401)\n"
                          "  --listen ADDR  listen on the interface with address or name ADDR\n"
                          "                 (default: all interfaces)\n"
                          "  --help         show this text\n"
                          "SIGINT or SIGTERM stops the server.\n";

struct TOptions {
  int32_t Port = TGameServer::DefaultPort;
  std::string Address;
  bool Help = false;
};

// Fills Options from the command line; answers an error text, or "" when it is fine.
std::string ParseOptions(int argc, char** argv, TOptions& Options) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      Options.Help = true;
    } else if (arg == "--port" || arg == "--listen") {
      if (i + 1 >= argc)
        return arg + " needs a value";
      std::string value = argv[++i];
      if (arg == "--listen") {
        Options.Address = value;
        continue;
      }
      char* end = nullptr;
      long port = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || port < 1 || port > 65535)
        return "invalid port: " + value;
      Options.Port = static_cast<int32_t>(port);
    } else {
      return "unknown option: " + arg;
    }
  }
  return "";
}

void StopOnSignal(int) {
  if (TGameServer* server = Server.load())
    server->Stop();
}

} // namespace

int main(int argc, char** argv) {
  TOptions options;
  std::string error = ParseOptions(argc, argv, options);
  if (!error.empty()) {
    std::fprintf(stderr, "server: %s\n%s", error.c_str(), Usage);
    return 2;
  }
  if (options.Help) {
    std::fputs(Usage, stdout);
    return 0;
  }
  try {
    InitNetwork();
    LOG("Starting server..");
    auto server = std::make_unique<TGameServer>();
    Server.store(server.get());
    struct sigaction action {};
    action.sa_handler = StopOnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    bool stopped = false;
    try {
      stopped = server->Start(options.Port, options.Address);
    } catch (...) {
      Server.store(nullptr);
      throw;
    }
    Server.store(nullptr);
    return stopped ? 0 : 1;
  } catch (const std::exception& e) {
    LOG(e.what());
    return 1;
  }
}
