#include "lobby/game_server.h"

#include "lobby/logger.h"
#include "net/message.h"

#include <charconv>
#include <limits>

namespace {
// What the log shows in place of a password.
constexpr const char* HiddenPassword = "********";
} // namespace

TGameServer::TGameServer() : PacketServer(std::make_unique<TPacketServer>(MaxClient)) {
  PacketServer->OnEvent = [this](TPacketServer* Sender, TSocket* Conn, TEventType EventType,
                                 const std::string& Text) {
    OnEvent(Sender, Conn, EventType, Text);
  };
}

bool TGameServer::Start(int32_t Port, const std::string& Address) {
  return PacketServer->Start(Port, MaxBufferSize, Address);
}

void TGameServer::Listen(int32_t Port, const std::string& Address) {
  PacketServer->Listen(Port, Address);
}

bool TGameServer::Run() {
  bool stopped = PacketServer->Execute();
  PacketServer->Close();
  return stopped;
}

void TGameServer::Stop() {
  PacketServer->Stop();
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

void TGameServer::DoConnection(TSocket* Conn) {
  LOG("Connected " + Conn->IP());
}

void TGameServer::DoCloseConnection(TSocket* Conn) {
  TUser* user = ConnectedUsers.GetUserByConnection(Conn);
  if (user == nullptr) {
    LOG("Gracefully disconnected " + Conn->IP());
    return;
  }
  LOG("Brutally disconnecting " + user->UserName + " IP: " + Conn->IP());
  RemoveUser(user);
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
  case 'L':
    if (msg.NumParam() == 2)
      AutenticateUser(msg.GetToken(1), msg.GetToken(2), Conn);
    else
      Conn->Queue(MSG('N', {"Enter user and passwd."}));
    break;
  case 'R':
    break;
  default:
    LOG("Unexpected message \"" + Message + "\"");
    PacketServer->CloseConnection(Conn);
    break;
  }
}

void TGameServer::AutenticateUser(const std::string& User, const std::string& Pass, TSocket* Conn) {
  LOG("Autenticating user: " + User + " pass: " + HiddenPassword);
  auto user = std::make_unique<TUser>();
  user->Connection = Conn;
  std::string refusal = user->Load(User, Pass);
  if (!refusal.empty()) {
    LOG("User NOT autenticated " + User + " ip: " + Conn->IP());
    Conn->Queue(MSG('N', {refusal}));
    return;
  }
  user->Send(MSG('O', {user->UserName}));
  NotifyAll(MSG('E', {user->UserName}));
  for (const auto& other : ConnectedUsers)
    user->Send(MSG('U', {other->UserName}));
  SendGameList(user.get());
  ConnectedUsers.Add(std::move(user));
  LOG("User autenticated " + User + " ip: " + Conn->IP());
}

void TGameServer::SendGameList(TUser* User) {
  for (const auto& game : GameDescriptions)
    User->Send(MSG('G', {std::to_string(game->Id), game->Name, game->MapName,
                         std::to_string(game->Points), game->Users.GetUser(0)->UserName}));
}

void TGameServer::NotifyAll(const std::string& Message) {
  for (const auto& user : ConnectedUsers)
    user->Send(Message);
}

void TGameServer::ParseLoggedMessage(const std::string& Message, TUser* User) {
  TMsg msg(Message);
  switch (msg.GetType()) {
  case 'C':
    LOG("#" + User->UserName + ": " + msg.GetToken(1));
    NotifyAll(MSG('C', {User->UserName, msg.GetToken(1)}));
    break;
  case 'G':
    CreateGameDescription(User, msg.GetToken(3), msg.GetToken(1), msg.GetToken(2));
    break;
  default: // Q, a second L, anything unknown: the user leaves, the connection stays
    RemoveUser(User);
    break;
  }
}

void TGameServer::ParseInGameMessage(const std::string& Message, TGame* Game, TUser* User) {
  (void)Message;
  (void)Game;
  (void)User;
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

void TGameServer::CreateGameDescription(TUser* User, const std::string& GameName,
                                        const std::string& MapName, const std::string& Points) {
  auto game = std::make_unique<TGameDescription>();
  game->MapName = MapName.empty() ? NoMapName : MapName;
  game->Points = ParsePoints(Points);
  game->Id = GetNextGameId();
  game->Users.Add(User);
  game->Name = GameName.empty() ? UnnamedGame : GameName;
  NotifyAll(MSG('G', {std::to_string(game->Id), game->Name, game->MapName,
                      std::to_string(game->Points), User->UserName}));
  GameDescriptions.Add(std::move(game));
}

void TGameServer::RemoveGameDescription(TGameDescription* GD) {
  NotifyAll(MSG('H', {std::to_string(GD->Id)}));
  GameDescriptions.Extract(GD);
}

void TGameServer::RemoveUser(TUser* User) {
  LOG("Removing user " + User->UserName);
  for (int i = GameDescriptions.Count() - 1; i >= 0; --i) {
    TGameDescription* game = GameDescriptions.Get(i);
    if (game->Users.GetUser(0) == User)
      RemoveGameDescription(game);
  }
  std::unique_ptr<TUser> leaving = ConnectedUsers.Extract(User);
  NotifyAll(MSG('X', {leaving->UserName}));
}

int32_t TGameServer::GetNextGameId() {
  // Two thousand million games later, numbering starts again rather than overflowing.
  if (FNextGameId == std::numeric_limits<int32_t>::max())
    FNextGameId = 100;
  return ++FNextGameId;
}

TGame* TGameServer::GetGameByUser(TUser* User) {
  (void)User;
  return nullptr;
}

void TGameServer::UserEnterGameDescription(TUser* User, int32_t GameId) {
  (void)User;
  (void)GameId;
}

void TGameServer::UserExitGameDescription(TUser* User) {
  (void)User;
}
