// The lobby's guards over real connections on 127.0.0.1, with their limits made small (and
// their times short) so that each test meets them quickly: flood control, connections per
// address, the time limit for logging in, keepalive, the game list's limits, and a loop that
// sleeps while nothing is due.
#include "running_lobby.h"

#include "net/message.h"

#include <dirent.h>
#include <netinet/tcp.h>
#include <pthread.h>
#include <time.h>

namespace {

using namespace test_support;
using namespace std::chrono_literals;
using Lines = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

// Default limits changed by Change.
template <class F>
TServerLimits LimitsWith(F Change) {
  TServerLimits limits;
  Change(limits);
  return limits;
}

std::string ServerSays(const std::string& Text) {
  return MSG('C', {TGameServer::ServerName, Text});
}

uint16_t LocalPortOf(int Fd) {
  sockaddr_in address{};
  socklen_t len = sizeof address;
  getsockname(Fd, reinterpret_cast<sockaddr*>(&address), &len);
  return ntohs(address.sin_port);
}

// The lobby's own end of Client's connection, found among this process's descriptors: the
// socket bound to the lobby's port whose peer is the client's port. -1 when there is none.
int ServerSideOf(const TLineClient& Client, uint16_t LobbyPort) {
  const uint16_t peerPort = LocalPortOf(Client.Fd());
  int found = -1;
  DIR* dir = opendir("/proc/self/fd");
  if (dir == nullptr)
    return -1;
  while (dirent* entry = readdir(dir)) {
    int fd = std::atoi(entry->d_name);
    sockaddr_in local{}, peer{};
    socklen_t len = sizeof local;
    if (fd <= 2 || getsockname(fd, reinterpret_cast<sockaddr*>(&local), &len) != 0 ||
        local.sin_family != AF_INET || ntohs(local.sin_port) != LobbyPort)
      continue;
    len = sizeof peer;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &len) == 0 &&
        ntohs(peer.sin_port) == peerPort)
      found = fd;
  }
  closedir(dir);
  return found;
}

// Waits until the lobby has taken Client's connection; its descriptor, or -1.
int WaitServerSide(const TLineClient& Client, uint16_t LobbyPort) {
  for (int i = 0; i < WaitMs / 10; ++i) {
    int fd = ServerSideOf(Client, LobbyPort);
    if (fd >= 0)
      return fd;
    std::this_thread::sleep_for(10ms);
  }
  return -1;
}

int IntOption(int Fd, int Level, int Name) {
  int value = -1;
  socklen_t len = sizeof value;
  if (getsockopt(Fd, Level, Name, &value, &len) != 0)
    return -2;
  return value;
}

// ---- flood control ---------------------------------------------------------------------------

TEST(LobbyGuards, FloodControlDropsLinesOverTheBurstAndTellsOnlyTheSender) {
  TRunningLobby lobby(LimitsWith([](TServerLimits& L) {
    L.Lobby.FloodBurst = 5;
    L.Lobby.FloodRate = 2;
  }));
  auto [bob, anna] = LogInPair(lobby.Port, "bob", "anna");
  std::string burst;
  for (int i = 0; i < 8; ++i)
    burst += MSG('C', {"line " + std::to_string(i)}) + '\0';
  burst += MSG('G', {"forest", "10", "too soon"}) + '\0';
  anna->SendRaw(burst);
  Lines relayed;
  for (int i = 0; i < 5; ++i)
    relayed.push_back("C|anna|line " + std::to_string(i));
  const std::string limit = "(at most 5 lines at once, then 2 a second).";
  Lines toAnna = relayed;
  for (int i = 0; i < 3; ++i)
    toAnna.push_back(ServerSays("Line dropped: you are sending too fast " + limit));
  toAnna.push_back(ServerSays("Game not announced: you are sending too fast " + limit));
  EXPECT_EQ(ReadLines(*anna, toAnna.size()), toAnna);
  EXPECT_EQ(ReadLines(*bob, relayed.size()), relayed);
  // Bob has a bucket of his own, and his line is the next thing either of them hears.
  bob->SendLine("C|calm down");
  EXPECT_EQ(bob->ReadLine(), "C|bob|calm down");
  EXPECT_EQ(anna->ReadLine(), "C|bob|calm down");
  // Half a second gives anna one line again.
  std::this_thread::sleep_for(600ms);
  anna->SendLine("C|sorry");
  EXPECT_EQ(anna->ReadLine(), "C|anna|sorry");
  EXPECT_EQ(bob->ReadLine(), "C|anna|sorry");
  EXPECT_TRUE(lobby.Stop());
  EXPECT_EQ(lobby.Server.Stats().LinesDropped, 4u);
  EXPECT_EQ(lobby.Server.Stats().LinesRelayed, 7u);
}

TEST(LobbyGuards, FloodLimitsFromDefaultToOff) {
  struct TCase {
    const char* Name;
    TServerLimits Limits;
    int Sent;
    int Relayed;
  };
  const TCase cases[] = {
      {"default", TServerLimits{}, 25, 20},
      {"burst 50", LimitsWith([](TServerLimits& L) { L.Lobby.FloodBurst = 50; }), 60, 50},
      {"off", LimitsWith([](TServerLimits& L) { L.Lobby.FloodLimit = false; }), 500, 500},
  };
  for (const TCase& c : cases) {
    TRunningLobby lobby(c.Limits);
    auto [watcher, talker] = LogInPair(lobby.Port, "watcher", "talker");
    std::string lines;
    for (int i = 0; i < c.Sent; ++i)
      lines += "C|" + std::to_string(i) + '\0';
    talker->SendRaw(lines);
    // The watcher hears the relayed lines, in order, and then the marker of the end.
    watcher->SendLine("C|end");
    int heard = 0;
    for (auto line = watcher->ReadLine(); line && *line != "C|watcher|end";
         line = watcher->ReadLine()) {
      ASSERT_EQ(*line, "C|talker|" + std::to_string(heard)) << c.Name;
      ++heard;
    }
    EXPECT_EQ(heard, c.Relayed) << c.Name;
  }
}

TEST(LobbyGuards, AnotherLoginOnTheSameConnectionDoesNotRefillTheBucket) {
  TRunningLobby lobby(LimitsWith([](TServerLimits& L) {
    L.Lobby.FloodBurst = 2;
    L.Lobby.FloodRate = 0.1;
  }));
  auto anna = LogIn(lobby.Port, "anna");
  anna->SendLines({"C|1", "C|2", "Q|", "L|anna|pw", "C|3"});
  const std::string dropped =
      ServerSays("Line dropped: you are sending too fast (at most 2 lines at once, then 0.1 a "
                 "second).");
  EXPECT_EQ(ReadLines(*anna, 4), (Lines{"C|anna|1", "C|anna|2", "O|anna", dropped}));
}

// ---- connections per address -----------------------------------------------------------------

TEST(LobbyGuards, ConnectionsFromOneAddressBeyondTheLimitAreClosedAtOnce) {
  TRunningLobby lobby(LimitsWith([](TServerLimits& L) { L.Connections.MaxPerAddress = 3; }));
  auto anna = LogIn(lobby.Port, "anna");
  TLineClient second(lobby.Port);
  TLineClient third(lobby.Port);
  TLineClient fourth(lobby.Port);
  EXPECT_TRUE(fourth.WaitClosed());
  third.SendLine("L|carl|pw");
  EXPECT_EQ(third.ReadLine(), "O|carl");
  EXPECT_EQ(third.ReadLine(), "U|anna");
  anna->SendLine("C|still here");
  EXPECT_EQ(anna->ReadLine(), "E|carl");
  EXPECT_EQ(anna->ReadLine(), "C|anna|still here");
  // A place that frees up goes to the next comer.
  second.Close();
  EXPECT_TRUE(AdmittedOnceFreed(lobby.Port, "dora"));
  EXPECT_TRUE(lobby.Stop());
  EXPECT_GE(lobby.Server.PacketServer->Stats().RefusedPerAddress, 1u);
}

TEST(LobbyGuards, NoLimitPerAddressWithZero) {
  TRunningLobby lobby(LimitsWith([](TServerLimits& L) { L.Connections.MaxPerAddress = 0; }));
  std::vector<std::unique_ptr<TLineClient>> clients;
  for (int i = 0; i < 40; ++i)
    clients.push_back(std::make_unique<TLineClient>(lobby.Port));
  for (int i = 0; i < 40; ++i) {
    clients[static_cast<std::size_t>(i)]->SendLine("L|u" + std::to_string(i) + "|pw");
    EXPECT_EQ(clients[static_cast<std::size_t>(i)]->ReadLine(), "O|u" + std::to_string(i));
  }
}

// ---- the time limit for logging in -----------------------------------------------------------

TEST(LobbyGuards, ConnectionsThatDoNotLogInInTimeAreClosed) {
  const auto timeout = 500ms;
  TRunningLobby lobby(LimitsWith([&](TServerLimits& L) { L.Lobby.LoginTimeout = timeout; }));
  const auto start = Clock::now();
  TLineClient silent(lobby.Port);
  TLineClient refused(lobby.Port);
  TLineClient quitter(lobby.Port);
  auto user = LogIn(lobby.Port, "anna");
  quitter.SendLine("L|bob|pw");
  EXPECT_EQ(quitter.ReadLine(), "O|bob");
  // Refused logins and R lines do not buy time.
  for (int i = 0; i < 3; ++i) {
    refused.SendLine("L|Sam|pw");
    EXPECT_EQ(refused.ReadLine(), "N|Invalid user/pass");
    refused.SendLine("R|");
    std::this_thread::sleep_for(100ms);
  }
  EXPECT_TRUE(silent.WaitClosed());
  EXPECT_TRUE(refused.WaitClosed());
  const auto closed = Clock::now() - start;
  EXPECT_GE(closed, timeout - 50ms);
  // Logging out starts the time again; the user who stayed is never timed out.
  const auto logout = Clock::now();
  quitter.SendLine("Q|");
  EXPECT_TRUE(quitter.WaitClosed());
  EXPECT_GE(Clock::now() - logout, timeout - 50ms);
  std::this_thread::sleep_for(timeout);
  user->SendLine("C|still here");
  Lines heard;
  for (auto line = user->ReadLine(); line && *line != "C|anna|still here"; line = user->ReadLine())
    heard.push_back(*line);
  EXPECT_EQ(heard, (Lines{"E|bob", "X|bob"}));
  EXPECT_TRUE(lobby.Stop());
  EXPECT_EQ(lobby.Server.Stats().ClosedIdle, 3u);
}

TEST(LobbyGuards, ALoginInTimeStopsTheClock) {
  TRunningLobby lobby(LimitsWith([](TServerLimits& L) { L.Lobby.LoginTimeout = 300ms; }));
  TLineClient client(lobby.Port);
  std::this_thread::sleep_for(150ms);
  client.SendLine("L|anna|pw");
  EXPECT_EQ(client.ReadLine(), "O|anna");
  std::this_thread::sleep_for(600ms);
  client.SendLine("C|hello");
  EXPECT_EQ(client.ReadLine(), "C|anna|hello");
  EXPECT_TRUE(lobby.Stop());
  EXPECT_EQ(lobby.Server.Stats().ClosedIdle, 0u);
}

// ---- keepalive --------------------------------------------------------------------------------

TEST(LobbyGuards, EveryConnectionGetsKeepalive) {
  struct TCase {
    const char* Name;
    TKeepAlive Settings;
  };
  const TCase cases[] = {
      {"default", TKeepAlive{}},
      {"short", TKeepAlive{5s, 2s, 3}},
      {"off", TKeepAlive{0s, 10s, 6}},
  };
  for (const TCase& c : cases) {
    TRunningLobby lobby(
        LimitsWith([&](TServerLimits& L) { L.Connections.KeepAlive = c.Settings; }));
    TLineClient anonymous(lobby.Port);
    auto user = LogIn(lobby.Port, "anna");
    for (const TLineClient* client : {&anonymous, user.get()}) {
      int fd = WaitServerSide(*client, lobby.Port);
      ASSERT_GE(fd, 0) << c.Name;
      const bool on = c.Settings.Idle.count() > 0;
      EXPECT_EQ(IntOption(fd, SOL_SOCKET, SO_KEEPALIVE), on ? 1 : 0) << c.Name;
      if (on) {
        EXPECT_EQ(IntOption(fd, IPPROTO_TCP, TCP_KEEPIDLE), c.Settings.Idle.count()) << c.Name;
        EXPECT_EQ(IntOption(fd, IPPROTO_TCP, TCP_KEEPINTVL), c.Settings.Interval.count()) << c.Name;
        EXPECT_EQ(IntOption(fd, IPPROTO_TCP, TCP_KEEPCNT), c.Settings.Probes) << c.Name;
      }
    }
  }
}

TEST(LobbyGuards, APeerTheSystemGivesUpOnIsRemovedLikeOneThatLeft) {
  TRunningLobby lobby(Unguarded());
  auto watcher = LogIn(lobby.Port, "watcher");
  TLineClient gone(lobby.Port, 4096);
  gone.SendLine("L|gone|pw");
  EXPECT_EQ(gone.ReadLine(), "O|gone");
  gone.SendLine("G|m|1|left behind");
  EXPECT_EQ(ReadLines(*watcher, 2), (Lines{"E|gone", "G|101|left behind|m|1|gone"}));
  // The peer stops reading; the lobby's end holds little and gives up soon on a peer that
  // takes nothing, as it would on one that stopped answering keepalive probes.
  int fd = WaitServerSide(gone, lobby.Port);
  ASSERT_GE(fd, 0);
  int small = 4096;
  unsigned giveUpMs = 300;
  ASSERT_EQ(setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &small, sizeof small), 0);
  ASSERT_EQ(setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &giveUpMs, sizeof giveUpMs), 0);
  const std::string text(4000, 't');
  Lines tail;
  for (int i = 0; i < 40 && tail.empty(); ++i) {
    watcher->SendLine("C|" + text);
    for (auto line = watcher->ReadLine(); line; line = watcher->ReadLine(200))
      if (line->rfind("C|watcher|", 0) != 0)
        tail.push_back(*line);
  }
  while (tail.size() < 2) {
    auto line = watcher->ReadLine();
    ASSERT_TRUE(line.has_value());
    if (line->rfind("C|watcher|", 0) != 0)
      tail.push_back(*line);
  }
  EXPECT_EQ(tail, (Lines{"H|101", "X|gone"}));
  EXPECT_TRUE(lobby.Stop());
  EXPECT_EQ(lobby.Server.PacketServer->Stats().TimedOut, 1u);
  EXPECT_EQ(lobby.Server.PacketServer->Stats().DroppedOutput, 0u);
}

// ---- the game list's limits ------------------------------------------------------------------

TEST(LobbyGuards, GamesBeyondTheLimitsAreRefusedPlainlyAndNumbersAreNotUsedUp) {
  TRunningLobby lobby(LimitsWith([](TServerLimits& L) {
    L.Lobby.MaxGamesPerUser = 2;
    L.Lobby.MaxGames = 3;
  }));
  auto [bob, anna] = LogInPair(lobby.Port, "bob", "anna");
  anna->SendLines({"G|m|1|a1", "G|m|1|a2", "G|m|1|a3"});
  EXPECT_EQ(ReadLines(*anna, 3),
            (Lines{"G|101|a1|m|1|anna", "G|102|a2|m|1|anna",
                   ServerSays("Game not announced: you already have the most games one user "
                              "may announce (2).")}));
  bob->SendLines({"G|m|1|b1", "G|m|1|b2"});
  EXPECT_EQ(ReadLines(*bob, 4),
            (Lines{
                "G|101|a1|m|1|anna",
                "G|102|a2|m|1|anna",
                "G|103|b1|m|1|bob",
                ServerSays("Game not announced: the lobby already lists the most games it "
                           "holds (3)."),
            }));
  EXPECT_EQ(anna->ReadLine(), "G|103|b1|m|1|bob");
  // Games removed with their creator make room again.
  anna->SendLine("Q|");
  EXPECT_EQ(ReadLines(*bob, 3), (Lines{"H|102", "H|101", "X|anna"}));
  bob->SendLine("G|m|1|b2");
  EXPECT_EQ(bob->ReadLine(), "G|104|b2|m|1|bob");
  auto carl = LogIn(lobby.Port, "carl");
  EXPECT_EQ(ReadLines(*carl, 3), (Lines{"U|bob", "G|103|b1|m|1|bob", "G|104|b2|m|1|bob"}));
  EXPECT_TRUE(lobby.Stop());
  EXPECT_EQ(lobby.Server.Stats().GamesRefused, 2u);
}

TEST(LobbyGuards, TheGameListStaysSmallEnoughToReachEveryNewcomer) {
  // Room for the long announcement and a short one, not for two long ones.
  const std::string longName(100, 'n');
  const std::string longLine = "G|101|" + longName + "|m|1|anna";
  const std::string shortLine = "G|102|x|m|1|anna";
  TRunningLobby lobby(LimitsWith([&](TServerLimits& L) {
    L.Lobby.MaxGameListBytes = longLine.size() + 1 + shortLine.size() + 1;
  }));
  auto anna = LogIn(lobby.Port, "anna");
  anna->SendLine("G|m|1|" + longName);
  anna->SendLine("G|m|1|" + longName);
  anna->SendLine("G|m|1|x");
  EXPECT_EQ(ReadLines(*anna, 3),
            (Lines{longLine, ServerSays("Game not announced: the lobby's list of games is full."),
                   shortLine}));
  anna->SendLine("G|m|1|y");
  EXPECT_EQ(anna->ReadLine(), ServerSays("Game not announced: the lobby's list of games is full."));
  anna->SendLine("Q|");
  EXPECT_EQ(ReadLines(*anna, 2), (Lines{"H|102", "H|101"}));
  anna->SendLine("L|anna|pw");
  EXPECT_EQ(anna->ReadLine(), "O|anna");
  anna->SendLine("G|m|1|" + longName);
  EXPECT_EQ(anna->ReadLine(), "G|103|" + longName + "|m|1|anna");
}

// ---- the loop sleeps while nothing is due ----------------------------------------------------

double ThreadCpuSeconds(pthread_t Thread) {
  clockid_t clock;
  timespec used{};
  if (pthread_getcpuclockid(Thread, &clock) != 0 || clock_gettime(clock, &used) != 0)
    return -1;
  return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) / 1e9;
}

TEST(LobbyGuards, TimersDoNotKeepTheLoopBusy) {
  // A summary five times a second and a connection waiting to log in: the loop wakes for them
  // and sleeps in between.
  TRunningLobby lobby(LimitsWith([](TServerLimits& L) { L.Lobby.SummaryInterval = 200ms; }));
  TLineClient waiting(lobby.Port);
  auto anna = LogIn(lobby.Port, "anna");
  const double before = ThreadCpuSeconds(lobby.Thread());
  std::this_thread::sleep_for(1s);
  const double used = ThreadCpuSeconds(lobby.Thread()) - before;
  ASSERT_GE(before, 0);
  EXPECT_LT(used, 0.1) << "the serving thread used " << used << " s of processor in 1 s idle";
  anna->SendLine("C|awake");
  EXPECT_EQ(anna->ReadLine(), "C|anna|awake");
}

TEST(LobbyGuards, SummaryCountsWhatTheGuardsDid) {
  TRunningLobby lobby(LimitsWith([](TServerLimits& L) {
    L.Connections.MaxPerAddress = 3;
    L.Lobby.FloodBurst = 1;
    L.Lobby.FloodRate = 0.01;
    L.Lobby.MaxGamesPerUser = 1;
  }));
  auto anna = LogIn(lobby.Port, "anna");
  TLineClient rude(lobby.Port);
  TLineClient extra(lobby.Port);
  TLineClient refused(lobby.Port);
  EXPECT_TRUE(refused.WaitClosed());
  rude.SendLine("C|hi");
  EXPECT_TRUE(rude.WaitClosed());
  anna->SendLines({"G|m|1|g", "C|fast"});
  EXPECT_EQ(anna->ReadLine(), "G|101|g|m|1|anna");
  EXPECT_EQ(anna->ReadLine()->rfind("C|Server|Line dropped", 0), 0u);
  EXPECT_TRUE(lobby.Stop());
  EXPECT_EQ(lobby.Server.Summary(),
            "Summary: users 1, games 1, connections 2; since start: connections 3, lines relayed "
            "1, lines dropped for flooding 1, games refused 0; connections closed: over the "
            "per-address limit 1, over the connection limit 0, no descriptors 0, not logged in "
            "in time 0, unexpected message 1, line too long 0, output piling up 0, peer timed "
            "out 0");
}

} // namespace
