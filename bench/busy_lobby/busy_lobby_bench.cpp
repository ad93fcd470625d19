// Busy-lobby benchmark of the client. It starts the real server (guards that one address would
// meet turned off), logs in USERS users from one load-generating thread, has each of the first
// CHATTERS of them say RATE lines a second, keeps STANDING games announced and has HOSTS users
// leave (their game goes: H and X to everyone) and come back to announce a game anew every
// PERIOD seconds; one real client, logged in through its login screen with xdotool, sits in the
// lobby on a private virtual display. It reports:
//   - the time from a chat line's send to the client having handled it: the client writes
//     "received " and every line it handles to its standard output, which is read here from a
//     pipe and timestamped;
//   - how many of the client's frames ended between a line's send and its handling (a line
//     handled in the frame it arrives in, or the next, sees at most two);
//   - the client's frame time and processor time per frame: swap_clock, loaded into the
//     client, reports every buffer swap;
//   - the client's resident memory once it is in the lobby and at the end, and its processor
//     time.
// Any build of the client works (--client), so that an older one can be measured the same way.
//
// Usage (Xvfb and xdotool must be installed; the client reads media/ from --root):
//   busy_lobby_bench [--client PATH] [--root DIR] [--seconds S] [--users N] [--chatters N]
//                    [--rate R] [--standing N] [--hosts N] [--period S]
//
// Sections: processes | load generator | what the client shows | figures | main
#include "../support/process_stats.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// CLOCK_MONOTONIC, the clock swap_clock writes.
using bench::NowNs;

void SleepMs(int Ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(Ms));
}

// ---- processes ------------------------------------------------------------------------------

// A child process. Out: the descriptor its standard output and error go to (-1: /dev/null);
// Keep: a descriptor it gets as KEPT_FD.
constexpr int KEPT_FD = 200;

class TProcess {
public:
  TProcess(std::vector<std::string> Args, const std::map<std::string, std::string>& Env = {},
           const std::string& Dir = "", int Out = -1, int Keep = -1) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (Out >= 0) {
      posix_spawn_file_actions_adddup2(&actions, Out, STDOUT_FILENO);
      posix_spawn_file_actions_adddup2(&actions, Out, STDERR_FILENO);
    } else {
      posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
      posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    if (Keep >= 0) {
      posix_spawn_file_actions_adddup2(&actions, Keep, KEPT_FD);
    }
    if (!Dir.empty()) {
      posix_spawn_file_actions_addchdir_np(&actions, Dir.c_str());
    }
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string entry = *e;
      if (Env.count(entry.substr(0, entry.find('='))) == 0) {
        env.push_back(entry);
      }
    }
    for (const auto& [key, value] : Env) {
      env.push_back(key + "=" + value);
    }
    std::vector<char*> argv, envp;
    for (auto& a : Args) {
      argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    for (auto& e : env) {
      envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    if (posix_spawnp(&FPid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
      FPid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
  }
  ~TProcess() { Stop(); }
  TProcess(const TProcess&) = delete;
  TProcess& operator=(const TProcess&) = delete;

  pid_t Pid() const { return FPid; }
  bool Running() {
    if (FPid > 0 && waitpid(FPid, &FStatus, WNOHANG) == FPid) {
      FPid = -1;
    }
    return FPid > 0;
  }
  // Waits up to Ms for the end; its exit status, or -1.
  int Wait(int Ms) {
    for (int waited = 0; FPid > 0; waited += 5) {
      if (waitpid(FPid, &FStatus, WNOHANG) == FPid) {
        FPid = -1;
        return WIFEXITED(FStatus) ? WEXITSTATUS(FStatus) : -1;
      }
      if (waited >= Ms) {
        break;
      }
      SleepMs(5);
    }
    return -1;
  }
  void Stop() {
    if (FPid > 0) {
      kill(FPid, SIGTERM);
      if (Wait(3000) < 0 && FPid > 0) {
        kill(FPid, SIGKILL);
        waitpid(FPid, nullptr, 0);
      }
      FPid = -1;
    }
  }

  long StatusKiB(const std::string& Name) const { return bench::ProcessStatusKiB(FPid, Name); }

private:
  pid_t FPid = -1;
  int FStatus = 0;
};

// A private virtual display, 800 x 600 x 24, that does not reset when its last client goes.
struct TDisplay {
  TDisplay() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
      return;
    }
    Server = std::make_unique<TProcess>(
        std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(KEPT_FD), "-screen", "0",
                                 "800x600x24", "-nolisten", "tcp", "-noreset"},
        std::map<std::string, std::string>{}, "", -1, fds[1]);
    close(fds[1]);
    std::string number;
    pollfd entry{fds[0], POLLIN, 0};
    while (number.find('\n') == std::string::npos && poll(&entry, 1, 15000) > 0) {
      char c[16];
      const ssize_t got = read(fds[0], c, sizeof c);
      if (got <= 0) {
        break;
      }
      number.append(c, static_cast<std::size_t>(got));
    }
    close(fds[0]);
    if (number.find('\n') != std::string::npos) {
      Name = ":" + number.substr(0, number.find('\n'));
    }
  }
  std::unique_ptr<TProcess> Server;
  std::string Name; // empty when it did not start
};

bool XDoTool(const std::string& Display, std::vector<std::string> Args) {
  Args.insert(Args.begin(), "xdotool");
  TProcess tool(Args, {{"DISPLAY", Display}});
  return tool.Wait(20000) == 0;
}

// ---- load generator -------------------------------------------------------------------------

// The number of a load chat line as relayed ("C|uN|b<number>"), or nothing for other lines.
std::optional<long> LoadLineNumber(std::string_view Line) {
  const std::size_t mark = Line.rfind("|b");
  if (Line.substr(0, 3) != "C|u" || mark == std::string_view::npos) {
    return std::nullopt;
  }
  return std::atol(std::string(Line.substr(mark + 2)).c_str());
}

struct TUser {
  int Fd = -1;
  std::string Name;
  bool LoggingIn = false;
  std::string In;  // what arrived while logging in
  std::string Out; // what the server has not taken yet
  std::int64_t NextCycleNs = 0;
};

// Plays every user but the real client, on one thread with epoll.
class TLoad {
public:
  explicit TLoad(std::uint16_t Port) : FPort(Port), FEpoll(epoll_create1(EPOLL_CLOEXEC)) {}
  ~TLoad() {
    for (auto& u : FUsers) {
      if (u.Fd >= 0) {
        close(u.Fd);
      }
    }
    close(FEpoll);
  }

  // Connects and logs in Count users u0, u1, ...; false when they are not all in within the
  // time given.
  bool LogInAll(int Count, int TimeoutMs) {
    FUsers.resize(static_cast<std::size_t>(Count));
    for (int i = 0; i < Count; ++i) {
      FUsers[static_cast<std::size_t>(i)].Name = "u" + std::to_string(i);
      if (!Connect(i)) {
        return false;
      }
      if (i % 50 == 49) {
        Pump(0); // the server's welcome traffic must not pile up meanwhile
      }
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(TimeoutMs);
    while (LoggingIn() > 0 && Clock::now() < deadline) {
      Pump(20);
    }
    return LoggingIn() == 0;
  }

  // User Index says Text.
  void Say(int Index, const std::string& Text) { Send(Index, "C|" + Text); }
  // User Index announces a game.
  void Announce(int Index) {
    Send(Index, "G|forest|10|game of " + FUsers[static_cast<std::size_t>(Index)].Name);
  }
  // From now on users First .. First + Count - 1 leave and come back every Period, each at its
  // own moment, and announce a game each time they are back.
  void Cycle(int First, int Count, double PeriodSeconds) {
    FCycleFirst = First;
    FCycleCount = Count;
    FPeriodNs = static_cast<std::int64_t>(PeriodSeconds * 1e9);
    const std::int64_t now = NowNs();
    for (int i = 0; i < Count; ++i) {
      FUsers[static_cast<std::size_t>(First + i)].NextCycleNs = now + FPeriodNs * (i + 1) / Count;
    }
  }

  // Reads what arrived, sends what waits, and runs the cycles, waiting at most WaitMs.
  void Pump(int WaitMs) {
    epoll_event events[256];
    const int n = epoll_wait(FEpoll, events, 256, WaitMs);
    for (int e = 0; e < n; ++e) {
      Read(static_cast<int>(events[e].data.u32));
    }
    for (std::size_t i = 0; i < FUsers.size(); ++i) {
      if (!FUsers[i].Out.empty()) {
        Flush(static_cast<int>(i));
      }
    }
    const std::int64_t now = NowNs();
    for (int i = FCycleFirst; i < FCycleFirst + FCycleCount; ++i) {
      TUser& u = FUsers[static_cast<std::size_t>(i)];
      if (!u.LoggingIn && u.NextCycleNs <= now) {
        // Leave as the client does (Q, then close), come back, announce again once in.
        Send(i, "Q|");
        close(u.Fd);
        u.Fd = -1;
        u.Out.clear();
        u.NextCycleNs = now + FPeriodNs;
        Connect(i);
        ++Cycles;
      }
    }
  }

  int LoggingIn() const {
    return static_cast<int>(
        std::count_if(FUsers.begin(), FUsers.end(), [](const TUser& u) { return u.LoggingIn; }));
  }

  // The last user to log in stands in for the client, which logs in after it: the time each
  // load line reached it (chat line number, time) is when the line reached the client too,
  // give or take the server's turn through its other users.
  std::vector<std::pair<long, std::int64_t>> Arrived;
  long Cycles = 0;
  long Dropped = 0; // connections the server ended

private:
  bool Connect(int Index) {
    TUser& u = FUsers[static_cast<std::size_t>(Index)];
    u.Fd = bench::ConnectLoopback(FPort);
    if (u.Fd < 0) {
      std::fprintf(stderr, "connect: %s\n", std::strerror(errno));
      return false;
    }
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u32 = static_cast<std::uint32_t>(Index);
    epoll_ctl(FEpoll, EPOLL_CTL_ADD, u.Fd, &event);
    u.LoggingIn = true;
    u.In.clear();
    Send(Index, "L|" + u.Name + "|pw");
    return true;
  }

  void Send(int Index, const std::string& Line) {
    TUser& u = FUsers[static_cast<std::size_t>(Index)];
    if (u.Fd < 0) {
      return;
    }
    u.Out += Line;
    u.Out += '\0';
    Flush(Index);
  }

  void Flush(int Index) {
    TUser& u = FUsers[static_cast<std::size_t>(Index)];
    const ssize_t sent = send(u.Fd, u.Out.data(), u.Out.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    if (sent > 0) {
      u.Out.erase(0, static_cast<std::size_t>(sent));
    }
  }

  void Read(int Index) {
    TUser& u = FUsers[static_cast<std::size_t>(Index)];
    char chunk[65536];
    for (;;) {
      const ssize_t got = recv(u.Fd, chunk, sizeof chunk, 0);
      if (got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) {
        ++Dropped;
        close(u.Fd);
        u.Fd = -1;
        u.LoggingIn = false;
        return;
      }
      if (got < 0) {
        return;
      }
      if (Index == static_cast<int>(FUsers.size()) - 1 && !u.LoggingIn) {
        Probe(u, std::string_view(chunk, static_cast<std::size_t>(got)));
      }
      if (u.LoggingIn) {
        u.In.append(chunk, static_cast<std::size_t>(got));
        const std::string welcome = "O|" + u.Name + std::string(1, '\0');
        if (u.In.compare(0, welcome.size(), welcome) == 0) {
          u.LoggingIn = false;
          u.In.clear();
          if (Index >= FCycleFirst && Index < FCycleFirst + FCycleCount) {
            Announce(Index);
          }
        }
      }
    }
  }

  void Probe(TUser& U, std::string_view Bytes) {
    const std::int64_t now = NowNs();
    U.In += Bytes;
    std::size_t start = 0;
    for (std::size_t end; (end = U.In.find('\0', start)) != std::string::npos; start = end + 1) {
      if (const auto number = LoadLineNumber(std::string_view(U.In).substr(start, end - start))) {
        Arrived.emplace_back(*number, now);
      }
    }
    U.In.erase(0, start);
  }

  std::uint16_t FPort;
  int FEpoll;
  std::vector<TUser> FUsers;
  int FCycleFirst = 0;
  int FCycleCount = 0;
  std::int64_t FPeriodNs = 0;
};

// ---- what the client shows ------------------------------------------------------------------

// Reads the client's output and swap_clock's frame times on a thread of its own, stamping each
// line the moment it is read.
class TWatch {
public:
  TWatch(int Output, int Swaps, std::string UserName)
      : Name(std::move(UserName)), FOutput(Output), FSwaps(Swaps) {
    FThread = std::thread([this] { Run(); });
  }
  ~TWatch() { Stop(); }
  void Stop() {
    FStop = true;
    if (FThread.joinable()) {
      FThread.join();
    }
  }

  std::atomic<bool> LoggedIn{false};
  std::atomic<long> Received{0};
  std::atomic<long> Frames{0};
  // Read after Stop: (chat line number, time handled), and the time of every swap.
  std::vector<std::pair<long, std::int64_t>> Handled;
  std::vector<std::int64_t> Swaps;
  std::vector<std::int64_t> SwapCpu; // the client's processor time at each swap
  const std::string Name;            // the client's user name
  // The client's first other lines (its start-up, its errors), for when it fails.
  static constexpr std::size_t MAX_OTHER_LINES = 50;
  std::vector<std::string> Other;

private:
  void Run() {
    std::string pending;
    while (!FStop) {
      pollfd entries[2] = {{FOutput, POLLIN, 0}, {FSwaps, POLLIN, 0}};
      if (poll(entries, 2, 100) <= 0) {
        continue;
      }
      const std::int64_t now = NowNs();
      if (entries[0].revents != 0) {
        char chunk[65536];
        const ssize_t got = read(FOutput, chunk, sizeof chunk);
        if (got > 0) {
          pending.append(chunk, static_cast<std::size_t>(got));
          std::size_t start = 0;
          for (std::size_t end; (end = pending.find('\n', start)) != std::string::npos;
               start = end + 1) {
            Line(std::string_view(pending).substr(start, end - start), now);
          }
          pending.erase(0, start);
        } else {
          entries[0].fd = -1;
          FOutput = -1;
        }
      }
      if (entries[1].revents != 0) {
        // Records of two numbers are written whole (a pipe write of 16 bytes is atomic), and
        // the reads take whole multiples of them.
        std::int64_t records[512];
        const ssize_t got = read(FSwaps, records, sizeof records);
        if (got <= 0) {
          FSwaps = -1;
        }
        for (ssize_t i = 0; i + 16 <= got; i += 16) {
          Swaps.push_back(records[i / 8]);
          SwapCpu.push_back(records[i / 8 + 1]);
        }
        Frames = static_cast<long>(Swaps.size());
      }
    }
  }

  void Line(std::string_view Text, std::int64_t Now) {
    constexpr std::string_view RECEIVED = "received ";
    if (Text.substr(0, RECEIVED.size()) != RECEIVED) {
      if (Other.size() < MAX_OTHER_LINES) {
        Other.emplace_back(Text);
      }
      return;
    }
    ++Received;
    Text.remove_prefix(RECEIVED.size());
    if (Text == "O|" + Name) {
      LoggedIn = true;
    }
    if (const auto number = LoadLineNumber(Text)) {
      Handled.emplace_back(*number, Now);
    }
  }

  int FOutput;
  int FSwaps;
  std::atomic<bool> FStop{false};
  std::thread FThread;
};

// ---- figures --------------------------------------------------------------------------------

std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one, five;
  in >> one >> five;
  return one + " (1 min), " + five + " (5 min)";
}

// What one run measured.
struct TRun {
  std::int64_t Start = 0;
  std::int64_t Stop = 0;
  std::vector<std::int64_t> Sent; // send time of each load line, by number
  long RssStartKiB = 0;
  long RssEndKiB = 0;
  std::vector<long> RssKiB; // once a second
  bool ClientRan = true;
};

std::string Spread(const std::vector<double>& Values, const char* Unit) {
  char text[160];
  std::snprintf(text, sizeof text, "p50 %.1f %s, p99 %.1f %s, max %.1f %s",
                bench::Percentile(Values, 0.50), Unit, bench::Percentile(Values, 0.99), Unit,
                Values.empty() ? 0.0 : *std::max_element(Values.begin(), Values.end()), Unit);
  return text;
}

void Report(const TRun& Run, const TWatch& Watch,
            const std::vector<std::pair<long, std::int64_t>>& Arrived) {
  const double seconds = static_cast<double>(Run.Stop - Run.Start) / 1e9;
  const std::size_t sent = Run.Sent.size();
  std::vector<std::int64_t> arrival(sent, 0);
  for (const auto& [number, at] : Arrived) {
    if (number >= 0 && static_cast<std::size_t>(number) < sent) {
      arrival[static_cast<std::size_t>(number)] = at;
    }
  }
  const auto& swaps = Watch.Swaps;
  // Frames that ended after From and before To.
  auto framesBetween = [&](std::int64_t From, std::int64_t To) {
    return static_cast<double>(std::lower_bound(swaps.begin(), swaps.end(), To) -
                               std::upper_bound(swaps.begin(), swaps.end(), From));
  };
  std::vector<bool> handled(sent, false);
  std::vector<double> waits, relay, client, frames;
  long inTwoFrames = 0;
  for (const auto& [number, at] : Watch.Handled) {
    if (number < 0 || static_cast<std::size_t>(number) >= sent ||
        handled[static_cast<std::size_t>(number)]) {
      continue;
    }
    const auto n = static_cast<std::size_t>(number);
    handled[n] = true;
    waits.push_back(static_cast<double>(at - Run.Sent[n]) / 1e6);
    const std::int64_t reached = arrival[n] != 0 ? arrival[n] : Run.Sent[n];
    relay.push_back(static_cast<double>(reached - Run.Sent[n]) / 1e6);
    client.push_back(static_cast<double>(at - reached) / 1e6);
    frames.push_back(framesBetween(reached, at));
    inTwoFrames += frames.back() <= 2 ? 1 : 0;
  }
  const std::size_t missing = sent - waits.size();
  for (std::size_t n = 0; n < sent; ++n) {
    if (!handled[n]) { // counted with its wait so far
      waits.push_back(static_cast<double>(Run.Stop - Run.Sent[n]) / 1e6);
    }
  }
  std::vector<double> frameMs, frameCpuMs;
  double cpuMs = 0;
  for (std::size_t i = 1; i < swaps.size(); ++i) {
    if (swaps[i - 1] >= Run.Start && swaps[i] <= Run.Stop) {
      frameMs.push_back(static_cast<double>(swaps[i] - swaps[i - 1]) / 1e6);
      frameCpuMs.push_back(static_cast<double>(Watch.SwapCpu[i] - Watch.SwapCpu[i - 1]) / 1e6);
      cpuMs += frameCpuMs.back();
    }
  }
  const std::size_t frameCount = frameMs.size();

  std::printf("ran %.0f s%s: %zu chat lines sent (%.0f a second), %zu handled, %zu not handled "
              "by the end\n",
              seconds, Run.ClientRan ? "" : " (the client ENDED early)", sent,
              static_cast<double>(sent) / seconds, sent - missing, missing);
  std::printf("send to handled:    %s%s\n", Spread(waits, "ms").c_str(),
              missing > 0 ? " (lines not handled counted with their wait so far)" : "");
  std::printf("  server's relay:   %s (send to arrival at the load's last user)\n",
              Spread(relay, "ms").c_str());
  std::printf("  client's share:   %s (that arrival to handled)\n", Spread(client, "ms").c_str());
  std::printf("frames ended between arrival and handling: %s; within two frames: %.2f%% of the "
              "lines sent\n",
              Spread(frames, "").c_str(),
              sent == 0 ? 0.0
                        : 100.0 * static_cast<double>(inTwoFrames) / static_cast<double>(sent));
  std::printf("frame time:         %s (%zu frames, %.0f a second)\n", Spread(frameMs, "ms").c_str(),
              frameCount, static_cast<double>(frameCount) / seconds);
  std::printf("  processor time:   %s (all the client's threads, without the time spent waiting "
              "for a processor)\n",
              Spread(frameCpuMs, "ms").c_str());
  std::printf("client memory:      %.1f MiB resident at the start, %.1f MiB at the end: growth "
              "%+.2f MiB; processor %.0f%% of one core\n",
              Run.RssStartKiB / 1024.0, Run.RssEndKiB / 1024.0,
              (Run.RssEndKiB - Run.RssStartKiB) / 1024.0, cpuMs / 10 / seconds);
  if (Run.RssKiB.size() > 60) {
    std::printf("  after the first minute (warm-up: the lists fill, the heap settles): %+.2f MiB\n",
                (Run.RssEndKiB - Run.RssKiB[60]) / 1024.0);
  }
  std::printf("resident MiB over the run:");
  for (int tenth = 0; tenth <= 10 && !Run.RssKiB.empty(); ++tenth) {
    const std::size_t i = (Run.RssKiB.size() - 1) * static_cast<std::size_t>(tenth) / 10;
    std::printf(" %.1f", Run.RssKiB[i] / 1024.0);
  }
  std::printf("\n");
}

struct TOptions {
  std::string Client = CLIENT_PATH;
  std::string Root = PROJECT_ROOT;
  double Seconds = 600;
  int Users = 1000;
  int Chatters = 100;
  double Rate = 2;
  int Standing = 100;
  int Hosts = 20;
  double Period = 10;
};

bool ParseOptions(int argc, char** argv, TOptions& O) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) {
      return false;
    }
    const std::string value = argv[++i];
    if (arg == "--client") {
      O.Client = value;
    } else if (arg == "--root") {
      O.Root = value;
    } else if (arg == "--seconds") {
      O.Seconds = std::atof(value.c_str());
    } else if (arg == "--users") {
      O.Users = std::atoi(value.c_str());
    } else if (arg == "--chatters") {
      O.Chatters = std::atoi(value.c_str());
    } else if (arg == "--rate") {
      O.Rate = std::atof(value.c_str());
    } else if (arg == "--standing") {
      O.Standing = std::atoi(value.c_str());
    } else if (arg == "--hosts") {
      O.Hosts = std::atoi(value.c_str());
    } else if (arg == "--period") {
      O.Period = std::atof(value.c_str());
    } else {
      return false;
    }
  }
  return O.Seconds > 0 && O.Chatters > 0 && O.Rate > 0 && O.Period > 0 &&
         O.Chatters + O.Hosts + std::min(O.Standing, 1) <= O.Users;
}

} // namespace

// ---- main -----------------------------------------------------------------------------------

int main(int argc, char** argv) {
  TOptions opt;
  if (!ParseOptions(argc, argv, opt)) {
    std::fprintf(stderr,
                 "usage: busy_lobby_bench [--client PATH] [--root DIR] [--seconds S] [--users N]"
                 " [--chatters N] [--rate R] [--standing N] [--hosts N] [--period S]\n");
    return 2;
  }
  rlimit files{};
  getrlimit(RLIMIT_NOFILE, &files);
  files.rlim_cur = files.rlim_max;
  setrlimit(RLIMIT_NOFILE, &files);
  signal(SIGPIPE, SIG_IGN);
  setvbuf(stdout, nullptr, _IOLBF, 0); // progress shows as it happens, also in a file

  std::printf("client %s\nload average at start: %s\n", opt.Client.c_str(), LoadAverage().c_str());
  const std::uint16_t port = bench::FreePort();
  TProcess server({SERVER_PATH, "--listen", "127.0.0.1", "--port", std::to_string(port),
                   "--max-per-ip", "0", "--max-connections", "2000", "--no-flood-limit"});
  SleepMs(300);
  TLoad load(port);
  if (!server.Running() || !load.LogInAll(opt.Users, 60000)) {
    std::fprintf(stderr, "busy_lobby_bench: the load's users could not all log in\n");
    return 1;
  }
  const int firstHost = opt.Chatters;
  const int firstStanding = opt.Chatters + opt.Hosts;
  for (int i = 0; i < opt.Standing; ++i) {
    load.Announce(firstStanding + i % (opt.Users - firstStanding));
  }
  for (int i = 0; i < opt.Hosts; ++i) {
    load.Announce(firstHost + i);
  }
  load.Pump(200);
  std::printf("%d users in, %d standing games, %d hosts\n", opt.Users, opt.Standing, opt.Hosts);

  TDisplay display;
  if (display.Name.empty()) {
    std::fprintf(stderr, "busy_lobby_bench: no virtual display (is Xvfb installed?)\n");
    return 1;
  }
  int output[2], swaps[2];
  if (pipe2(output, O_CLOEXEC) != 0 || pipe2(swaps, O_CLOEXEC) != 0) {
    return 1;
  }
  fcntl(swaps[1], F_SETFL, O_NONBLOCK);
  TProcess client({opt.Client},
                  {{"DISPLAY", display.Name},
                   {"LIBGL_ALWAYS_SOFTWARE", "1"},
                   {"SDL_AUDIODRIVER", "dummy"},
                   {"SDL_VIDEODRIVER", "x11"},
                   {"LD_PRELOAD", SWAP_CLOCK_PATH},
                   {"SWAP_CLOCK_FD", std::to_string(KEPT_FD)}},
                  opt.Root, output[1], swaps[1]);
  close(output[1]);
  close(swaps[1]);
  TWatch watch(output[0], swaps[0], "watcher");

  // The login screen is up once it has drawn a few frames; log in as a player would.
  for (int i = 0; i < 3000 && watch.Frames < 5; ++i) {
    load.Pump(10);
  }
  const std::string& d = display.Name;
  auto click = [&](const char* X, const char* Y) {
    return XDoTool(d, {"mousemove", X, Y}) && XDoTool(d, {"click", "1"});
  };
  const bool typed = click("380", "216") &&
                     XDoTool(d, {"key", "--delay", "10", "BackSpace", "BackSpace", "BackSpace",
                                 "BackSpace", "BackSpace", "BackSpace", "BackSpace", "BackSpace",
                                 "BackSpace", "BackSpace", "BackSpace", "BackSpace"}) &&
                     XDoTool(d, {"type", "--delay", "20", "127.0.0.1:" + std::to_string(port)}) &&
                     click("380", "256") && XDoTool(d, {"type", "--delay", "20", watch.Name}) &&
                     click("380", "296") && XDoTool(d, {"type", "--delay", "20", "pw"}) &&
                     click("336", "346") && XDoTool(d, {"mousemove", "770", "560"});
  for (int i = 0; i < 6000 && typed && !watch.LoggedIn; ++i) {
    load.Pump(10);
  }
  if (!watch.LoggedIn) {
    watch.Stop();
    for (const auto& line : watch.Other) {
      std::fprintf(stderr, "client: %s\n", line.c_str());
    }
    std::fprintf(stderr, "busy_lobby_bench: the client did not log in\n");
    return 1;
  }
  // The welcome: a U per user and a G per game; then a moment to settle.
  const long welcome = 1 + opt.Users + opt.Standing + opt.Hosts;
  const auto loginAt = Clock::now();
  while (watch.Received < welcome && Clock::now() - loginAt < std::chrono::seconds(120)) {
    load.Pump(10);
  }
  std::printf("client in the lobby: its welcome of %ld lines handled in %.1f s\n", welcome,
              std::chrono::duration<double>(Clock::now() - loginAt).count());
  for (const auto until = Clock::now() + std::chrono::seconds(3); Clock::now() < until;) {
    load.Pump(10);
  }

  // The run.
  TRun run;
  run.RssStartKiB = client.StatusKiB("VmRSS");
  run.Start = NowNs();
  const std::int64_t end = run.Start + static_cast<std::int64_t>(opt.Seconds * 1e9);
  const double perSecond = opt.Chatters * opt.Rate;
  load.Cycle(firstHost, opt.Hosts, opt.Period);
  std::int64_t nextSample = run.Start;
  for (std::int64_t now = run.Start; now < end && client.Running(); now = NowNs()) {
    const auto due = static_cast<long>(static_cast<double>(now - run.Start) / 1e9 * perSecond);
    while (static_cast<long>(run.Sent.size()) < due) {
      const long number = static_cast<long>(run.Sent.size());
      run.Sent.push_back(NowNs());
      load.Say(static_cast<int>(number % opt.Chatters), "b" + std::to_string(number));
    }
    load.Pump(2);
    if (now >= nextSample) {
      run.RssKiB.push_back(client.StatusKiB("VmRSS"));
      nextSample += 1'000'000'000;
    }
  }
  run.Stop = NowNs();
  run.RssEndKiB = client.StatusKiB("VmRSS");
  // Lines on their way still count; then the client goes.
  for (const auto until = Clock::now() + std::chrono::seconds(2); Clock::now() < until;) {
    load.Pump(10);
  }
  run.ClientRan = client.Running();
  client.Stop();
  watch.Stop();
  std::printf("load: %ld leave-and-return cycles, %ld users dropped by the server; load average "
              "at the end: %s\n",
              load.Cycles, load.Dropped, LoadAverage().c_str());
  Report(run, watch, load.Arrived);
  return 0;
}
