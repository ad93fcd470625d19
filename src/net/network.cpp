#include "net/network.h"

#include "net/sdl_net_private.h"

#include <csignal>
#include <cstring>
#include <mutex>
#include <stdexcept>

void InitNetwork() {
  static std::once_flag started;
  std::call_once(started, [] {
    if (SDLNet_Init() == -1)
      throw std::runtime_error("Could not initialize SDL Net");
    // SDL_net only does this when SIGPIPE is at its default; the programs rely on it always.
    std::signal(SIGPIPE, SIG_IGN);
  });
}

std::string GetLastNetworkError() {
  const char* text = SDLNet_GetError();
  return text != nullptr ? text : "";
}

std::string IPToString(uint32_t Host) {
  unsigned char octets[4];
  std::memcpy(octets, &Host, sizeof octets);
  return std::to_string(octets[0]) + "." + std::to_string(octets[1]) + "." +
         std::to_string(octets[2]) + "." + std::to_string(octets[3]);
}
