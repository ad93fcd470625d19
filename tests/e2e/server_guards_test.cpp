// The server program's guards as an operator sees them: one log line for each guard that acts,
// the summary line on a timer and on SIGUSR1, and an ordinary session that meets none of them.
#include "started_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace test_support;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Lines = std::vector<std::string>;

std::string Summary(const std::string& Now, const std::string& SinceStart,
                    const std::string& Closed) {
  return "Summary: " + Now + "; since start: " + SinceStart + "; connections closed: " + Closed;
}

const std::string NothingClosed =
    "over the per-address limit 0, over the connection limit 0, no descriptors 0, not logged in "
    "in time 0, unexpected message 0, line too long 0, output piling up 0, peer timed out 0";

TEST(ServerGuards, EachGuardWritesItsLogLine) {
  TStartedServer server({"--flood-burst", "2", "--flood-rate", "4", "--max-per-ip", "2",
                         "--login-timeout", "0.5", "--max-games-per-user", "1",
                         "--summary-interval", "0"});
  TServerProcess& log = *server.Process;
  TLineClient anna(server.Port);
  anna.SendLine("L|anna|pw");
  EXPECT_EQ(anna.ReadLine(), "O|anna");
  EXPECT_EQ(log.ReadLogText(), "Connected 127.0.0.1");
  EXPECT_EQ(log.ReadLogText(), "Autenticating user: anna pass: ********");
  EXPECT_EQ(log.ReadLogText(), "User autenticated anna ip: 127.0.0.1");

  // Flood control: the third line at once is not relayed.
  anna.SendLines({"C|a", "C|b", "C|c"});
  EXPECT_EQ(log.ReadLogText(), "#anna: a");
  EXPECT_EQ(log.ReadLogText(), "#anna: b");
  EXPECT_EQ(log.ReadLogText(), "Flood control: not relaying lines from anna ip: 127.0.0.1 (over 2 "
                               "lines at once, then 4 a second)");
  EXPECT_EQ(ReadLines(anna, 3),
            (Lines{"C|anna|a", "C|anna|b",
                   "C|Server|Line dropped: you are sending too fast (at most 2 lines at once, "
                   "then 4 a second)."}));

  // Connections per address, then the time limit for logging in.
  TLineClient idle(server.Port);
  EXPECT_EQ(log.ReadLogText(), "Connected 127.0.0.1");
  TLineClient extra(server.Port);
  EXPECT_EQ(log.ReadLogText(),
            "Refused connection from 127.0.0.1: already 2 connections from this address");
  EXPECT_TRUE(extra.WaitClosed());
  EXPECT_EQ(log.ReadLogText(), "Closing connection 127.0.0.1: not logged in within 0.5 seconds");
  EXPECT_EQ(log.ReadLogText(), "Gracefully disconnected 127.0.0.1");
  EXPECT_TRUE(idle.WaitClosed());

  // Half a second on, anna's bucket is full again; her second game is one too many.
  anna.SendLine("G|forest|10|first");
  EXPECT_EQ(anna.ReadLine(), "G|101|first|forest|10|anna");
  EXPECT_EQ(log.ReadLogText(),
            "Flood control: relaying lines from anna ip: 127.0.0.1 again (1 dropped)");
  anna.SendLine("G|forest|10|second");
  EXPECT_EQ(anna.ReadLine(), "C|Server|Game not announced: you already have the most games one "
                             "user may announce (1).");
  EXPECT_EQ(log.ReadLogText(), "Not announcing a game of anna ip: 127.0.0.1: you already have "
                               "the most games one user may announce (1)");

  // The summary on request tells all of it.
  log.Signal(SIGUSR1);
  EXPECT_EQ(log.ReadLogText(),
            Summary("users 1, games 1, connections 1",
                    "connections 2, lines relayed 3, lines dropped for flooding 1, games "
                    "refused 1",
                    "over the per-address limit 1, over the connection limit 0, no descriptors "
                    "0, not logged in in time 1, unexpected message 0, line too long 0, output "
                    "piling up 0, peer timed out 0"));
  log.Signal(SIGTERM);
  EXPECT_EQ(log.ReadLogText(), "Closing server!");
  EXPECT_EQ(log.Wait(), 0);
}

TEST(ServerGuards, TheSummaryComesEveryIntervalWithNothingElseHappening) {
  // Only lower bounds from a time taken before the start are safe: a busy machine may delay
  // the reader, so lines can be read in quick succession although written an interval apart.
  const auto start = Clock::now();
  TStartedServer server({"--summary-interval", "0.3"});
  TServerProcess& log = *server.Process;
  const std::string quiet = Summary("users 0, games 0, connections 0",
                                    "connections 0, lines relayed 0, lines dropped for flooding "
                                    "0, games refused 0",
                                    NothingClosed);
  for (int i = 1; i <= 4; ++i) {
    EXPECT_EQ(log.ReadLogText(), quiet);
    EXPECT_GE(Clock::now() - start, i * 290ms);
  }
}

TEST(ServerGuards, SigusrOneAsksForTheSummaryAtOnce) {
  // With the default interval of ten minutes, and with none: only the signal writes it.
  for (const std::vector<std::string>& options :
       {std::vector<std::string>{}, std::vector<std::string>{"--summary-interval", "0"}}) {
    TStartedServer server(options);
    TServerProcess& log = *server.Process;
    TLineClient anna(server.Port);
    anna.SendLine("L|anna|pw");
    EXPECT_EQ(anna.ReadLine(), "O|anna");
    for (int i = 0; i < 3; ++i)
      log.ReadLogText();
    EXPECT_EQ(log.ReadLogText(300), "<none>");
    for (int i = 0; i < 2; ++i) {
      log.Signal(SIGUSR1);
      EXPECT_EQ(log.ReadLogText(),
                Summary("users 1, games 0, connections 1",
                        "connections 1, lines relayed 0, lines dropped for flooding 0, games "
                        "refused 0",
                        NothingClosed));
    }
    anna.SendLine("C|still serving");
    EXPECT_EQ(anna.ReadLine(), "C|anna|still serving");
  }
}

// A person logs in, chats at typing speed, announces a game and leaves; another comes and goes.
// With the default limits the log and the lines are exactly those of a lobby without guards.
TEST(ServerGuards, AnOrdinarySessionMeetsNoGuard) {
  TStartedServer server;
  TServerProcess& log = *server.Process;
  Lines expectedLog = {"Connected 127.0.0.1", "Autenticating user: anna pass: ********",
                       "User autenticated anna ip: 127.0.0.1"};
  auto anna = std::make_unique<TLineClient>(server.Port);
  std::this_thread::sleep_for(300ms); // typing the name and the password
  anna->SendLine("L|anna|secret");
  EXPECT_EQ(anna->ReadLine(), "O|anna");
  Lines annaHeard;
  for (int i = 0; i < 6; ++i) {
    // The client writes "|" in a line as "&pipe;".
    anna->SendLine("C|line " + std::to_string(i) + " &pipe; typed by hand");
    expectedLog.push_back("#anna: line " + std::to_string(i) + " &pipe; typed by hand");
    annaHeard.push_back("C|anna|line " + std::to_string(i) + " &pipe; typed by hand");
    std::this_thread::sleep_for(250ms);
  }
  EXPECT_EQ(ReadLines(*anna, annaHeard.size()), annaHeard);

  auto bob = std::make_unique<TLineClient>(server.Port);
  bob->SendLine("L|bob|pw");
  EXPECT_EQ(ReadLines(*bob, 2), (Lines{"O|bob", "U|anna"}));
  EXPECT_EQ(anna->ReadLine(), "E|bob");
  expectedLog.insert(expectedLog.end(),
                     {"Connected 127.0.0.1", "Autenticating user: bob pass: ********",
                      "User autenticated bob ip: 127.0.0.1", "#bob: hi anna"});
  bob->SendLine("C|hi anna");
  EXPECT_EQ(anna->ReadLine(), "C|bob|hi anna");
  EXPECT_EQ(bob->ReadLine(), "C|bob|hi anna");
  std::this_thread::sleep_for(500ms); // filling in the create-game window
  anna->SendLine("G|forest|100|Evening match");
  EXPECT_EQ(anna->ReadLine(), "G|101|Evening match|forest|100|anna");
  EXPECT_EQ(bob->ReadLine(), "G|101|Evening match|forest|100|anna");
  anna->SendLine("Q|");
  anna.reset();
  EXPECT_EQ(ReadLines(*bob, 2), (Lines{"H|101", "X|anna"}));
  expectedLog.insert(expectedLog.end(),
                     {"Removing user anna", "Gracefully disconnected 127.0.0.1"});
  Lines seen;
  for (std::size_t i = 0; i < expectedLog.size(); ++i)
    seen.push_back(log.ReadLogText());
  EXPECT_EQ(seen, expectedLog);
  bob.reset();
  EXPECT_EQ(log.ReadLogText(), "Brutally disconnecting bob IP: 127.0.0.1");
  EXPECT_EQ(log.ReadLogText(), "Removing user bob");
  EXPECT_EQ(log.ReadLogText(300), "<none>") << "nothing more";
}

} // namespace
