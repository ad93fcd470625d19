#include "net/match_lines.h"

#include "net/protocol.h"

std::string EventLine(const TMatchEvent& Event, const TGame& Game, int32_t SecondsLeft) {
  switch (Event.Kind) {
  case TMatchEventKind::Moved:
    return Build(TMovedLine{Event.Unit, Event.X, Event.Y});
  case TMatchEventKind::Hit:
    return Build(THitLine{Event.Unit, Event.Target, Event.Health});
  case TMatchEventKind::Out:
    return Build(TOutLine{Event.Seat});
  case TMatchEventKind::Turn:
    return Build(TTurnLine{Event.Seat, Event.Round, SecondsLeft, MatchChecksum(Game)});
  case TMatchEventKind::Over:
    return Build(TOverLine{Event.Seat});
  }
  return "";
}

std::optional<TMatchEvent> EventOf(const TMsg& Message) {
  switch (ExtOf(Message)) {
  case TExt::Moved:
    if (auto line = Read<TMovedLine>(Message))
      return TMatchEvent::Moved(line->Unit, line->X, line->Y);
    break;
  case TExt::Hit:
    if (auto line = Read<THitLine>(Message))
      return TMatchEvent::Hit(line->Attacker, line->Target, line->HealthLeft);
    break;
  case TExt::Out:
    if (auto line = Read<TOutLine>(Message))
      return TMatchEvent::SeatOut(line->Seat);
    break;
  case TExt::Turn:
    if (auto line = Read<TTurnLine>(Message))
      return TMatchEvent::Turn(line->Seat, line->Round);
    break;
  case TExt::Over:
    if (auto line = Read<TOverLine>(Message))
      return TMatchEvent::Over(line->Winner);
    break;
  default:
    break;
  }
  return std::nullopt;
}

std::vector<std::string> MatchBlock(const TGame& Game, int32_t GameId, int32_t YourSeat,
                                    int32_t SecondsLeft) {
  const int32_t columns = Game.Map ? Game.Map->SizeX : 0;
  const int32_t rows = Game.Map ? Game.Map->SizeY : 0;
  std::vector<std::string> lines;
  lines.push_back(
      Build(TStartLine{GameId, Game.MapName, columns, rows, YourSeat, Game.Players.Count()}));
  for (const auto& player : Game.Players)
    lines.push_back(Build(TSeatLine{player->Seat, player->Name}));
  for (int32_t y = 0; y < rows; ++y)
    for (int32_t x = 0; x < columns; ++x)
      if (HasTree(Game, x, y))
        lines.push_back(Build(TTreeLine{x, y}));
  for (const auto& unit : Game.Units)
    lines.push_back(
        Build(TUnitLine{unit->Id, UnitSeat(*unit), unit->Info ? UnitKindName(unit->Info->Kind) : "",
                        unit->X, unit->Y, unit->Health, unit->Moved, unit->Attacked}));
  for (const auto& player : Game.Players)
    if (player->Out)
      lines.push_back(Build(TOutLine{player->Seat}));
  lines.push_back(Build(TTurnLine{Game.ToPlay, Game.Turns, SecondsLeft, MatchChecksum(Game)}));
  return lines;
}

TMatchMirror::TFeed TMatchMirror::Feed(const std::string& Line) {
  return Feed(TMsg(Line));
}

TMatchMirror::TFeed TMatchMirror::Feed(const TMsg& Message) {
  if (ExtOf(Message) == TExt::Start) {
    auto start = Read<TStartLine>(Message);
    FBuilding =
        start ? StartMirror(start->Map, start->Columns, start->Rows, start->Seats) : nullptr;
    if (!FBuilding)
      return TFeed::Bad;
    FGameId = start->Game;
    FYourSeat = start->YourSeat;
    return TFeed::Applied;
  }
  if (FBuilding)
    return FeedBlock(Message);
  if (ExtOf(Message) == TExt::Turn)
    return FeedTurn(Message, false);
  std::optional<TMatchEvent> event = EventOf(Message);
  if (!event) {
    switch (ExtOf(Message)) {
    case TExt::Moved:
    case TExt::Hit:
    case TExt::Out:
    case TExt::Over:
      return TFeed::Bad;
    default:
      return TFeed::Ignored;
    }
  }
  if (!FGame || !ApplyEvent(*FGame, *event))
    return TFeed::Bad;
  return TFeed::Applied;
}

TMatchMirror::TFeed TMatchMirror::FeedBlock(const TMsg& Message) {
  bool fits = false;
  switch (ExtOf(Message)) {
  case TExt::Seat:
    if (auto seat = Read<TSeatLine>(Message))
      fits = MirrorSeat(*FBuilding, seat->Seat, seat->Name);
    break;
  case TExt::Tree:
    if (auto tree = Read<TTreeLine>(Message))
      fits = MirrorTree(*FBuilding, tree->X, tree->Y);
    break;
  case TExt::Unit: {
    auto unit = Read<TUnitLine>(Message);
    TUnitKind kind{};
    fits = unit && UnitKindFromName(unit->UnitKind, kind) &&
           MirrorUnit(*FBuilding, unit->Id, unit->Seat, kind, unit->X, unit->Y, unit->Health,
                      unit->Moved, unit->Attacked);
    break;
  }
  case TExt::Out:
    if (auto out = Read<TOutLine>(Message))
      fits = ApplyEvent(*FBuilding, TMatchEvent::SeatOut(out->Seat));
    break;
  case TExt::Turn:
    return FeedTurn(Message, true);
  case TExt::Unknown:
    return TFeed::Ignored;
  default:
    // A line of the lobby's side of the extension may come between blocks, not inside one.
    if (!EventOf(Message))
      return TFeed::Ignored;
    break;
  }
  if (fits)
    return TFeed::Applied;
  FBuilding.reset();
  return TFeed::Bad;
}

TMatchMirror::TFeed TMatchMirror::FeedTurn(const TMsg& Message, bool EndsBlock) {
  auto turn = Read<TTurnLine>(Message);
  TGame* game = EndsBlock ? FBuilding.get() : FGame.get();
  bool fits = turn && game != nullptr &&
              (EndsBlock ? MirrorTurn(*game, turn->Seat, turn->Round)
                         : ApplyEvent(*game, TMatchEvent::Turn(turn->Seat, turn->Round)));
  if (EndsBlock) {
    if (fits)
      FGame = std::move(FBuilding);
    FBuilding.reset();
  }
  if (!fits)
    return TFeed::Bad;
  FSecondsLeft = turn->SecondsLeft;
  FChecksum = turn->Checksum;
  return MatchChecksum(*FGame) == turn->Checksum ? TFeed::Applied : TFeed::Mismatch;
}
