// The model of a running game as the server declares it: players, a map, items and units, and
// the static descriptions of item and unit kinds. The lobby never starts a game, so nothing
// creates these yet; they are the shapes a game will fill.
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

class TUnitStaticInfo : public TElementStaticInfo {
public:
  int32_t MaxHealth = 0;
  int32_t Speed = 0;
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

class TUnit : public TElement {
public:
  // The kind of unit; not owned.
  const TUnitStaticInfo* Info = nullptr;
  // The player who commands it; not owned.
  TPlayer* Owner = nullptr;
  int32_t Health = 0;
};

class TPlayer {
public:
  virtual ~TPlayer() = default;
  std::string Name;
};

using TPlayerList = TOwnedList<TPlayer>;
using TItemList = TOwnedList<TItem>;
using TUnitList = TOwnedList<TUnit>;

// A running game: it owns its players, map, items and units.
class TGame {
public:
  virtual ~TGame() = default;
  TPlayerList Players;
  std::unique_ptr<TMap> Map;
  int32_t Turns = 0;
  TItemList Items;
  TUnitList Units;
};

// The running games; the list does not own them.
using TGameList = TRefList<TGame>;
