// Orders, events and queries of a match, and its checksum.
//
// Sections: queries; reach (where a unit can move); checking an order; executing an order
// (turns, rounds and the end); applying an event; the checksum.
#include "game/rules.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>

namespace {

// Refusals, one sentence each.
constexpr const char* MatchOver = "The match is over.";
constexpr const char* NoSuchSeat = "There is no such seat.";
constexpr const char* SeatIsOut = "You are out of the match.";
constexpr const char* NotYourTurn = "It is not your turn.";
constexpr const char* NoSuchUnit = "There is no such unit.";
constexpr const char* NotYourUnit = "That unit is not yours.";
constexpr const char* AlreadyMoved = "That unit has already moved this turn.";
constexpr const char* OffField = "That tile is off the field.";
constexpr const char* AlreadyThere = "That unit is already there.";
constexpr const char* TreeThere = "A tree stands on that tile.";
constexpr const char* TileTaken = "That tile is taken.";
constexpr const char* OutOfReach = "That tile is out of reach.";
constexpr const char* AlreadyAttacked = "That unit has already attacked this turn.";
constexpr const char* NoSuchTarget = "There is no such target.";
constexpr const char* OwnTarget = "You cannot attack your own unit.";
constexpr const char* OutOfRange = "That target is out of range.";
constexpr const char* UnknownOrder = "There is no such order.";

int32_t Columns(const TGame& Game) {
  return Game.Map ? Game.Map->SizeX : 0;
}
int32_t Rows(const TGame& Game) {
  return Game.Map ? Game.Map->SizeY : 0;
}
bool OnField(const TGame& Game, int32_t X, int32_t Y) {
  return X >= 0 && Y >= 0 && X < Columns(Game) && Y < Rows(Game);
}

// Takes every unit Drop accepts off the field.
template <class Pred>
void RemoveUnits(TGame& Game, Pred Drop) {
  for (int32_t i = Game.Units.Count() - 1; i >= 0; --i)
    if (Drop(*Game.Units.Get(i)))
      Game.Units.Extract(Game.Units.Get(i));
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Queries
// ---------------------------------------------------------------------------------------------

TUnit* FindUnit(const TGame& Game, int32_t Id) {
  for (const auto& unit : Game.Units)
    if (unit->Id == Id)
      return unit.get();
  return nullptr;
}

TUnit* UnitAt(const TGame& Game, int32_t X, int32_t Y) {
  for (const auto& unit : Game.Units)
    if (unit->X == X && unit->Y == Y)
      return unit.get();
  return nullptr;
}

TPlayer* SeatPlayer(const TGame& Game, int32_t Seat) {
  return Game.Players.Get(Seat);
}

int32_t UnitSeat(const TUnit& Unit) {
  return Unit.Owner ? Unit.Owner->Seat : -1;
}

bool InPlay(const TGame& Game, int32_t Seat) {
  const TPlayer* player = SeatPlayer(Game, Seat);
  return player && !player->Out;
}

int32_t SeatsInPlay(const TGame& Game) {
  int32_t count = 0;
  for (const auto& player : Game.Players)
    count += player->Out ? 0 : 1;
  return count;
}

int32_t SeatUnitCount(const TGame& Game, int32_t Seat) {
  int32_t count = 0;
  for (const auto& unit : Game.Units)
    count += UnitSeat(*unit) == Seat ? 1 : 0;
  return count;
}

int32_t SeatHealth(const TGame& Game, int32_t Seat) {
  int32_t health = 0;
  for (const auto& unit : Game.Units)
    health += UnitSeat(*unit) == Seat ? unit->Health : 0;
  return health;
}

bool HasTree(const TGame& Game, int32_t X, int32_t Y) {
  const TTile* tile = Game.Map ? Game.Map->GetTile(X, Y) : nullptr;
  return tile && tile->Tree;
}

int32_t TurnSeconds(const TGame& Game, int32_t Seat) {
  return TurnBaseSeconds + TurnSecondsPerUnit * SeatUnitCount(Game, Seat);
}

int32_t Distance(const TUnit& A, const TUnit& B) {
  const int64_t distance = std::llabs(int64_t{A.X} - B.X) + std::llabs(int64_t{A.Y} - B.Y);
  return static_cast<int32_t>(std::min<int64_t>(distance, INT32_MAX));
}

bool InRange(const TUnit& Unit, const TUnit& Target) {
  if (&Unit == &Target || UnitSeat(Unit) == UnitSeat(Target) || !Unit.Info)
    return false;
  const int32_t distance = Distance(Unit, Target);
  return distance >= 1 && distance <= Unit.Info->Range;
}

std::vector<TUnit*> TargetsOf(const TGame& Game, const TUnit& Unit) {
  std::vector<TUnit*> targets;
  for (const auto& target : Game.Units)
    if (InRange(Unit, *target))
      targets.push_back(target.get());
  return targets;
}

// ---------------------------------------------------------------------------------------------
// Reach
// ---------------------------------------------------------------------------------------------

bool TReach::CanMoveTo(int32_t X, int32_t Y) const {
  if (X < 0 || Y < 0 || X >= FColumns || Y >= FRows)
    return false;
  return FStop[static_cast<std::size_t>(X + Y * FColumns)];
}

int32_t TReach::StepsTo(int32_t X, int32_t Y) const {
  if (X < 0 || Y < 0 || X >= FColumns || Y >= FRows)
    return -1;
  return FSteps[static_cast<std::size_t>(X + Y * FColumns)];
}

std::vector<TTilePos> TReach::PathTo(int32_t X, int32_t Y) const {
  std::vector<TTilePos> path;
  if (!CanMoveTo(X, Y))
    return path;
  for (int32_t at = X + Y * FColumns; FSteps[static_cast<std::size_t>(at)] > 0;
       at = FBack[static_cast<std::size_t>(at)])
    path.push_back({at % FColumns, at / FColumns});
  std::reverse(path.begin(), path.end());
  return path;
}

std::vector<TTilePos> TReach::Destinations() const {
  std::vector<TTilePos> tiles;
  for (int32_t y = 0; y < FRows; ++y)
    for (int32_t x = 0; x < FColumns; ++x)
      if (FStop[static_cast<std::size_t>(x + y * FColumns)])
        tiles.push_back({x, y});
  return tiles;
}

TReach ReachOf(const TGame& Game, const TUnit& Unit) {
  TReach reach;
  const int32_t columns = Columns(Game);
  const int32_t rows = Rows(Game);
  if (columns > MaxFieldSide || rows > MaxFieldSide || !OnField(Game, Unit.X, Unit.Y) || !Unit.Info)
    return reach;
  reach.FColumns = columns;
  reach.FRows = rows;
  const std::size_t tiles = static_cast<std::size_t>(columns * rows);
  std::fill_n(reach.FSteps.begin(), tiles, int8_t{-1});

  // Who stands where: no one, the unit's own seat (passable), or an enemy (a wall).
  enum : uint8_t { Empty, Own, Enemy };
  std::array<uint8_t, TReach::MaxTiles> occupant;
  std::fill_n(occupant.begin(), tiles, uint8_t{Empty});
  const int32_t seat = UnitSeat(Unit);
  for (const auto& other : Game.Units)
    if (OnField(Game, other->X, other->Y))
      occupant[static_cast<std::size_t>(other->X + other->Y * columns)] =
          UnitSeat(*other) == seat ? Own : Enemy;

  // Breadth first, neighbours always in the same order, so every machine finds the same path.
  std::array<int16_t, TReach::MaxTiles> queue;
  std::size_t head = 0, tail = 0;
  const int32_t start = Unit.X + Unit.Y * columns;
  reach.FSteps[static_cast<std::size_t>(start)] = 0;
  queue[tail++] = static_cast<int16_t>(start);
  const int32_t speed = std::min(Unit.Info->Speed, int32_t{100});
  constexpr int32_t StepX[4] = {1, 0, -1, 0};
  constexpr int32_t StepY[4] = {0, 1, 0, -1};
  while (head < tail) {
    const int32_t at = queue[head++];
    const int32_t steps = reach.FSteps[static_cast<std::size_t>(at)];
    if (steps >= speed)
      continue;
    for (int32_t d = 0; d < 4; ++d) {
      const int32_t x = at % columns + StepX[d];
      const int32_t y = at / columns + StepY[d];
      if (!OnField(Game, x, y) || HasTree(Game, x, y))
        continue;
      const std::size_t next = static_cast<std::size_t>(x + y * columns);
      if (reach.FSteps[next] >= 0 || occupant[next] == Enemy)
        continue;
      reach.FSteps[next] = static_cast<int8_t>(steps + 1);
      reach.FBack[next] = static_cast<int16_t>(at);
      reach.FStop[next] = occupant[next] == Empty;
      queue[tail++] = static_cast<int16_t>(next);
    }
  }
  return reach;
}

// ---------------------------------------------------------------------------------------------
// Checking an order
// ---------------------------------------------------------------------------------------------

namespace {

// The unit of Seat that an order names, or the refusal.
const char* CheckOwnUnit(const TGame& Game, int32_t Seat, int32_t Id, const TUnit*& Unit) {
  Unit = FindUnit(Game, Id);
  if (!Unit)
    return NoSuchUnit;
  if (UnitSeat(*Unit) != Seat)
    return NotYourUnit;
  return nullptr;
}

const char* CheckMove(const TGame& Game, int32_t Seat, const TOrder& Order) {
  const TUnit* unit = nullptr;
  if (const char* refusal = CheckOwnUnit(Game, Seat, Order.Unit, unit))
    return refusal;
  if (unit->Moved)
    return AlreadyMoved;
  if (!OnField(Game, Order.X, Order.Y))
    return OffField;
  if (unit->X == Order.X && unit->Y == Order.Y)
    return AlreadyThere;
  if (HasTree(Game, Order.X, Order.Y))
    return TreeThere;
  if (UnitAt(Game, Order.X, Order.Y))
    return TileTaken;
  if (!ReachOf(Game, *unit).CanMoveTo(Order.X, Order.Y))
    return OutOfReach;
  return nullptr;
}

const char* CheckAttack(const TGame& Game, int32_t Seat, const TOrder& Order) {
  const TUnit* unit = nullptr;
  if (const char* refusal = CheckOwnUnit(Game, Seat, Order.Unit, unit))
    return refusal;
  if (unit->Attacked)
    return AlreadyAttacked;
  const TUnit* target = FindUnit(Game, Order.Target);
  if (!target)
    return NoSuchTarget;
  if (UnitSeat(*target) == Seat)
    return OwnTarget;
  if (!InRange(*unit, *target))
    return OutOfRange;
  return nullptr;
}

} // namespace

const char* CheckOrder(const TGame& Game, int32_t Seat, const TOrder& Order) {
  if (Game.Over)
    return MatchOver;
  const TPlayer* player = SeatPlayer(Game, Seat);
  if (!player)
    return NoSuchSeat;
  if (player->Out)
    return SeatIsOut;
  if (Order.Kind == TOrderKind::Leave)
    return nullptr;
  if (Seat != Game.ToPlay)
    return NotYourTurn;
  switch (Order.Kind) {
  case TOrderKind::Move:
    return CheckMove(Game, Seat, Order);
  case TOrderKind::Attack:
    return CheckAttack(Game, Seat, Order);
  case TOrderKind::EndTurn:
  case TOrderKind::TimeOut:
  case TOrderKind::Leave:
    return nullptr;
  }
  return UnknownOrder;
}

// ---------------------------------------------------------------------------------------------
// Executing an order
// ---------------------------------------------------------------------------------------------

namespace {

// Appends events and applies each as it is appended, so that every later decision sees the
// state the earlier events made.
class TEventSink {
public:
  TEventSink(TGame& Game, std::vector<TMatchEvent>& Events) : FGame(Game), FEvents(Events) {}
  void Emit(const TMatchEvent& Event) {
    FEvents.push_back(Event);
    ApplyEvent(FGame, Event);
  }

private:
  TGame& FGame;
  std::vector<TMatchEvent>& FEvents;
};

// The winner when the last round ends: the most health; then the units nearer the centre;
// then no one (-1). Distances to the centre are doubled to stay whole.
int32_t RoundLimitWinner(const TGame& Game) {
  int32_t best = -1;
  int32_t bestHealth = 0;
  int32_t bestSpread = 0;
  bool tied = false;
  for (const auto& player : Game.Players) {
    if (player->Out)
      continue;
    const int32_t health = SeatHealth(Game, player->Seat);
    int32_t spread = 0;
    for (const auto& unit : Game.Units)
      if (UnitSeat(*unit) == player->Seat)
        spread +=
            std::abs(2 * unit->X - (Columns(Game) - 1)) + std::abs(2 * unit->Y - (Rows(Game) - 1));
    if (best < 0 || health > bestHealth || (health == bestHealth && spread < bestSpread)) {
      best = player->Seat;
      bestHealth = health;
      bestSpread = spread;
      tied = false;
    } else if (health == bestHealth && spread == bestSpread) {
      tied = true;
    }
  }
  return tied ? -1 : best;
}

// The turn passes from the seat to play to the next seat in play; past the highest seat in
// play a round ends, and after the last round the match.
void PassTurn(const TGame& Game, TEventSink& Sink) {
  int32_t next = -1;
  int32_t first = -1;
  for (const auto& player : Game.Players) {
    if (player->Out)
      continue;
    if (first < 0)
      first = player->Seat;
    if (next < 0 && player->Seat > Game.ToPlay)
      next = player->Seat;
  }
  if (next >= 0)
    Sink.Emit(TMatchEvent::Turn(next, Game.Turns));
  else if (Game.Turns >= RoundLimit)
    Sink.Emit(TMatchEvent::Over(RoundLimitWinner(Game)));
  else
    Sink.Emit(TMatchEvent::Turn(first, Game.Turns + 1));
}

// Seat leaves play: the last seat in play wins at once; a seat out during its own turn passes
// the turn on.
void SeatOut(const TGame& Game, int32_t Seat, TEventSink& Sink) {
  Sink.Emit(TMatchEvent::SeatOut(Seat));
  if (SeatsInPlay(Game) <= 1) {
    int32_t winner = -1;
    for (const auto& player : Game.Players)
      if (!player->Out)
        winner = player->Seat;
    Sink.Emit(TMatchEvent::Over(winner));
  } else if (Seat == Game.ToPlay) {
    PassTurn(Game, Sink);
  }
}

} // namespace

const char* ExecuteOrder(TGame& Game, int32_t Seat, const TOrder& Order,
                         std::vector<TMatchEvent>& Events) {
  if (const char* refusal = CheckOrder(Game, Seat, Order))
    return refusal;
  TEventSink sink(Game, Events);
  TPlayer* player = SeatPlayer(Game, Seat);
  switch (Order.Kind) {
  case TOrderKind::Move:
    sink.Emit(TMatchEvent::Moved(Order.Unit, Order.X, Order.Y));
    break;
  case TOrderKind::Attack: {
    const TUnit* unit = FindUnit(Game, Order.Unit);
    const TUnit* target = FindUnit(Game, Order.Target);
    const int32_t targetSeat = UnitSeat(*target);
    const int32_t left = std::max(0, target->Health - unit->Info->Attack);
    sink.Emit(TMatchEvent::Hit(Order.Unit, Order.Target, left));
    if (left == 0 && SeatUnitCount(Game, targetSeat) == 0)
      SeatOut(Game, targetSeat, sink);
    break;
  }
  case TOrderKind::EndTurn:
    player->Timeouts = 0;
    PassTurn(Game, sink);
    break;
  case TOrderKind::TimeOut:
    if (++player->Timeouts >= TimeoutsToOut)
      SeatOut(Game, Seat, sink);
    else
      PassTurn(Game, sink);
    break;
  case TOrderKind::Leave:
    SeatOut(Game, Seat, sink);
    break;
  }
  return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Applying an event
// ---------------------------------------------------------------------------------------------

bool ApplyEvent(TGame& Game, const TMatchEvent& Event) {
  if (Game.Over)
    return false;
  switch (Event.Kind) {
  case TMatchEventKind::Moved: {
    TUnit* unit = FindUnit(Game, Event.Unit);
    if (!unit || !OnField(Game, Event.X, Event.Y) || HasTree(Game, Event.X, Event.Y) ||
        UnitAt(Game, Event.X, Event.Y))
      return false;
    unit->X = Event.X;
    unit->Y = Event.Y;
    unit->Moved = true;
    return true;
  }
  case TMatchEventKind::Hit: {
    TUnit* unit = FindUnit(Game, Event.Unit);
    TUnit* target = FindUnit(Game, Event.Target);
    if (!unit || !target || unit == target || Event.Health < 0 || Event.Health > target->Health)
      return false;
    unit->Attacked = true;
    target->Health = Event.Health;
    if (Event.Health == 0)
      Game.Units.Extract(target);
    return true;
  }
  case TMatchEventKind::Out: {
    if (!InPlay(Game, Event.Seat))
      return false;
    SeatPlayer(Game, Event.Seat)->Out = true;
    RemoveUnits(Game, [&](const TUnit& Unit) { return UnitSeat(Unit) == Event.Seat; });
    return true;
  }
  case TMatchEventKind::Turn:
    if (!InPlay(Game, Event.Seat) || Event.Round < 1)
      return false;
    Game.ToPlay = Event.Seat;
    Game.Turns = Event.Round;
    for (const auto& unit : Game.Units) {
      unit->Moved = false;
      unit->Attacked = false;
    }
    return true;
  case TMatchEventKind::Over:
    if (Event.Seat != -1 && !SeatPlayer(Game, Event.Seat))
      return false;
    Game.Over = true;
    Game.Winner = Event.Seat;
    return true;
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// The checksum
// ---------------------------------------------------------------------------------------------

namespace {

void AppendNumber(std::string& Text, int32_t Value, char After) {
  char digits[16];
  char* end = std::to_chars(digits, digits + sizeof digits, Value).ptr;
  *end++ = After;
  Text.append(digits, end);
}

} // namespace

std::string ChecksumText(const TGame& Game) {
  std::string text;
  text.reserve(32 + 32 * static_cast<std::size_t>(Game.Units.Count()));
  AppendNumber(text, Game.Turns, '|');
  AppendNumber(text, Game.ToPlay, '|');
  for (const auto& unit : Game.Units) {
    AppendNumber(text, unit->Id, ',');
    AppendNumber(text, UnitSeat(*unit), ',');
    text += unit->Info ? UnitKindName(unit->Info->Kind) : "";
    text += ',';
    AppendNumber(text, unit->X, ',');
    AppendNumber(text, unit->Y, ',');
    AppendNumber(text, unit->Health, ';');
  }
  text += "out:";
  for (const auto& player : Game.Players)
    if (player->Out)
      AppendNumber(text, player->Seat, ',');
  return text;
}

uint32_t Fnv1a32(std::string_view Bytes) {
  uint32_t hash = 2166136261u;
  for (unsigned char byte : Bytes) {
    hash ^= byte;
    hash *= 16777619u;
  }
  return hash;
}

uint32_t MatchChecksum(const TGame& Game) {
  return Fnv1a32(ChecksumText(Game));
}
