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

// Every setting of Options as "name value".
std::vector<std::string> Described(const TServerOptions& Options) {
  const TConnectionLimits& c = Options.Limits.Connections;
  const TLobbyLimits& l = Options.Limits.Lobby;
  auto ms = [](std::chrono::milliseconds T) { return std::to_string(T.count()) + " ms"; };
  return {"port " + std::to_string(Options.Port),
          "address " + Options.Address,
          "max connections " + std::to_string(c.MaxConnections),
          "max per address " + std::to_string(c.MaxPerAddress),
          "keepalive " + std::to_string(c.KeepAlive.Idle.count()) + " " +
              std::to_string(c.KeepAlive.Interval.count()) + " " +
              std::to_string(c.KeepAlive.Probes),
          std::string("flood limit ") + (l.FloodLimit ? "on " : "off ") +
              std::to_string(l.FloodBurst) + " " + std::to_string(l.FloodRate),
          "login timeout " + ms(l.LoginTimeout),
          "games " + std::to_string(l.MaxGamesPerUser) + " " + std::to_string(l.MaxGames) + " " +
              std::to_string(l.MaxGameListBytes),
          "summary " + ms(l.SummaryInterval),
          std::string("help ") + (Options.Help ? "yes" : "no")};
}

TEST(ServerOptions, DefaultsAreTheNamedLimits) {
  TServerOptions options;
  EXPECT_EQ(Parse({}, options), "");
  EXPECT_EQ(Described(options),
            (std::vector<std::string>{"port 50401", "address ", "max connections 1000",
                                      "max per address 16", "keepalive 60 10 6",
                                      "flood limit on 20 2.000000", "login timeout 60000 ms",
                                      "games 100 10000 524288", "summary 600000 ms", "help no"}));
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
                   "1.5",
                   "--help"},
                  options),
            "");
  EXPECT_EQ(Described(options),
            (std::vector<std::string>{"port 6000", "address 127.0.0.1", "max connections 50",
                                      "max per address 0", "keepalive 5 2 3",
                                      "flood limit off 7 0.500000", "login timeout 250 ms",
                                      "games 0 12 65536", "summary 1500 ms", "help yes"}));
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
                                             "1-65535 (default 50401)",
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

TEST(ServerOptions, MatchOptions) {
  TServerOptions options;
  EXPECT_EQ(Parse({}, options), "");
  EXPECT_TRUE(options.Limits.Lobby.Matches);
  EXPECT_EQ(options.Limits.Lobby.TurnTime, 0ms);
  EXPECT_EQ(options.Limits.Lobby.ComputerPace, 500ms);
  EXPECT_EQ(Parse({"--no-matches", "--turn-time", "0.5", "--computer-pace", "0"}, options), "");
  EXPECT_FALSE(options.Limits.Lobby.Matches);
  EXPECT_EQ(options.Limits.Lobby.TurnTime, 500ms);
  EXPECT_EQ(options.Limits.Lobby.ComputerPace, 0ms);
  for (const char* wrong : {"-1", "1.5", "x", ""})
    EXPECT_NE(Parse({"--computer-pace", wrong}, options), "") << wrong;
  EXPECT_NE(Parse({"--turn-time", "-3"}, options), "");
  const std::string usage = ServerUsage();
  for (const char* text : {"--no-matches", "--turn-time S", "--computer-pace MS", "(default 500)"})
    EXPECT_NE(usage.find(text), std::string::npos) << text << "\n" << usage;
  EXPECT_EQ(TGameServer::OrderLimitText(TLobbyLimits{}), "50 orders at once, then 5 a second");
}

} // namespace
