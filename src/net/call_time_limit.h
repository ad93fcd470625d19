// Bounds a blocking system call of this thread (a connect that the peer never answers) by
// interrupting it with SIGALRM once a time limit has passed. SDL_net offers no connect with a
// time limit; an interrupted connect simply fails.
#pragma once

#include <chrono>
#include <csignal>
#include <sys/time.h>

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
