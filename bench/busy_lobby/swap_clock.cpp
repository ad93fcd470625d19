// Loaded into the client with LD_PRELOAD by the busy-lobby benchmark: after every buffer swap
// it writes the time (CLOCK_MONOTONIC, nanoseconds, 8 bytes) to the descriptor named by
// SWAP_CLOCK_FD, so that the client's frames can be timed from outside, whichever build of the
// client it is. A swap whose time cannot be written at once (the reader lags) is not recorded;
// the client is never held up.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>

namespace {

using TSwap = void (*)();

int Descriptor() {
  static const int fd = [] {
    const char* text = std::getenv("SWAP_CLOCK_FD");
    return text != nullptr ? std::atoi(text) : -1;
  }();
  return fd;
}

} // namespace

extern "C" void SDL_GL_SwapBuffers() {
  static const auto real = reinterpret_cast<TSwap>(dlsym(RTLD_NEXT, "SDL_GL_SwapBuffers"));
  if (real != nullptr) {
    real();
  }
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const std::int64_t ns = static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
  if (Descriptor() >= 0 && write(Descriptor(), &ns, sizeof ns) != sizeof ns) {
    // Dropped: the reader is behind.
  }
}
