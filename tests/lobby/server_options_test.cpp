// The server's command line: every option, its default, and what is refused.
#include "lobby/game_server.h"
#include "lobby/server_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace std::chrono_literals;

std::string Parse(const std::vector<const char*>& Args, TServerOptions& Options) {
  return ParseServerOptions(static_cast<int>(Args.size()), Args.data(), Options);
}

TEST(ServerOptions, DefaultsAreTheNamedLimits) {
  TServerOptions options;
  EXPECT_EQ(Parse({}, options), "");
  const TServerLimits& limits = options.Limits;
  EXPECT_EQ(options.Port, 50401);
  EXPECT_EQ(options.Address, "");
  EXPECT_EQ(limits.Connections.MaxConnections, 1000u);
  EXPECT_EQ(limits.Connections.MaxPerAddress, 16u);
  EXPECT_EQ(limits.Connections.KeepAlive.Idle, 60s);
  EXPECT_EQ(limits.Connections.KeepAlive.Interval, 10s);
  EXPECT_EQ(limits.Connections.KeepAlive.Probes, 6);
  EXPECT_TRUE(limits.Lobby.FloodLimit);
  EXPECT_EQ(limits.Lobby.FloodBurst, 20u);
  EXPECT_EQ(limits.Lobby.FloodRate, 2.0);
  EXPECT_EQ(limits.Lobby.LoginTimeout, 60s);
  EXPECT_EQ(limits.Lobby.MaxGamesPerUser, 100u);
  EXPECT_EQ(limits.Lobby.MaxGames, 10000u);
  EXPECT_EQ(limits.Lobby.MaxGameListBytes, 512u * 1024);
  EXPECT_EQ(limits.Lobby.SummaryInterval, 600s);
}

TEST(ServerOptions, EveryOptionSetsItsLimit) {
  TServerOptions options;
  EXPECT_EQ(Parse({"--port",
                   "6000",
                   "--listen",
                   "127.0.0.1",
                   "--max-connections",
                   "50",
                   "--max-per-ip",
                   "0",
                   "--keepalive-idle",
                   "5",
                   "--keepalive-interval",
                   "2",
                   "--keepalive-probes",
                   "3",
                   "--no-flood-limit",
                   "--flood-burst",
                   "7",
                   "--flood-rate",
                   "0.5",
                   "--login-timeout",
                   "0.25",
                   "--max-games-per-user",
                   "0",
                   "--max-games",
                   "12",
                   "--max-game-list-kib",
                   "64",
                   "--summary-interval",
                   "1.5"},
                  options),
            "");
  const TServerLimits& limits = options.Limits;
  EXPECT_EQ(options.Port, 6000);
  EXPECT_EQ(options.Address, "127.0.0.1");
  EXPECT_EQ(limits.Connections.MaxConnections, 50u);
  EXPECT_EQ(limits.Connections.MaxPerAddress, 0u);
  EXPECT_EQ(limits.Connections.KeepAlive.Idle, 5s);
  EXPECT_EQ(limits.Connections.KeepAlive.Interval, 2s);
  EXPECT_EQ(limits.Connections.KeepAlive.Probes, 3);
  EXPECT_FALSE(limits.Lobby.FloodLimit);
  EXPECT_EQ(limits.Lobby.FloodBurst, 7u);
  EXPECT_EQ(limits.Lobby.FloodRate, 0.5);
  EXPECT_EQ(limits.Lobby.LoginTimeout, 250ms);
  EXPECT_EQ(limits.Lobby.MaxGamesPerUser, 0u);
  EXPECT_EQ(limits.Lobby.MaxGames, 12u);
  EXPECT_EQ(limits.Lobby.MaxGameListBytes, 64u * 1024);
  EXPECT_EQ(limits.Lobby.SummaryInterval, 1500ms);
  EXPECT_FALSE(options.Help);
  EXPECT_EQ(Parse({"--help"}, options), "");
  EXPECT_TRUE(options.Help);
}

TEST(ServerOptions, TimesInSeconds) {
  const std::pair<const char*, std::chrono::milliseconds> cases[] = {
      {"0", 0ms}, {"60", 60s}, {"1.5", 1500ms}, {".25", 250ms}, {"0.0001", 1ms}, {"2.", 2s}};
  for (const auto& [text, time] : cases) {
    TServerOptions options;
    EXPECT_EQ(Parse({"--login-timeout", text}, options), "") << text;
    EXPECT_EQ(options.Limits.Lobby.LoginTimeout, time) << text;
  }
}

TEST(ServerOptions, WrongValuesAreRefusedWithTheOptionNamed) {
  const std::vector<std::vector<const char*>> wrong = {
      {"--port", "0"},
      {"--port", "65536"},
      {"--port", "12ab"},
      {"--max-connections", "0"},
      {"--max-per-ip", "-1"},
      {"--max-per-ip", "+3"},
      {"--max-per-ip", ""},
      {"--max-per-ip", "99999999999999999999"},
      {"--keepalive-idle", "32768"},
      {"--keepalive-interval", "0"},
      {"--keepalive-probes", "0"},
      {"--keepalive-probes", "128"},
      {"--flood-burst", "0"},
      {"--flood-rate", "0"},
      {"--flood-rate", "-2"},
      {"--flood-rate", "1e3"},
      {"--flood-rate", "nan"},
      {"--flood-rate", "1.2.3"},
      {"--login-timeout", "-1"},
      {"--login-timeout", "inf"},
      {"--login-timeout", "."},
      {"--summary-interval", "10000001"},
      {"--max-games", "x"},
  };
  for (const auto& args : wrong) {
    TServerOptions options;
    EXPECT_EQ(Parse(args, options), std::string("invalid value for ") + args[0] + ": " + args[1])
        << args[0] << " " << args[1];
  }
  TServerOptions options;
  EXPECT_EQ(Parse({"--max-per-ip"}, options), "--max-per-ip needs a value");
  EXPECT_EQ(Parse({"--flood"}, options), "unknown option: --flood");
  EXPECT_EQ(Parse({"16"}, options), "unknown option: 16");
}

TEST(ServerOptions, UsageNamesEveryOptionWithItsDefault) {
  const std::string usage = ServerUsage();
  const std::vector<std::string> expected = {"--port N ",
                                             "(1-65535, default 50401)",
                                             "--listen ADDR",
                                             "--max-connections N",
                                             "(default 1000)",
                                             "--max-per-ip N",
                                             "(default 16)",
                                             "--login-timeout S",
                                             "0: never (default 60)",
                                             "--keepalive-idle S",
                                             "--keepalive-interval S",
                                             "(default 10)",
                                             "--keepalive-probes N",
                                             "(default 6)",
                                             "--flood-burst N",
                                             "(default 20)",
                                             "--flood-rate R",
                                             "(default 2)",
                                             "--no-flood-limit",
                                             "--max-games-per-user N",
                                             "(default 100)",
                                             "--max-games N",
                                             "(default 10000)",
                                             "--max-game-list-kib N",
                                             "(default 512)",
                                             "--summary-interval S",
                                             "(default 600)",
                                             "SIGUSR1",
                                             "--help"};
  for (const auto& text : expected)
    EXPECT_NE(usage.find(text), std::string::npos) << text << "\n" << usage;
}

TEST(ServerOptions, FloodLimitText) {
  TLobbyLimits limits;
  EXPECT_EQ(TGameServer::FloodLimitText(limits), "20 lines at once, then 2 a second");
  limits.FloodBurst = 1;
  limits.FloodRate = 0.25;
  EXPECT_EQ(TGameServer::FloodLimitText(limits), "1 line at once, then 0.25 a second");
}

} // namespace
