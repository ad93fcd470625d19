// No peer can stall, flood or exhaust the lobby: half lines, readers that never read, endless
// lines, resets, crowds, descriptor shortage and interrupted waits.
#include "running_lobby.h"

#include "net/message.h"

#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <pthread.h>
#include <sys/resource.h>

namespace {

using namespace test_support;
using Lines = std::vector<std::string>;

// Announcements of 60 KiB enough to overflow the kernel's largest send buffer and then the
// lobby's 1 MiB output queue of a peer that reads nothing.
int FloodCount() {
  std::ifstream in("/proc/sys/net/ipv4/tcp_wmem");
  long low = 0, initial = 0, most = 4 * 1024 * 1024;
  in >> low >> initial >> most;
  return static_cast<int>((most + 3 * 1024 * 1024) / (60 * 1024)) + 1;
}

// Floods and crowds from one address, as the guards' own tests do not.
class LobbyRobustness : public ::testing::Test {
protected:
  TRunningLobby Lobby{Unguarded()};
};

TEST_F(LobbyRobustness, AHalfSentLineStallsNobody) {
  auto slow = LogIn(Lobby.Port, "slow");
  slow->SendRaw("C|hal");
  auto quick = LogIn(Lobby.Port, "quick");
  EXPECT_EQ(quick->ReadLine(), "U|slow");
  quick->SendLine("C|still here");
  EXPECT_EQ(quick->ReadLine(), "C|quick|still here");
  slow->SendRaw(std::string("f\0", 2));
  EXPECT_EQ(quick->ReadLine(), "C|slow|half");
  EXPECT_EQ(ReadLines(*slow, 3), (Lines{"E|quick", "C|quick|still here", "C|slow|half"}));
}

TEST_F(LobbyRobustness, AUserWhoNeverReadsIsDroppedWhileOthersGetEverything) {
  auto talker = LogIn(Lobby.Port, "talker");
  auto sleeper = std::make_unique<TLineClient>(Lobby.Port, 4096);
  sleeper->SendLine("L|sleeper|pw");
  EXPECT_EQ(talker->ReadLine(), "E|sleeper");
  const int count = FloodCount();
  const std::string name(60 * 1024, 'n');
  std::thread sender([&] {
    for (int i = 0; i < count; ++i)
      talker->SendLine("G|map|" + std::to_string(i) + "|" + name);
  });
  int announced = 0;
  bool sleeperLeft = false;
  while (announced < count || !sleeperLeft) {
    auto line = talker->ReadLine();
    ASSERT_TRUE(line.has_value()) << "after " << announced << " announcements";
    if (*line == "X|sleeper") {
      sleeperLeft = true;
      continue;
    }
    ASSERT_EQ(*line, "G|" + std::to_string(101 + announced) + "|" + name + "|map|" +
                         std::to_string(announced) + "|talker");
    ++announced;
  }
  sender.join();
  EXPECT_TRUE(sleeper->WaitClosed());
}

TEST_F(LobbyRobustness, ALineLongerThan64KiBEndsItsConnection) {
  auto [watcher, writer] = LogInPair(Lobby.Port, "watcher", "writer");
  const std::string longest(64 * 1024 - 2, 'x'); // with "C|" exactly 64 KiB
  writer->SendLine("C|" + longest);
  EXPECT_EQ(watcher->ReadLine(), "C|writer|" + longest);
  writer->SendRawUntilClosed(std::string(1024 * 1024, 'y')); // 1 MiB, no terminator
  EXPECT_EQ(watcher->ReadLine(), "X|writer");
  EXPECT_TRUE(writer->WaitClosed());
}

TEST_F(LobbyRobustness, AnAbruptResetIsADisconnection) {
  auto watcher = LogIn(Lobby.Port, "watcher");
  auto leaver = LogIn(Lobby.Port, "leaver");
  EXPECT_EQ(watcher->ReadLine(), "E|leaver");
  leaver->SendLine("G|m|1|doomed");
  EXPECT_EQ(watcher->ReadLine(), "G|101|doomed|m|1|leaver");
  leaver->SendRaw("C|half a li");
  leaver->Reset();
  EXPECT_EQ(ReadLines(*watcher, 2), (Lines{"H|101", "X|leaver"}));
  auto next = LogIn(Lobby.Port, "next");
  EXPECT_EQ(next->ReadLine(), "U|watcher");
}

TEST_F(LobbyRobustness, ThreeHundredUsersChatTogether) {
  const int users = 300;
  std::vector<std::unique_ptr<TLineClient>> clients;
  for (int i = 0; i < users; ++i)
    clients.push_back(LogIn(Lobby.Port, "u" + std::to_string(i)));
  for (int i = 0; i < users; ++i)
    clients[static_cast<std::size_t>(i)]->SendLine("C|hello from " + std::to_string(i));
  for (int i = 0; i < users; ++i) {
    TLineClient& client = *clients[static_cast<std::size_t>(i)];
    int entered = 0, listed = 0;
    std::vector<bool> heard(users, false);
    for (int chats = 0; chats < users;) {
      auto line = client.ReadLine();
      ASSERT_TRUE(line.has_value()) << "user " << i << " after " << chats << " chat lines";
      if (line->rfind("E|", 0) == 0) {
        ++entered;
      } else if (line->rfind("U|", 0) == 0) {
        ++listed;
      } else {
        TMsg msg(*line);
        ASSERT_EQ(msg.GetType(), 'C') << *line;
        int from = std::stoi(msg.GetToken(1).substr(1));
        EXPECT_EQ(msg.GetToken(2), "hello from " + std::to_string(from));
        EXPECT_FALSE(heard[static_cast<std::size_t>(from)]);
        heard[static_cast<std::size_t>(from)] = true;
        ++chats;
      }
    }
    EXPECT_EQ(listed, i);
    EXPECT_EQ(entered, users - 1 - i);
  }
}

TEST_F(LobbyRobustness, ConnectionsBeyondTheLimitAreClosedAtOnce) {
  const std::size_t limit = TPacketServer::DefaultMaxConnections;
  std::vector<std::unique_ptr<TLineClient>> clients;
  for (std::size_t i = 0; i < limit; ++i)
    clients.push_back(std::make_unique<TLineClient>(Lobby.Port));
  TLineClient extra(Lobby.Port);
  EXPECT_TRUE(extra.WaitClosed());
  clients.front()->SendLine("L|first|pw");
  EXPECT_EQ(clients.front()->ReadLine(), "O|first");
  clients.back()->SendLine("L|last|pw");
  EXPECT_EQ(clients.back()->ReadLine(), "O|last");
  clients[1]->Close();
  // The freed place goes to the next comer. Its login also proves the close was handled.
  EXPECT_TRUE(AdmittedOnceFreed(Lobby.Port, "again"));
}

int OpenDescriptors() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (readdir(dir) != nullptr)
      ++count;
    closedir(dir);
  }
  return count;
}

TEST_F(LobbyRobustness, EveryEndOfAConnectionReleasesItsDescriptor) {
  const int before = OpenDescriptors();
  {
    auto watcher = LogIn(Lobby.Port, "watcher");
    TLineClient closer(Lobby.Port);
    TLineClient resetter(Lobby.Port);
    TLineClient rude(Lobby.Port);
    TLineClient longLine(Lobby.Port);
    auto sleeper = std::make_unique<TLineClient>(Lobby.Port, 4096);
    sleeper->SendLine("L|sleeper|pw");
    EXPECT_EQ(watcher->ReadLine(), "E|sleeper");
    closer.Close();
    resetter.Reset();
    rude.SendLine("C|not logged in");
    longLine.SendRawUntilClosed(std::string(70 * 1024, 'z'));
    EXPECT_TRUE(rude.WaitClosed());
    EXPECT_TRUE(longLine.WaitClosed());
    const std::string name(60 * 1024, 'n');
    const int count = FloodCount();
    std::thread flood([&] {
      for (int i = 0; i < count; ++i)
        watcher->SendLine("G|m|1|" + name);
    });
    // The watcher reads to its last announcement, so that only the sleeper's output piles up.
    bool dropped = false;
    for (int announced = 0; announced < count || !dropped;) {
      auto line = watcher->ReadLine();
      if (!line)
        break;
      if (*line == "X|sleeper")
        dropped = true;
      else
        ++announced;
    }
    flood.join();
    EXPECT_TRUE(dropped);
  }
  int now = OpenDescriptors();
  for (int i = 0; i < 500 && now != before; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    now = OpenDescriptors();
  }
  EXPECT_EQ(now, before);
}

int HighestDescriptor() {
  int highest = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (dirent* entry = readdir(dir))
      highest = std::max(highest, std::atoi(entry->d_name));
    closedir(dir);
  }
  return highest;
}

TEST_F(LobbyRobustness, ConnectionsAreRefusedNotStuckWhenDescriptorsRunOut) {
  auto keeper = LogIn(Lobby.Port, "keeper");
  // Sockets made before the shortage; connecting them needs no new descriptor here.
  std::vector<int> pending;
  for (int i = 0; i < 3; ++i)
    pending.push_back(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  rlimit saved{};
  getrlimit(RLIMIT_NOFILE, &saved);
  rlimit tight = saved;
  tight.rlim_cur = static_cast<rlim_t>(HighestDescriptor() + 1);
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
  std::vector<int> fillers; // take every free number below the limit
  for (int fd = open("/dev/null", O_RDONLY | O_CLOEXEC); fd >= 0;
       fd = open("/dev/null", O_RDONLY | O_CLOEXEC))
    fillers.push_back(fd);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(Lobby.Port);
  for (int fd : pending)
    ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  // Each is taken and closed: the peer sees its connection end.
  for (int fd : pending) {
    pollfd entry{fd, POLLIN, 0};
    ASSERT_EQ(poll(&entry, 1, WaitMs), 1);
    char byte;
    EXPECT_LE(recv(fd, &byte, 1, 0), 0);
  }
  keeper->SendLine("C|still serving");
  EXPECT_EQ(keeper->ReadLine(), "C|keeper|still serving");
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
  for (int fd : pending)
    close(fd);
  for (int fd : fillers)
    close(fd);
  auto later = LogIn(Lobby.Port, "later");
  EXPECT_EQ(later->ReadLine(), "U|keeper");
}

void Ignore(int) {}

TEST_F(LobbyRobustness, InterruptedWaitsAreResumedAndStopEndsTheLoop) {
  struct sigaction action {};
  action.sa_handler = Ignore;
  sigemptyset(&action.sa_mask);
  sigaction(SIGUSR1, &action, nullptr);
  auto anna = LogIn(Lobby.Port, "anna");
  for (int i = 0; i < 20; ++i) {
    pthread_kill(Lobby.Thread(), SIGUSR1);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  anna->SendLine("C|after signals");
  EXPECT_EQ(anna->ReadLine(), "C|anna|after signals");
  EXPECT_TRUE(Lobby.Stop());
}

} // namespace
