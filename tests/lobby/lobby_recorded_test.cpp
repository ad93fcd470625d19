// The lobby served by a recorder: its timers on a clock the test moves, and connections it
// closes, with no sockets and no waiting.
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

} // namespace
