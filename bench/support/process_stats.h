// Small helpers the benchmarks share: a free port on 127.0.0.1 and a connection to one, the
// monotonic clock in nanoseconds, what /proc says of a process, and percentiles.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "../../tests/support/line_client.h"

namespace bench {

// A port on 127.0.0.1 that was free a moment ago: the tests' own.
using test_support::FreePort;

// A connection to Port on 127.0.0.1 as a load generator wants it: non-blocking, without Nagle's
// delay. -1 when it cannot be opened.
inline int ConnectLoopback(std::uint16_t Port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(Port);
  if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    if (fd >= 0) {
      close(fd);
    }
    return -1;
  }
  int one = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  fcntl(fd, F_SETFL, O_NONBLOCK);
  return fd;
}

// steady_clock in nanoseconds: CLOCK_MONOTONIC, comparable across processes.
inline std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Processor time of Pid's main thread in seconds, to the nanosecond: the scheduler's count of
// time on a processor.
inline double ProcessCpuSeconds(pid_t Pid) {
  std::ifstream in("/proc/" + std::to_string(Pid) + "/schedstat");
  double nanoseconds = 0;
  in >> nanoseconds;
  return nanoseconds / 1e9;
}

// A field of /proc/PID/status in KiB (VmRSS, VmHWM); -1 when there is none.
inline long ProcessStatusKiB(pid_t Pid, const std::string& Name) {
  std::ifstream in("/proc/" + std::to_string(Pid) + "/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(Name + ":", 0) == 0) {
      return std::atol(line.c_str() + Name.size() + 1);
    }
  }
  return -1;
}

// The value below which the Fraction (0 to 1) of Values lie; 0 for none.
inline double Percentile(std::vector<double> Values, double Fraction) {
  if (Values.empty()) {
    return 0;
  }
  const auto k = static_cast<std::size_t>(Fraction * static_cast<double>(Values.size() - 1));
  std::nth_element(Values.begin(), Values.begin() + static_cast<std::ptrdiff_t>(k), Values.end());
  return Values[k];
}

} // namespace bench
