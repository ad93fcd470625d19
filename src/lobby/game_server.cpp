#include "lobby/game_server.h"

#include "net/message.h"
#include "net/protocol.h"

#include <charconv>
#include <cstdio>
#include <limits>

namespace {
// What the log shows in place of a password.
constexpr const char* HiddenPassword = "********";

// A number as short text: "2", "0.5", "1.25".
std::string ShortNumber(double Value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", Value);
  std::string out = text;
  while (out.back() == '0')
    out.pop_back();
  if (out.back() == '.')
    out.pop_back();
  return out;
}

std::string SecondsText(std::chrono::milliseconds Time) {
  std::string number = ShortNumber(static_cast<double>(Time.count()) / 1000.0);
  return number + (number == "1" ? " second" : " seconds");
}
} // namespace

TGameServer::TGameServer(const TServerLimits& Limits)
    : PacketServer(std::make_unique<TPacketServer>(MaxClient)),
      FOwnHost(std::make_unique<TPacketHost>(*PacketServer, *this)), FHost(FOwnHost.get()),
      FLimits(Limits.Lobby) {
  PacketServer->SetLimits(Limits.Connections);
}

TGameServer::TGameServer(TLobbyHost& Host, const TServerLimits& Limits)
    : FHost(&Host), FLimits(Limits.Lobby) {
  StartTimers();
}

bool TGameServer::Start(int32_t Port, const std::string& Address) {
  if (!PacketServer)
    return false;
  StartTimers();
  return PacketServer->Start(Port, MaxBufferSize, Address);
}

void TGameServer::Listen(int32_t Port, const std::string& Address) {
  if (!PacketServer)
    throw TServerException("ERROR SERVER this lobby is served by its host");
  PacketServer->Listen(Port, Address);
}

bool TGameServer::Run() {
  if (!PacketServer)
    return false;
  StartTimers();
  bool stopped = PacketServer->Execute();
  PacketServer->Close();
  return stopped;
}

void TGameServer::Stop() {
  if (PacketServer)
    PacketServer->Stop();
}

void TGameServer::RequestSummary() {
  FSummaryRequested.store(true);
  FHost->RequestTimer();
}

std::string TGameServer::Summary() const {
  const TPacketServer::TStats net = FHost->ConnectionStats();
  auto fields = [](std::initializer_list<std::pair<const char*, uint64_t>> Fields) {
    std::string text;
    for (const auto& [name, value] : Fields)
      text += (text.empty() ? "" : ", ") + std::string(name) + " " + std::to_string(value);
    return text;
  };
  return "Summary: " +
         fields({{"users", static_cast<uint64_t>(ConnectedUsers.Count())},
                 {"games", static_cast<uint64_t>(GameDescriptions.Count())},
                 {"connections", static_cast<uint64_t>(FHost->ConnectionCount())}}) +
         "; since start: " +
         fields({{"connections", net.Accepted},
                 {"lines relayed", FStats.LinesRelayed},
                 {"lines dropped for flooding", FStats.LinesDropped},
                 {"games refused", FStats.GamesRefused}}) +
         "; connections closed: " +
         fields({{"over the per-address limit", net.RefusedPerAddress},
                 {"over the connection limit", net.RefusedFull},
                 {"no descriptors", net.RefusedNoResources},
                 {"not logged in in time", FStats.ClosedIdle},
                 {"unexpected message", FStats.ClosedUnexpected},
                 {"line too long", net.DroppedLongLine},
                 {"output piling up", net.DroppedOutput},
                 {"peer timed out", net.TimedOut}});
}

namespace {
std::string LimitText(uint32_t Burst, double Rate, const std::string& One,
                      const std::string& Many) {
  return std::to_string(Burst) + " " + (Burst == 1 ? One : Many) + " at once, then " +
         ShortNumber(Rate) + " a second";
}
} // namespace

std::string TGameServer::FloodLimitText(const TLobbyLimits& Limits) {
  return LimitText(Limits.FloodBurst, Limits.FloodRate, "line", "lines");
}

std::string TGameServer::OrderLimitText(const TLobbyLimits& Limits) {
  return LimitText(Limits.OrderBurst, Limits.OrderRate, "order", "orders");
}

// ---- timers: the login time limit and the summary line -------------------------------------

void TGameServer::StartTimers() {
  FNextSummary = FLimits.SummaryInterval.count() > 0 ? FHost->Now() + FLimits.SummaryInterval
                                                     : Clock::time_point::max();
  ScheduleTimer();
}

void TGameServer::ScheduleTimer() {
  Clock::time_point next = FNextSummary;
  if (!FLoginWaits.empty())
    next = std::min(next, FLoginWaits.front().Deadline);
  for (const auto& match : Matches)
    next = std::min(next, match->NextDeadline());
  FHost->SetAlarm(next);
}

void TGameServer::OnTimer() {
  Clock::time_point now = FHost->Now();
  while (!FLoginWaits.empty() && FLoginWaits.front().Deadline <= now) {
    TSocket* conn = FLoginWaits.front().Conn;
    StopLoginWait(PeerOf(conn));
    ++FStats.ClosedIdle;
    FHost->Log("Closing connection " + FHost->AddressOf(conn) + ": not logged in within " +
               SecondsText(FLimits.LoginTimeout));
    FHost->Close(conn);
  }
  bool periodic = now >= FNextSummary;
  if (FSummaryRequested.exchange(false) || periodic)
    FHost->Log(Summary());
  if (periodic) {
    FNextSummary += FLimits.SummaryInterval;
    if (FNextSummary <= now) // the loop was held up for longer than the interval
      FNextSummary = now + FLimits.SummaryInterval;
  }
  OnMatchTimers(now);
  ScheduleTimer();
}

TGameServer::TPeer& TGameServer::PeerOf(TSocket* Conn) {
  auto found = FPeers.find(Conn);
  if (found == FPeers.end())
    found =
        FPeers
            .emplace(Conn, TPeer(TTokenBucket(FLimits.FloodBurst, FLimits.FloodRate, FHost->Now()),
                                 TTokenBucket(FLimits.OrderBurst, FLimits.OrderRate, FHost->Now())))
            .first;
  return found->second;
}

void TGameServer::ForgetPeer(TSocket* Conn) {
  auto found = FPeers.find(Conn);
  if (found == FPeers.end())
    return;
  StopLoginWait(found->second);
  FPeers.erase(found);
}

void TGameServer::StartLoginWait(TSocket* Conn) {
  if (FLimits.LoginTimeout.count() <= 0)
    return;
  TPeer& peer = PeerOf(Conn);
  StopLoginWait(peer);
  bool first = FLoginWaits.empty();
  peer.Wait =
      FLoginWaits.insert(FLoginWaits.end(), TLoginWait{FHost->Now() + FLimits.LoginTimeout, Conn});
  peer.AwaitingLogin = true;
  if (first)
    ScheduleTimer();
}

void TGameServer::StopLoginWait(TPeer& Peer) {
  if (!Peer.AwaitingLogin)
    return;
  FLoginWaits.erase(Peer.Wait);
  Peer.AwaitingLogin = false;
}

// ---- flood control and the game list's limits ----------------------------------------------

bool TGameServer::PassFloodControl(TUser* User) {
  if (!FLimits.FloodLimit)
    return true;
  TPeer& peer = PeerOf(User->Connection);
  Clock::time_point now = FHost->Now();
  auto who = [this, User] { return User->UserName + " ip: " + FHost->AddressOf(User->Connection); };
  if (peer.Flooding && peer.Flood.Full(now)) {
    FHost->Log("Flood control: relaying lines from " + who() + " again (" +
               std::to_string(peer.Dropped) + " dropped)");
    peer.Flooding = false;
    peer.Dropped = 0;
  }
  if (peer.Flood.Take(now))
    return true;
  ++FStats.LinesDropped;
  ++peer.Dropped;
  if (!peer.Flooding) {
    peer.Flooding = true;
    FHost->Log("Flood control: not relaying lines from " + who() + " (over " +
               FloodLimitText(FLimits) + ")");
  }
  return false;
}

std::string TGameServer::GameRefusal(const TUser* User, std::size_t LineSize) const {
  if (FLimits.MaxGamesPerUser > 0 && User->GameCount >= FLimits.MaxGamesPerUser)
    return "you already have the most games one user may announce (" +
           std::to_string(FLimits.MaxGamesPerUser) + ")";
  if (FLimits.MaxGames > 0 && static_cast<uint64_t>(GameDescriptions.Count()) >= FLimits.MaxGames)
    return "the lobby already lists the most games it holds (" + std::to_string(FLimits.MaxGames) +
           ")";
  if (FLimits.MaxGameListBytes > 0 && FGameListBytes + LineSize > FLimits.MaxGameListBytes)
    return "the lobby's list of games is full";
  return "";
}

void TGameServer::TellUser(TUser* User, const std::string& Text) {
  User->Send(Build(TChatRelayed{ServerName, Text}));
}

void TGameServer::OnEvent(TPacketServer* Sender, TSocket* Conn, TEventType EventType,
                          const std::string& Text) {
  (void)Sender;
  switch (EventType) {
  case eConnection:
    DoConnection(Conn);
    break;
  case eDisconnection:
    DoCloseConnection(Conn);
    break;
  case eMessage:
    DoMessage(Text, Conn);
    break;
  }
}

// ---- events ----------------------------------------------------------------------------------

void TGameServer::DoConnection(TSocket* Conn) {
  FHost->Log("Connected " + FHost->AddressOf(Conn));
  StartLoginWait(Conn);
}

void TGameServer::DoCloseConnection(TSocket* Conn) {
  TUser* user = ConnectedUsers.GetUserByConnection(Conn);
  if (user == nullptr) {
    FHost->Log("Gracefully disconnected " + FHost->AddressOf(Conn));
  } else {
    FHost->Log("Brutally disconnecting " + user->UserName + " IP: " + FHost->AddressOf(Conn));
    LeaveMatch(user, false);
    RemoveUser(user);
  }
  ForgetPeer(Conn);
}

void TGameServer::DoMessage(const std::string& Message, TSocket* Conn) {
  TUser* user = ConnectedUsers.GetUserByConnection(Conn);
  if (user == nullptr) {
    ParseUnloggedMessage(Message, Conn);
  } else if (TGame* game = GetGameByUser(user)) {
    ParseInGameMessage(Message, game, user);
  } else {
    ParseLoggedMessage(Message, user);
  }
}

void TGameServer::ParseUnloggedMessage(const std::string& Message, TSocket* Conn) {
  TMsg msg(Message);
  switch (msg.GetType()) {
  case Msg::Login:
    if (auto login = Read<TLoginRequest>(msg); login && msg.NumParam() == 2)
      AutenticateUser(login->User, login->Password, Conn);
    else
      FHost->Send(Conn, Build(TLoginDenied{"Enter user and passwd."}));
    break;
  case Msg::Request:
    // Only the one request of the extension is answered, once per connection; any other R
    // gets no reply, as before there were matches.
    if (auto request = Read<TFeatureRequest>(msg);
        FLimits.Matches && request && request->Feature == PlayFeature &&
        ReadInt(request->Value) == PlayVersion && !PeerOf(Conn).Extended) {
      PeerOf(Conn).Extended = true;
      FHost->Send(Conn, Build(TPlayOffer{}));
    }
    break;
  default:
    FHost->Log("Unexpected message \"" + Message + "\"");
    ++FStats.ClosedUnexpected;
    FHost->Close(Conn);
    break;
  }
}

void TGameServer::AutenticateUser(const std::string& User, const std::string& Pass, TSocket* Conn) {
  FHost->Log("Autenticating user: " + User + " pass: " + HiddenPassword);
  auto user = std::make_unique<TUser>();
  user->Connection = Conn;
  user->Host = FHost;
  user->Extended = PeerOf(Conn).Extended;
  std::string refusal = user->Load(User, Pass);
  if (!refusal.empty()) {
    FHost->Log("User NOT autenticated " + User + " ip: " + FHost->AddressOf(Conn));
    FHost->Send(Conn, Build(TLoginDenied{refusal}));
    return;
  }
  user->Send(Build(TLoginAccepted{user->UserName}));
  NotifyAll(Build(TUserEntered{user->UserName}));
  for (const auto& other : ConnectedUsers)
    user->Send(Build(TUserPresent{other->UserName}));
  SendGameList(user.get());
  if (user->Extended)
    SendMatchCatchUp(user.get());
  ConnectedUsers.Add(std::move(user));
  StopLoginWait(PeerOf(Conn));
  FHost->Log("User autenticated " + User + " ip: " + FHost->AddressOf(Conn));
}

void TGameServer::SendGameList(TUser* User) {
  for (const auto& game : GameDescriptions)
    User->Send(Announcement(*game));
}

void TGameServer::NotifyAll(const std::string& Message) {
  for (const auto& user : ConnectedUsers)
    user->Send(Message);
}

void TGameServer::ParseLoggedMessage(const std::string& Message, TUser* User) {
  TMsg msg(Message);
  if (User->Extended && ParseExtendedLobbyMessage(msg, User))
    return;
  switch (msg.GetType()) {
  case Msg::Chat:
    RelayChat(User, msg);
    break;
  case Msg::Announce:
    Announce(User, msg);
    break;
  default: // Q, a second L, anything unknown: the user leaves, the connection stays
    RemoveUser(User);
    break;
  }
}

void TGameServer::RelayChat(TUser* User, const TMsg& Line) {
  if (!PassFloodControl(User)) {
    TellUser(User,
             "Line dropped: you are sending too fast (at most " + FloodLimitText(FLimits) + ").");
    return;
  }
  std::string text = Read<TChatRequest>(Line)->Text;
  FHost->Log("#" + User->UserName + ": " + text);
  NotifyAll(Build(TChatRelayed{User->UserName, text}));
  ++FStats.LinesRelayed;
}

void TGameServer::Announce(TUser* User, const TMsg& Line) {
  if (!PassFloodControl(User)) {
    const std::string why =
        "Game not announced: you are sending too fast (at most " + FloodLimitText(FLimits) + ").";
    TellUser(User, why);
    if (User->Extended)
      Refuse(User, why);
    return;
  }
  TAnnounceRequest game = *Read<TAnnounceRequest>(Line);
  TGameDescription* announced = CreateGameDescription(User, game.Name, game.Map, game.Points);
  if (announced == nullptr || !User->Extended)
    return;
  // Only a game whose creator can start matches can be joined.
  announced->Matches = true;
  User->Room = announced;
  User->Send(Build(TGameCreated{announced->Id}));
  NotifyExtended(Build(TGameOpen{announced->Id}));
}

int32_t TGameServer::ParsePoints(const std::string& Text) {
  // An optional sign, then decimal digits only.
  std::size_t digits = (!Text.empty() && (Text[0] == '+' || Text[0] == '-')) ? 1 : 0;
  if (digits == Text.size())
    return 0;
  for (std::size_t i = digits; i < Text.size(); ++i)
    if (Text[i] < '0' || Text[i] > '9')
      return 0;
  const char* first = Text.data() + (Text[0] == '+' ? 1 : 0);
  int32_t value = 0;
  auto [end, error] = std::from_chars(first, Text.data() + Text.size(), value);
  if (error != std::errc() || end != Text.data() + Text.size())
    return 0;
  return value;
}

std::string TGameServer::Announcement(const TGameDescription& GD) {
  const TUser* creator = GD.Users.GetUser(0);
  return Build(TGameAnnounced{GD.Id, GD.Name, GD.MapName, GD.Points,
                              creator != nullptr ? creator->UserName : std::string()});
}

TGameDescription* TGameServer::CreateGameDescription(TUser* User, const std::string& GameName,
                                                     const std::string& MapName,
                                                     const std::string& Points) {
  auto game = std::make_unique<TGameDescription>();
  game->MapName = MapName.empty() ? NoMapName : MapName;
  game->Points = ParsePoints(Points);
  // The number is taken only once the game is sure to be announced.
  game->Id = FollowingGameId();
  game->Users.Add(User);
  game->Name = GameName.empty() ? UnnamedGame : GameName;
  std::string line = Announcement(*game);
  std::string refusal = GameRefusal(User, line.size() + 1);
  if (!refusal.empty()) {
    ++FStats.GamesRefused;
    FHost->Log("Not announcing a game of " + User->UserName +
               " ip: " + FHost->AddressOf(User->Connection) + ": " + refusal);
    TellUser(User, "Game not announced: " + refusal + ".");
    if (User->Extended)
      Refuse(User, "Game not announced: " + refusal + ".");
    return nullptr;
  }
  game->Id = GetNextGameId();
  NotifyAll(line);
  ++FStats.LinesRelayed;
  ++User->GameCount;
  FGameListBytes += line.size() + 1;
  TGameDescription* announced = game.get();
  GameDescriptions.Add(std::move(game));
  return announced;
}

void TGameServer::RemoveGameDescription(TGameDescription* GD) {
  NotifyAll(Build(TGameRemoved{GD->Id}));
  if (TUser* creator = GD->Users.GetUser(0); creator != nullptr && creator->GameCount > 0)
    --creator->GameCount;
  FGameListBytes -= std::min(FGameListBytes, Announcement(*GD).size() + 1);
  for (TUser* user : GD->Users)
    if (user->Room == GD)
      user->Room = nullptr;
  GameDescriptions.Extract(GD);
}

void TGameServer::RemoveUser(TUser* User) {
  FHost->Log("Removing user " + User->UserName);
  // Quitting resigns from a match and leaves a waiting room (cancelling one it created).
  LeaveMatch(User, true);
  if (User->Room != nullptr)
    UserExitGameDescription(User);
  for (int i = GameDescriptions.Count() - 1; i >= 0; --i) {
    TGameDescription* game = GameDescriptions.Get(i);
    if (game->Users.GetUser(0) == User)
      RemoveGameDescription(game);
  }
  std::unique_ptr<TUser> leaving = ConnectedUsers.Extract(User);
  NotifyAll(Build(TUserExited{leaving->UserName}));
  // The connection stays open, not logged in: it has the usual time to log in again.
  StartLoginWait(leaving->Connection);
}

int32_t TGameServer::GetNextGameId() {
  FNextGameId = FollowingGameId();
  return FNextGameId;
}

int32_t TGameServer::FollowingGameId() const {
  // Two thousand million games later, numbering starts again rather than overflowing.
  if (FNextGameId == std::numeric_limits<int32_t>::max())
    return 101;
  return FNextGameId + 1;
}
