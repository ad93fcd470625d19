// What the lobby needs from the loop that serves it: a line sent to a connection, a connection
// closed, the time, one alarm, the log and the loop's counts for the operator. The server
// program serves the lobby with TPacketServer through TPacketHost; tests serve it with a
// recorder and a clock of their own, so that lobby and match behaviour read as lines in and
// lines out.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "lobby/packet_server.h"

class TGameServer;

class TLobbyHost {
public:
  using Clock = std::chrono::steady_clock;

  virtual ~TLobbyHost() = default;

  // Queues Line (without its terminator) for Conn; it never blocks.
  virtual void Send(TSocket* Conn, const std::string& Line) = 0;
  // Closes Conn once the current event is over; the lobby then hears of its end as of any.
  virtual void Close(TSocket* Conn) = 0;
  // The peer's address of Conn, for the log.
  virtual std::string AddressOf(const TSocket* Conn) const = 0;
  virtual Clock::time_point Now() const = 0;
  // Asks for one call of TGameServer::OnTimer once When has come, replacing the alarm before;
  // Clock::time_point::max() for none.
  virtual void SetAlarm(Clock::time_point When) = 0;
  // Asks for a call of OnTimer at once. Safe from any thread and from signal handlers.
  virtual void RequestTimer() = 0;
  // Writes one line of the server's log.
  virtual void Log(std::string_view Text) = 0;
  // Connections open now, and what the loop counted since the start.
  virtual std::size_t ConnectionCount() const = 0;
  virtual TPacketServer::TStats ConnectionStats() const = 0;
};

// The lobby served by a packet server: its events and alarm go to Lobby, the log to LOG.
class TPacketHost : public TLobbyHost {
public:
  TPacketHost(TPacketServer& Server, TGameServer& Lobby);

  void Send(TSocket* Conn, const std::string& Line) override;
  void Close(TSocket* Conn) override;
  std::string AddressOf(const TSocket* Conn) const override;
  Clock::time_point Now() const override;
  void SetAlarm(Clock::time_point When) override;
  void RequestTimer() override;
  void Log(std::string_view Text) override;
  std::size_t ConnectionCount() const override;
  TPacketServer::TStats ConnectionStats() const override;

private:
  TPacketServer& FServer;
};
