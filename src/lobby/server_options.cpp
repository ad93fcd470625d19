#include "lobby/server_options.h"

#include "lobby/game_server.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <limits>
#include <vector>

namespace {

// The longest time limit the options take: about 115 days, far inside a millisecond count.
constexpr double MostSeconds = 1e7;

bool ParseWhole(const std::string& Text, long long Least, long long Most, long long& Value) {
  if (Text.empty() || Text[0] == '-' || Text[0] == '+' || Text[0] == ' ')
    return false;
  char* end = nullptr;
  errno = 0;
  long long got = std::strtoll(Text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || got < Least || got > Most)
    return false;
  Value = got;
  return true;
}

// A decimal number such as "2", "0.5" or ".25" (no sign, no exponent, no hexadecimal).
bool ParseDecimal(const std::string& Text, double Least, double Most, double& Value) {
  bool digit = false;
  int points = 0;
  for (char c : Text) {
    if (c >= '0' && c <= '9')
      digit = true;
    else if (c == '.')
      ++points;
    else
      return false;
  }
  if (!digit || points > 1)
    return false;
  double got = std::strtod(Text.c_str(), nullptr);
  if (!std::isfinite(got) || got < Least || got > Most)
    return false;
  Value = got;
  return true;
}

// Seconds with a fraction, to whole milliseconds; a time that is not 0 is at least 1 ms.
bool ParseSeconds(const std::string& Text, std::chrono::milliseconds& Value) {
  double seconds = 0;
  if (!ParseDecimal(Text, 0, MostSeconds, seconds))
    return false;
  auto ms = static_cast<long long>(std::llround(seconds * 1000.0));
  if (ms == 0 && seconds > 0)
    ms = 1;
  Value = std::chrono::milliseconds(ms);
  return true;
}

std::string Seconds(std::chrono::milliseconds Time) {
  long long ms = Time.count();
  std::string whole = std::to_string(ms / 1000);
  if (ms % 1000 == 0)
    return whole;
  std::string fraction = std::to_string(1000 + ms % 1000).substr(1);
  while (fraction.back() == '0')
    fraction.pop_back();
  return whole + "." + fraction;
}

std::string Number(double Value) {
  std::string text = std::to_string(Value);
  while (text.back() == '0')
    text.pop_back();
  if (text.back() == '.')
    text.pop_back();
  return text;
}

using TReader = std::function<bool(const std::string& Text, TServerOptions& Options)>;

// One option that takes a value: its name and how it reads the value.
struct TValueOption {
  const char* Name;
  TReader Read;
};

// Reads a whole number in Least..Most and hands it to Store.
TReader WholeOption(long long Least, long long Most,
                    std::function<void(TServerOptions&, long long)> Store) {
  return [=](const std::string& Text, TServerOptions& Options) {
    long long value = 0;
    if (!ParseWhole(Text, Least, Most, value))
      return false;
    Store(Options, value);
    return true;
  };
}

// Reads a time in seconds into the member Field of the lobby's limits.
TReader SecondsOption(std::chrono::milliseconds TLobbyLimits::*Field) {
  return [=](const std::string& Text, TServerOptions& Options) {
    return ParseSeconds(Text, Options.Limits.Lobby.*Field);
  };
}

// Most counts have no natural bound; this one keeps them far from overflowing anything.
constexpr long long MostCount = 1000000000;

const std::vector<TValueOption>& ValueOptions() {
  using O = TServerOptions;
  using Count = long long;
  static const std::vector<TValueOption> options = {
      {"--port", WholeOption(1, 65535, [](O& S, Count N) { S.Port = static_cast<int32_t>(N); })},
      {"--listen",
       [](const std::string& Text, O& S) {
         S.Address = Text;
         return true;
       }},
      {"--max-connections", WholeOption(1, 1000000,
                                        [](O& S, Count N) {
                                          S.Limits.Connections.MaxConnections =
                                              static_cast<std::size_t>(N);
                                        })},
      {"--max-per-ip", WholeOption(0, 1000000,
                                   [](O& S, Count N) {
                                     S.Limits.Connections.MaxPerAddress =
                                         static_cast<std::size_t>(N);
                                   })},
      {"--keepalive-idle", WholeOption(0, TKeepAlive::MostSeconds,
                                       [](O& S, Count N) {
                                         S.Limits.Connections.KeepAlive.Idle =
                                             std::chrono::seconds(N);
                                       })},
      {"--keepalive-interval", WholeOption(1, TKeepAlive::MostSeconds,
                                           [](O& S, Count N) {
                                             S.Limits.Connections.KeepAlive.Interval =
                                                 std::chrono::seconds(N);
                                           })},
      {"--keepalive-probes", WholeOption(1, TKeepAlive::MostProbes,
                                         [](O& S, Count N) {
                                           S.Limits.Connections.KeepAlive.Probes =
                                               static_cast<int>(N);
                                         })},
      {"--flood-burst",
       WholeOption(1, MostCount,
                   [](O& S, Count N) { S.Limits.Lobby.FloodBurst = static_cast<uint32_t>(N); })},
      {"--flood-rate",
       [](const std::string& Text, O& S) {
         return ParseDecimal(Text, 0.001, 1e9, S.Limits.Lobby.FloodRate);
       }},
      {"--login-timeout", SecondsOption(&TLobbyLimits::LoginTimeout)},
      {"--max-games-per-user", WholeOption(0, MostCount,
                                           [](O& S, Count N) {
                                             S.Limits.Lobby.MaxGamesPerUser =
                                                 static_cast<uint32_t>(N);
                                           })},
      {"--max-games",
       WholeOption(0, MostCount,
                   [](O& S, Count N) { S.Limits.Lobby.MaxGames = static_cast<uint32_t>(N); })},
      {"--max-game-list-kib", WholeOption(0, 1000000,
                                          [](O& S, Count N) {
                                            S.Limits.Lobby.MaxGameListBytes =
                                                static_cast<std::size_t>(N) * 1024;
                                          })},
      {"--summary-interval", SecondsOption(&TLobbyLimits::SummaryInterval)},
      {"--turn-time", SecondsOption(&TLobbyLimits::TurnTime)},
      {"--computer-pace", WholeOption(0, static_cast<long long>(MostSeconds) * 1000,
                                      [](O& S, Count N) {
                                        S.Limits.Lobby.ComputerPace = std::chrono::milliseconds(N);
                                      })},
  };
  return options;
}

} // namespace

std::string ParseServerOptions(int Count, const char* const* Args, TServerOptions& Options) {
  for (int i = 0; i < Count; ++i) {
    const std::string arg = Args[i];
    if (arg == "--help" || arg == "-h") {
      Options.Help = true;
      continue;
    }
    if (arg == "--version") {
      Options.Version = true;
      continue;
    }
    if (arg == "--no-flood-limit") {
      Options.Limits.Lobby.FloodLimit = false;
      continue;
    }
    if (arg == "--no-matches") {
      Options.Limits.Lobby.Matches = false;
      continue;
    }
    const TValueOption* option = nullptr;
    for (const TValueOption& candidate : ValueOptions())
      if (arg == candidate.Name)
        option = &candidate;
    if (option == nullptr)
      return "unknown option: " + arg;
    if (i + 1 >= Count)
      return arg + " needs a value";
    const std::string value = Args[++i];
    if (!option->Read(value, Options))
      return "invalid value for " + arg + ": " + value;
  }
  return "";
}

std::vector<TServerOptionRow> ServerOptionRows() {
  const TConnectionLimits connections;
  const TLobbyLimits lobby;
  const TKeepAlive& keepAlive = connections.KeepAlive;
  // Option, what it does (a "\n" continues on the next line), and its default ("": none).
  using TRow = TServerOptionRow;
  const TRow rows[] = {
      {"--port N", "listen on TCP port N, 1-65535", std::to_string(TGameServer::DefaultPort)},
      {"--listen ADDR", "listen on the interface with address or name ADDR", "all interfaces"},
      {"--max-connections N", "connections at once", std::to_string(connections.MaxConnections)},
      {"--max-per-ip N", "connections at once from one IP address, 0: no limit",
       std::to_string(connections.MaxPerAddress)},
      {"--login-timeout S",
       "close a connection not logged in within S seconds of\nconnecting "
       "or logging out, 0: never",
       Seconds(lobby.LoginTimeout)},
      {"--keepalive-idle S", "probe a connection silent for S seconds, 0: no keepalive",
       std::to_string(keepAlive.Idle.count())},
      {"--keepalive-interval S", "seconds between probes",
       std::to_string(keepAlive.Interval.count())},
      {"--keepalive-probes N", "unanswered probes before the peer counts as gone",
       std::to_string(keepAlive.Probes)},
      {"--flood-burst N", "chat and game lines a user may send at once",
       std::to_string(lobby.FloodBurst)},
      {"--flood-rate R", "lines a second after the burst", Number(lobby.FloodRate)},
      {"--no-flood-limit", "no limit on how fast lines and orders come", ""},
      {"--max-games-per-user N", "games one user may announce, 0: no limit",
       std::to_string(lobby.MaxGamesPerUser)},
      {"--max-games N", "games listed in all, 0: no limit", std::to_string(lobby.MaxGames)},
      {"--max-game-list-kib N", "KiB of game announcements in all, 0: no limit",
       std::to_string(lobby.MaxGameListBytes / 1024)},
      {"--no-matches", "no waiting rooms or matches: ignore requests for them", ""},
      {"--turn-time S", "every turn of a match lasts S seconds, 0: 30 + 3 per unit",
       Seconds(lobby.TurnTime)},
      {"--computer-pace MS", "milliseconds between the computer seat's orders",
       std::to_string(lobby.ComputerPace.count())},
      {"--summary-interval S", "seconds between summary lines, 0: only on SIGUSR1",
       Seconds(lobby.SummaryInterval)},
      {"--help", "list the options and their defaults", ""},
      {"--version", "show the program's version", ""},
  };
  return {std::begin(rows), std::end(rows)};
}

std::string ServerUsage(const std::string& Program) {
  constexpr std::size_t OptionWidth = 24;
  constexpr std::size_t LineWidth = 80;
  const std::string indent(2 + OptionWidth, ' ');
  std::string usage = "Usage: " + Program + " [options]\n" + SERVER_SUMMARY + "\n";
  for (const TServerOptionRow& row : ServerOptionRows()) {
    std::string option = row.Option;
    std::string line = "  " + option + std::string(OptionWidth - option.size(), ' ') + row.Text;
    const std::string suffix = row.Default.empty() ? "" : " (default " + row.Default + ")";
    // Continuation lines of the text, then the default where it fits.
    for (std::size_t cut; (cut = line.find('\n')) != std::string::npos;) {
      usage += line.substr(0, cut) + "\n";
      line = indent + line.substr(cut + 1);
    }
    if (!suffix.empty() && line.size() + suffix.size() > LineWidth)
      line += "\n" + indent + suffix.substr(1);
    else
      line += suffix;
    usage += line + "\n";
  }
  return usage + SERVER_SIGNALS + "\n";
}
