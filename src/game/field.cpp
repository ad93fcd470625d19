// The start of a match: unit kinds, armies, the field's trees, a new match and a mirror built
// from the server's match block.
#include "game/rules.h"

#include <algorithm>

namespace {

// A small generator of our own (a counter run through a 32-bit mixer), so that the same seed
// gives the same numbers with every compiler and library.
class TFieldRandom {
public:
  explicit TFieldRandom(uint32_t Seed) : FState(Seed) {}
  uint32_t Next() {
    FState += 0x9E3779B9u;
    uint32_t z = FState;
    z = (z ^ (z >> 16)) * 0x85EBCA6Bu;
    z = (z ^ (z >> 13)) * 0xC2B2AE35u;
    return z ^ (z >> 16);
  }
  // A number from 0 to Count - 1; Count is at least 1.
  int32_t Below(int32_t Count) {
    return static_cast<int32_t>(Next() % static_cast<uint32_t>(Count));
  }

private:
  uint32_t FState;
};

TUnitStaticInfo MakeInfo(TUnitKind Kind, const char* Name, int32_t Health, int32_t Speed,
                         int32_t Attack, int32_t Range, int32_t Cost) {
  TUnitStaticInfo info;
  info.Name = Name;
  info.Kind = Kind;
  info.MaxHealth = Health;
  info.Speed = Speed;
  info.Attack = Attack;
  info.Range = Range;
  info.Cost = Cost;
  return info;
}

constexpr int32_t TankEvery = 5; // one tank per this many points

bool FieldSideFits(int32_t Side) {
  return Side >= 1 && Side <= MaxFieldSide;
}

// The start tiles of a corner in the order units take them: nearest the corner first, then
// row by row; (DX, DY) counts from the corner towards the field's middle.
std::vector<TTilePos> StartTilesNearestFirst() {
  std::vector<TTilePos> tiles;
  for (int32_t d = 0; d <= 2 * (StartSide - 1); ++d)
    for (int32_t dy = 0; dy < StartSide; ++dy) {
      int32_t dx = d - dy;
      if (dx >= 0 && dx < StartSide)
        tiles.push_back({dx, dy});
    }
  return tiles;
}

// A tile (DX, DY) away from Seat's corner, towards the middle.
TTilePos FromCorner(int32_t Seat, int32_t Columns, int32_t Rows, TTilePos Offset) {
  TTilePos corner = SeatCorner(Seat, Columns, Rows);
  return {corner.X == 0 ? Offset.X : corner.X - Offset.X,
          corner.Y == 0 ? Offset.Y : corner.Y - Offset.Y};
}

} // namespace

const TUnitStaticInfo& UnitInfo(TUnitKind Kind) {
  static const TUnitStaticInfo viking = MakeInfo(TUnitKind::Viking, "viking", 10, 3, 4, 1, 1);
  static const TUnitStaticInfo tank = MakeInfo(TUnitKind::Tank, "tank", 20, 4, 6, 3, 3);
  return Kind == TUnitKind::Tank ? tank : viking;
}

const char* UnitKindName(TUnitKind Kind) {
  return Kind == TUnitKind::Tank ? "tank" : "viking";
}

bool UnitKindFromName(std::string_view Name, TUnitKind& Kind) {
  for (TUnitKind kind : {TUnitKind::Viking, TUnitKind::Tank})
    if (Name == UnitKindName(kind)) {
      Kind = kind;
      return true;
    }
  return false;
}

TArmy ArmyFor(int32_t Points) {
  if (Points < 1)
    Points = DefaultPoints;
  Points = std::min(Points, MaxPoints);
  TArmy army;
  army.Tanks = Points / TankEvery;
  army.Vikings = Points - army.Tanks * UnitInfo(TUnitKind::Tank).Cost;
  army.Vikings = std::min(army.Vikings, MaxArmyUnits - army.Tanks);
  return army;
}

TTilePos SeatCorner(int32_t Seat, int32_t Columns, int32_t Rows) {
  switch (Seat) {
  case 1:
    return {Columns - 1, Rows - 1};
  case 2:
    return {Columns - 1, 0};
  case 3:
    return {0, Rows - 1};
  default:
    return {0, 0};
  }
}

int32_t TreePermille(const std::string& MapName) {
  constexpr int32_t Forest = 200;
  constexpr int32_t Plain = 30;
  if (MapName == "forest")
    return Forest;
  if (MapName == "plain")
    return Plain;
  // Strictly between the two, from the name.
  constexpr int32_t Low = Plain + 10;
  constexpr int32_t High = Forest - 10;
  return Low + static_cast<int32_t>(Fnv1a32(MapName) % static_cast<uint32_t>(High - Low + 1));
}

void PlantTrees(TMap& Map, const std::string& MapName) {
  const int32_t columns = Map.SizeX;
  const int32_t rows = Map.SizeY;
  for (auto& tile : Map.Data)
    if (tile)
      tile->Tree = false;
  if (columns <= 0 || rows <= 0)
    return;
  std::vector<bool> keep(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
  auto Keep = [&](int32_t X, int32_t Y) {
    if (X >= 0 && Y >= 0 && X < columns && Y < rows)
      keep[static_cast<std::size_t>(X + Y * columns)] = true;
  };
  for (int32_t seat = 0; seat < MaxSeats; ++seat)
    for (int32_t dy = 0; dy < StartSide; ++dy)
      for (int32_t dx = 0; dx < StartSide; ++dx) {
        TTilePos at = FromCorner(seat, columns, rows, {dx, dy});
        Keep(at.X, at.Y);
      }

  TFieldRandom random(Fnv1a32(MapName) ^ (static_cast<uint32_t>(columns) * 0x01000193u) ^
                      (static_cast<uint32_t>(rows) << 20));
  // Two winding lanes, two tiles wide, from each corner to the opposite one: a 2 x 2 brush
  // walks one step at a time towards the far corner. The lanes cross, so every two corners
  // are joined.
  if (columns >= 2 && rows >= 2) {
    const TTilePos lanes[2][2] = {{{0, 0}, {columns - 2, rows - 2}},
                                  {{columns - 2, 0}, {0, rows - 2}}};
    for (const auto& lane : lanes) {
      TTilePos at = lane[0];
      const TTilePos to = lane[1];
      for (;;) {
        Keep(at.X, at.Y);
        Keep(at.X + 1, at.Y);
        Keep(at.X, at.Y + 1);
        Keep(at.X + 1, at.Y + 1);
        const bool needX = at.X != to.X;
        const bool needY = at.Y != to.Y;
        if (!needX && !needY)
          break;
        if (needX && (!needY || random.Below(2) == 0))
          at.X += at.X < to.X ? 1 : -1;
        else
          at.Y += at.Y < to.Y ? 1 : -1;
      }
    }
  }

  // The trees: a share of all tiles, drawn from the tiles left free.
  std::vector<int32_t> free;
  for (int32_t i = 0; i < columns * rows; ++i)
    if (!keep[static_cast<std::size_t>(i)])
      free.push_back(i);
  const int64_t wanted = (int64_t{columns} * rows * TreePermille(MapName) + 500) / 1000;
  const int32_t count = static_cast<int32_t>(std::min<int64_t>(wanted, int64_t(free.size())));
  for (int32_t i = 0; i < count; ++i) {
    int32_t pick = i + random.Below(static_cast<int32_t>(free.size()) - i);
    std::swap(free[static_cast<std::size_t>(i)], free[static_cast<std::size_t>(pick)]);
    if (TTile* tile = Map.Data[static_cast<std::size_t>(free[static_cast<std::size_t>(i)])].get())
      tile->Tree = true;
  }
}

std::unique_ptr<TGame> CreateMatch(const std::string& MapName, int32_t Points,
                                   const std::vector<TSeatSpec>& Seats) {
  if (Seats.empty() || Seats.size() > static_cast<std::size_t>(MaxSeats))
    return nullptr;
  std::vector<TSeatSpec> seats = Seats;
  if (seats.size() == 1)
    seats.push_back({ComputerSeatName, true});
  const int32_t side = seats.size() == 2 ? SmallFieldSide : LargeFieldSide;
  auto game = StartMirror(MapName, side, side, static_cast<int32_t>(seats.size()));
  PlantTrees(*game->Map, MapName);

  const TArmy army = ArmyFor(Points);
  static const std::vector<TTilePos> order = StartTilesNearestFirst();
  int32_t id = 0;
  for (int32_t seat = 0; seat < static_cast<int32_t>(seats.size()); ++seat) {
    TPlayer* player = game->Players.Get(seat);
    player->Name = seats[static_cast<std::size_t>(seat)].Name;
    player->Computer = seats[static_cast<std::size_t>(seat)].Computer;
    for (int32_t i = 0; i < army.Tanks + army.Vikings; ++i) {
      const TTilePos at = FromCorner(seat, side, side, order[static_cast<std::size_t>(i)]);
      const TUnitKind kind = i < army.Tanks ? TUnitKind::Tank : TUnitKind::Viking;
      MirrorUnit(*game, ++id, seat, kind, at.X, at.Y, UnitInfo(kind).MaxHealth, false, false);
    }
  }
  return game;
}

std::unique_ptr<TGame> StartMirror(const std::string& MapName, int32_t Columns, int32_t Rows,
                                   int32_t SeatCount) {
  if (!FieldSideFits(Columns) || !FieldSideFits(Rows) || SeatCount < 1 || SeatCount > MaxSeats)
    return nullptr;
  auto game = std::make_unique<TGame>();
  game->MapName = MapName;
  game->Map = std::make_unique<TFieldMap>(Columns, Rows);
  for (int32_t seat = 0; seat < SeatCount; ++seat) {
    auto player = std::make_unique<TPlayer>();
    player->Seat = seat;
    game->Players.Add(std::move(player));
  }
  game->Turns = 1;
  game->ToPlay = 0;
  return game;
}

bool MirrorSeat(TGame& Game, int32_t Seat, const std::string& Name) {
  TPlayer* player = SeatPlayer(Game, Seat);
  if (!player)
    return false;
  player->Name = Name;
  return true;
}

bool MirrorTree(TGame& Game, int32_t X, int32_t Y) {
  TTile* tile = Game.Map ? Game.Map->GetTile(X, Y) : nullptr;
  if (!tile || UnitAt(Game, X, Y))
    return false;
  tile->Tree = true;
  return true;
}

bool MirrorUnit(TGame& Game, int32_t Id, int32_t Seat, TUnitKind Kind, int32_t X, int32_t Y,
                int32_t Health, bool Moved, bool Attacked) {
  const TUnitStaticInfo& info = UnitInfo(Kind);
  TTile* tile = Game.Map ? Game.Map->GetTile(X, Y) : nullptr;
  TUnit* last = Game.Units.Get(Game.Units.Count() - 1);
  if (Id < 1 || (last && Id <= last->Id) || !InPlay(Game, Seat) || !tile || tile->Tree ||
      UnitAt(Game, X, Y) || Health < 1 || Health > info.MaxHealth)
    return false;
  auto unit = std::make_unique<TUnit>();
  unit->Id = Id;
  unit->Info = &info;
  unit->Owner = SeatPlayer(Game, Seat);
  unit->X = X;
  unit->Y = Y;
  unit->Health = Health;
  unit->Moved = Moved;
  unit->Attacked = Attacked;
  Game.Units.Add(std::move(unit));
  return true;
}

bool MirrorTurn(TGame& Game, int32_t Seat, int32_t Round) {
  if (!InPlay(Game, Seat) || Round < 1)
    return false;
  Game.ToPlay = Seat;
  Game.Turns = Round;
  return true;
}
