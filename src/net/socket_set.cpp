#include "net/socket_set.h"

#include "net/network.h"
#include "net/sdl_net_private.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {
constexpr short ReadableEvents = POLLIN | POLLERR | POLLHUP | POLLNVAL;
constexpr short WritableEvents = POLLOUT | POLLERR | POLLHUP | POLLNVAL;
} // namespace

TSocketSet::TSocketSet(uint32_t MaxSock) : FCapacity(MaxSock) {
  InitNetwork();
  FWakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (FWakeFd < 0)
    throw std::runtime_error("Unable to alloc socket set");
}

TSocketSet::~TSocketSet() {
  close(FWakeFd);
}

bool TSocketSet::AddEntry(const void* Key, TSocket* Owner, TCPsocket Handle) {
  if (Key == nullptr || FEntries.size() >= FCapacity || FIndex.count(Key) != 0) {
    SDLNet_SetError("socket set is full");
    return false;
  }
  FIndex.emplace(Key, FEntries.size());
  FEntries.push_back(TEntry{Key, Owner, Handle, 0});
  return true;
}

bool TSocketSet::RemoveEntry(const void* Key) {
  auto found = FIndex.find(Key);
  if (found == FIndex.end()) {
    SDLNet_SetError("socket not found in the socketset");
    return false;
  }
  std::size_t index = found->second;
  FIndex.erase(found);
  if (index + 1 != FEntries.size()) {
    FEntries[index] = FEntries.back();
    FIndex[FEntries[index].Key] = index;
  }
  FEntries.pop_back();
  return true;
}

bool TSocketSet::Add(TCPsocket Socket) {
  return AddEntry(Socket, nullptr, Socket);
}

bool TSocketSet::Add(TSocket* Socket) {
  if (Socket == nullptr || Socket->Handle() == nullptr) {
    SDLNet_SetError("no socket to add");
    return false;
  }
  return AddEntry(Socket, Socket, nullptr);
}

bool TSocketSet::Remove(TCPsocket Socket) {
  return RemoveEntry(Socket);
}

bool TSocketSet::Remove(TSocket* Socket) {
  return RemoveEntry(Socket);
}

bool TSocketSet::SetCapacity(uint32_t MaxSock) {
  if (MaxSock < FEntries.size())
    return false;
  FCapacity = MaxSock;
  return true;
}

bool TSocketSet::Activity(bool Wait) {
  return Check(Wait ? -1 : 0) > 0;
}

int TSocketSet::Check(int TimeoutMs) {
  using Clock = std::chrono::steady_clock;
  FPoll.resize(FEntries.size() + 1);
  FPoll[0] = pollfd{FWakeFd, POLLIN, 0};
  for (std::size_t i = 0; i < FEntries.size(); ++i) {
    TEntry& entry = FEntries[i];
    entry.Revents = 0;
    short events = POLLIN;
    int fd;
    if (entry.Owner != nullptr) {
      fd = entry.Owner->Descriptor();
      if (entry.Owner->PendingOutput() > 0)
        events |= POLLOUT;
    } else {
      fd = net_detail::DescriptorOf(entry.Handle);
    }
    FPoll[i + 1] = pollfd{fd, events, 0};
  }

  const auto deadline = Clock::now() + std::chrono::milliseconds(TimeoutMs < 0 ? 0 : TimeoutMs);
  int ready;
  for (;;) {
    int wait = TimeoutMs;
    if (TimeoutMs > 0) {
      auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      wait = left > 0 ? static_cast<int>(left) : 0;
    }
    ready = poll(FPoll.data(), FPoll.size(), wait);
    if (ready >= 0 || errno != EINTR)
      break;
  }
  if (ready < 0) {
    SDLNet_SetError("poll() failed: %s", std::strerror(errno));
    return -1;
  }

  int count = 0;
  if (FPoll[0].revents != 0) {
    uint64_t drained = 0;
    while (read(FWakeFd, &drained, sizeof drained) > 0) {
    }
  }
  for (std::size_t i = 0; i < FEntries.size(); ++i) {
    short revents = FPoll[i + 1].revents;
    FEntries[i].Revents = revents;
    if (revents != 0)
      ++count;
  }
  return count;
}

void TSocketSet::Wake() {
  uint64_t one = 1;
  // A full counter already means "wake up"; nothing else can go wrong that matters here.
  ssize_t written = write(FWakeFd, &one, sizeof one);
  (void)written;
}

short TSocketSet::ReventsOf(const void* Key) const {
  auto found = FIndex.find(Key);
  return found == FIndex.end() ? 0 : FEntries[found->second].Revents;
}

bool TSocketSet::SocketActive(const TSocket* Socket) const {
  return Socket != nullptr && Socket->Handle() != nullptr &&
         (ReventsOf(Socket) & ReadableEvents) != 0;
}

bool TSocketSet::SocketActive(TCPsocket Socket) const {
  if (Socket == nullptr)
    return false;
  if (FIndex.count(Socket) != 0)
    return (ReventsOf(Socket) & ReadableEvents) != 0;
  // The handle may be in the set through its socket object.
  for (const TEntry& entry : FEntries)
    if (entry.Owner != nullptr && entry.Owner->Handle() == Socket)
      return (entry.Revents & ReadableEvents) != 0;
  return false;
}

bool TSocketSet::SocketWritable(const TSocket* Socket) const {
  return Socket != nullptr && (ReventsOf(Socket) & WritableEvents) != 0;
}
