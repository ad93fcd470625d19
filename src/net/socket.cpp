#include "net/socket.h"

#include "net/call_time_limit.h"
#include "net/network.h"
#include "net/sdl_net_private.h"

#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

namespace {
// Beyond this, an emptied output queue gives its memory back.
constexpr std::size_t KeptCapacity = 16 * 1024;
} // namespace

TSocket::TSocket() {
  InitNetwork();
}

TSocket::TSocket(TCPsocket Socket) : FSocket(Socket), FActive(Socket != nullptr) {
  InitNetwork();
  if (Socket != nullptr) {
    const IPaddress* peer = SDLNet_TCP_GetPeerAddress(Socket);
    if (peer != nullptr)
      FIP = IPToString(peer->host);
  }
}

TSocket::~TSocket() {
  // A socket whose receive failed is inactive but still holds its handle: release it too.
  if (FSocket != nullptr)
    Close();
}

bool TSocket::Open(uint32_t Host, uint16_t Port, bool Listening) {
  if (FSocket != nullptr)
    Close();
  IPaddress address{};
  address.host = Host;
  SDLNet_Write16(Port, &address.port);
  TCPsocket handle = SDLNet_TCP_Open(&address);
  if (handle == nullptr)
    return false;
  int fd = net_detail::DescriptorOf(handle);
  if (!net_detail::VerifyDescriptor(fd, Listening, Listening ? Port : 0)) {
    SDLNet_TCP_Close(handle);
    return false;
  }
  FSocket = handle;
  FActive = true;
  FOutput.clear();
  FOutputStart = 0;
  FSendFailed = false;
  return true;
}

bool TSocket::Connect(const std::string& Address, uint32_t Port) {
  return Connect(Address, Port, std::chrono::milliseconds(0));
}

bool TSocket::Connect(const std::string& Address, uint32_t Port, std::chrono::milliseconds Limit,
                      const THostLookup& Lookup) {
  using std::chrono::steady_clock;
  const steady_clock::time_point deadline = steady_clock::now() + Limit;
  auto timedOut = [&] {
    SDLNet_SetError("Timed out connecting to %s", Address.c_str());
    return false;
  };
  const uint16_t port = static_cast<uint16_t>(Port & 0xFFFF);
  const std::optional<uint32_t> host = LookUpHostWithin(Address, Limit, Lookup);
  std::chrono::milliseconds left = Limit;
  if (Limit.count() > 0) {
    left = std::chrono::ceil<std::chrono::milliseconds>(deadline - steady_clock::now());
    if (left.count() <= 0)
      return timedOut();
  }
  if (!host) {
    SDLNet_SetError("Couldn't resolve host %s", Address.c_str());
    return false;
  }
  if (*host == INADDR_ANY || *host == INADDR_NONE) {
    // SDL_net would open a listening socket for these instead of connecting.
    SDLNet_SetError("Couldn't connect to %s", Address.c_str());
    return false;
  }
  TCallTimeLimit limit(left);
  if (!Open(*host, port, false)) {
    if (limit.Expired())
      return timedOut();
    return false;
  }
  FIP = IPToString(*host);
  if (const IPaddress* peer = SDLNet_TCP_GetPeerAddress(FSocket))
    FIP = IPToString(peer->host);
  return true;
}

bool TSocket::Listen(uint16_t Port) {
  return Listen("", Port);
}

bool TSocket::Listen(const std::string& Address, uint16_t Port) {
  uint32_t host = INADDR_ANY;
  if (!Address.empty()) {
    IPaddress resolved{};
    if (SDLNet_ResolveHost(&resolved, Address.c_str(), Port) != 0)
      return false;
    host = resolved.host;
  }
  if (host == INADDR_ANY) {
    if (!Open(INADDR_ANY, Port, true))
      return false;
  } else {
    // SDL_net only listens on all interfaces: open on any free port, then move the handle to a
    // socket bound where it was asked.
    if (!Open(INADDR_ANY, 0, true))
      return false;
    if (!net_detail::RebindListener(FSocket, host, Port) ||
        !net_detail::VerifyDescriptor(Descriptor(), true, Port)) {
      Close();
      return false;
    }
  }
  net_detail::DeepenListenQueue(Descriptor());
  FIP.clear();
  return true;
}

std::unique_ptr<TSocket> TSocket::Accept(TAcceptStatus* Status) {
  TAcceptStatus status = TAcceptStatus::Failed;
  std::unique_ptr<TSocket> result;
  if (FSocket != nullptr) {
    errno = 0;
    TCPsocket handle = SDLNet_TCP_Accept(FSocket);
    if (handle != nullptr) {
      // Lines are small and latency matters more than packet count: no Nagle delay.
      int one = 1;
      setsockopt(net_detail::DescriptorOf(handle), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
      result = std::make_unique<TSocket>(handle);
      status = TAcceptStatus::Accepted;
    } else {
      int reason = errno;
      if (reason != 0 && reason != EAGAIN && reason != EWOULDBLOCK)
        SDLNet_SetError("accept() failed: %s", std::strerror(reason));
      switch (reason) {
      case EAGAIN:
#if EWOULDBLOCK != EAGAIN
      case EWOULDBLOCK:
#endif
        status = TAcceptStatus::NonePending;
        break;
      case EMFILE:
      case ENFILE:
        status = TAcceptStatus::NoDescriptors;
        break;
      case ENOBUFS:
      case ENOMEM:
        status = TAcceptStatus::NoMemory;
        break;
      case EBADF:
      case EINVAL:
      case ENOTSOCK:
      case EOPNOTSUPP:
      case EFAULT:
        status = TAcceptStatus::Failed;
        break;
      default: // ECONNABORTED, EPROTO, EPERM, EINTR, network errors of the waiting connection
        status = TAcceptStatus::Transient;
        break;
      }
    }
  }
  if (Status != nullptr)
    *Status = status;
  return result;
}

void TSocket::Send(const void* Buffer, int Size) {
  if (FSocket != nullptr && Size > 0)
    SDLNet_TCP_Send(FSocket, const_cast<void*>(Buffer), Size);
}

bool TSocket::Recv(void* Buffer, int Size) {
  int got = FSocket != nullptr ? SDLNet_TCP_Recv(FSocket, Buffer, Size) : -1;
  if (got != Size) {
    FActive = false;
    return false;
  }
  return true;
}

void TSocket::Send(const std::string& S) {
  std::string line = S;
  line += '\0';
  Send(line.data(), static_cast<int>(line.size()));
}

bool TSocket::Recv(std::string& S) {
  S.clear();
  char c = 0;
  while (Recv(&c, 1)) {
    if (c == '\0')
      return true;
    S += c;
  }
  return false;
}

void TSocket::Close() {
  FActive = false;
  if (FSocket != nullptr) {
    SDLNet_TCP_Close(FSocket);
    FSocket = nullptr;
  }
}

int TSocket::ReceiveSome(void* Buffer, int Size) {
  if (FSocket == nullptr || Size <= 0)
    return -1;
  errno = 0;
  int got = SDLNet_TCP_Recv(FSocket, Buffer, Size);
  if (got <= 0) {
    FLastError = got < 0 ? errno : 0;
    FActive = false;
    return -1;
  }
  return got;
}

int TSocket::ReceiveAvailable(void* Buffer, int Size) {
  if (FSocket == nullptr)
    return -1;
  pollfd entry{Descriptor(), POLLIN, 0};
  int ready;
  do {
    ready = poll(&entry, 1, 0);
  } while (ready < 0 && errno == EINTR);
  if (ready == 0)
    return 0;
  return ReceiveSome(Buffer, Size);
}

void TSocket::Queue(const std::string& S) {
  if (FSendFailed || FSocket == nullptr)
    return;
  FOutput += S;
  FOutput += '\0';
}

bool TSocket::Flush() {
  if (FSendFailed)
    return false;
  int fd = Descriptor();
  while (PendingOutput() > 0) {
    if (fd < 0) {
      FSendFailed = true;
      break;
    }
    ssize_t sent =
        send(fd, FOutput.data() + FOutputStart, PendingOutput(), MSG_DONTWAIT | MSG_NOSIGNAL);
    if (sent > 0) {
      FOutputStart += static_cast<std::size_t>(sent);
    } else if (sent < 0 && errno == EINTR) {
      continue;
    } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (FOutputStart >= FOutput.size() / 2) {
        FOutput.erase(0, FOutputStart);
        FOutputStart = 0;
      }
      return true;
    } else {
      FLastError = sent < 0 ? errno : 0;
      FSendFailed = true;
      break;
    }
  }
  FOutput.clear();
  FOutputStart = 0;
  if (FOutput.capacity() > KeptCapacity)
    std::string().swap(FOutput);
  return !FSendFailed;
}

bool TSocket::SetKeepAlive(int IdleSeconds, int IntervalSeconds, int Probes) {
  int fd = Descriptor();
  if (fd < 0)
    return false;
  int on = IdleSeconds > 0 ? 1 : 0;
  if (setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on) != 0)
    return false;
  if (on == 0)
    return true;
  return setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &IdleSeconds, sizeof IdleSeconds) == 0 &&
         setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &IntervalSeconds, sizeof IntervalSeconds) ==
             0 &&
         setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &Probes, sizeof Probes) == 0;
}

int TSocket::Descriptor() const {
  return net_detail::DescriptorOf(FSocket);
}

uint16_t TSocket::LocalPort() const {
  int fd = Descriptor();
  if (fd < 0)
    return 0;
  sockaddr_in address{};
  socklen_t len = sizeof address;
  if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &len) != 0)
    return 0;
  return ntohs(address.sin_port);
}
