// A single-threaded TCP line server: it listens on one port, accepts connections, cuts what
// they send into 0x00-terminated lines, and reports connections arriving, lines and
// connections ending to one handler, all on the thread that runs Execute.
//
// No peer can hold up the others: each connection has its own receive buffer (a half-sent line
// waits there) and its own output queue (sends never block; what the peer does not take waits
// and goes out when it can). A connection that sends a line longer than 64 KiB, or lets more
// than 1 MiB of output pile up, is dropped. Connections beyond the limits (in all, and from one
// address) are accepted and closed at once, and every connection gets TCP keepalive.
//
// The loop also keeps one alarm for its owner: it waits no longer than the alarm needs, and
// calls OnTimer when it is due. With no alarm set it waits for traffic alone.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "lobby/server_limits.h"
#include "net/line_buffer.h"
#include "net/socket.h"
#include "net/socket_set.h"

enum TEventType { eConnection, eDisconnection, eMessage };

class TPacketServer;

// Text is the line for eMessage and empty otherwise. Conn may be used during the call only.
using TOnEvent = std::function<void(TPacketServer* Sender, TSocket* Conn, TEventType EventType,
                                    const std::string& Text)>;
// Called on the serving thread when the alarm is due or a timer pass was requested.
using TOnTimer = std::function<void(TPacketServer* Sender)>;

// Raised when the server cannot listen: "ERROR SERVER " and the network error text.
class TServerException : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class TPacketServer {
public:
  using Clock = std::chrono::steady_clock;

  // Connections served at once; one more is accepted and closed at once.
  static constexpr std::size_t DefaultMaxConnections = TConnectionLimits::DefaultMaxConnections;
  // Unsent output beyond this drops the connection.
  static constexpr std::size_t MaxPendingOutput = 1024 * 1024;
  // The most one receive takes from a connection.
  static constexpr int ReceiveChunk = 4096;

  // MaxClient is the first room of the socket set, the listening socket included; the set
  // grows as connections arrive.
  explicit TPacketServer(uint32_t MaxClient);
  ~TPacketServer();
  TPacketServer(const TPacketServer&) = delete;
  TPacketServer& operator=(const TPacketServer&) = delete;

  // Listens on Address ("" for all interfaces) and Port, then serves until Stop or an
  // unrecoverable error, then Close. Answers true when stopped, false after an error (logged).
  // MaxBufferSize is recorded only. Throws TServerException when it cannot listen.
  bool Start(int32_t Port, uint32_t MaxBufferSize, const std::string& Address = "");
  // The first half of Start: listening, so that the port is known before serving.
  void Listen(int32_t Port, const std::string& Address = "");
  // The serving loop; the second half of Start (without Close).
  bool Execute();
  // Ends the serving loop soon. Safe from any thread and from signal handlers.
  void Stop();
  // Logs "Closing server!" and closes the listening socket.
  void Close();

  // Asks for Conn to be closed once the current event is over; it is then reported with
  // eDisconnection like a connection whose peer went away. Lines it already sent that were not
  // yet reported are dropped; output queued for it gets one last chance to go out.
  void CloseConnection(TSocket* Conn);

  // Asks for one call of OnTimer once When has come, replacing the alarm set before;
  // Clock::time_point::max() for none. The alarm is cleared before OnTimer runs, so OnTimer
  // sets the next one.
  void SetAlarm(Clock::time_point When) { FAlarm = When; }
  Clock::time_point Alarm() const { return FAlarm; }
  // Asks for a call of OnTimer on the next pass of the loop, at once. Safe from any thread and
  // from signal handlers.
  void RequestTimer();

  // The port it listens on (useful after listening on port 0).
  uint16_t Port() const;
  std::size_t ConnectionCount() const { return FSocketList.size(); }
  // Connections open now from the address IP.
  std::size_t ConnectionsFrom(const std::string& IP) const;
  void SetMaxConnections(std::size_t Count) { FLimits.MaxConnections = Count; }
  // Applies to connections accepted from now on.
  void SetLimits(const TConnectionLimits& Limits) { FLimits = Limits; }
  const TConnectionLimits& Limits() const { return FLimits; }
  uint32_t MaxBufferSize() const { return FMaxBufferSize; }

  // Connections counted since the start, for the operator.
  struct TStats {
    uint64_t Accepted = 0;           // reported with eConnection
    uint64_t RefusedPerAddress = 0;  // over the limit for one address
    uint64_t RefusedFull = 0;        // over the limit in all, or not taken by the socket set
    uint64_t RefusedNoResources = 0; // no descriptor or memory left to serve them
    uint64_t DroppedLongLine = 0;    // sent a line over the length limit
    uint64_t DroppedOutput = 0;      // let their output pile up
    uint64_t TimedOut = 0;           // the system gave up on the peer (keepalive, resends)
  };
  const TStats& Stats() const { return FStats; }

  TOnEvent OnEvent;
  TOnTimer OnTimer;

  // The steps of the loop.
  bool HandleNewConnection();
  void HandleNewData();
  void CallEvent(TSocket* Conn, TEventType EventType, const std::string& Text);

private:
  struct TConnection {
    std::unique_ptr<TSocket> Socket;
    TLineBuffer Input;
    bool Closing = false;
  };

  // Writes a line about refused or failed connections, at most once a second.
  class TThrottledLog {
  public:
    void Report(const std::string& Text);

  private:
    Clock::time_point FLast{};
    bool FAny = false;
    unsigned FSuppressed = 0;
  };

  bool TakeConnection(std::unique_ptr<TSocket> Socket);
  bool RefuseWithSpareDescriptor();
  void PauseAccepting();
  void ResumeAcceptingIfDue();
  void DropConnection(std::size_t Index);
  void MarkClosing(TConnection& Conn, const std::string& Why);
  void FinishPass();
  bool SweepClosing();
  bool FlushOutput();
  void RunTimer();
  void NoteFailure(const TSocket& Socket);
  int WaitTimeout() const;

  uint32_t FMaxBufferSize = 0;
  std::unique_ptr<TSocket> FServerSocket;
  std::unique_ptr<TSocketSet> FSocketSet;
  std::vector<std::unique_ptr<TConnection>> FSocketList;
  TConnectionLimits FLimits;
  std::unordered_map<std::string, std::size_t> FPerAddress;
  TStats FStats;
  Clock::time_point FAlarm = Clock::time_point::max();
  std::atomic<bool> FTimerRequested{false};
  std::atomic<bool> FStopRequested{false};
  bool FListenerWatched = false;
  Clock::time_point FResumeAccepting{};
  int FSpareDescriptor = -1;
  TThrottledLog FRefusals;
};
