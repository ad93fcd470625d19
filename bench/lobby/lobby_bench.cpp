// Chat fan-out benchmark. One thread with epoll plays every client: N clients log in, then 50
// of them send 20 chat lines each as fast as they can (bursts at N = 50, 99 and 300), then
// once more paced at 1000 lines per second in total (N = 50). Every client must receive every
// relayed line. The same generator speaks IRC to Debian's ngircd (one channel, penalties off)
// as the reference. All servers are started here on free ports of 127.0.0.1.
//
// The lobby server runs twice per load, in alternating rounds: with its guards off
// (--no-flood-limit --max-per-ip 0) and with them on but their limits too high for this load
// to meet, so that the cost of the guards themselves shows. The report gives each load's median
// over the rounds and the ratio of the two. With --before PATH the pair is another build of the
// server (an older one, say) against this one, both with the guards on, and the report adds
// each one's spread over the rounds and whether their medians agree within it.
//
// Then 100 matches at once (--matches N): two protocol players per match, each keeping its copy
// of the match from the server's lines and playing the rules' own computer's orders from it,
// as fast as the answers come; the report gives the server's CPU time per order.
//
// Usage: lobby_bench [--server PATH] [--before PATH] [--ngircd PATH] [--rounds N]
//                    [--matches N] [--quick]
//
// Sections: process control | clients and protocols | one load run | matches | report
#include "../support/process_stats.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <optional>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/timerfd.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "../../tests/lobby/protocol_player.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

using bench::FreePort;
using bench::NowNs;
using bench::Percentile;

// ---- process control ------------------------------------------------------------------

class TChild {
public:
  TChild(std::vector<std::string> Args) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (auto& arg : Args)
      argv.push_back(arg.data());
    argv.push_back(nullptr);
    if (posix_spawn(&FPid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
      FPid = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~TChild() {
    if (FPid > 0) {
      kill(FPid, SIGTERM);
      int status;
      waitpid(FPid, &status, 0);
    }
  }
  pid_t Pid() const { return FPid; }

  double CpuSeconds() const { return bench::ProcessCpuSeconds(FPid); }
  long StatusKiB(const std::string& Name) const { return bench::ProcessStatusKiB(FPid, Name); }

private:
  pid_t FPid = -1;
};

// ---- clients and protocols --------------------------------------------------------------

// A non-blocking connection to Port on 127.0.0.1, watched by Epoll for input under Tag; -1
// when it cannot connect.
int ConnectClient(uint16_t Port, int Epoll, uint32_t Tag) {
  const int fd = bench::ConnectLoopback(Port);
  if (fd < 0)
    return -1;
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.u32 = Tag;
  epoll_ctl(Epoll, EPOLL_CTL_ADD, fd, &event);
  return fd;
}

// Sends what Fd takes of Out now and watches it for room to send the rest.
void FlushClient(int Fd, std::string& Out, int Epoll, uint32_t Tag) {
  while (!Out.empty()) {
    ssize_t n = send(Fd, Out.data(), Out.size(), MSG_NOSIGNAL);
    if (n <= 0)
      break;
    Out.erase(0, static_cast<std::size_t>(n));
  }
  epoll_event event{};
  event.events = EPOLLIN | (Out.empty() ? 0u : static_cast<uint32_t>(EPOLLOUT));
  event.data.u32 = Tag;
  epoll_ctl(Epoll, EPOLL_CTL_MOD, Fd, &event);
}

enum class TProtocol { Lobby, Irc };

struct TClient {
  int Fd = -1;
  std::string In;
  std::string Out;
  bool Ready = false;
  bool Closed = false;
};

struct TStats {
  long Deliveries = 0;
  std::vector<double> LatencyMs;
  int64_t FirstSend = 0;
  int64_t LastReceipt = 0;
  long BytesSinceQuiet = 0;
  int Disconnected = 0;
};

class TLoad {
public:
  TLoad(TProtocol Protocol, uint16_t Port) : FProtocol(Protocol), FPort(Port) {
    FEpoll = epoll_create1(EPOLL_CLOEXEC);
  }
  ~TLoad() {
    for (auto& c : FClients)
      close(c.Fd);
    close(FEpoll);
  }

  bool Connect(int Count) {
    FClients.resize(static_cast<std::size_t>(Count));
    for (int i = 0; i < Count; ++i) {
      TClient& c = FClients[static_cast<std::size_t>(i)];
      c.Fd = ConnectClient(FPort, FEpoll, static_cast<uint32_t>(i));
      if (c.Fd < 0)
        return false;
      std::string name = "u" + std::to_string(i);
      if (FProtocol == TProtocol::Lobby)
        Queue(i, "L|" + name + "|pw" + std::string(1, '\0'));
      else
        Queue(i, "NICK " + name + "\r\nUSER " + name + " 0 * :bench\r\n");
    }
    return true;
  }

  // Waits until every client is in and the welcome traffic has died down.
  bool LogIn(int TimeoutMs) {
    auto deadline = Clock::now() + std::chrono::milliseconds(TimeoutMs);
    while (Clock::now() < deadline) {
      Poll(50);
      bool all = true;
      for (auto& c : FClients)
        all = all && c.Ready;
      if (all)
        break;
    }
    for (auto& c : FClients)
      if (!c.Ready)
        return false;
    // Quiet for 300 ms: the E/U or JOIN fan-out is over.
    for (int quiet = 0; quiet < 6 && Clock::now() < deadline;) {
      FStats.BytesSinceQuiet = 0;
      Poll(50);
      quiet = FStats.BytesSinceQuiet == 0 ? quiet + 1 : 0;
    }
    return true;
  }

  // Senders 0..Senders-1 each send Lines chat lines; PerSecond 0 means all at once, otherwise
  // the lines go out round-robin at that total rate. Answers when every delivery arrived or
  // the time-out passed.
  TStats Run(int Senders, int Lines, int PerSecond, int TimeoutMs) {
    FStats = TStats{};
    const long n = static_cast<long>(FClients.size());
    FExpected = static_cast<long>(Senders) * Lines * (FProtocol == TProtocol::Lobby ? n : n - 1);
    FStats.LatencyMs.reserve(static_cast<std::size_t>(FExpected));
    FStats.FirstSend = NowNs();
    int timer = -1;
    int sent = 0;
    const int total = Senders * Lines;
    if (PerSecond == 0) {
      for (int line = 0; line < Lines; ++line)
        for (int s = 0; s < Senders; ++s)
          SendChat(s, line);
      sent = total;
    } else {
      timer = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
      itimerspec every{};
      every.it_interval.tv_nsec = 1000000000L / PerSecond;
      every.it_value.tv_nsec = every.it_interval.tv_nsec;
      timerfd_settime(timer, 0, &every, nullptr);
      epoll_event event{};
      event.events = EPOLLIN;
      event.data.u32 = TimerTag;
      epoll_ctl(FEpoll, EPOLL_CTL_ADD, timer, &event);
    }
    auto deadline = Clock::now() + std::chrono::milliseconds(TimeoutMs);
    while (FStats.Deliveries < FExpected && Clock::now() < deadline) {
      int fired = Poll(10);
      if (timer >= 0 && fired > 0) {
        uint64_t ticks = 0;
        if (read(timer, &ticks, sizeof ticks) == sizeof ticks)
          for (uint64_t t = 0; t < ticks && sent < total; ++t, ++sent)
            SendChat(sent % Senders, sent / Senders);
      }
    }
    if (timer >= 0)
      close(timer);
    return FStats;
  }

  long Expected() const { return FExpected; }

private:
  static constexpr uint32_t TimerTag = 0xFFFFFFFF;

  void Queue(int Index, const std::string& Bytes) {
    TClient& c = FClients[static_cast<std::size_t>(Index)];
    bool idle = c.Out.empty();
    c.Out += Bytes;
    if (idle)
      Flush(Index);
  }

  void Flush(int Index) {
    TClient& c = FClients[static_cast<std::size_t>(Index)];
    FlushClient(c.Fd, c.Out, FEpoll, static_cast<uint32_t>(Index));
  }

  void SendChat(int Sender, int Line) {
    std::string payload =
        std::to_string(Sender) + "-" + std::to_string(Line) + " " + std::to_string(NowNs());
    if (FProtocol == TProtocol::Lobby)
      Queue(Sender, "C|" + payload + std::string(1, '\0'));
    else
      Queue(Sender, "PRIVMSG #lobby :" + payload + "\r\n");
  }

  // Handles one line a client received.
  void OnLine(int Index, const std::string& Line) {
    TClient& c = FClients[static_cast<std::size_t>(Index)];
    std::string payload;
    if (FProtocol == TProtocol::Lobby) {
      if (Line.rfind("O|", 0) == 0)
        c.Ready = true;
      if (Line.rfind("C|", 0) != 0)
        return;
      std::size_t bar = Line.find('|', 2);
      if (bar == std::string::npos)
        return;
      payload = Line.substr(bar + 1);
    } else {
      if (Line.rfind("PING", 0) == 0) {
        Queue(Index, "PONG" + Line.substr(4) + "\r\n");
        return;
      }
      std::size_t space = Line.find(' ');
      std::string code = space == std::string::npos ? "" : Line.substr(space + 1, 3);
      if (code == "001")
        Queue(Index, "JOIN #lobby\r\n");
      if (code == "366")
        c.Ready = true;
      std::size_t at = Line.find(" PRIVMSG #lobby :");
      if (at == std::string::npos)
        return;
      payload = Line.substr(at + 17);
    }
    std::size_t space = payload.find(' ');
    if (space == std::string::npos)
      return;
    int64_t sentAt = std::atoll(payload.c_str() + space + 1);
    int64_t now = NowNs();
    ++FStats.Deliveries;
    FStats.LatencyMs.push_back(static_cast<double>(now - sentAt) / 1e6);
    FStats.LastReceipt = now;
  }

  int Poll(int TimeoutMs) {
    epoll_event events[256];
    int count = epoll_wait(FEpoll, events, 256, TimeoutMs);
    int timerFired = 0;
    char chunk[65536];
    for (int e = 0; e < count; ++e) {
      uint32_t tag = events[e].data.u32;
      if (tag == TimerTag) {
        timerFired = 1;
        continue;
      }
      int index = static_cast<int>(tag);
      TClient& c = FClients[static_cast<std::size_t>(index)];
      if (events[e].events & EPOLLOUT)
        Flush(index);
      if (!(events[e].events & (EPOLLIN | EPOLLHUP | EPOLLERR)))
        continue;
      ssize_t got = recv(c.Fd, chunk, sizeof chunk, 0);
      if (got <= 0) {
        if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
          epoll_ctl(FEpoll, EPOLL_CTL_DEL, c.Fd, nullptr);
          c.Closed = true;
          ++FStats.Disconnected;
        }
        continue;
      }
      FStats.BytesSinceQuiet += got;
      c.In.append(chunk, static_cast<std::size_t>(got));
      const char terminator = FProtocol == TProtocol::Lobby ? '\0' : '\n';
      std::size_t start = 0;
      for (std::size_t end; (end = c.In.find(terminator, start)) != std::string::npos;
           start = end + 1) {
        std::size_t stop = end;
        if (FProtocol == TProtocol::Irc && stop > start && c.In[stop - 1] == '\r')
          --stop;
        OnLine(index, c.In.substr(start, stop - start));
      }
      c.In.erase(0, start);
    }
    return timerFired;
  }

  TProtocol FProtocol;
  uint16_t FPort;
  int FEpoll = -1;
  std::vector<TClient> FClients;
  TStats FStats;
  long FExpected = 0;
};

// ---- one load run -----------------------------------------------------------------------

struct TTarget {
  std::string Name;
  TProtocol Protocol;
  std::unique_ptr<TChild> Process;
  uint16_t Port = 0;
};

bool WaitListening(uint16_t Port) {
  for (int i = 0; i < 200; ++i) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(Port);
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    if (ok)
      return true;
    usleep(25000);
  }
  return false;
}

// The lobby's two configurations: guards off, and guards on with limits this load never meets
// (a thousand connections from 127.0.0.1, bursts of a thousand lines).
const std::vector<std::string> GuardsOff = {"--no-flood-limit", "--max-per-ip", "0"};
const std::vector<std::string> GuardsOn = {"--max-per-ip", "1000", "--flood-burst", "1000"};

std::unique_ptr<TTarget> StartLobby(const std::string& Path, const std::string& Name,
                                    const std::vector<std::string>& Options) {
  auto target = std::make_unique<TTarget>();
  target->Name = Name;
  target->Protocol = TProtocol::Lobby;
  target->Port = FreePort();
  std::vector<std::string> args{Path, "--listen", "127.0.0.1", "--port",
                                std::to_string(target->Port)};
  args.insert(args.end(), Options.begin(), Options.end());
  target->Process = std::make_unique<TChild>(args);
  return WaitListening(target->Port) ? std::move(target) : nullptr;
}

std::unique_ptr<TTarget> StartNgircd(const std::string& Path, const std::string& Dir) {
  auto target = std::make_unique<TTarget>();
  target->Name = "ngircd";
  target->Protocol = TProtocol::Irc;
  target->Port = FreePort();
  std::string config = Dir + "/ngircd.conf";
  std::ofstream out(config);
  out << "[Global]\nName = bench.local\nInfo = benchmark\nListen = 127.0.0.1\nPorts = "
      << target->Port
      << "\nMotdPhrase = bench\n"
         "[Limits]\nMaxConnections = 0\nMaxConnectionsIP = 0\nMaxJoins = 0\n"
         "MaxNickLength = 30\nMaxPenaltyTime = 0\nPingTimeout = 600\nPongTimeout = 600\n"
         "[Options]\nDNS = no\nIdent = no\nPAM = no\n";
  out.close();
  target->Process = std::make_unique<TChild>(std::vector<std::string>{Path, "-n", "-f", config});
  return WaitListening(target->Port) ? std::move(target) : nullptr;
}

struct TRow {
  std::string Target;
  std::string Load;
  long Deliveries = 0;
  long Expected = 0;
  double PerSecond = 0;
  double P50 = 0;
  double P99 = 0;
  double Cpu = 0;
  double GeneratorCpu = 0;
  double Seconds = 0;
  double PeakMiB = 0;
  int Disconnected = 0;
};

// CPU seconds this process (the load generator) has used.
double OwnCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

std::optional<TRow> RunLoad(TTarget& Target, int Users, int PerSecond) {
  TLoad load(Target.Protocol, Target.Port);
  if (!load.Connect(Users) || !load.LogIn(60000)) {
    std::fprintf(stderr, "%s: %d users could not log in\n", Target.Name.c_str(), Users);
    return std::nullopt;
  }
  double cpuBefore = Target.Process->CpuSeconds();
  double ownBefore = OwnCpuSeconds();
  TStats stats = load.Run(50, 20, PerSecond, 60000);
  TRow row;
  row.Target = Target.Name;
  row.Load = (PerSecond == 0 ? "burst" : "paced " + std::to_string(PerSecond) + "/s") +
             " N=" + std::to_string(Users);
  row.Deliveries = stats.Deliveries;
  row.Expected = load.Expected();
  double seconds = static_cast<double>(stats.LastReceipt - stats.FirstSend) / 1e9;
  row.Seconds = seconds;
  row.PerSecond = seconds > 0 ? static_cast<double>(stats.Deliveries) / seconds : 0;
  row.P50 = Percentile(stats.LatencyMs, 0.50);
  row.P99 = Percentile(stats.LatencyMs, 0.99);
  row.Cpu = Target.Process->CpuSeconds() - cpuBefore;
  row.GeneratorCpu = OwnCpuSeconds() - ownBefore;
  row.PeakMiB = static_cast<double>(Target.Process->StatusKiB("VmHWM")) / 1024.0;
  row.Disconnected = stats.Disconnected;
  return row;
}

// ---- matches ----------------------------------------------------------------------------

// Pairs of protocol players on one epoll thread: each pair announces, joins and starts a match
// and plays it to its end, every player ordering what its copy of the match suggests as soon
// as the answer to its last order has come.
class TMatchLoad {
public:
  TMatchLoad(uint16_t Port, int Matches)
      : FPort(Port), FPlayers(static_cast<std::size_t>(2 * Matches)) {
    FEpoll = epoll_create1(EPOLL_CLOEXEC);
  }
  ~TMatchLoad() {
    for (auto& p : FPlayers)
      close(p.Fd);
    close(FEpoll);
  }

  bool Connect() {
    for (std::size_t i = 0; i < FPlayers.size(); ++i) {
      TPlayer& p = FPlayers[i];
      p.Fd = ConnectClient(FPort, FEpoll, static_cast<uint32_t>(i));
      if (p.Fd < 0)
        return false;
      Send(i, "R|play|1");
      Send(i, "L|m" + std::to_string(i) + "|pw");
    }
    return true;
  }

  // Runs until every match has started (Started) or ended (Ended), or the time is up.
  bool RunUntilStarted(int TimeoutMs) {
    return RunUntil([&] { return FStarted == Matches(); }, TimeoutMs);
  }
  bool RunUntilEnded(int TimeoutMs) {
    return RunUntil([&] { return FEnded == Matches(); }, TimeoutMs);
  }

  long Orders = 0;  // orders sent while the matches were played
  long Refused = 0; // of them, refused (a copy that went wrong would show here)
  long Faults = 0;  // lines a copy could not take, checksums not its own
  bool Counting = false;

private:
  struct TPlayer {
    int Fd = -1;
    std::string In;
    std::string Out;
    test_support::TMatchPlayer Mind;
    bool Waiting = false; // an order is out and its answer has not come
    bool Over = false;
  };

  int Matches() const { return static_cast<int>(FPlayers.size() / 2); }

  template <class Done>
  bool RunUntil(Done IsDone, int TimeoutMs) {
    auto deadline = Clock::now() + std::chrono::milliseconds(TimeoutMs);
    while (!IsDone() && Clock::now() < deadline)
      Poll(50);
    return IsDone();
  }

  void Send(std::size_t Index, const std::string& Line) {
    TPlayer& p = FPlayers[Index];
    bool idle = p.Out.empty();
    p.Out += Line;
    p.Out += '\0';
    if (idle)
      Flush(Index);
  }

  void Flush(std::size_t Index) {
    TPlayer& p = FPlayers[Index];
    FlushClient(p.Fd, p.Out, FEpoll, static_cast<uint32_t>(Index));
  }

  // The creator (even index) announces once logged in, its partner joins the game it created,
  // the creator starts once the partner is in; then both play.
  void OnLine(std::size_t Index, const std::string& Line) {
    TPlayer& p = FPlayers[Index];
    const std::size_t faults = p.Mind.Faults.size();
    p.Mind.Take(Line);
    FaultCount(p.Mind.Faults.size() - faults);
    TMsg msg(Line);
    const bool creator = Index % 2 == 0;
    if (creator && Line.rfind("O|", 0) == 0)
      Send(Index, "G|plain|10|match " + std::to_string(Index / 2));
    switch (ExtOf(msg)) {
    case TExt::Created:
      if (auto created = Read<TGameCreated>(msg))
        Send(Index + 1, Build(TJoinRequest{created->Game}));
      break;
    case TExt::Entered:
      Send(Index - 1, "B|");
      break;
    case TExt::Start:
      if (creator)
        ++FStarted;
      break;
    case TExt::Refused:
      Refused += Counting ? 1 : 0;
      p.Waiting = false;
      break;
    case TExt::Moved:
    case TExt::Hit:
    case TExt::Turn:
      p.Waiting = false;
      break;
    case TExt::Over:
      p.Waiting = false;
      p.Over = true;
      if (creator)
        ++FEnded;
      break;
    default:
      break;
    }
  }

  void FaultCount(std::size_t New) { Faults += static_cast<long>(New); }

  void Act(std::size_t Index) {
    TPlayer& p = FPlayers[Index];
    if (p.Waiting || p.Over || !p.Mind.MyTurn())
      return;
    Send(Index, p.Mind.NextOrder());
    p.Waiting = true;
    Orders += Counting ? 1 : 0;
  }

  void Poll(int TimeoutMs) {
    epoll_event events[256];
    int count = epoll_wait(FEpoll, events, 256, TimeoutMs);
    char chunk[65536];
    for (int e = 0; e < count; ++e) {
      std::size_t index = events[e].data.u32;
      TPlayer& p = FPlayers[index];
      if (events[e].events & EPOLLOUT)
        Flush(index);
      if (!(events[e].events & (EPOLLIN | EPOLLHUP | EPOLLERR)))
        continue;
      ssize_t got = recv(p.Fd, chunk, sizeof chunk, 0);
      if (got <= 0) {
        if (got == 0 || (errno != EAGAIN && errno != EINTR))
          epoll_ctl(FEpoll, EPOLL_CTL_DEL, p.Fd, nullptr);
        continue;
      }
      p.In.append(chunk, static_cast<std::size_t>(got));
      std::size_t start = 0;
      for (std::size_t end; (end = p.In.find('\0', start)) != std::string::npos; start = end + 1)
        OnLine(index, p.In.substr(start, end - start));
      p.In.erase(0, start);
      // Both players of the match may have a turn to take now.
      Act(index);
      Act(index ^ 1);
    }
  }

  uint16_t FPort;
  int FEpoll = -1;
  std::vector<TPlayer> FPlayers;
  int FStarted = 0;
  int FEnded = 0;
};

// Plays Matches matches at once on a fresh server and prints the server's CPU per order.
void RunMatches(const std::string& ServerPath, int Matches) {
  // No flood or order limits: each player orders as fast as the answers come.
  auto target = StartLobby(ServerPath, "matches", {"--no-flood-limit", "--max-per-ip", "0"});
  if (!target) {
    std::fprintf(stderr, "the server did not start for matches\n");
    return;
  }
  TMatchLoad load(target->Port, Matches);
  if (!load.Connect() || !load.RunUntilStarted(120000)) {
    std::printf("%d matches could not start\n", Matches);
    return;
  }
  load.Counting = true;
  const double cpuBefore = target->Process->CpuSeconds();
  const double ownBefore = OwnCpuSeconds();
  const int64_t start = NowNs();
  const bool ended = load.RunUntilEnded(600000);
  const double seconds = static_cast<double>(NowNs() - start) / 1e9;
  const double cpu = target->Process->CpuSeconds() - cpuBefore;
  std::printf("\n%d matches at once, 2 protocol players each (plain, 10 points), played to their "
              "end%s:\n"
              "orders %ld (refused %ld, copies out of step %ld) in %.2f s wall: %.0f orders/s; "
              "server CPU %.3f s,\n%.1f us per order; generator CPU %.2f s; server peak %.1f "
              "MiB\n",
              Matches, ended ? "" : " (NOT all ended in time)", load.Orders, load.Refused,
              load.Faults, seconds, static_cast<double>(load.Orders) / seconds, cpu,
              load.Orders > 0 ? cpu * 1e6 / static_cast<double>(load.Orders) : 0.0,
              OwnCpuSeconds() - ownBefore, target->Process->StatusKiB("VmHWM") / 1024.0);
}

} // namespace

// ---- report -------------------------------------------------------------------------------

namespace {

double Median(std::vector<double> Values) {
  if (Values.empty())
    return 0;
  std::sort(Values.begin(), Values.end());
  std::size_t n = Values.size();
  return n % 2 == 1 ? Values[n / 2] : (Values[n / 2 - 1] + Values[n / 2]) / 2;
}

// The median of every figure over the rounds of one target and load.
TRow MedianRow(const std::vector<TRow>& Rounds) {
  TRow m = Rounds.front();
  auto median = [&](double TRow::*Field) {
    std::vector<double> values;
    for (const TRow& r : Rounds)
      values.push_back(r.*Field);
    return Median(values);
  };
  m.PerSecond = median(&TRow::PerSecond);
  m.P50 = median(&TRow::P50);
  m.P99 = median(&TRow::P99);
  m.Cpu = median(&TRow::Cpu);
  m.GeneratorCpu = median(&TRow::GeneratorCpu);
  m.Seconds = median(&TRow::Seconds);
  m.PeakMiB = median(&TRow::PeakMiB);
  for (const TRow& r : Rounds) {
    m.Deliveries = std::min(m.Deliveries, r.Deliveries);
    m.Disconnected = std::max(m.Disconnected, r.Disconnected);
  }
  return m;
}

void PrintRow(const TRow& r, std::size_t Rounds) {
  std::string delivered = std::to_string(r.Deliveries) + "/" + std::to_string(r.Expected);
  std::printf("%-8s %-17s %6zu %17s %12.0f %8.2f %8.2f %7.3f %9.1f %8.3f %7.2f%s\n",
              r.Target.c_str(), r.Load.c_str(), Rounds, delivered.c_str(), r.PerSecond, r.P50,
              r.P99, r.Cpu, r.PeakMiB, r.Seconds, r.GeneratorCpu,
              r.Disconnected ? "  (disconnections!)" : "");
}

} // namespace

int main(int argc, char** argv) {
  std::string serverPath = SERVER_PATH;
  std::string beforePath;
  std::string ngircdPath = "/usr/sbin/ngircd";
  bool quick = false;
  int rounds = 11;
  int matches = 100;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--server" && i + 1 < argc)
      serverPath = argv[++i];
    else if (arg == "--before" && i + 1 < argc)
      beforePath = argv[++i];
    else if (arg == "--matches" && i + 1 < argc && std::atoi(argv[i + 1]) >= 0)
      matches = std::atoi(argv[++i]);
    else if (arg == "--ngircd" && i + 1 < argc)
      ngircdPath = argv[++i];
    else if (arg == "--rounds" && i + 1 < argc && std::atoi(argv[i + 1]) > 0)
      rounds = std::atoi(argv[++i]);
    else if (arg == "--quick")
      quick = true;
    else {
      std::fprintf(stderr, "usage: lobby_bench [--server PATH] [--before PATH] [--ngircd PATH] "
                           "[--rounds N] [--matches N] [--quick]\n");
      return 2;
    }
  }
  if (quick)
    rounds = 1;
  signal(SIGPIPE, SIG_IGN);
  rlimit limit{};
  getrlimit(RLIMIT_NOFILE, &limit);
  limit.rlim_cur = limit.rlim_max;
  setrlimit(RLIMIT_NOFILE, &limit);

  char dirTemplate[] = "/tmp/lobby_bench.XXXXXX";
  std::string dir = mkdtemp(dirTemplate);
  bool haveNgircd = access(ngircdPath.c_str(), X_OK) == 0;
  if (!haveNgircd)
    std::printf("ngircd not found at %s (tools/install-deps.sh --bench): no reference\n",
                ngircdPath.c_str());

  // The pair each round compares: guards off and on, or another build and this one.
  enum TKind { Off, On, Ngircd };
  const bool builds = !beforePath.empty();
  const char* const names[] = {builds ? "before" : "off", builds ? "after" : "guarded", "ngircd"};
  auto start = [&](TKind Kind) {
    if (Kind == Ngircd)
      return StartNgircd(ngircdPath, dir);
    if (builds)
      return StartLobby(Kind == Off ? beforePath : serverPath, names[Kind], GuardsOn);
    return StartLobby(serverPath, names[Kind], Kind == Off ? GuardsOff : GuardsOn);
  };
  struct TLoadShape {
    int Users;
    int PerSecond;
  };
  std::vector<TLoadShape> loads;
  for (int users : quick ? std::vector<int>{50} : std::vector<int>{50, 99, 300})
    loads.push_back({users, 0});
  loads.push_back({50, 1000});

  // rows[load][kind]: one row per round.
  std::vector<std::vector<std::vector<TRow>>> rows(loads.size(), std::vector<std::vector<TRow>>(3));
  for (int round = 0; round < rounds; ++round) {
    for (std::size_t l = 0; l < loads.size(); ++l) {
      // Alternate which lobby goes first, so that neither always meets a warmer machine.
      std::vector<TKind> order =
          round % 2 == 0 ? std::vector<TKind>{Off, On} : std::vector<TKind>{On, Off};
      if (haveNgircd && round == 0 && !builds)
        order.push_back(Ngircd);
      for (TKind kind : order) {
        // A fresh server for every run, so that peaks and CPU belong to that load alone.
        auto target = start(kind);
        if (!target) {
          std::fprintf(stderr, "%s did not start\n", names[kind]);
          continue;
        }
        if (auto row = RunLoad(*target, loads[l].Users, loads[l].PerSecond))
          rows[l][kind].push_back(*row);
      }
    }
  }

  std::printf("Chat fan-out on 127.0.0.1: 50 senders x 20 lines; one epoll thread drives all "
              "clients.\n");
  if (builds)
    std::printf("before: %s; after: %s; both %s (guards on, limits above this load).\n",
                beforePath.c_str(), serverPath.c_str(), "--max-per-ip 1000 --flood-burst 1000");
  else
    std::printf("off: server %s; guarded: server %s (guards on, limits above this load).\n",
                "--no-flood-limit --max-per-ip 0", "--max-per-ip 1000 --flood-burst 1000");
  std::printf("Medians over the rounds (ngircd: one round). cpu s: the server's CPU time during "
              "the load;\nwall s: first send to last receipt; gen s: the generator's own CPU time "
              "(below wall s: it was\nnot the bottleneck).\n\n");
  std::printf("%-8s %-17s %6s %17s %12s %8s %8s %7s %9s %8s %7s\n", "target", "load", "rounds",
              "deliveries", "per second", "p50 ms", "p99 ms", "cpu s", "peak MiB", "wall s",
              "gen s");
  for (std::size_t l = 0; l < loads.size(); ++l)
    for (int kind = Off; kind <= Ngircd; ++kind)
      if (!rows[l][kind].empty())
        PrintRow(MedianRow(rows[l][kind]), rows[l][kind].size());

  // Rounds pair up a run with guards off and one with them on, close together in time; the
  // median of the pairs' ratios shrugs off what other work on the machine does to single runs.
  // CPU time is compared in total over all rounds.
  if (builds) {
    // Each build's deliveries per second over the rounds: its median and the range the rounds
    // spread over. The two agree when each median lies within the other's range.
    std::printf("\nDeliveries per second, median [lowest - highest round]:\n");
    std::printf("%-17s %30s %30s  %s\n", "load", "before", "after", "agree?");
    for (std::size_t l = 0; l < loads.size(); ++l) {
      const std::vector<TRow>& before = rows[l][Off];
      const std::vector<TRow>& after = rows[l][On];
      if (before.empty() || after.empty())
        continue;
      auto spread = [](const std::vector<TRow>& Rounds, double& Low, double& High) {
        std::vector<double> values;
        for (const TRow& r : Rounds)
          values.push_back(r.PerSecond);
        Low = *std::min_element(values.begin(), values.end());
        High = *std::max_element(values.begin(), values.end());
        return Median(values);
      };
      double lowB = 0, highB = 0, lowA = 0, highA = 0;
      double medB = spread(before, lowB, highB);
      double medA = spread(after, lowA, highA);
      char textB[64], textA[64];
      std::snprintf(textB, sizeof textB, "%.0f [%.0f - %.0f]", medB, lowB, highB);
      std::snprintf(textA, sizeof textA, "%.0f [%.0f - %.0f]", medA, lowA, highA);
      bool agree = medB >= lowA && medB <= highA && medA >= lowB && medA <= highB;
      std::printf("%-17s %30s %30s  %s\n", before.front().Load.c_str(), textB, textA,
                  agree ? "agree within the spread" : "DIFFER beyond the spread");
    }
  }
  std::printf(
      "\n%s: median of the %d rounds' ratios for deliveries\nper second and p99, total "
      "CPU time over all rounds. Within 10%%: at least 0.90 of the deliveries\nper second "
      "and at most 1.10 of the CPU time (a burst lasts tens of milliseconds, so single\nruns "
      "scatter by more than that both ways).\n",
      builds ? "This build against the one before (after / before)"
             : "Guards on against guards off (guarded / off)",
      rounds);
  std::printf("%-17s %14s %10s %10s\n", "load", "deliveries/s", "cpu s", "p99 ms");
  for (std::size_t l = 0; l < loads.size(); ++l) {
    const std::vector<TRow>& off = rows[l][Off];
    const std::vector<TRow>& on = rows[l][On];
    if (off.empty() || off.size() != on.size())
      continue;
    std::vector<double> speed, p99;
    double cpuOff = 0, cpuOn = 0;
    for (std::size_t r = 0; r < off.size(); ++r) {
      speed.push_back(off[r].PerSecond > 0 ? on[r].PerSecond / off[r].PerSecond : 0);
      p99.push_back(off[r].P99 > 0 ? on[r].P99 / off[r].P99 : 0);
      cpuOff += off[r].Cpu;
      cpuOn += on[r].Cpu;
    }
    double speedRatio = Median(speed);
    double cpuRatio = cpuOff > 0 ? cpuOn / cpuOff : 0;
    bool within = speedRatio >= 0.9 && cpuRatio <= 1.1;
    std::printf("%-17s %14.3f %10.3f %10.3f  %s\n", off.front().Load.c_str(), speedRatio, cpuRatio,
                Median(p99), within ? "within 10%" : "NOT within 10%");
  }

  // Memory with a thousand users logged in.
  std::printf("\n");
  for (TKind kind : {Off, On, Ngircd}) {
    if (kind == Ngircd && (!haveNgircd || builds))
      continue;
    auto target = start(kind);
    if (!target)
      continue;
    TLoad load(target->Protocol, target->Port);
    if (load.Connect(1000) && load.LogIn(120000))
      std::printf("%-8s 1000 users logged in: resident %.1f MiB (peak %.1f MiB)\n",
                  target->Name.c_str(), target->Process->StatusKiB("VmRSS") / 1024.0,
                  target->Process->StatusKiB("VmHWM") / 1024.0);
    else
      std::printf("%-8s could not log in 1000 users\n", target->Name.c_str());
  }
  if (matches > 0)
    RunMatches(serverPath, matches);
  std::remove((dir + "/ngircd.conf").c_str());
  rmdir(dir.c_str());
  return 0;
}
