// Test helpers that talk to a server the way a peer would, over plain POSIX sockets on
// 127.0.0.1, with every wait bounded in time.
#pragma once

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace test_support {

// How long a test waits for something that must happen.
constexpr int WaitMs = 10000;

// A port that was free a moment ago.
inline uint16_t FreePort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t len = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &len);
  close(fd);
  return ntohs(address.sin_port);
}

// One end of a connection that sends and reads 0x00-terminated lines; it owns the descriptor.
class TLineSocket {
public:
  explicit TLineSocket(int Fd = -1) : FFd(Fd) {}
  ~TLineSocket() { Close(); }
  TLineSocket(const TLineSocket&) = delete;
  TLineSocket& operator=(const TLineSocket&) = delete;

  int Fd() const { return FFd; }

  void SendRaw(std::string_view Bytes) {
    std::size_t done = 0;
    while (done < Bytes.size()) {
      ssize_t sent = send(FFd, Bytes.data() + done, Bytes.size() - done, MSG_NOSIGNAL);
      if (sent <= 0)
        throw std::runtime_error("send() failed");
      done += static_cast<std::size_t>(sent);
    }
  }
  void SendLine(std::string_view Line) {
    std::string bytes(Line);
    bytes += '\0';
    SendRaw(bytes);
  }
  // Several lines in one send.
  void SendLines(std::initializer_list<std::string_view> Lines) {
    std::string bytes;
    for (std::string_view line : Lines) {
      bytes += line;
      bytes += '\0';
    }
    SendRaw(bytes);
  }
  // As SendRaw for bytes the server may refuse half-way by closing: false when the connection
  // ended before all of them were sent.
  bool SendRawUntilClosed(std::string_view Bytes) {
    try {
      SendRaw(Bytes);
      return true;
    } catch (const std::runtime_error&) {
      return false;
    }
  }

  // The next complete line, or nothing when the connection ended or TimeoutMs passed.
  std::optional<std::string> ReadLine(int TimeoutMs = WaitMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
    for (;;) {
      std::size_t end = FBuffer.find('\0');
      if (end != std::string::npos) {
        std::string line = FBuffer.substr(0, end);
        FBuffer.erase(0, end + 1);
        return line;
      }
      if (!Fill(deadline))
        return std::nullopt;
    }
  }

  // True when the server closes the connection within TimeoutMs (lines before are skipped).
  bool WaitClosed(int TimeoutMs = WaitMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
    while (Fill(deadline)) {
    }
    return FEnded;
  }

  // Ends the connection with a reset instead of an orderly close.
  void Reset() {
    linger hard{1, 0};
    setsockopt(FFd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    Close();
  }
  void Close() {
    if (FFd >= 0)
      close(FFd);
    FFd = -1;
  }

protected:
  int FFd = -1;

private:
  // Reads what arrives before Deadline; false on time-out or end of stream.
  bool Fill(std::chrono::steady_clock::time_point Deadline) {
    if (FEnded || FFd < 0)
      return false;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    Deadline - std::chrono::steady_clock::now())
                    .count();
    if (left < 0)
      return false;
    pollfd entry{FFd, POLLIN, 0};
    if (poll(&entry, 1, static_cast<int>(left)) <= 0)
      return false;
    char chunk[65536];
    ssize_t got = recv(FFd, chunk, sizeof chunk, 0);
    if (got <= 0) {
      FEnded = true;
      return false;
    }
    FBuffer.append(chunk, static_cast<std::size_t>(got));
    return true;
  }

  std::string FBuffer;
  bool FEnded = false;
};

// A peer connected to a server on 127.0.0.1.
class TLineClient : public TLineSocket {
public:
  // ReceiveBuffer > 0 shrinks the socket's receive buffer before connecting.
  explicit TLineClient(uint16_t Port, int ReceiveBuffer = 0) {
    FFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (FFd < 0)
      throw std::runtime_error("socket() failed");
    if (ReceiveBuffer > 0)
      setsockopt(FFd, SOL_SOCKET, SO_RCVBUF, &ReceiveBuffer, sizeof ReceiveBuffer);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(Port);
    // On a throw the socket part, already built, closes the descriptor.
    if (connect(FFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      throw std::runtime_error(std::string("connect() failed: ") + std::strerror(errno));
    }
  }
};

// Reads the next Count lines; a missing line reads as "<none>".
inline std::vector<std::string> ReadLines(TLineClient& Client, std::size_t Count) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < Count; ++i)
    lines.push_back(Client.ReadLine().value_or("<none>"));
  return lines;
}

} // namespace test_support
