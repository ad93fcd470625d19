// The computer seat: one order at a time, chosen from the state alone.
#include "game/rules.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {

// Walking steps from every tile to the nearest enemy of Seat, around trees and through units;
// -1 where no enemy can be reached. Sized for the whole field, tile X + Y * columns.
class TEnemyDistance {
public:
  TEnemyDistance(const TGame& Game, int32_t Seat) : FColumns(Game.Map->SizeX) {
    const int32_t rows = Game.Map->SizeY;
    const std::size_t tiles = static_cast<std::size_t>(FColumns * rows);
    std::fill_n(FSteps.begin(), tiles, -1);
    std::array<int16_t, MaxTiles> queue;
    std::size_t head = 0, tail = 0;
    for (const auto& unit : Game.Units)
      if (UnitSeat(*unit) != Seat && unit->X >= 0 && unit->Y >= 0 && unit->X < FColumns &&
          unit->Y < rows) {
        const std::size_t at = static_cast<std::size_t>(unit->X + unit->Y * FColumns);
        if (FSteps[at] < 0) {
          FSteps[at] = 0;
          queue[tail++] = static_cast<int16_t>(at);
        }
      }
    constexpr int32_t StepX[4] = {1, 0, -1, 0};
    constexpr int32_t StepY[4] = {0, 1, 0, -1};
    while (head < tail) {
      const int32_t at = queue[head++];
      for (int32_t d = 0; d < 4; ++d) {
        const int32_t x = at % FColumns + StepX[d];
        const int32_t y = at / FColumns + StepY[d];
        if (x < 0 || y < 0 || x >= FColumns || y >= rows || HasTree(Game, x, y))
          continue;
        const std::size_t next = static_cast<std::size_t>(x + y * FColumns);
        if (FSteps[next] >= 0)
          continue;
        FSteps[next] = FSteps[static_cast<std::size_t>(at)] + 1;
        queue[tail++] = static_cast<int16_t>(next);
      }
    }
  }
  int32_t At(int32_t X, int32_t Y) const {
    return FSteps[static_cast<std::size_t>(X + Y * FColumns)];
  }

private:
  static constexpr int32_t MaxTiles = MaxFieldSide * MaxFieldSide;
  int32_t FColumns;
  std::array<int32_t, MaxTiles> FSteps;
};

// The weakest enemy of Seat within Range of (X, Y), lowest id first among equals; nullptr if
// none.
const TUnit* WeakestWithin(const TGame& Game, int32_t Seat, int32_t X, int32_t Y, int32_t Range) {
  const TUnit* weakest = nullptr;
  for (const auto& enemy : Game.Units) {
    const int32_t distance = std::abs(enemy->X - X) + std::abs(enemy->Y - Y);
    if (UnitSeat(*enemy) != Seat && distance >= 1 && distance <= Range &&
        (!weakest || enemy->Health < weakest->Health))
      weakest = enemy.get();
  }
  return weakest;
}

// An attack on the weakest enemy any unit of Seat can still hit, by the first such unit.
bool ChooseAttack(const TGame& Game, int32_t Seat, TOrder& Order) {
  const TUnit* attacker = nullptr;
  const TUnit* victim = nullptr;
  for (const auto& unit : Game.Units) {
    if (UnitSeat(*unit) != Seat || unit->Attacked)
      continue;
    const TUnit* target = WeakestWithin(Game, Seat, unit->X, unit->Y, unit->Info->Range);
    if (target && (!victim || target->Health < victim->Health ||
                   (target->Health == victim->Health && target->Id < victim->Id))) {
      attacker = unit.get();
      victim = target;
    }
  }
  if (!victim)
    return false;
  Order = TOrder::AttackWith(attacker->Id, victim->Id);
  return true;
}

// A move for Unit: into range of the weakest enemy it can reach while its attack is unspent,
// else onto the reachable tile nearest an enemy if that is nearer than where it stands.
// Fewer steps, then the first tile row by row, decide between equals.
bool ChooseMove(const TGame& Game, const TUnit& Unit, const TEnemyDistance& Near, TOrder& Order) {
  const TReach reach = ReachOf(Game, Unit);
  const int32_t seat = UnitSeat(Unit);
  bool found = false;
  int32_t bestHealth = 0, bestSteps = 0;
  if (!Unit.Attacked)
    for (const TTilePos& tile : reach.Destinations()) {
      const TUnit* target = WeakestWithin(Game, seat, tile.X, tile.Y, Unit.Info->Range);
      const int32_t steps = reach.StepsTo(tile.X, tile.Y);
      if (target && (!found || target->Health < bestHealth ||
                     (target->Health == bestHealth && steps < bestSteps))) {
        found = true;
        bestHealth = target->Health;
        bestSteps = steps;
        Order = TOrder::MoveTo(Unit.Id, tile.X, tile.Y);
      }
    }
  if (found)
    return true;

  int32_t bestNear = Near.At(Unit.X, Unit.Y);
  if (bestNear < 0)
    return false;
  for (const TTilePos& tile : reach.Destinations()) {
    const int32_t near = Near.At(tile.X, tile.Y);
    const int32_t steps = reach.StepsTo(tile.X, tile.Y);
    if (near >= 0 && (near < bestNear || (found && near == bestNear && steps < bestSteps))) {
      found = true;
      bestNear = near;
      bestSteps = steps;
      Order = TOrder::MoveTo(Unit.Id, tile.X, tile.Y);
    }
  }
  return found;
}

} // namespace

TOrder ComputerOrder(const TGame& Game, int32_t Seat) {
  TOrder order = TOrder::EndTurn();
  if (Game.Over || Game.ToPlay != Seat || !InPlay(Game, Seat) || !Game.Map ||
      Game.Map->SizeX > MaxFieldSide || Game.Map->SizeY > MaxFieldSide)
    return order;
  if (ChooseAttack(Game, Seat, order))
    return order;
  const TEnemyDistance near(Game, Seat);
  for (const auto& unit : Game.Units)
    if (UnitSeat(*unit) == Seat && !unit->Moved && ChooseMove(Game, *unit, near, order))
      return order;
  return TOrder::EndTurn();
}
