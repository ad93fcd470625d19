// The lobby server: listens on port 50401 of every interface unless told otherwise, logs every
// event on standard output, writes a summary line on SIGUSR1, and runs until SIGINT or SIGTERM.
// "--help" and "--version" answer and end.
#include "game_version.h"
#include "lobby/game_server.h"
#include "lobby/logger.h"
#include "lobby/server_options.h"
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

void StopOnSignal(int) {
  if (TGameServer* server = Server.load())
    server->Stop();
}

void SummaryOnSignal(int) {
  if (TGameServer* server = Server.load())
    server->RequestSummary();
}

// Interrupted writes of the log resume; the wait for traffic is woken by the handlers anyway.
void Handle(int Signal, void (*Handler)(int)) {
  struct sigaction action {};
  action.sa_handler = Handler;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  sigaction(Signal, &action, nullptr);
}

} // namespace

int main(int argc, char** argv) {
  TServerOptions options;
  const std::string program = ProgramName(argv[0]);
  std::string error = ParseServerOptions(argc - 1, argv + 1, options);
  if (!error.empty()) {
    std::fprintf(stderr, "server: %s\n%s", error.c_str(), ServerUsage(program).c_str());
    return 2;
  }
  if (options.Help) {
    std::fputs(ServerUsage(program).c_str(), stdout);
    return 0;
  }
  if (options.Version) {
    std::fputs(VersionLine(program).c_str(), stdout);
    return 0;
  }
  // A summary asked for before the lobby exists is ignored rather than ending the process.
  Handle(SIGUSR1, SummaryOnSignal);
  try {
    InitNetwork();
    LOG("Starting server..");
    auto server = std::make_unique<TGameServer>(options.Limits);
    Server.store(server.get());
    Handle(SIGINT, StopOnSignal);
    Handle(SIGTERM, StopOnSignal);
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
