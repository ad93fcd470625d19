// The only code that looks inside SDL_net's socket record. SDL_net 1.2 keeps the record private;
// it begins with `int ready; int channel;`, and channel is the descriptor. Every socket opened
// through this library is checked with VerifyDescriptor right after opening, so a different
// layout is reported as an error instead of being trusted.
#include "net/sdl_net_private.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace net_detail {

namespace {

struct TSDLNetSocketHead {
  int ready;
  int channel;
};

bool Fail(const std::string& Text) {
  SDLNet_SetError("%s", Text.c_str());
  return false;
}

} // namespace

int DescriptorOf(TCPsocket Socket) {
  if (Socket == nullptr)
    return -1;
  return reinterpret_cast<const TSDLNetSocketHead*>(Socket)->channel;
}

bool VerifyDescriptor(int Descriptor, bool Listening, uint16_t Port) {
  if (Descriptor < 0)
    return Fail("SDL_net socket has no descriptor");
  int type = 0;
  int accepting = 0;
  socklen_t len = sizeof type;
  if (getsockopt(Descriptor, SOL_SOCKET, SO_TYPE, &type, &len) != 0 || type != SOCK_STREAM)
    return Fail("SDL_net socket layout not recognised");
  len = sizeof accepting;
  if (getsockopt(Descriptor, SOL_SOCKET, SO_ACCEPTCONN, &accepting, &len) != 0 ||
      (accepting != 0) != Listening)
    return Fail("SDL_net socket layout not recognised");
  sockaddr_in address{};
  len = sizeof address;
  int got = Listening ? getsockname(Descriptor, reinterpret_cast<sockaddr*>(&address), &len)
                      : getpeername(Descriptor, reinterpret_cast<sockaddr*>(&address), &len);
  if (got != 0 || address.sin_family != AF_INET)
    return Fail("SDL_net socket layout not recognised");
  if (Port != 0 && ntohs(address.sin_port) != Port)
    return Fail("SDL_net socket layout not recognised");
  return true;
}

bool RebindListener(TCPsocket Socket, uint32_t Host, uint16_t Port) {
  int target = DescriptorOf(Socket);
  int fresh = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fresh < 0)
    return Fail(std::string("socket() failed: ") + std::strerror(errno));
  int yes = 1;
  setsockopt(fresh, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = Host;
  address.sin_port = htons(Port);
  if (bind(fresh, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(fresh, INT_MAX) != 0) {
    std::string why = std::strerror(errno);
    close(fresh);
    return Fail("Couldn't bind to local port: " + why);
  }
  // The handle keeps its descriptor number; from now on it names the socket bound here.
  int moved = dup2(fresh, target);
  int saved = errno;
  close(fresh);
  if (moved < 0)
    return Fail(std::string("dup2() failed: ") + std::strerror(saved));
  return true;
}

void DeepenListenQueue(int Descriptor) {
  // The kernel trims the backlog to its own maximum.
  listen(Descriptor, INT_MAX);
}

} // namespace net_detail
