// A single-threaded TCP line server: it listens on one port, accepts connections, cuts what
// they send into 0x00-terminated lines, and reports connections arriving, lines and
// connections ending to one handler, all on the thread that runs Execute.
//
// No peer can hold up the others: each connection has its own receive buffer (a half-sent line
// waits there) and its own output queue (sends never block; what the peer does not take waits
// and goes out when it can). A connection that sends a line longer than 64 KiB, or lets more
// than 1 MiB of output pile up, is dropped.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "net/line_buffer.h"
#include "net/socket.h"
#include "net/socket_set.h"

enum TEventType { eConnection, eDisconnection, eMessage };

class TPacketServer;

// Text is the line for eMessage and empty otherwise. Conn may be used during the call only.
using TOnEvent = std::function<void(TPacketServer* Sender, TSocket* Conn, TEventType EventType,
                                    const std::string& Text)>;

// Raised when the server cannot listen: "ERROR SERVER " and the network error text.
class TServerException : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class TPacketServer {
public:
  // Connections served at once; one more is accepted and closed at once.
  static constexpr std::size_t DefaultMaxConnections = 1000;
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

  // The port it listens on (useful after listening on port 0).
  uint16_t Port() const;
  std::size_t ConnectionCount() const { return FSocketList.size(); }
  void SetMaxConnections(std::size_t Count) { FMaxConnections = Count; }
  uint32_t MaxBufferSize() const { return FMaxBufferSize; }

  TOnEvent OnEvent;

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
  using Clock = std::chrono::steady_clock;

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
  int WaitTimeout() const;

  uint32_t FMaxBufferSize = 0;
  std::unique_ptr<TSocket> FServerSocket;
  std::unique_ptr<TSocketSet> FSocketSet;
  std::vector<std::unique_ptr<TConnection>> FSocketList;
  std::size_t FMaxConnections = DefaultMaxConnections;
  std::atomic<bool> FStopRequested{false};
  bool FListenerWatched = false;
  Clock::time_point FResumeAccepting{};
  int FSpareDescriptor = -1;
  TThrottledLog FRefusals;
};
