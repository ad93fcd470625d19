// The model of a running game: players (seats), a map (the field), items and units, and the
// static descriptions of item and unit kinds. The rules of a match (game/rules.h) create and
// change these; the server holds the authoritative copy, each client a mirror of it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "game/list.h"
#include "game/map.h"

// An empty base for things that are yet to be given a meaning.
class TSomething {
public:
  virtual ~TSomething() = default;
};

// What every kind of item or unit has in common.
class TElementStaticInfo {
public:
  virtual ~TElementStaticInfo() = default;
  std::string Name;
};

class TItemStaticInfo : public TElementStaticInfo {
public:
  int32_t Value = 0;
};

// The kinds of unit a match knows; their names on the wire are "viking" and "tank".
enum class TUnitKind : uint8_t { Viking, Tank };

class TUnitStaticInfo : public TElementStaticInfo {
public:
  TUnitKind Kind = TUnitKind::Viking;
  int32_t MaxHealth = 0;
  // Steps a unit may take in its one move of a turn.
  int32_t Speed = 0;
  // Health an attack takes from its target.
  int32_t Attack = 0;
  // Farthest target, counted as |dx| + |dy|.
  int32_t Range = 0;
  // Army points a unit of this kind costs.
  int32_t Cost = 0;
};

using TItemStaticInfoList = TOwnedList<TItemStaticInfo>;
using TUnitStaticInfoList = TOwnedList<TUnitStaticInfo>;

class TPlayer;

// Something placed on the map.
class TElement {
public:
  virtual ~TElement() = default;
  int32_t X = 0;
  int32_t Y = 0;
};

class TItem : public TElement {
public:
  // The kind of item; not owned.
  const TItemStaticInfo* Info = nullptr;
};

// X is the column and Y the row, from 0.
class TUnit : public TElement {
public:
  // The kind of unit; not owned.
  const TUnitStaticInfo* Info = nullptr;
  // The player who commands it; not owned.
  TPlayer* Owner = nullptr;
  int32_t Health = 0;
  // Unique in its game, from 1; never reused.
  int32_t Id = 0;
  // Its move and its attack of the current turn are spent.
  bool Moved = false;
  bool Attacked = false;
};

// A seat of a match; a game's Players are its seats in seat order.
class TPlayer {
public:
  virtual ~TPlayer() = default;
  std::string Name;
  // Its place in the game's Players, from 0.
  int32_t Seat = 0;
  // The server plays this seat.
  bool Computer = false;
  // Out of the match: it has no units and gives no orders.
  bool Out = false;
  // Turns in a row that ended by running out of time; only the server counts them.
  int32_t Timeouts = 0;
};

using TPlayerList = TOwnedList<TPlayer>;
using TItemList = TOwnedList<TItem>;
using TUnitList = TOwnedList<TUnit>;

// A running game: it owns its players, map, items and units. Units are kept in increasing Id.
class TGame {
public:
  virtual ~TGame() = default;
  TPlayerList Players;
  std::unique_ptr<TMap> Map;
  // The round being played, from 1.
  int32_t Turns = 0;
  TItemList Items;
  TUnitList Units;
  std::string MapName;
  // The seat whose turn it is.
  int32_t ToPlay = 0;
  // The match has ended; Winner is the winning seat, or -1 for a draw.
  bool Over = false;
  int32_t Winner = -1;
};

// The running games; the list does not own them.
using TGameList = TRefList<TGame>;
