// The server program run as a child process with its standard output read line by line.
#pragma once

#include <cctype>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace test_support {

class TServerProcess {
public:
  // Starts Program (by default the build tree's server) with Args.
  explicit TServerProcess(const std::vector<std::string>& Args,
                          const std::string& Program = BINARY_DIR "/server") {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
      return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    std::vector<std::string> args{Program};
    args.insert(args.end(), Args.begin(), Args.end());
    std::vector<char*> argv;
    for (auto& arg : args)
      argv.push_back(arg.data());
    argv.push_back(nullptr);
    if (posix_spawn(&FPid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
      FPid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    FOut = out[0];
  }
  ~TServerProcess() {
    if (FPid > 0 && !FStatus) {
      kill(FPid, SIGKILL);
      Wait(10000);
    }
    if (FOut >= 0)
      close(FOut);
  }
  TServerProcess(const TServerProcess&) = delete;
  TServerProcess& operator=(const TServerProcess&) = delete;

  bool Started() const { return FPid > 0; }
  void Signal(int Number) { kill(FPid, Number); }

  // The next line of output without its end of line; nothing on time-out or end of output.
  std::optional<std::string> ReadLine(int TimeoutMs = 10000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
    for (;;) {
      std::size_t end = FBuffer.find('\n');
      if (end != std::string::npos) {
        std::string line = FBuffer.substr(0, end);
        FBuffer.erase(0, end + 1);
        return line;
      }
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                      deadline - std::chrono::steady_clock::now())
                      .count();
      pollfd entry{FOut, POLLIN, 0};
      if (left <= 0 || poll(&entry, 1, static_cast<int>(left)) <= 0)
        return std::nullopt;
      char chunk[4096];
      ssize_t got = read(FOut, chunk, sizeof chunk);
      if (got <= 0)
        return std::nullopt;
      FBuffer.append(chunk, static_cast<std::size_t>(got));
    }
  }

  // The text of the next log line (after "hh:nn "), or "<none>"; "<bad stamp>" when the line
  // does not start with a time of day.
  std::string ReadLogText(int TimeoutMs = 10000) {
    auto line = ReadLine(TimeoutMs);
    if (!line)
      return "<none>";
    const std::string& l = *line;
    bool stamped = l.size() >= 6 && isdigit(l[0]) && isdigit(l[1]) && l[2] == ':' &&
                   isdigit(l[3]) && isdigit(l[4]) && l[5] == ' ' &&
                   (l[0] - '0') * 10 + (l[1] - '0') < 24 && (l[3] - '0') < 6;
    return stamped ? l.substr(6) : "<bad stamp> " + l;
  }

  // The exit status, or nothing when it has not ended within TimeoutMs; -1 for a signal.
  std::optional<int> Wait(int TimeoutMs = 10000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
    while (!FStatus) {
      int status = 0;
      pid_t done = waitpid(FPid, &status, WNOHANG);
      if (done == FPid)
        FStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      else if (std::chrono::steady_clock::now() > deadline)
        return std::nullopt;
      else
        usleep(5000);
    }
    return FStatus;
  }

private:
  pid_t FPid = -1;
  int FOut = -1;
  std::string FBuffer;
  std::optional<int> FStatus;
};

} // namespace test_support
