#include "net/call_time_limit.h"

#include <condition_variable>
#include <ctime>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <pthread.h>
#include <sys/socket.h>
#include <system_error>
#include <thread>

namespace {
// How often the signal repeats once the limit has passed.
constexpr long RepeatMicroseconds = 20'000;

// The handler only has to exist: its return makes the interrupted call fail with EINTR.
void Interrupt(int) {}

// The answer of a look-up, shared by the thread that runs it and the caller that may stop
// waiting for it: whichever lets go last frees it.
struct TLookUpResult {
  std::mutex Lock;
  std::condition_variable Done;
  bool Finished = false;
  std::optional<uint32_t> Host;
};

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

std::optional<uint32_t> LookUpHost(const std::string& Name) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(Name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
    return std::nullopt;
  const uint32_t host = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
  freeaddrinfo(found);
  return host;
}

std::optional<uint32_t> LookUpHostWithin(const std::string& Name, std::chrono::milliseconds Limit,
                                         const THostLookup& Lookup) {
  if (Limit.count() <= 0)
    return Lookup(Name);
  auto result = std::make_shared<TLookUpResult>();
  // The new thread starts with the signal mask of the one that creates it.
  sigset_t alarm, old;
  sigemptyset(&alarm);
  sigaddset(&alarm, SIGALRM);
  pthread_sigmask(SIG_BLOCK, &alarm, &old);
  try {
    std::thread([result, Name, Lookup] {
      std::optional<uint32_t> host = Lookup(Name);
      std::lock_guard<std::mutex> hold(result->Lock);
      result->Host = host;
      result->Finished = true;
      result->Done.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return std::nullopt; // no thread to be had: as if the name did not resolve
  }
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
  std::unique_lock<std::mutex> hold(result->Lock);
  result->Done.wait_for(hold, Limit, [&] { return result->Finished; });
  return result->Host;
}
