// The serving loop, in the order one pass runs it:
//   wait       poll every connection (and the listening socket) until something is ready
//   accept     take the waiting connections; refuse those beyond the limit or without a
//              descriptor, without ever stopping the loop
//   receive    one receive per ready connection; every complete line becomes an eMessage
//   timer      the owner's OnTimer, when its alarm is due or a timer pass was requested
//   finish     drop connections that ended or were closed (eDisconnection), then send queued
//              output and drop connections whose output piles up
#include "lobby/packet_server.h"

#include "lobby/logger.h"
#include "net/network.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {
// At most this many connections are taken per pass, so that data keeps flowing during a burst.
constexpr int AcceptsPerPass = 64;
// How long accepting pauses when the system is short of resources.
constexpr auto AcceptPause = std::chrono::milliseconds(100);

int OpenSpareDescriptor() {
  return open("/dev/null", O_RDONLY | O_CLOEXEC);
}

// A thousand connections need more descriptors than a process usually starts with.
void RaiseDescriptorLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max)
    return;
  limit.rlim_cur = limit.rlim_max;
  setrlimit(RLIMIT_NOFILE, &limit);
}
} // namespace

void TPacketServer::TThrottledLog::Report(const std::string& Text) {
  Clock::time_point now = Clock::now();
  if (FAny && now - FLast < std::chrono::seconds(1)) {
    ++FSuppressed;
    return;
  }
  std::string line = Text;
  if (FSuppressed > 0)
    line += " (" + std::to_string(FSuppressed) + " more since the last report)";
  LOG(line);
  FAny = true;
  FLast = now;
  FSuppressed = 0;
}

TPacketServer::TPacketServer(uint32_t MaxClient)
    : FServerSocket(std::make_unique<TSocket>()),
      FSocketSet(std::make_unique<TSocketSet>(std::max<uint32_t>(MaxClient, 1))),
      FSpareDescriptor(OpenSpareDescriptor()) {}

TPacketServer::~TPacketServer() {
  if (FSpareDescriptor >= 0)
    close(FSpareDescriptor);
}

bool TPacketServer::Start(int32_t Port, uint32_t MaxBufferSize, const std::string& Address) {
  FMaxBufferSize = MaxBufferSize;
  Listen(Port, Address);
  bool stopped = Execute();
  Close();
  return stopped;
}

void TPacketServer::Listen(int32_t Port, const std::string& Address) {
  if (Port < 0 || Port > 0xFFFF)
    throw TServerException("ERROR SERVER invalid port " + std::to_string(Port));
  RaiseDescriptorLimit();
  if (!FServerSocket->Listen(Address, static_cast<uint16_t>(Port)))
    throw TServerException("ERROR SERVER " + GetLastNetworkError());
  if (!FSocketSet->Add(FServerSocket.get()))
    throw TServerException("ERROR SERVER " + GetLastNetworkError());
  FListenerWatched = true;
}

bool TPacketServer::Execute() {
  while (!FStopRequested.load()) {
    if (FSocketSet->Check(WaitTimeout()) < 0) {
      LOG("Waiting for activity failed: " + GetLastNetworkError());
      return false;
    }
    if (FStopRequested.load())
      break;
    ResumeAcceptingIfDue();
    if (FListenerWatched && FSocketSet->SocketActive(FServerSocket.get()) && !HandleNewConnection())
      return false;
    HandleNewData();
    RunTimer();
    FinishPass();
  }
  return true;
}

void TPacketServer::Stop() {
  FStopRequested.store(true);
  FSocketSet->Wake();
}

void TPacketServer::RequestTimer() {
  FTimerRequested.store(true);
  FSocketSet->Wake();
}

void TPacketServer::RunTimer() {
  bool due = FTimerRequested.exchange(false);
  if (!due && FAlarm != Clock::time_point::max())
    due = Clock::now() >= FAlarm;
  if (!due)
    return;
  FAlarm = Clock::time_point::max();
  if (OnTimer)
    OnTimer(this);
}

void TPacketServer::Close() {
  LOG("Closing server!");
  if (FListenerWatched)
    FSocketSet->Remove(FServerSocket.get());
  FListenerWatched = false;
  FServerSocket->Close();
}

uint16_t TPacketServer::Port() const {
  return FServerSocket->LocalPort();
}

std::size_t TPacketServer::ConnectionsFrom(const std::string& IP) const {
  auto found = FPerAddress.find(IP);
  return found == FPerAddress.end() ? 0 : found->second;
}

// As long as the nearest wake-up needs, rounded up so that the loop never wakes too early and
// spins; without a wake-up, no time limit.
int TPacketServer::WaitTimeout() const {
  Clock::time_point wake = FAlarm;
  if (!FListenerWatched)
    wake = std::min(wake, FResumeAccepting);
  if (wake == Clock::time_point::max())
    return -1;
  Clock::time_point now = Clock::now();
  if (wake <= now)
    return 0;
  auto left = std::chrono::ceil<std::chrono::milliseconds>(wake - now).count();
  return static_cast<int>(std::min<long long>(left, INT_MAX));
}

bool TPacketServer::HandleNewConnection() {
  for (int i = 0; i < AcceptsPerPass; ++i) {
    TAcceptStatus status = TAcceptStatus::Failed;
    std::unique_ptr<TSocket> socket = FServerSocket->Accept(&status);
    switch (status) {
    case TAcceptStatus::Accepted:
      TakeConnection(std::move(socket));
      break;
    case TAcceptStatus::NonePending:
      return true;
    case TAcceptStatus::Transient:
      FRefusals.Report("Could not accept a connection: " + GetLastNetworkError());
      break;
    case TAcceptStatus::NoDescriptors:
      if (!RefuseWithSpareDescriptor())
        PauseAccepting();
      return true;
    case TAcceptStatus::NoMemory:
      PauseAccepting();
      return true;
    case TAcceptStatus::Failed:
      LOG("Accepting connections failed: " + GetLastNetworkError());
      return false;
    }
  }
  return true;
}

bool TPacketServer::TakeConnection(std::unique_ptr<TSocket> Socket) {
  if (FSocketList.size() >= FLimits.MaxConnections) {
    ++FStats.RefusedFull;
    FRefusals.Report("Refused connection from " + Socket->IP() + ": too many connections");
    return false;
  }
  if (FLimits.MaxPerAddress > 0 && ConnectionsFrom(Socket->IP()) >= FLimits.MaxPerAddress) {
    ++FStats.RefusedPerAddress;
    FRefusals.Report("Refused connection from " + Socket->IP() + ": already " +
                     std::to_string(FLimits.MaxPerAddress) + " connections from this address");
    return false;
  }
  if (FSocketSet->Count() >= FSocketSet->Capacity()) {
    auto wanted = std::max<std::size_t>(FSocketSet->Capacity() * 2, 2);
    wanted = std::min(wanted, FLimits.MaxConnections + 1);
    FSocketSet->SetCapacity(static_cast<uint32_t>(std::max(wanted, FSocketSet->Count() + 1)));
  }
  // The server never keeps a socket that its set does not watch.
  if (!FSocketSet->Add(Socket.get())) {
    ++FStats.RefusedFull;
    FRefusals.Report("Refused connection from " + Socket->IP() + ": " + GetLastNetworkError());
    return false;
  }
  const TKeepAlive& keepAlive = FLimits.KeepAlive;
  if (!Socket->SetKeepAlive(static_cast<int>(keepAlive.Idle.count()),
                            static_cast<int>(keepAlive.Interval.count()), keepAlive.Probes))
    FRefusals.Report("Could not set keepalive on the connection from " + Socket->IP() + ": " +
                     std::strerror(errno));
  ++FPerAddress[Socket->IP()];
  ++FStats.Accepted;
  auto conn = std::make_unique<TConnection>();
  conn->Socket = std::move(Socket);
  TSocket* raw = conn->Socket.get();
  FSocketList.push_back(std::move(conn));
  CallEvent(raw, eConnection, "");
  return true;
}

bool TPacketServer::RefuseWithSpareDescriptor() {
  if (FSpareDescriptor < 0)
    return false;
  // Give back the spare descriptor so that the waiting connection can be taken and closed,
  // instead of leaving it to make the listening socket ready again and again.
  close(FSpareDescriptor);
  TAcceptStatus status = TAcceptStatus::Failed;
  std::unique_ptr<TSocket> refused = FServerSocket->Accept(&status);
  if (refused) {
    ++FStats.RefusedNoResources;
    FRefusals.Report("Refused connection from " + refused->IP() + ": no descriptors left");
  }
  refused.reset();
  FSpareDescriptor = OpenSpareDescriptor();
  return status == TAcceptStatus::Accepted || status == TAcceptStatus::NonePending;
}

void TPacketServer::PauseAccepting() {
  FRefusals.Report("Not accepting connections for a moment: " + GetLastNetworkError());
  if (FListenerWatched)
    FSocketSet->Remove(FServerSocket.get());
  FListenerWatched = false;
  FResumeAccepting = Clock::now() + AcceptPause;
}

void TPacketServer::ResumeAcceptingIfDue() {
  if (FListenerWatched || Clock::now() < FResumeAccepting)
    return;
  FListenerWatched = FSocketSet->Add(FServerSocket.get());
  if (FSpareDescriptor < 0)
    FSpareDescriptor = OpenSpareDescriptor();
}

void TPacketServer::HandleNewData() {
  char buffer[ReceiveChunk];
  std::string line;
  // Newest first; only the entry being served can leave the list inside this loop.
  for (std::size_t i = FSocketList.size(); i-- > 0;) {
    TConnection& conn = *FSocketList[i];
    if (conn.Closing || !FSocketSet->SocketActive(conn.Socket.get()))
      continue;
    int got = conn.Socket->ReceiveSome(buffer, sizeof buffer);
    if (got < 0) {
      NoteFailure(*conn.Socket);
      DropConnection(i);
      continue;
    }
    conn.Input.Append(buffer, static_cast<std::size_t>(got));
    while (!conn.Closing && conn.Input.TakeLine(line))
      CallEvent(conn.Socket.get(), eMessage, line);
    if (conn.Input.Overflowed() && !conn.Closing) {
      ++FStats.DroppedLongLine;
      MarkClosing(conn, "Dropping connection " + conn.Socket->IP() + ": line longer than " +
                            std::to_string(TLineBuffer::MaxLineLength) + " bytes");
    }
  }
}

void TPacketServer::CallEvent(TSocket* Conn, TEventType EventType, const std::string& Text) {
  if (OnEvent)
    OnEvent(this, Conn, EventType, Text);
}

void TPacketServer::CloseConnection(TSocket* Conn) {
  for (auto& conn : FSocketList)
    if (conn->Socket.get() == Conn) {
      MarkClosing(*conn, "");
      return;
    }
}

void TPacketServer::MarkClosing(TConnection& Conn, const std::string& Why) {
  if (Conn.Closing)
    return;
  Conn.Closing = true;
  if (!Why.empty())
    LOG(Why);
}

void TPacketServer::NoteFailure(const TSocket& Socket) {
  if (Socket.LastError() != ETIMEDOUT)
    return;
  ++FStats.TimedOut;
  LOG("Connection " + Socket.IP() + " timed out: the peer stopped answering");
}

void TPacketServer::DropConnection(std::size_t Index) {
  std::unique_ptr<TConnection> conn = std::move(FSocketList[Index]);
  FSocketList.erase(FSocketList.begin() + static_cast<std::ptrdiff_t>(Index));
  FSocketSet->Remove(conn->Socket.get());
  auto counted = FPerAddress.find(conn->Socket->IP());
  if (counted != FPerAddress.end() && --counted->second == 0)
    FPerAddress.erase(counted);
  CallEvent(conn->Socket.get(), eDisconnection, "");
  // conn goes out of scope here: its descriptor is released whatever ended it.
}

bool TPacketServer::SweepClosing() {
  bool dropped = false;
  for (std::size_t i = FSocketList.size(); i-- > 0;) {
    if (i >= FSocketList.size() || !FSocketList[i]->Closing)
      continue;
    FSocketList[i]->Socket->Flush();
    DropConnection(i);
    dropped = true;
  }
  return dropped;
}

bool TPacketServer::FlushOutput() {
  bool marked = false;
  for (auto& conn : FSocketList) {
    TSocket& socket = *conn->Socket;
    if (conn->Closing || socket.PendingOutput() == 0)
      continue;
    if (!socket.Flush()) {
      NoteFailure(socket);
      MarkClosing(*conn, "");
      marked = true;
    } else if (socket.PendingOutput() > MaxPendingOutput) {
      ++FStats.DroppedOutput;
      MarkClosing(*conn, "Dropping connection " + socket.IP() + ": more than " +
                             std::to_string(MaxPendingOutput) + " bytes of output waiting");
      marked = true;
    }
  }
  return marked;
}

void TPacketServer::FinishPass() {
  for (;;) {
    while (SweepClosing()) {
    }
    if (!FlushOutput())
      break;
  }
}
