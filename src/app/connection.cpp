#include "app/connection.h"

#include "net/socket.h"
#include "net/socket_set.h"

#include <cctype>

namespace {

// Most bytes taken in per Poll, so that a flood from the server cannot hold a frame up.
constexpr int MAX_BYTES_PER_POLL = 1 << 20;
constexpr int RECEIVE_CHUNK = 16 * 1024;

std::string TrimBlanks(const std::string& S) {
  std::size_t first = 0;
  std::size_t last = S.size();
  while (first < last && std::isspace(static_cast<unsigned char>(S[first]))) {
    ++first;
  }
  while (last > first && std::isspace(static_cast<unsigned char>(S[last - 1]))) {
    --last;
  }
  return S.substr(first, last - first);
}

} // namespace

bool SplitServerAddress(const std::string& Text, std::string& Host, std::uint16_t& Port) {
  const std::string address = TrimBlanks(Text);
  const std::size_t colon = address.rfind(':');
  Host = address.substr(0, colon);
  Port = DEFAULT_SERVER_PORT;
  if (colon != std::string::npos) {
    const std::string digits = address.substr(colon + 1);
    if (digits.empty() || digits.size() > 5) {
      return false;
    }
    long value = 0;
    for (char c : digits) {
      if (c < '0' || c > '9') {
        return false;
      }
      value = value * 10 + (c - '0');
    }
    if (value < 1 || value > 65535) {
      return false;
    }
    Port = static_cast<std::uint16_t>(value);
  }
  return !Host.empty();
}

TConnection::TConnection()
    : FSocket(std::make_unique<TSocket>()), FSet(std::make_unique<TSocketSet>(1)) {}

TConnection::~TConnection() {
  Drop();
}

bool TConnection::Connect(const std::string& Host, std::uint16_t Port) {
  Close();
  if (!FSocket->Connect(Host, Port, CONNECT_TIME_LIMIT)) {
    return false;
  }
  if (!FSet->Add(FSocket.get())) {
    FSocket->Close();
    return false;
  }
  return true;
}

bool TConnection::Connected() const {
  return FSocket->Active();
}

void TConnection::Poll() {
  if (!FSocket->Active()) {
    return;
  }
  if (FSet->Check(0) <= 0) {
    return;
  }
  if (FSet->SocketWritable(FSocket.get())) {
    FSocket->Flush();
  }
  if (!FSet->SocketActive(FSocket.get())) {
    return;
  }
  char chunk[RECEIVE_CHUNK];
  int taken = 0;
  while (taken < MAX_BYTES_PER_POLL) {
    const int got = FSocket->ReceiveAvailable(chunk, sizeof chunk);
    if (got < 0) {
      // The server closed the connection or it failed: it is over, but what arrived before
      // still counts.
      Lost();
      return;
    }
    if (got == 0) {
      break;
    }
    FInput.Append(chunk, static_cast<std::size_t>(got));
    taken += got;
    std::string line;
    while (FInput.TakeLine(line)) {
      FLines.push_back(std::move(line));
    }
    if (FInput.Overflowed()) {
      // A line longer than any the lobby sends: the stream cannot be trusted any more.
      Lost();
      return;
    }
  }
}

bool TConnection::DataAvaiable() {
  Poll();
  return !FLines.empty() || FEndPending;
}

bool TConnection::Recv(std::string& S) {
  S.clear();
  if (!FLines.empty()) {
    S = std::move(FLines.front());
    FLines.pop_front();
    return true;
  }
  FEndPending = false;
  return false;
}

void TConnection::Send(const std::string& S) {
  if (!FSocket->Active()) {
    return;
  }
  FSocket->Queue(S);
  FSocket->Flush();
}

void TConnection::Close() {
  if (FSocket->Active()) {
    FSocket->Flush();
  }
  Drop();
  FInput = TLineBuffer();
  FLines.clear();
  FEndPending = false;
}

void TConnection::Lost() {
  Drop();
  FInput = TLineBuffer();
  FEndPending = true;
}

void TConnection::Drop() {
  FSet->Remove(FSocket.get());
  FSocket->Close();
}
