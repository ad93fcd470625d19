#include "app/match_picture.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr float DEGREES_PER_RADIAN = 180.0f / std::numbers::pi_v<float>;
// The share of each step of a path in which a walking unit turns to its new heading.
constexpr float TURN_SHARE = 0.3f;
// The moment of an attack's animation at which the blow lands: the viking's strike, the
// tank's recoil.
constexpr double VIKING_STRIKE_AT = 0.52;
constexpr double TANK_STRIKE_AT = 0.1;
// Idle animations of neighbours start this far apart (a share of a cycle per unit id), so that
// an army does not breathe in step.
constexpr double IDLE_OFFSET_PER_ID = 0.618;

bool IsOrderEvent(const TMatchEvent& Event) {
  return Event.Kind == TMatchEventKind::Moved || Event.Kind == TMatchEventKind::Hit;
}

// The heading, in degrees, of a step by (DX, DY) tiles.
float Heading(float DX, float DY) {
  return std::atan2(DX, DY) * DEGREES_PER_RADIAN;
}

// From heading A towards heading B by T (0..1), the short way round.
float TurnTowards(float A, float B, float T) {
  float d = std::fmod(B - A, 360.0f);
  if (d > 180) {
    d -= 360;
  } else if (d < -180) {
    d += 360;
  }
  return A + d * T;
}

float Fraction(double Value) {
  return static_cast<float>(Value - std::floor(Value));
}

} // namespace

std::unique_ptr<TGame> CopyMatch(const TGame& Game) {
  auto copy = std::make_unique<TGame>();
  copy->MapName = Game.MapName;
  copy->Turns = Game.Turns;
  copy->ToPlay = Game.ToPlay;
  copy->Over = Game.Over;
  copy->Winner = Game.Winner;
  for (const auto& player : Game.Players) {
    auto seat = std::make_unique<TPlayer>();
    seat->Name = player->Name;
    seat->Seat = player->Seat;
    seat->Computer = player->Computer;
    seat->Out = player->Out;
    seat->Timeouts = player->Timeouts;
    copy->Players.Add(std::move(seat));
  }
  if (Game.Map) {
    copy->Map = std::make_unique<TFieldMap>(Game.Map->SizeX, Game.Map->SizeY);
    for (int32_t y = 0; y < Game.Map->SizeY; ++y) {
      for (int32_t x = 0; x < Game.Map->SizeX; ++x) {
        const TTile* from = Game.Map->GetTile(x, y);
        TTile* to = copy->Map->GetTile(x, y);
        if (from && to) {
          to->TileGraphic = from->TileGraphic;
          to->Tree = from->Tree;
        }
      }
    }
  }
  for (const auto& item : Game.Items) {
    auto thing = std::make_unique<TItem>();
    thing->X = item->X;
    thing->Y = item->Y;
    thing->Info = item->Info;
    copy->Items.Add(std::move(thing));
  }
  for (const auto& unit : Game.Units) {
    auto twin = std::make_unique<TUnit>();
    twin->X = unit->X;
    twin->Y = unit->Y;
    twin->Info = unit->Info;
    twin->Owner = copy->Players.Get(UnitSeat(*unit));
    twin->Health = unit->Health;
    twin->Id = unit->Id;
    twin->Moved = unit->Moved;
    twin->Attacked = unit->Attacked;
    copy->Units.Add(std::move(twin));
  }
  return copy;
}

TMatchPicture::TMatchPicture(int32_t OwnSeat) : FOwnSeat(OwnSeat) {}

void TMatchPicture::Reset(const TGame& Game) {
  FShown = CopyMatch(Game);
  FQueue.clear();
  FPlaying = {};
  FConsistent = true;
  UpdateLooks();
}

void TMatchPicture::Push(const TMatchEvent& Event) {
  if (!FShown || !FConsistent) {
    return;
  }
  if (IsOrderEvent(Event) && OrdersBehind() > 0) {
    FinishAll();
  }
  FQueue.push_back(Event);
  Advance(0);
}

void TMatchPicture::Advance(double Seconds) {
  if (!FShown) {
    return;
  }
  FClock += Seconds;
  double left = Seconds;
  while (!FQueue.empty()) {
    if (!FPlaying.Started) {
      StartFront();
    }
    const double remaining = FPlaying.Duration - FPlaying.Elapsed;
    if (remaining > left) {
      FPlaying.Elapsed += left;
      break;
    }
    left -= remaining;
    FinishFront();
  }
  UpdateLooks();
}

void TMatchPicture::FinishAll() {
  while (!FQueue.empty()) {
    if (!FPlaying.Started) {
      StartFront();
    }
    FinishFront();
  }
  UpdateLooks();
}

const TUnitLook* TMatchPicture::LookOf(int32_t Id) const {
  auto at = std::lower_bound(FLooks.begin(), FLooks.end(), Id,
                             [](const TUnitLook& Look, int32_t Value) { return Look.Id < Value; });
  return at != FLooks.end() && at->Id == Id ? &*at : nullptr;
}

int32_t TMatchPicture::OrdersBehind() const {
  return static_cast<int32_t>(std::count_if(FQueue.begin(), FQueue.end(), IsOrderEvent));
}

void TMatchPicture::StartFront() {
  const TMatchEvent& event = FQueue.front();
  FPlaying = {};
  FPlaying.Started = true;
  const TUnit* unit = FindUnit(*FShown, event.Unit);
  if (!unit || !unit->Info) {
    return; // an event without an animation, or one that will not fit: applied at once
  }
  const bool own = UnitSeat(*unit) == FOwnSeat;
  if (event.Kind == TMatchEventKind::Moved) {
    // The server's path is the one the rules find in the state before the move.
    FPlaying.Path = ReachOf(*FShown, *unit).PathTo(event.X, event.Y);
    if (FPlaying.Path.empty()) {
      FPlaying.Path.push_back({event.X, event.Y});
    }
    FPlaying.Path.insert(FPlaying.Path.begin(), {unit->X, unit->Y});
    const double perStep =
        unit->Info->Kind == TUnitKind::Tank ? TANK_STEP_SECONDS : VIKING_STEP_SECONDS;
    FPlaying.Duration = perStep * static_cast<double>(FPlaying.Path.size() - 1);
  } else if (event.Kind == TMatchEventKind::Hit) {
    const TUnit* target = FindUnit(*FShown, event.Target);
    if (!target) {
      return;
    }
    FFacing[unit->Id] =
        Heading(static_cast<float>(target->X - unit->X), static_cast<float>(target->Y - unit->Y));
    FPlaying.Duration = ATTACK_SECONDS;
    FPlaying.StrikeAt = unit->Info->Kind == TUnitKind::Tank ? TANK_STRIKE_AT : VIKING_STRIKE_AT;
    FPlaying.HealthBefore = target->Health;
  }
  if (!own) {
    FPlaying.Duration = std::min(FPlaying.Duration, OTHER_SEAT_SECONDS);
  }
}

void TMatchPicture::FinishFront() {
  const TMatchEvent event = FQueue.front();
  FQueue.pop_front();
  const auto& path = FPlaying.Path;
  if (event.Kind == TMatchEventKind::Moved && path.size() >= 2) {
    const TTilePos& from = path[path.size() - 2];
    const TTilePos& to = path.back();
    FFacing[event.Unit] =
        Heading(static_cast<float>(to.X - from.X), static_cast<float>(to.Y - from.Y));
  }
  FPlaying = {};
  if (!ApplyEvent(*FShown, event)) {
    FConsistent = false;
    FQueue.clear();
  }
}

float TMatchPicture::FacingOf(const TUnit& Unit) const {
  auto at = FFacing.find(Unit.Id);
  if (at != FFacing.end()) {
    return at->second;
  }
  const float midX = static_cast<float>(FShown->Map ? FShown->Map->SizeX : 0) / 2;
  const float midY = static_cast<float>(FShown->Map ? FShown->Map->SizeY : 0) / 2;
  return Heading(midX - (static_cast<float>(Unit.X) + 0.5f),
                 midY - (static_cast<float>(Unit.Y) + 0.5f));
}

double TMatchPicture::IdlePhase(const TUnit& Unit) const {
  const double cycle =
      Unit.Info && Unit.Info->Kind == TUnitKind::Tank ? TANK_SCAN_SECONDS : VIKING_IDLE_SECONDS;
  return FClock / cycle + IDLE_OFFSET_PER_ID * Unit.Id;
}

void TMatchPicture::UpdateLooks() {
  FLooks.clear();
  if (!FShown) {
    return;
  }
  const TMatchEvent* playing = FQueue.empty() || !FPlaying.Started ? nullptr : &FQueue.front();
  const double progress =
      playing && FPlaying.Duration > 0 ? std::min(1.0, FPlaying.Elapsed / FPlaying.Duration) : 0;
  for (const auto& unit : FShown->Units) {
    TUnitLook look;
    look.Id = unit->Id;
    look.Seat = UnitSeat(*unit);
    look.Kind = unit->Info ? unit->Info->Kind : TUnitKind::Viking;
    look.X = static_cast<float>(unit->X) + 0.5f;
    look.Y = static_cast<float>(unit->Y) + 0.5f;
    look.Facing = FacingOf(*unit);
    look.Phase = Fraction(IdlePhase(*unit));
    look.Health = unit->Health;
    look.MaxHealth = unit->Info ? unit->Info->MaxHealth : unit->Health;
    if (playing && playing->Kind == TMatchEventKind::Moved && playing->Unit == unit->Id &&
        FPlaying.Path.size() >= 2) {
      // Along the path at an even pace, turning at the start of each step.
      const auto& path = FPlaying.Path;
      const double steps = static_cast<double>(path.size() - 1);
      const double along = progress * steps;
      const std::size_t step = std::min(static_cast<std::size_t>(along), path.size() - 2);
      const float t = static_cast<float>(along - static_cast<double>(step));
      const TTilePos& a = path[step];
      const TTilePos& b = path[step + 1];
      look.X = static_cast<float>(a.X) + 0.5f + static_cast<float>(b.X - a.X) * t;
      look.Y = static_cast<float>(a.Y) + 0.5f + static_cast<float>(b.Y - a.Y) * t;
      const float heading = Heading(static_cast<float>(b.X - a.X), static_cast<float>(b.Y - a.Y));
      float before = look.Facing;
      if (step > 0) {
        const TTilePos& p = path[step - 1];
        before = Heading(static_cast<float>(a.X - p.X), static_cast<float>(a.Y - p.Y));
      }
      look.Facing = TurnTowards(before, heading, std::min(1.0f, t / TURN_SHARE));
      look.Action = TUnitAction::Walk;
      look.Phase = Fraction(along);
    } else if (playing && playing->Kind == TMatchEventKind::Hit) {
      if (playing->Unit == unit->Id) {
        look.Action = TUnitAction::Attack;
        look.Phase = static_cast<float>(progress);
      } else if (playing->Target == unit->Id && progress >= FPlaying.StrikeAt) {
        const float after =
            static_cast<float>((progress - FPlaying.StrikeAt) / (1 - FPlaying.StrikeAt));
        look.Health = playing->Health;
        look.Flash = 1 - after;
        if (playing->Health == 0) {
          look.Size = 1 - after;
        }
      }
    }
    FLooks.push_back(look);
  }
}
