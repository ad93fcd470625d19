// The lobby's small pieces on their own: log lines, points, the login check, user lists.
#include "lobby/game_server.h"
#include "lobby/logger.h"
#include "lobby/user.h"

#include <gtest/gtest.h>

namespace {

TEST(Log, LinesAreTimeThenTextWithControlBytesEscaped) {
  std::tm at{};
  at.tm_hour = 9;
  at.tm_min = 5;
  EXPECT_EQ(FormatLogLine(at, "Starting server.."), "09:05 Starting server..\n");
  at.tm_hour = 23;
  at.tm_min = 59;
  EXPECT_EQ(FormatLogLine(at, std::string("#a: x\n00:00 forged\0\x1b\x7f", 21)),
            "23:59 #a: x\\x0A00:00 forged\\x00\\x1B\\x7F\n");
  EXPECT_EQ(EscapeLogText("caf\xc3\xa9 | \\x41 ~"), "caf\xc3\xa9 | \\x41 ~");
}

TEST(ParsePoints, DecimalIn32BitsElseZero) {
  const std::pair<const char*, int32_t> cases[] = {
      {"10", 10},
      {"-3", -3},
      {"+7", 7},
      {"0", 0},
      {"007", 7},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"2147483648", 0},
      {"-2147483649", 0},
      {"99999999999999", 0},
      {"", 0},
      {"ten", 0},
      {"12x", 0},
      {" 5", 0},
      {"5 ", 0},
      {"-", 0},
      {"+", 0},
      {"+-5", 0},
      {"0x10", 0},
      {"1e3", 0},
  };
  for (const auto& [text, value] : cases)
    EXPECT_EQ(TGameServer::ParsePoints(text), value) << "'" << text << "'";
}

TEST(TUser, RefusesOnlyNamesStartingWithCapitalS) {
  const std::pair<const char*, const char*> cases[] = {
      {"anna", ""},
      {"sam", ""},
      {"Sam", "Invalid user/pass"},
      {"S", "Invalid user/pass"},
      {"Server", "Invalid user/pass"},
      {"xS", ""},
  };
  for (const auto& [name, answer] : cases) {
    TUser user;
    EXPECT_EQ(user.Load(name, "anything"), answer) << name;
    EXPECT_EQ(user.UserName, name);
  }
}

TEST(TUserList, FindsUsersByConnectionIdentity) {
  TSocket first, second, third;
  TOwnedUserList users;
  for (TSocket* conn : {&first, &second, &second}) {
    auto user = std::make_unique<TUser>();
    user->Connection = conn;
    user->UserName = "u" + std::to_string(users.Count());
    users.Add(std::move(user));
  }
  EXPECT_EQ(users.GetUserByConnection(&second)->UserName, "u1");
  EXPECT_EQ(users.GetUserByConnection(&third), nullptr);
  EXPECT_EQ(users.GetUser(2)->UserName, "u2");
  EXPECT_EQ(users.GetUser(3), nullptr);
  TUserList refs;
  refs.Add(users.GetUser(0));
  auto taken = users.Extract(users.GetUser(1));
  EXPECT_EQ(taken->UserName, "u1");
  EXPECT_EQ(users.Count(), 2);
  EXPECT_EQ(users.GetUserByConnection(&second)->UserName, "u2");
  EXPECT_EQ(refs.GetUserByConnection(&first)->UserName, "u0");
}

TEST(TGameServer, GameNumbersStartAt101) {
  TGameServer server;
  EXPECT_EQ(server.GetNextGameId(), 101);
  EXPECT_EQ(server.GetNextGameId(), 102);
  EXPECT_EQ(server.GetGameByUser(nullptr), nullptr);
}

} // namespace
