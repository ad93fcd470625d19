// The lobby: logins, the user list, chat relay, announced games. It runs on the packet
// server's events, one at a time on the serving thread, and keeps everything in memory.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "game/game_model.h"
#include "lobby/game_description.h"
#include "lobby/packet_server.h"
#include "lobby/user.h"

class TGameServer {
public:
  static constexpr int32_t DefaultPort = 50401;
  static constexpr uint32_t MaxClient = 100;
  static constexpr uint32_t MaxBufferSize = 1024;
  // Stored and announced in place of an empty game name or map name, which the message
  // encoding could not carry.
  static constexpr const char* UnnamedGame = "(unnamed)";
  static constexpr const char* NoMapName = "(none)";

  // Creates the packet server (not yet listening) with this lobby as its handler.
  TGameServer();
  TGameServer(const TGameServer&) = delete;
  TGameServer& operator=(const TGameServer&) = delete;

  // Listens on Address ("" for all interfaces) and Port and serves until Stop; answers true
  // when stopped, false after an unrecoverable error. Throws TServerException when it cannot
  // listen.
  bool Start(int32_t Port = DefaultPort, const std::string& Address = "");
  // Start in two halves, so that a caller can learn the port before serving.
  void Listen(int32_t Port, const std::string& Address = "");
  bool Run();
  // Ends serving soon. Safe from any thread and from signal handlers.
  void Stop();

  void OnEvent(TPacketServer* Sender, TSocket* Conn, TEventType EventType, const std::string& Text);
  void DoConnection(TSocket* Conn);
  void DoCloseConnection(TSocket* Conn);
  void DoMessage(const std::string& Message, TSocket* Conn);
  void ParseUnloggedMessage(const std::string& Message, TSocket* Conn);
  void ParseLoggedMessage(const std::string& Message, TUser* User);
  void ParseInGameMessage(const std::string& Message, TGame* Game, TUser* User);
  void AutenticateUser(const std::string& User, const std::string& Pass, TSocket* Conn);
  void SendGameList(TUser* User);
  void NotifyAll(const std::string& Message);
  void CreateGameDescription(TUser* User, const std::string& GameName, const std::string& MapName,
                             const std::string& Points);
  void RemoveGameDescription(TGameDescription* GD);
  void RemoveUser(TUser* User);
  int32_t GetNextGameId();
  // The running game User plays in; no game is ever started, so always nullptr.
  TGame* GetGameByUser(TUser* User);
  // Hooks for joining and leaving an announced game; no message reaches them yet.
  void UserEnterGameDescription(TUser* User, int32_t GameId);
  void UserExitGameDescription(TUser* User);

  // The value of a points text: a decimal integer in the 32-bit range, anything else 0.
  static int32_t ParsePoints(const std::string& Text);

  TOwnedUserList ConnectedUsers;
  TGameDescriptionList GameDescriptions;
  TGameList Games;
  std::unique_ptr<TPacketServer> PacketServer;

private:
  int32_t FNextGameId = 100;
};
