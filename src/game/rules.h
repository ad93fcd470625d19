// The rules of a match, as one piece of pure logic that the server runs with authority and every
// client runs as a mirror: the field and the armies, legal moves and attacks, turns, rounds and
// the end, the computer seat and the state checksum. No network, no graphics, no clock, no
// randomness: the same state and order always give the same answer, on every machine.
//
// Orders go through one path. CheckOrder says whether an order is allowed and why not;
// ExecuteOrder runs the same check and, when it passes, appends the events the order causes and
// applies each of them with ApplyEvent, the very function a mirror uses for the events the
// server sends. The events come in the order the wire carries them: an out before the turn or
// over it causes.
//
// Integers from outside (unit ids, tiles, seats, points) may be anything: every function
// answers a refusal or false for what does not fit and never reads outside the state.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "game/game_model.h"

// ---------------------------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------------------------

inline constexpr int32_t MaxSeats = 4;
// The name of the seat the server plays when a game starts with its creator alone.
inline constexpr const char* ComputerSeatName = "Server computer";
// Field sides: two seats play on 16 x 16, three or four on 20 x 20. A mirror accepts any side
// from 1 to MaxFieldSide.
inline constexpr int32_t SmallFieldSide = 16;
inline constexpr int32_t LargeFieldSide = 20;
inline constexpr int32_t MaxFieldSide = 32;
// Each army stands in the StartSide x StartSide tiles of its corner.
inline constexpr int32_t StartSide = 5;
// Army points: below 1 count as DefaultPoints, above MaxPoints as MaxPoints.
inline constexpr int32_t DefaultPoints = 10;
inline constexpr int32_t MaxPoints = 72;
inline constexpr int32_t MaxArmyUnits = 24;
// The match ends when this round ends.
inline constexpr int32_t RoundLimit = 50;
// A seat whose turn runs out of time this many times in a row is out.
inline constexpr int32_t TimeoutsToOut = 3;
// A turn lasts TurnBaseSeconds plus TurnSecondsPerUnit for each unit the seat has as it starts.
inline constexpr int32_t TurnBaseSeconds = 30;
inline constexpr int32_t TurnSecondsPerUnit = 3;

// ---------------------------------------------------------------------------------------------
// Unit kinds and armies
// ---------------------------------------------------------------------------------------------

// The static description of a kind: viking (health 10, moves 3, attack 4, range 1, cost 1) or
// tank (health 20, moves 4, attack 6, range 3, cost 3). Lives for the whole run.
const TUnitStaticInfo& UnitInfo(TUnitKind Kind);
// "viking" or "tank".
const char* UnitKindName(TUnitKind Kind);
// The kind named Name exactly; false for any other text.
bool UnitKindFromName(std::string_view Name, TUnitKind& Kind);

struct TArmy {
  int32_t Tanks = 0;
  int32_t Vikings = 0;
};
// The army Points buy: Points / 5 tanks, vikings for the rest of the points, at most
// MaxArmyUnits units (vikings dropped first). Points are first brought into 1..MaxPoints.
TArmy ArmyFor(int32_t Points);

// ---------------------------------------------------------------------------------------------
// The field
// ---------------------------------------------------------------------------------------------

struct TTilePos {
  int32_t X = 0;
  int32_t Y = 0;
  bool operator==(const TTilePos&) const = default;
};

// The corner tile seat Seat starts from: seat 0 (0,0), seat 1 (columns-1, rows-1), seat 2
// (columns-1, 0), seat 3 (0, rows-1).
TTilePos SeatCorner(int32_t Seat, int32_t Columns, int32_t Rows);
// Tenths of a percent of the tiles that carry trees on a map of this name: 200 for "forest", 30
// for "plain", something in between for any other name.
int32_t TreePermille(const std::string& MapName);
// Clears every tree of Map and plants the trees of MapName on it. The same name and size
// always give the same trees; no tree stands in a corner's start tiles, and every two corners
// are joined by a tree-free path two tiles wide.
void PlantTrees(TMap& Map, const std::string& MapName);

// ---------------------------------------------------------------------------------------------
// Creating a match and mirroring one
// ---------------------------------------------------------------------------------------------

struct TSeatSpec {
  std::string Name;
  bool Computer = false;
};

// A new match: the field for the seat count with MapName's trees, each seat's army in its
// corner (unit ids from 1: seat 0's units first, tanks before vikings), round 1, seat 0 to
// play. One seat alone gets a computer seat named ComputerSeatName as seat 1. nullptr when
// Seats is empty or holds more than MaxSeats.
std::unique_ptr<TGame> CreateMatch(const std::string& MapName, int32_t Points,
                                   const std::vector<TSeatSpec>& Seats);

// A mirror is built from the lines of the server's match block, in their order:
// StartMirror for the start line, MirrorSeat per seat, MirrorTree per tree, MirrorUnit per
// unit, ApplyEvent(TMatchEvent::SeatOut(seat)) per seat already out, and MirrorTurn for the
// block's turn line (it keeps the units' moved and attacked flags, where a turn event during
// play clears them). Each answers nullptr or false, changing nothing, for a line that does
// not fit; a client then asks for the whole state again.

// An empty field of Columns x Rows (each 1..MaxFieldSide) with SeatCount (1..MaxSeats)
// unnamed seats in play, round 1, seat 0 to play.
std::unique_ptr<TGame> StartMirror(const std::string& MapName, int32_t Columns, int32_t Rows,
                                   int32_t SeatCount);
bool MirrorSeat(TGame& Game, int32_t Seat, const std::string& Name);
// A tree on an empty tile of the field.
bool MirrorTree(TGame& Game, int32_t X, int32_t Y);
// A unit with an id above every id so far (units come in increasing id), for a seat in play, on an
// empty tree-free tile, with health from 1 to its kind's MaxHealth.
bool MirrorUnit(TGame& Game, int32_t Id, int32_t Seat, TUnitKind Kind, int32_t X, int32_t Y,
                int32_t Health, bool Moved, bool Attacked);
// Sets the seat to play (a seat in play) and the round (from 1), nothing else.
bool MirrorTurn(TGame& Game, int32_t Seat, int32_t Round);

// ---------------------------------------------------------------------------------------------
// Orders and events
// ---------------------------------------------------------------------------------------------

enum class TOrderKind : uint8_t {
  Move,    // Unit to (X, Y)
  Attack,  // Target with Unit
  EndTurn, // the seat ends its turn
  TimeOut, // the seat to play ran out of time
  Leave,   // the seat resigns, leaves or was disconnected; allowed out of turn
};

struct TOrder {
  TOrderKind Kind = TOrderKind::EndTurn;
  int32_t Unit = 0;
  int32_t X = 0;
  int32_t Y = 0;
  int32_t Target = 0;

  static TOrder MoveTo(int32_t Unit, int32_t X, int32_t Y) {
    return {TOrderKind::Move, Unit, X, Y, 0};
  }
  static TOrder AttackWith(int32_t Unit, int32_t Target) {
    return {TOrderKind::Attack, Unit, 0, 0, Target};
  }
  static TOrder EndTurn() { return {TOrderKind::EndTurn}; }
  static TOrder TimeOut() { return {TOrderKind::TimeOut}; }
  static TOrder Leave() { return {TOrderKind::Leave}; }
  bool operator==(const TOrder&) const = default;
};

enum class TMatchEventKind : uint8_t {
  Moved, // Unit now stands at (X, Y); its move is spent
  Hit,   // Unit attacked Target, which has Health left (0: destroyed and removed)
  Out,   // Seat is out; its units are removed
  Turn,  // Seat plays, in round Round; every unit's Moved and Attacked are cleared
  Over,  // the match has ended; Seat won, or -1 for a draw
};

struct TMatchEvent {
  TMatchEventKind Kind = TMatchEventKind::Over;
  int32_t Unit = 0;
  int32_t Target = 0;
  int32_t X = 0;
  int32_t Y = 0;
  int32_t Health = 0;
  int32_t Seat = -1;
  int32_t Round = 0;

  static TMatchEvent Moved(int32_t Unit, int32_t X, int32_t Y) {
    return {TMatchEventKind::Moved, Unit, 0, X, Y, 0, -1, 0};
  }
  static TMatchEvent Hit(int32_t Attacker, int32_t Target, int32_t HealthLeft) {
    return {TMatchEventKind::Hit, Attacker, Target, 0, 0, HealthLeft, -1, 0};
  }
  static TMatchEvent SeatOut(int32_t Seat) {
    return {TMatchEventKind::Out, 0, 0, 0, 0, 0, Seat, 0};
  }
  static TMatchEvent Turn(int32_t Seat, int32_t Round) {
    return {TMatchEventKind::Turn, 0, 0, 0, 0, 0, Seat, Round};
  }
  static TMatchEvent Over(int32_t Winner) {
    return {TMatchEventKind::Over, 0, 0, 0, 0, 0, Winner, 0};
  }
  bool operator==(const TMatchEvent&) const = default;
};

// Why Seat may not give Order now, as a sentence a person can read ("It is not your turn."),
// or nullptr when the order is allowed. The text lives for the whole run.
const char* CheckOrder(const TGame& Game, int32_t Seat, const TOrder& Order);
// Runs Order for Seat: when CheckOrder allows it, appends the events it causes to Events
// (which it does not clear), applies each with ApplyEvent and answers nullptr; otherwise
// answers CheckOrder's refusal and changes nothing. Also keeps the seats' timeout counts.
const char* ExecuteOrder(TGame& Game, int32_t Seat, const TOrder& Order,
                         std::vector<TMatchEvent>& Events);
// Applies one event to Game, the server's own or one a mirror received. Answers false, and
// changes nothing, for an event that does not fit the state (an unknown unit, a tile off the
// field or taken, a seat that does not exist, ...).
bool ApplyEvent(TGame& Game, const TMatchEvent& Event);

// ---------------------------------------------------------------------------------------------
// Queries
// ---------------------------------------------------------------------------------------------

// The unit with this id, or nullptr.
TUnit* FindUnit(const TGame& Game, int32_t Id);
// The unit standing on (X, Y), or nullptr.
TUnit* UnitAt(const TGame& Game, int32_t X, int32_t Y);
// The seat's player, or nullptr for a number that is no seat.
TPlayer* SeatPlayer(const TGame& Game, int32_t Seat);
// A unit's seat (-1 without an owner).
int32_t UnitSeat(const TUnit& Unit);
// A seat still in the match: it exists and is not out.
bool InPlay(const TGame& Game, int32_t Seat);
int32_t SeatsInPlay(const TGame& Game);
int32_t SeatUnitCount(const TGame& Game, int32_t Seat);
int32_t SeatHealth(const TGame& Game, int32_t Seat);
// A tile on the field with a tree on it.
bool HasTree(const TGame& Game, int32_t X, int32_t Y);
// The length of Seat's coming turn: TurnBaseSeconds + TurnSecondsPerUnit per unit it has now.
int32_t TurnSeconds(const TGame& Game, int32_t Seat);

// Where a unit can move in one move, whether or not its move of this turn is spent: the
// steps to each tile within its Speed over tiles without trees or enemy units (its own seat's
// units may be passed), and one shortest path to each. Paths are the same on every machine,
// so a mirror that asks before applying a Moved event walks the server's path.
class TReach {
public:
  // The move may end on (X, Y): reached, empty, and not the unit's own tile.
  bool CanMoveTo(int32_t X, int32_t Y) const;
  // Steps to (X, Y), or -1 where the unit cannot get (passing tiles included).
  int32_t StepsTo(int32_t X, int32_t Y) const;
  // The tiles stepped on from the unit's tile (excluded) to (X, Y) (included); empty unless
  // CanMoveTo(X, Y).
  std::vector<TTilePos> PathTo(int32_t X, int32_t Y) const;
  // Every tile the move may end on, row by row.
  std::vector<TTilePos> Destinations() const;

private:
  friend TReach ReachOf(const TGame& Game, const TUnit& Unit);
  static constexpr int32_t MaxTiles = MaxFieldSide * MaxFieldSide;
  int32_t FColumns = 0;
  int32_t FRows = 0;
  // Per tile, X + Y * columns: steps from the unit (-1 unreached), the tile one step back on
  // the path, and whether a move may end there.
  std::array<int8_t, MaxTiles> FSteps{};
  std::array<int16_t, MaxTiles> FBack{};
  std::array<bool, MaxTiles> FStop{};
};
TReach ReachOf(const TGame& Game, const TUnit& Unit);

// |dx| + |dy| between two units.
int32_t Distance(const TUnit& A, const TUnit& B);
// Target is an enemy of Unit within Unit's range (whether or not its attack is spent).
bool InRange(const TUnit& Unit, const TUnit& Target);
// The enemies Unit could attack from where it stands, in increasing id.
std::vector<TUnit*> TargetsOf(const TGame& Game, const TUnit& Unit);

// ---------------------------------------------------------------------------------------------
// The checksum and the computer seat
// ---------------------------------------------------------------------------------------------

// The text the checksum covers: round, "|", seat to play, "|", then for each unit in
// increasing id "id,seat,kind,x,y,health;", then "out:" and each out seat in increasing
// seat followed by ",". Example: "3|1|1,0,tank,2,0,14;5,1,viking,9,8,10;out:2,".
std::string ChecksumText(const TGame& Game);
// FNV-1a, 32 bits (offset basis 2166136261, prime 16777619), over Bytes.
uint32_t Fnv1a32(std::string_view Bytes);
// Fnv1a32(ChecksumText(Game)); sent as an unsigned decimal.
uint32_t MatchChecksum(const TGame& Game);

// The computer's next order for Seat when it is Seat's turn: an attack if any of its units
// can make one (on the weakest enemy in range), else a move that brings a unit closer to
// the nearest enemy (into range when it can), else EndTurn. Asked again after each order,
// it ends the turn after at most two orders per unit; it never gives an order CheckOrder
// refuses while it is Seat's turn.
TOrder ComputerOrder(const TGame& Game, int32_t Seat);
