// Bounds the blocking calls of opening a connection. A connect that the peer never answers is
// interrupted with SIGALRM once a time limit has passed (SDL_net offers no connect with a time
// limit; an interrupted connect simply fails). A host-name look-up cannot be interrupted that
// way (the resolver retries), so it runs on a thread of its own that the caller stops waiting
// for.
#pragma once

#include <chrono>
#include <csignal>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <sys/time.h>

// Looks a host name up: its IPv4 address as SDL_net stores it (network byte order), or nothing.
// It may block for as long as the name service takes.
using THostLookup = std::function<std::optional<uint32_t>(const std::string& Name)>;

// The system's look-up of a dotted address or a name; safe on any thread.
std::optional<uint32_t> LookUpHost(const std::string& Name);

// Runs Lookup(Name) on a thread of its own and waits at most Limit for the answer: nothing when
// none came in time (the thread then finishes on its own and its answer is dropped). SIGALRM is
// blocked on that thread, so the signal of a TCallTimeLimit always reaches the caller's. A
// Limit of zero or less runs Lookup on the caller's thread and waits as long as it takes.
std::optional<uint32_t> LookUpHostWithin(const std::string& Name, std::chrono::milliseconds Limit,
                                         const THostLookup& Lookup = LookUpHost);

class TCallTimeLimit {
public:
  // Arms the limit; a Limit of zero or less arms nothing. The signal repeats every few
  // milliseconds after the limit, so a call entered just after one signal is interrupted by the
  // next.
  explicit TCallTimeLimit(std::chrono::milliseconds Limit);
  // Disarms, drops a signal still pending and gives SIGALRM back its previous handling.
  ~TCallTimeLimit();
  TCallTimeLimit(const TCallTimeLimit&) = delete;
  TCallTimeLimit& operator=(const TCallTimeLimit&) = delete;

  // True once the limit has passed.
  bool Expired() const;

private:
  bool FArmed = false;
  std::chrono::steady_clock::time_point FDeadline{};
  struct sigaction FOldAction {};
  itimerval FOldTimer{};
};
