// The lobby: logins, the user list, chat relay, announced games and, for connections that ask
// for them, waiting rooms and matches played through the server with the rules of game/rules.h.
// It runs on its host's events (the packet server's, in the program), one at a time on the
// serving thread, and keeps everything in memory.
//
// Connections that never ask for matches see the lobby exactly as it was without them, but
// for an H when a game starts or is cancelled.
//
// Its guards (limits in TLobbyLimits): flood control on chat and game lines, a time limit for
// logging in, limits on the games one user and everyone together may announce, and a summary
// line for the operator. The lobby speaks to a user as the pseudo-user "Server", a name no one
// can log in with.
#pragma once

#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>

#include "game/game_model.h"
#include "lobby/game_description.h"
#include "lobby/lobby_host.h"
#include "lobby/match.h"
#include "lobby/packet_server.h"
#include "lobby/server_limits.h"
#include "lobby/token_bucket.h"
#include "lobby/user.h"

class TMsg;

class TGameServer {
public:
  static constexpr int32_t DefaultPort = 50401;
  static constexpr uint32_t MaxClient = 100;
  static constexpr uint32_t MaxBufferSize = 1024;
  // Stored and announced in place of an empty game name or map name, which the message
  // encoding could not carry.
  static constexpr const char* UnnamedGame = "(unnamed)";
  static constexpr const char* NoMapName = "(none)";
  // The sender of the lobby's own chat lines to a user.
  static constexpr const char* ServerName = "Server";

  // Creates the packet server (not yet listening) with this lobby as its handler.
  explicit TGameServer(const TServerLimits& Limits = {});
  // A lobby served by Host, which calls OnEvent and OnTimer; it has no packet server of its
  // own, so Start, Listen and Run are not for it.
  explicit TGameServer(TLobbyHost& Host, const TServerLimits& Limits = {});
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
  // Asks for the operator's summary line at once. Safe from any thread and from signal handlers.
  void RequestSummary();
  // The operator's summary: who is here and what the guards have done since the start.
  std::string Summary() const;

  void OnEvent(TPacketServer* Sender, TSocket* Conn, TEventType EventType, const std::string& Text);
  // The alarm set through the host is due, or a timer pass was asked for.
  void OnTimer();
  void DoConnection(TSocket* Conn);
  void DoCloseConnection(TSocket* Conn);
  void DoMessage(const std::string& Message, TSocket* Conn);
  void ParseUnloggedMessage(const std::string& Message, TSocket* Conn);
  void ParseLoggedMessage(const std::string& Message, TUser* User);
  void ParseInGameMessage(const std::string& Message, TGame* Game, TUser* User);
  void AutenticateUser(const std::string& User, const std::string& Pass, TSocket* Conn);
  void SendGameList(TUser* User);
  void NotifyAll(const std::string& Message);
  // The game announced, or nullptr when a limit refused it.
  TGameDescription* CreateGameDescription(TUser* User, const std::string& GameName,
                                          const std::string& MapName, const std::string& Points);
  void RemoveGameDescription(TGameDescription* GD);
  void RemoveUser(TUser* User);
  int32_t GetNextGameId();
  // The match User plays or watches, or nullptr.
  TGame* GetGameByUser(TUser* User);
  // User joins the waiting room of game GameId (J), or hears why not.
  void UserEnterGameDescription(TUser* User, int32_t GameId);
  // User leaves its waiting room (K); its creator leaving cancels the game.
  void UserExitGameDescription(TUser* User);

  // The value of a points text: a decimal integer in the 32-bit range, anything else 0.
  static int32_t ParsePoints(const std::string& Text);
  // The G line that announces GD.
  static std::string Announcement(const TGameDescription& GD);
  // "20 lines at once, then 2 a second" for the flood limits in Limits.
  static std::string FloodLimitText(const TLobbyLimits& Limits);
  // "50 orders at once, then 5 a second" for the order limits in Limits.
  static std::string OrderLimitText(const TLobbyLimits& Limits);

  // Lines and games counted since the start, for the operator.
  struct TStats {
    uint64_t LinesRelayed = 0;     // chat lines relayed and games announced
    uint64_t LinesDropped = 0;     // chat and game lines over the flood limit
    uint64_t GamesRefused = 0;     // over a limit of the game list
    uint64_t ClosedIdle = 0;       // not logged in in time
    uint64_t ClosedUnexpected = 0; // an unexpected message before logging in
  };
  const TStats& Stats() const { return FStats; }
  const TLobbyLimits& Limits() const { return FLimits; }

  TOwnedUserList ConnectedUsers;
  TGameDescriptionList GameDescriptions;
  // The games of the matches in progress; Matches owns them.
  TGameList Games;
  TMatchList Matches;
  // The loop of a lobby that serves itself; nullptr for one served by a host.
  std::unique_ptr<TPacketServer> PacketServer;

private:
  using Clock = TLobbyHost::Clock;
  // A connection that has yet to log in, and when its time is up.
  struct TLoginWait {
    Clock::time_point Deadline;
    TSocket* Conn = nullptr;
  };
  // What the lobby keeps for each open connection, logged in or not.
  struct TPeer {
    TPeer(TTokenBucket Lines, TTokenBucket OrderLines) : Flood(Lines), Orders(OrderLines) {}
    TTokenBucket Flood;
    TTokenBucket Orders;
    // Asked for matches with R before logging in.
    bool Extended = false;
    bool Flooding = false; // lines were dropped since the bucket was last full
    uint64_t Dropped = 0;  // lines dropped in this spell
    bool AwaitingLogin = false;
    std::list<TLoginWait>::iterator Wait{};
  };

  int32_t FollowingGameId() const;
  TPeer& PeerOf(TSocket* Conn);
  void ForgetPeer(TSocket* Conn);
  void StartLoginWait(TSocket* Conn);
  void StopLoginWait(TPeer& Peer);
  bool PassFloodControl(TUser* User);
  std::string GameRefusal(const TUser* User, std::size_t LineSize) const;
  void TellUser(TUser* User, const std::string& Text);
  void RelayChat(TUser* User, const TMsg& Line);
  void Announce(TUser* User, const TMsg& Line);

  // Waiting rooms and matches (game_server_matches.cpp).
  bool ParseExtendedLobbyMessage(const TMsg& Line, TUser* User);
  void NotifyExtended(const std::string& Message);
  void Refuse(TUser* User, const std::string& Reason);
  void SendMatchCatchUp(TUser* User);
  TGameDescription* FindGame(int32_t Id) const;
  TMatch* FindMatch(int32_t Id) const;
  void StartMatch(TUser* User);
  void Play(TMatch& Match, TUser* User, const TOrder& Order);
  bool PassOrderControl(TUser* User);
  bool Broadcast(TMatch& Match, const std::vector<TMatchEvent>& Events);
  void BeginTurn(TMatch& Match);
  void RunComputer(TMatch& Match);
  bool ComputerStep(TMatch& Match);
  void TimeOut(TMatch& Match);
  void LeaveMatch(TUser* User, bool Hears);
  void EndMatch(TMatch& Match);
  void SendMatchState(TUser* User);
  Clock::duration TurnLength(const TMatch& Match) const;
  int32_t SecondsLeft(const TMatch& Match) const;
  void OnMatchTimers(Clock::time_point Now);
  void StartTimers();
  void ScheduleTimer();

  // The host of a lobby that serves itself.
  std::unique_ptr<TLobbyHost> FOwnHost;
  TLobbyHost* FHost = nullptr;
  int32_t FNextGameId = 100;
  TLobbyLimits FLimits;
  TStats FStats;
  std::unordered_map<const TSocket*, TPeer> FPeers;
  // Deadlines in the order they fall: every wait lasts the same time.
  std::list<TLoginWait> FLoginWaits;
  std::size_t FGameListBytes = 0;
  Clock::time_point FNextSummary = Clock::time_point::max();
  std::atomic<bool> FSummaryRequested{false};
};
