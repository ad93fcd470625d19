#include "lobby/lobby_host.h"

#include "lobby/game_server.h"
#include "lobby/logger.h"

TPacketHost::TPacketHost(TPacketServer& Server, TGameServer& Lobby) : FServer(Server) {
  FServer.OnEvent = [&Lobby](TPacketServer* Sender, TSocket* Conn, TEventType EventType,
                             const std::string& Text) {
    Lobby.OnEvent(Sender, Conn, EventType, Text);
  };
  FServer.OnTimer = [&Lobby](TPacketServer*) { Lobby.OnTimer(); };
}

void TPacketHost::Send(TSocket* Conn, const std::string& Line) {
  Conn->Queue(Line);
}

void TPacketHost::Close(TSocket* Conn) {
  FServer.CloseConnection(Conn);
}

std::string TPacketHost::AddressOf(const TSocket* Conn) const {
  return Conn->IP();
}

TLobbyHost::Clock::time_point TPacketHost::Now() const {
  return Clock::now();
}

void TPacketHost::SetAlarm(Clock::time_point When) {
  FServer.SetAlarm(When);
}

void TPacketHost::RequestTimer() {
  FServer.RequestTimer();
}

void TPacketHost::Log(std::string_view Text) {
  LOG(Text);
}

std::size_t TPacketHost::ConnectionCount() const {
  return FServer.ConnectionCount();
}

TPacketServer::TStats TPacketHost::ConnectionStats() const {
  return FServer.Stats();
}
