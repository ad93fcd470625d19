// The limits that keep one careless or hostile peer from spoiling the lobby for everyone. Each
// default is set so that ordinary play never meets it; the server program can change every one
// from its command line. Where noted, 0 means "no limit" or "off".
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

// TCP keepalive on every accepted connection: the system probes a connection that has been
// silent for Idle, every Interval, and gives up on the peer after Probes unanswered probes, so
// a client that vanished is removed within Idle + Interval * Probes (two minutes by default).
struct TKeepAlive {
  static constexpr std::chrono::seconds DefaultIdle{60};
  static constexpr std::chrono::seconds DefaultInterval{10};
  static constexpr int DefaultProbes = 6;
  // The system's own bounds for these settings.
  static constexpr int MostSeconds = 32767;
  static constexpr int MostProbes = 127;

  std::chrono::seconds Idle = DefaultIdle; // 0: no keepalive
  std::chrono::seconds Interval = DefaultInterval;
  int Probes = DefaultProbes;
};

// What the packet server holds every connection to.
struct TConnectionLimits {
  // Connections served at once; one more is accepted and closed at once.
  static constexpr std::size_t DefaultMaxConnections = 1000;
  // Connections from one IP address at once (0: no limit); one more is accepted and closed.
  static constexpr std::size_t DefaultMaxPerAddress = 16;

  std::size_t MaxConnections = DefaultMaxConnections;
  std::size_t MaxPerAddress = DefaultMaxPerAddress;
  TKeepAlive KeepAlive;
};

// What the lobby holds its users to.
struct TLobbyLimits {
  // Flood control on chat (C) and game (G) lines: a burst, then a steady rate per second.
  static constexpr uint32_t DefaultFloodBurst = 20;
  static constexpr double DefaultFloodRate = 2.0;
  // A connection must log in within this time of connecting or of its last logout.
  static constexpr std::chrono::milliseconds DefaultLoginTimeout{60 * 1000};
  // Announced games per user and in total.
  static constexpr uint32_t DefaultMaxGamesPerUser = 100;
  static constexpr uint32_t DefaultMaxGames = 10000;
  // The bytes of all announcements together, which every newcomer receives at login: half the
  // output a connection may have waiting, so that the list always reaches a new user.
  static constexpr std::size_t DefaultMaxGameListBytes = 512 * 1024;
  // How often the operator's summary line is written.
  static constexpr std::chrono::milliseconds DefaultSummaryInterval{10 * 60 * 1000};
  // The time between two orders of the computer seat.
  static constexpr std::chrono::milliseconds DefaultComputerPace{500};
  // Orders in a match (moves, attacks, ends of turn, requests for the state) have a bucket
  // of their own: a burst, then a steady rate per second.
  static constexpr uint32_t DefaultOrderBurst = 50;
  static constexpr double DefaultOrderRate = 5.0;

  bool FloodLimit = true;
  uint32_t FloodBurst = DefaultFloodBurst;
  double FloodRate = DefaultFloodRate;
  std::chrono::milliseconds LoginTimeout = DefaultLoginTimeout;       // 0: none
  uint32_t MaxGamesPerUser = DefaultMaxGamesPerUser;                  // 0: no limit
  uint32_t MaxGames = DefaultMaxGames;                                // 0: no limit
  std::size_t MaxGameListBytes = DefaultMaxGameListBytes;             // 0: no limit
  std::chrono::milliseconds SummaryInterval = DefaultSummaryInterval; // 0: only on request
  // Connections may ask for matches; off, the lobby is exactly the lobby without them.
  bool Matches = true;
  std::chrono::milliseconds TurnTime{0}; // every turn's length; 0: the rules' own
  std::chrono::milliseconds ComputerPace = DefaultComputerPace;
  uint32_t OrderBurst = DefaultOrderBurst; // with FloodLimit off, no limit on orders either
  double OrderRate = DefaultOrderRate;
};

// Everything the server program can set.
struct TServerLimits {
  TConnectionLimits Connections;
  TLobbyLimits Lobby;
};
