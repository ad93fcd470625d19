// The lobby's extension for connections that asked for matches (R|play|1 before logging in):
// waiting rooms (J, K, B), matches played through the server (M, A, T, Y, W in
// ParseInGameMessage), their turn clocks and the computer seat. The rules themselves are
// game/rules.h; the lines are net/protocol.h and net/match_lines.h.
//
// Sections: lines to users | waiting rooms | starting a match | orders | events and turns |
// the computer seat and the clocks | leaving and ending
#include "lobby/game_server.h"

#include "net/match_lines.h"
#include "net/protocol.h"

#include <algorithm>

namespace {

// Refusals, one sentence each, for a person to read.
constexpr const char* NoSuchGame = "There is no such game.";
constexpr const char* CreatorCannotStart = "This game's creator cannot start matches.";
constexpr const char* OwnGame = "This is your own game.";
constexpr const char* AlreadyInGame = "You are already in a game.";
constexpr const char* GameFull = "This game is full.";
constexpr const char* GameStarted = "This game has already started.";
constexpr const char* NotInRoom = "You are not in a waiting room.";
constexpr const char* NoGameToStart = "You have no game to start.";
constexpr const char* NotCreator = "Only the game's creator can start it.";
constexpr const char* NotInMatch = "You are not in a match.";
constexpr const char* InMatch = "You are in a match; Y leaves it.";
constexpr const char* OrderUnread = "That order does not read.";

// More orders than the computer ever needs in a turn (it ends its turn after two per unit).
constexpr int32_t MostComputerOrders = 2 * MaxArmyUnits + 1;

} // namespace

// ---- lines to users ------------------------------------------------------------------------

void TGameServer::NotifyExtended(const std::string& Message) {
  for (const auto& user : ConnectedUsers)
    if (user->Extended)
      user->Send(Message);
}

void TGameServer::Refuse(TUser* User, const std::string& Reason) {
  User->Send(Build(TRefusal{Reason}));
}

void TGameServer::SendMatchCatchUp(TUser* User) {
  for (const auto& game : GameDescriptions) {
    if (!game->Matches)
      continue;
    User->Send(Build(TGameOpen{game->Id}));
    for (int i = 1; i < game->Users.Count(); ++i)
      User->Send(Build(TPlayerJoined{game->Id, game->Users.GetUser(i)->UserName}));
  }
  for (const auto& match : Matches) {
    TMatchStarted started{match->Id, {}};
    for (const auto& player : match->Game->Players)
      started.Seats.push_back(player->Name);
    User->Send(Build(started));
  }
}

TGameDescription* TGameServer::FindGame(int32_t Id) const {
  for (const auto& game : GameDescriptions)
    if (game->Id == Id)
      return game.get();
  return nullptr;
}

TMatch* TGameServer::FindMatch(int32_t Id) const {
  for (const auto& match : Matches)
    if (match->Id == Id)
      return match.get();
  return nullptr;
}

TGame* TGameServer::GetGameByUser(TUser* User) {
  return User != nullptr && User->Match != nullptr ? User->Match->Game.get() : nullptr;
}

// ---- waiting rooms -------------------------------------------------------------------------

bool TGameServer::ParseExtendedLobbyMessage(const TMsg& Line, TUser* User) {
  switch (Line.GetType()) {
  case Msg::Announce:
    if (User->Room == nullptr)
      return false;
    Refuse(User, AlreadyInGame);
    return true;
  case Msg::Join:
  case Msg::Leave:
  case Msg::Begin:
    // Each of these reaches every extended user, so they count as chat and game lines do.
    if (!PassFloodControl(User)) {
      Refuse(User, "Not done: you are sending too fast (at most " + FloodLimitText(FLimits) + ").");
      return true;
    }
    if (Line.GetType() == Msg::Begin) {
      StartMatch(User);
    } else if (Line.GetType() == Msg::Leave) {
      if (User->Room == nullptr)
        Refuse(User, NotInRoom);
      else
        UserExitGameDescription(User);
    } else if (auto join = Read<TJoinRequest>(Line)) {
      UserEnterGameDescription(User, join->Game);
    } else {
      Refuse(User, NoSuchGame);
    }
    return true;
  case Msg::Move:
  case Msg::Attack:
  case Msg::EndTurn:
  case Msg::Resign:
  case Msg::Whole:
    Refuse(User, NotInMatch);
    return true;
  default:
    return false;
  }
}

void TGameServer::UserEnterGameDescription(TUser* User, int32_t GameId) {
  TGameDescription* game = FindGame(GameId);
  if (game == nullptr && FindMatch(GameId) != nullptr)
    return Refuse(User, GameStarted);
  if (game == nullptr)
    return Refuse(User, NoSuchGame);
  if (game->Users.GetUser(0) == User)
    return Refuse(User, OwnGame);
  if (User->Room != nullptr || User->Match != nullptr)
    return Refuse(User, AlreadyInGame);
  if (!game->Matches)
    return Refuse(User, CreatorCannotStart);
  if (game->Users.Count() >= MaxSeats)
    return Refuse(User, GameFull);
  game->Users.Add(User);
  User->Room = game;
  FHost->Log("Game " + std::to_string(game->Id) + ": " + User->UserName + " joined");
  User->Send(Build(TGameEntered{game->Id}));
  NotifyExtended(Build(TPlayerJoined{game->Id, User->UserName}));
}

void TGameServer::UserExitGameDescription(TUser* User) {
  TGameDescription* game = User->Room;
  if (game == nullptr)
    return;
  const std::string id = std::to_string(game->Id);
  if (game->Users.GetUser(0) == User) {
    FHost->Log("Game " + id + " cancelled: " + User->UserName + " left");
    NotifyExtended(Build(TGameCancelled{game->Id}));
    RemoveGameDescription(game);
    return;
  }
  game->Users.Extract(User);
  User->Room = nullptr;
  FHost->Log("Game " + id + ": " + User->UserName + " left");
  NotifyExtended(Build(TPlayerLeft{game->Id, User->UserName}));
}

// ---- starting a match ----------------------------------------------------------------------

void TGameServer::StartMatch(TUser* User) {
  TGameDescription* game = User->Room;
  if (game == nullptr)
    return Refuse(User, NoGameToStart);
  if (game->Users.GetUser(0) != User)
    return Refuse(User, NotCreator);
  std::vector<TSeatSpec> seats;
  for (TUser* user : game->Users)
    seats.push_back({user->UserName, false});
  auto match = std::make_unique<TMatch>();
  match->Id = game->Id;
  match->Name = game->Name;
  match->Game = CreateMatch(game->MapName, game->Points, seats);
  if (!match->Game)
    return Refuse(User, NoGameToStart);
  for (TUser* user : game->Users) {
    user->Seat = static_cast<int32_t>(match->Players.size());
    user->Match = match.get();
    match->Players.push_back(user);
  }
  // The computer's seat, when the creator starts alone.
  match->Players.resize(static_cast<std::size_t>(match->Game->Players.Count()), nullptr);
  RemoveGameDescription(game);

  TMatch& started = *match;
  Games.Add(started.Game.get());
  Matches.Add(std::move(match));
  TMatchStarted line{started.Id, {}};
  std::string names;
  for (const auto& player : started.Game->Players) {
    line.Seats.push_back(player->Name);
    names += (names.empty() ? "" : ", ") + player->Name;
  }
  NotifyExtended(Build(line));
  FHost->Log("Game " + std::to_string(started.Id) + " started: " + names);
  BeginTurn(started);
  for (TUser* user : started.Players)
    if (user != nullptr)
      SendMatchState(user);
  RunComputer(started);
}

void TGameServer::SendMatchState(TUser* User) {
  const TMatch& match = *User->Match;
  for (const std::string& line : MatchBlock(*match.Game, match.Id, User->Seat, SecondsLeft(match)))
    User->Send(line);
}

// ---- orders --------------------------------------------------------------------------------

void TGameServer::ParseInGameMessage(const std::string& Message, TGame* Game, TUser* User) {
  TMatch& match = *User->Match;
  (void)Game; // the same as match.Game
  TMsg msg(Message);
  switch (msg.GetType()) {
  case Msg::Chat:
    RelayChat(User, msg);
    break;
  case Msg::Move:
  case Msg::Attack:
  case Msg::EndTurn:
  case Msg::Whole: {
    if (!PassOrderControl(User))
      break;
    if (msg.GetType() == Msg::Whole) {
      SendMatchState(User);
    } else if (msg.GetType() == Msg::EndTurn) {
      Play(match, User, TOrder::EndTurn());
    } else if (auto move = Read<TMoveOrder>(msg)) {
      Play(match, User, TOrder::MoveTo(move->Unit, move->X, move->Y));
    } else if (auto attack = Read<TAttackOrder>(msg)) {
      Play(match, User, TOrder::AttackWith(attack->Unit, attack->Target));
    } else {
      Refuse(User, OrderUnread);
    }
    break;
  }
  case Msg::Resign:
    LeaveMatch(User, true);
    break;
  case Msg::Join:
  case Msg::Leave:
  case Msg::Begin:
  case Msg::Announce:
    Refuse(User, InMatch);
    break;
  default: // Q, a second L, R, anything unknown: the user resigns and is logged out
    RemoveUser(User);
    break;
  }
}

bool TGameServer::PassOrderControl(TUser* User) {
  if (!FLimits.FloodLimit || PeerOf(User->Connection).Orders.Take(FHost->Now()))
    return true;
  Refuse(User,
         "Order not taken: you are sending too fast (at most " + OrderLimitText(FLimits) + ").");
  return false;
}

void TGameServer::Play(TMatch& Match, TUser* User, const TOrder& Order) {
  std::vector<TMatchEvent> events;
  if (const char* refusal = ExecuteOrder(*Match.Game, User->Seat, Order, events))
    return Refuse(User, refusal);
  if (Broadcast(Match, events))
    RunComputer(Match);
}

// ---- events and turns ----------------------------------------------------------------------

bool TGameServer::Broadcast(TMatch& Match, const std::vector<TMatchEvent>& Events) {
  const std::string id = std::to_string(Match.Id);
  for (const TMatchEvent& event : Events) {
    if (event.Kind == TMatchEventKind::Turn)
      BeginTurn(Match);
    const std::string line = EventLine(event, *Match.Game, SecondsLeft(Match));
    for (TUser* user : Match.Players)
      if (user != nullptr)
        user->Send(line);
    if (event.Kind == TMatchEventKind::Out)
      FHost->Log("Game " + id + ": seat " + std::to_string(event.Seat) + " (" +
                 SeatPlayer(*Match.Game, event.Seat)->Name + ") is out");
    if (event.Kind == TMatchEventKind::Over) {
      EndMatch(Match);
      return false;
    }
  }
  return true;
}

void TGameServer::BeginTurn(TMatch& Match) {
  const Clock::time_point now = FHost->Now();
  Match.TurnEnds = now + TurnLength(Match);
  Match.ComputerOrders = 0;
  Match.ComputerDue = Match.ComputerToPlay() ? std::min(now + FLimits.ComputerPace, Match.TurnEnds)
                                             : Clock::time_point::max();
  ScheduleTimer();
}

TGameServer::Clock::duration TGameServer::TurnLength(const TMatch& Match) const {
  if (FLimits.TurnTime.count() > 0)
    return FLimits.TurnTime;
  return std::chrono::seconds(TurnSeconds(*Match.Game, Match.Game->ToPlay));
}

int32_t TGameServer::SecondsLeft(const TMatch& Match) const {
  const Clock::duration left = Match.TurnEnds - FHost->Now();
  if (left <= Clock::duration::zero())
    return 0;
  // Whole seconds, rounded up: a turn of half a second shows 1.
  return static_cast<int32_t>(std::chrono::ceil<std::chrono::seconds>(left).count());
}

// ---- the computer seat and the clocks ------------------------------------------------------

void TGameServer::RunComputer(TMatch& Match) {
  while (Match.ComputerToPlay() && Match.ComputerDue <= FHost->Now())
    if (!ComputerStep(Match))
      return;
}

bool TGameServer::ComputerStep(TMatch& Match) {
  const int32_t seat = Match.Game->ToPlay;
  const Clock::time_point now = FHost->Now();
  // Its last order of the turn comes while the turn still lasts.
  const bool last =
      ++Match.ComputerOrders >= MostComputerOrders || now + FLimits.ComputerPace >= Match.TurnEnds;
  TOrder order = last ? TOrder::EndTurn() : ComputerOrder(*Match.Game, seat);
  std::vector<TMatchEvent> events;
  if (ExecuteOrder(*Match.Game, seat, order, events) != nullptr) {
    events.clear();
    ExecuteOrder(*Match.Game, seat, TOrder::EndTurn(), events);
  }
  if (!Broadcast(Match, events))
    return false;
  if (Match.ComputerToPlay() && Match.Game->ToPlay == seat) {
    Match.ComputerDue = std::min(now + FLimits.ComputerPace, Match.TurnEnds);
    ScheduleTimer();
  }
  return true;
}

void TGameServer::TimeOut(TMatch& Match) {
  std::vector<TMatchEvent> events;
  ExecuteOrder(*Match.Game, Match.Game->ToPlay, TOrder::TimeOut(), events);
  if (Broadcast(Match, events))
    RunComputer(Match);
}

void TGameServer::OnMatchTimers(Clock::time_point Now) {
  // A match never ends another, so the ones due stay valid while each is served.
  std::vector<TMatch*> due;
  for (const auto& match : Matches)
    if (match->NextDeadline() <= Now)
      due.push_back(match.get());
  for (TMatch* match : due) {
    if (match->ComputerToPlay())
      RunComputer(*match);
    else
      TimeOut(*match);
  }
}

// ---- leaving and ending --------------------------------------------------------------------

void TGameServer::LeaveMatch(TUser* User, bool Hears) {
  TMatch* match = User->Match;
  if (match == nullptr)
    return;
  const int32_t seat = User->Seat;
  auto detach = [&] {
    match->Players[static_cast<std::size_t>(seat)] = nullptr;
    User->Match = nullptr;
    User->Seat = -1;
  };
  FHost->Log("Game " + std::to_string(match->Id) + ": " + User->UserName + " left");
  // A user who is gone hears nothing more; one who resigns hears its seat go out.
  if (!Hears)
    detach();
  if (InPlay(*match->Game, seat)) {
    std::vector<TMatchEvent> events;
    ExecuteOrder(*match->Game, seat, TOrder::Leave(), events);
    if (!Broadcast(*match, events))
      return; // the match ended; every player is back in the lobby
  }
  if (Hears)
    detach();
  RunComputer(*match);
}

void TGameServer::EndMatch(TMatch& Match) {
  const TPlayer* winner = SeatPlayer(*Match.Game, Match.Game->Winner);
  const std::string name = winner != nullptr ? winner->Name : "";
  FHost->Log("Game " + std::to_string(Match.Id) +
             " over: " + (winner != nullptr ? name + " wins" : "draw"));
  for (TUser* user : Match.Players)
    if (user != nullptr) {
      user->Match = nullptr;
      user->Seat = -1;
    }
  NotifyExtended(Build(TMatchEnded{Match.Id, name}));
  Games.Extract(Match.Game.get());
  std::unique_ptr<TMatch> ended = Matches.Extract(&Match);
  ScheduleTimer();
}
