// The sockets a program waits on. Activity blocks (or polls) until one of them has something
// to read, or, for a socket with queued output, room to write. It waits with poll(), so any
// descriptor number works, and Wake lets another thread or a signal handler end a wait.
#pragma once

#include <cstddef>
#include <cstdint>
#include <poll.h>
#include <unordered_map>
#include <vector>

#include "net/socket.h"

class TSocketSet {
public:
  // A set with room for MaxSock sockets. Throws std::runtime_error "Unable to alloc socket set"
  // when its wake-up channel cannot be made.
  explicit TSocketSet(uint32_t MaxSock);
  // The sockets in the set are not touched.
  ~TSocketSet();
  TSocketSet(const TSocketSet&) = delete;
  TSocketSet& operator=(const TSocketSet&) = delete;

  // False when the set is full, the handle is nil or already in the set.
  bool Add(TCPsocket Socket);
  // As above for a socket object; the set also watches it for writing while it has queued
  // output. The object must stay alive until it is removed.
  bool Add(TSocket* Socket);
  // False when the socket is not in the set.
  bool Remove(TCPsocket Socket);
  bool Remove(TSocket* Socket);

  // Waits until some socket is ready (Wait) or just looks (not Wait). True only when at least
  // one socket is ready; false on a failure (GetLastNetworkError says why) or after Wake.
  bool Activity(bool Wait);
  // The same with a time-out in milliseconds (-1: none). Answers the number of ready sockets,
  // 0 when the time ran out or Wake was called, -1 on failure. An interrupted wait is resumed.
  int Check(int TimeoutMs);
  // Ends the current or the next wait at once. Safe from any thread and from signal handlers.
  void Wake();

  // Whether the last Activity found Socket readable (data, end of stream or an error).
  bool SocketActive(const TSocket* Socket) const;
  bool SocketActive(TCPsocket Socket) const;
  // Whether the last Activity found room to send Socket's queued output.
  bool SocketWritable(const TSocket* Socket) const;

  std::size_t Count() const { return FEntries.size(); }
  uint32_t Capacity() const { return FCapacity; }
  // Changes the room of the set; never below the sockets already in it. False when refused.
  bool SetCapacity(uint32_t MaxSock);

private:
  struct TEntry {
    const void* Key = nullptr;
    TSocket* Owner = nullptr;
    TCPsocket Handle = nullptr;
    short Revents = 0;
  };
  bool AddEntry(const void* Key, TSocket* Owner, TCPsocket Handle);
  bool RemoveEntry(const void* Key);
  short ReventsOf(const void* Key) const;

  uint32_t FCapacity = 0;
  std::vector<TEntry> FEntries;
  std::unordered_map<const void*, std::size_t> FIndex;
  std::vector<pollfd> FPoll;
  int FWakeFd = -1;
};
