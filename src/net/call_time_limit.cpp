#include "net/call_time_limit.h"

#include <ctime>

namespace {
// How often the signal repeats once the limit has passed.
constexpr long RepeatMicroseconds = 20'000;

// The handler only has to exist: its return makes the interrupted call fail with EINTR.
void Interrupt(int) {}

timeval ToTimeval(std::chrono::microseconds Us) {
  timeval t{};
  t.tv_sec = static_cast<time_t>(Us.count() / 1'000'000);
  t.tv_usec = static_cast<suseconds_t>(Us.count() % 1'000'000);
  return t;
}
} // namespace

TCallTimeLimit::TCallTimeLimit(std::chrono::milliseconds Limit) {
  if (Limit.count() <= 0)
    return;
  FDeadline = std::chrono::steady_clock::now() + Limit;

  struct sigaction action {};
  action.sa_handler = Interrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0; // no SA_RESTART: the blocked call must come back
  if (sigaction(SIGALRM, &action, &FOldAction) != 0)
    return;

  itimerval timer{};
  timer.it_value = ToTimeval(Limit);
  timer.it_interval = ToTimeval(std::chrono::microseconds(RepeatMicroseconds));
  if (setitimer(ITIMER_REAL, &timer, &FOldTimer) != 0) {
    sigaction(SIGALRM, &FOldAction, nullptr);
    return;
  }
  FArmed = true;
}

TCallTimeLimit::~TCallTimeLimit() {
  if (!FArmed)
    return;
  // With SIGALRM blocked, stop the timer and swallow a signal that is already on its way, so
  // that the previous handling (by default: ending the process) never sees one of ours.
  sigset_t alarm, old;
  sigemptyset(&alarm);
  sigaddset(&alarm, SIGALRM);
  sigprocmask(SIG_BLOCK, &alarm, &old);
  setitimer(ITIMER_REAL, &FOldTimer, nullptr);
  sigset_t pending;
  sigemptyset(&pending);
  if (sigpending(&pending) == 0 && sigismember(&pending, SIGALRM)) {
    const timespec now{};
    sigtimedwait(&alarm, nullptr, &now);
  }
  sigaction(SIGALRM, &FOldAction, nullptr);
  sigprocmask(SIG_SETMASK, &old, nullptr);
}

bool TCallTimeLimit::Expired() const {
  return FArmed && std::chrono::steady_clock::now() >= FDeadline;
}
