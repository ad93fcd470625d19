// What the battlefield shows of a match, moment by moment: a copy of the match as of the events
// shown so far, the events still to show, and for every unit where it stands, where it faces and
// what it is doing. The server's events are shown one after another, each as an animation that
// takes real time (a move walks the server's path, an attack swings or fires and the target
// flashes); orders may be given while they play. So that the picture is never more than one
// order behind the server, another seat's move or attack takes at most OTHER_SEAT_SECONDS, and an
// event that arrives while an earlier move or attack still plays finishes that one at once.
//
// Pure logic: time passes only through Advance, which the caller feeds from a real clock (or a
// fake one in tests).
#pragma once

#include "game/rules.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <unordered_map>
#include <vector>

// How long things take, in seconds.
inline constexpr double VIKING_STEP_SECONDS = 0.3;
inline constexpr double TANK_STEP_SECONDS = 0.2;
inline constexpr double ATTACK_SECONDS = 0.8;
inline constexpr double OTHER_SEAT_SECONDS = 0.4;
inline constexpr double VIKING_IDLE_SECONDS = 2.4;
inline constexpr double TANK_SCAN_SECONDS = 5.0;

// What a unit is doing; the view picks the model's animation from it.
enum class TUnitAction : uint8_t { Idle, Walk, Attack };

// How one unit is drawn at this moment.
struct TUnitLook {
  int32_t Id = 0;
  int32_t Seat = -1;
  TUnitKind Kind = TUnitKind::Viking;
  // Field position in tiles from the field's corner (the centre of tile (2, 3) is (2.5, 3.5)).
  float X = 0;
  float Y = 0;
  // Degrees about the vertical axis: 0 faces increasing rows, 90 increasing columns.
  float Facing = 0;
  TUnitAction Action = TUnitAction::Idle;
  // Where in the action's animation the unit is, from 0 to 1 (idle animations cycle).
  float Phase = 0;
  int32_t Health = 0;
  int32_t MaxHealth = 0;
  // 1 just after the unit was hit, falling to 0.
  float Flash = 0;
  // 1 for a standing unit; a destroyed one shrinks to 0 before it disappears.
  float Size = 1;
};

// A deep copy of a match: seats, field and trees, units with their flags, turn and result.
std::unique_ptr<TGame> CopyMatch(const TGame& Game);

class TMatchPicture {
public:
  // OwnSeat's moves and attacks play at their natural length; every other seat's are shortened
  // to OTHER_SEAT_SECONDS (-1: watching, every seat is another's).
  explicit TMatchPicture(int32_t OwnSeat = -1);

  // Shows Game as it stands, everything at rest; the events still to show are dropped. Used at
  // the start of a match and whenever the client's copy was rebuilt from the server.
  void Reset(const TGame& Game);
  // The next event the server sent (already applied to the client's copy of the match).
  void Push(const TMatchEvent& Event);
  // Lets Seconds of real time pass: animations play on, finished events are applied to Shown.
  void Advance(double Seconds);
  // Shows every event at once.
  void FinishAll();

  // The match as of the events shown completely; nullptr before the first Reset.
  const TGame* Shown() const { return FShown.get(); }
  // Every unit on the picture, in increasing id.
  const std::vector<TUnitLook>& Looks() const { return FLooks; }
  // The look of unit Id, or nullptr.
  const TUnitLook* LookOf(int32_t Id) const;
  // Events pushed and not yet shown completely (the one playing included).
  int32_t Waiting() const { return static_cast<int32_t>(FQueue.size()); }
  // Moves and attacks pushed and not yet shown completely; never more than one.
  int32_t OrdersBehind() const;
  // False once an event did not fit the picture (it then shows no more events until Reset).
  bool Consistent() const { return FConsistent; }
  int32_t OwnSeat() const { return FOwnSeat; }

private:
  // The event at the front of the queue while it plays.
  struct TPlaying {
    bool Started = false;
    double Elapsed = 0;
    double Duration = 0;
    // A move: the tiles from the unit's own (first) to the destination (last).
    std::vector<TTilePos> Path;
    // An attack: the moment (a share of Duration) the blow lands, and the target's health then.
    double StrikeAt = 0;
    int32_t HealthBefore = 0;
  };

  // Plans the front event against Shown, or applies it at once when it has no animation.
  void StartFront();
  // Applies the front event to Shown and drops it.
  void FinishFront();
  // Rebuilds Looks from Shown and the event playing.
  void UpdateLooks();
  float FacingOf(const TUnit& Unit) const;
  double IdlePhase(const TUnit& Unit) const;

  int32_t FOwnSeat = -1;
  std::unique_ptr<TGame> FShown;
  std::deque<TMatchEvent> FQueue;
  TPlaying FPlaying;
  // Total time shown, for the idle animations.
  double FClock = 0;
  bool FConsistent = true;
  // Where each unit last turned to face, by id; units not in it face the field's middle.
  std::unordered_map<int32_t, float> FFacing;
  std::vector<TUnitLook> FLooks;
};
