#pragma once
// The client's one connection to the lobby server. Nothing here ever waits on the network
// apart from opening the connection, which gives up after CONNECT_TIME_LIMIT: arriving bytes
// are collected per line, and a line is handed out only once it is complete; what is sent goes out
// as far as the server takes it and the rest follows on later frames.

#include "net/line_buffer.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class TSocket;
class TSocketSet;

// The lobby server's port when the user names none.
inline constexpr std::uint16_t DEFAULT_SERVER_PORT = 50401;
// How long the login screen may freeze while a server that does not answer, or a name that
// does not resolve, is tried.
inline constexpr std::chrono::milliseconds CONNECT_TIME_LIMIT{5000};
// Most bytes received and not yet read (the line still arriving included); a server that sends
// more than the client handles ends its connection rather than the client's memory.
inline constexpr std::size_t MAX_UNREAD_INPUT = 4 * 1024 * 1024;

// Splits what the user typed as the server ("host" or "host:port", blanks around it ignored)
// into a host name and a port (DEFAULT_SERVER_PORT when none is given). False when the host is
// empty or the port is not a number from 1 to 65535.
bool SplitServerAddress(const std::string& Text, std::string& Host, std::uint16_t& Port);

// Complete lines waiting to be read, oldest first, kept back to back with their terminators:
// what they take in memory is what arrived, however short the lines.
class TLineQueue {
public:
  void Push(const std::string& Line);
  // The oldest line into Line; false when none is waiting.
  bool Pop(std::string& Line);
  // Bytes held, terminators included.
  std::size_t Bytes() const { return FData.size() - FStart; }
  std::size_t Count() const { return FCount; }
  void Clear();

private:
  std::string FData;
  std::size_t FStart = 0; // first byte not read
  std::size_t FCount = 0;
};

class TConnection {
public:
  // An unconnected socket and a set with room for it.
  TConnection();
  // Closes the connection if it is still open.
  virtual ~TConnection();
  TConnection(const TConnection&) = delete;
  TConnection& operator=(const TConnection&) = delete;

  // Opens a new connection to Host:Port, closing any open one first (and forgetting what it
  // had received). False when the host cannot be resolved or reached within CONNECT_TIME_LIMIT.
  bool Connect(const std::string& Host, std::uint16_t Port);
  // True from a successful Connect until Close or until the connection is found dead.
  bool Connected() const;
  // Takes in what has arrived and sends what is waiting to go out, without waiting. A
  // connection found dead (end of stream, error, a line beyond the line buffer's limit, more
  // than MAX_UNREAD_INPUT not yet read) is closed and taken out of the set at once; the lines
  // received before remain to be read.
  void Poll();
  // Polls, then answers whether Recv has something to report: a complete line, or the end of
  // a connection found dead that has not been reported yet.
  bool DataAvaiable();
  // The oldest complete line into S (without its terminator): true. False (S empty) when no
  // line is waiting; the end of a dead connection is reported this way exactly once.
  bool Recv(std::string& S);
  // Queues S and its terminator and sends as much as the server takes now. Does nothing while
  // not connected; a server that has gone is noticed by the next receive, never by a signal.
  void Send(const std::string& S);
  // Sends what can still go out, closes the socket and takes it out of the set. Lines not yet
  // read are dropped.
  void Close();

  // True while the end of a dead connection waits to be reported by Recv.
  bool EndPending() const { return FEndPending; }
  // Complete lines received and not yet read.
  std::size_t LinesWaiting() const { return FLines.Count(); }
  // Bytes received and not yet read, the line still arriving included.
  std::size_t UnreadBytes() const { return FLines.Bytes() + FInput.Buffered(); }

private:
  // Takes the socket out of the set and closes it.
  void Drop();
  // Drops the connection and remembers that its end is still to be reported.
  void Lost();

  std::unique_ptr<TSocket> FSocket;
  std::unique_ptr<TSocketSet> FSet;
  // Bytes of the line still arriving.
  TLineBuffer FInput;
  TLineQueue FLines;
  // The line being moved from FInput to FLines (kept to reuse its storage).
  std::string FTaken;
  bool FEndPending = false;
};
