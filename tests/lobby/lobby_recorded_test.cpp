// The lobby served by a recorder: its timers on a clock the test moves, with no sockets and
// no waiting.
#include "lobby_recorder.h"

#include <gtest/gtest.h>

namespace {

using namespace test_support;
using namespace std::chrono_literals;

TEST(RecordedLobby, ALoginTimeLimitEndsTheConnectionAtItsDeadlineAndNotBefore) {
  TServerLimits limits;
  limits.Lobby.LoginTimeout = 500ms;
  TRecorder lobby(limits);
  TSocket* idle = lobby.Connect("10.0.0.7");
  TSocket* quick = lobby.Connect();
  lobby.Advance(499ms);
  lobby.Say(quick, "L|anna|pw");
  EXPECT_TRUE(lobby.IsOpen(idle));
  lobby.Advance(1ms);
  EXPECT_FALSE(lobby.IsOpen(idle));
  EXPECT_EQ(lobby.Log(), (Lines{"Connected 10.0.0.7", "Connected 127.0.0.1",
                                "Autenticating user: anna pass: ********",
                                "User autenticated anna ip: 127.0.0.1",
                                "Closing connection 10.0.0.7: not logged in within 0.5 seconds",
                                "Gracefully disconnected 10.0.0.7"}));
  lobby.Advance(10s);
  EXPECT_TRUE(lobby.IsOpen(quick));
  EXPECT_EQ(lobby.Server->Stats().ClosedIdle, 1u);
}

TEST(RecordedLobby, FloodControlRefillsWithTime) {
  TServerLimits limits;
  limits.Lobby.FloodBurst = 2;
  limits.Lobby.FloodRate = 4;
  TRecorder lobby(limits);
  TSocket* anna = lobby.Connect();
  lobby.Say(anna, "L|anna|pw");
  for (const char* line : {"C|1", "C|2", "C|3"})
    lobby.Say(anna, line);
  lobby.Advance(249ms);
  lobby.Say(anna, "C|4");
  lobby.Advance(1ms);
  lobby.Say(anna, "C|5");
  const std::string dropped = "C|Server|Line dropped: you are sending too fast (at most 2 lines at "
                              "once, then 4 a second).";
  EXPECT_EQ(lobby.Heard(anna),
            (Lines{"O|anna", "C|anna|1", "C|anna|2", dropped, dropped, "C|anna|5"}));
}

TEST(RecordedLobby, TheSummaryComesEveryIntervalAndOnRequest) {
  TServerLimits limits;
  limits.Lobby.SummaryInterval = 60s;
  limits.Lobby.LoginTimeout = 0s;
  TRecorder lobby(limits);
  lobby.Connect();
  lobby.Log();
  lobby.Advance(59s);
  lobby.Server->RequestSummary();
  lobby.Advance(0s);
  lobby.Advance(61s);
  const std::string summary =
      "Summary: users 0, games 0, connections 1; since start: connections 0, lines relayed 0, "
      "lines dropped for flooding 0, games refused 0; connections closed: over the per-address "
      "limit 0, over the connection limit 0, no descriptors 0, not logged in in time 0, "
      "unexpected message 0, line too long 0, output piling up 0, peer timed out 0";
  EXPECT_EQ(lobby.Log(), (Lines{summary, summary, summary}));
}

} // namespace
