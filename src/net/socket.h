// A TCP socket over SDL_net: remembers whether it is usable and the peer's address, frames
// lines (text plus one 0x00 byte), and offers a path that never blocks: ReceiveAvailable to
// take what has arrived, Queue and Flush to send what the peer can take now and keep the rest.
#pragma once

#include "net/call_time_limit.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// SDL_net's handle, declared here so that users of this header need no SDL header.
typedef struct _TCPsocket* TCPsocket;

// Why Accept gave no socket.
enum class TAcceptStatus {
  Accepted,
  NonePending,   // no connection is waiting
  Transient,     // the waiting connection was lost (reset, aborted); others may follow
  NoDescriptors, // the process or the system has no descriptor left
  NoMemory,      // the system is short of buffers
  Failed,        // the listening socket itself is broken
};

class TSocket {
public:
  // An empty socket: no handle, inactive, no address.
  TSocket();
  // Adopts a handle from an accept: active, FIP set to the peer's address.
  explicit TSocket(TCPsocket Socket);
  // Closes the handle if the socket still holds one.
  virtual ~TSocket();
  TSocket(const TSocket&) = delete;
  TSocket& operator=(const TSocket&) = delete;

  // Connects to Address (always resolved as a name; "" is not the wildcard) on the low 16 bits
  // of Port. False when resolving or connecting fails; GetLastNetworkError says why.
  bool Connect(const std::string& Address, uint32_t Port);
  // As Connect, but gives up once Limit has passed, counted from the call: the look-up of the
  // name included (a name service that does not answer, a peer that never answers, a lost
  // route); GetLastNetworkError then says that it timed out. A Limit of zero waits as long as
  // the system does. Lookup stands in for the system's look-up of the name.
  bool Connect(const std::string& Address, uint32_t Port, std::chrono::milliseconds Limit,
               const THostLookup& Lookup = LookUpHost);
  // Listens on all interfaces. Port 0 takes any free port (see LocalPort).
  bool Listen(uint16_t Port);
  // Listens on the interface Address ("" or "0.0.0.0": all interfaces).
  bool Listen(const std::string& Address, uint16_t Port);
  // Takes one waiting connection; nullptr when there is none or it failed (Status says which).
  // The caller owns the new socket.
  std::unique_ptr<TSocket> Accept(TAcceptStatus* Status = nullptr);

  // One blocking send; failures are ignored (a gone peer never raises a signal).
  void Send(const void* Buffer, int Size);
  // Receives exactly Size bytes, blocking; anything else makes the socket inactive.
  bool Recv(void* Buffer, int Size);
  // Sends S and its 0x00 terminator in one blocking send.
  void Send(const std::string& S);
  // Reads one line byte by byte up to its 0x00, blocking. On failure S holds the bytes read.
  bool Recv(std::string& S);
  // Makes the socket inactive and closes its handle.
  void Close();

  // One receive of up to Size bytes; blocks only when nothing has arrived. Answers the byte
  // count, or -1 when the peer has closed or the connection failed (the socket turns inactive).
  int ReceiveSome(void* Buffer, int Size);
  // As ReceiveSome, but never blocks: 0 when nothing has arrived yet.
  int ReceiveAvailable(void* Buffer, int Size);

  // Adds S and its terminator to the output queue; nothing is sent yet.
  void Queue(const std::string& S);
  // Sends as much of the queue as the connection takes now, without blocking, in order.
  // False when sending failed (the peer is gone): the queue is dropped and later queueing is
  // ignored; the socket stays active until a receive reports the end.
  bool Flush();
  // Bytes queued and not yet sent.
  std::size_t PendingOutput() const { return FOutput.size() - FOutputStart; }
  // True once a send of queued output has failed.
  bool SendFailed() const { return FSendFailed; }
  // The system's error number for the last receive or send that failed (ETIMEDOUT when the
  // system gave up on the peer, ECONNRESET...); 0 when the peer closed in order or none failed.
  int LastError() const { return FLastError; }

  // Turns on TCP keepalive: after IdleSeconds without traffic the system probes the peer every
  // IntervalSeconds, and gives up on it (the next receive fails with ETIMEDOUT) after Probes
  // unanswered probes. IdleSeconds 0 turns keepalive off. False when the system refused.
  bool SetKeepAlive(int IdleSeconds, int IntervalSeconds, int Probes);

  bool Active() const { return FActive; }
  // The peer's address in dotted form; empty for a listening socket.
  const std::string& IP() const { return FIP; }
  TCPsocket Handle() const { return FSocket; }
  // The operating-system descriptor, or -1 when there is no handle.
  int Descriptor() const;
  // The local port the socket is bound to, 0 when there is none.
  uint16_t LocalPort() const;

private:
  bool Open(uint32_t Host, uint16_t Port, bool Listening);

  TCPsocket FSocket = nullptr;
  bool FActive = false;
  std::string FIP;
  std::string FOutput;
  std::size_t FOutputStart = 0;
  bool FSendFailed = false;
  int FLastError = 0;
};
