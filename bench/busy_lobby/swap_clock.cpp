// Loaded into the client with LD_PRELOAD by the busy-lobby benchmark: after every buffer swap
// it writes the time (CLOCK_MONOTONIC) and the processor time the process has used so far (all
// its threads), both in nanoseconds as two 8-byte numbers, to the descriptor named by
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
  std::int64_t record[2];
  for (int i = 0; i < 2; ++i) {
    timespec t{};
    clock_gettime(i == 0 ? CLOCK_MONOTONIC : CLOCK_PROCESS_CPUTIME_ID, &t);
    record[i] = static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
  }
  if (Descriptor() >= 0 && write(Descriptor(), record, sizeof record) != sizeof record) {
    // Dropped: the reader is behind.
  }
}
