#include "app/connection.h"

#include "net/socket.h"
#include "net/socket_set.h"

#include <cctype>
#include <cstring>

namespace {

// Most bytes taken in per Poll, so that a flood from the server cannot hold a frame up.
constexpr int MAX_BYTES_PER_POLL = 1 << 20;
constexpr int RECEIVE_CHUNK = 16 * 1024;
// Beyond this, a drained line queue gives its memory back.
constexpr std::size_t KEPT_QUEUE_CAPACITY = 64 * 1024;

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

void TLineQueue::Push(const std::string& Line) {
  FData += Line;
  FData += '\0';
  ++FCount;
}

bool TLineQueue::Pop(std::string& Line) {
  if (FCount == 0) {
    return false;
  }
  const char* first = FData.data() + FStart;
  const auto* end = static_cast<const char*>(std::memchr(first, '\0', FData.size() - FStart));
  Line.assign(first, end);
  FStart = static_cast<std::size_t>(end - FData.data()) + 1;
  --FCount;
  if (FCount == 0) {
    Clear();
  } else if (FStart > KEPT_QUEUE_CAPACITY && FStart >= FData.size() / 2) {
    // Read lines go once they are half of what is held: each byte moves at most once more.
    FData.erase(0, FStart);
    FStart = 0;
  }
  return true;
}

void TLineQueue::Clear() {
  FData.clear();
  if (FData.capacity() > KEPT_QUEUE_CAPACITY) {
    std::string().swap(FData);
  }
  FStart = 0;
  FCount = 0;
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
    while (FInput.TakeLine(FTaken)) {
      FLines.Push(FTaken);
    }
    if (FInput.Overflowed() || UnreadBytes() > MAX_UNREAD_INPUT) {
      // A line longer than any the lobby sends, or far more than the client keeps up with:
      // the stream cannot be trusted any more.
      Lost();
      return;
    }
  }
}

bool TConnection::DataAvaiable() {
  Poll();
  return FLines.Count() > 0 || FEndPending;
}

bool TConnection::Recv(std::string& S) {
  if (FLines.Pop(S)) {
    return true;
  }
  S.clear();
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
  FLines.Clear();
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
