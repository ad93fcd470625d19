// A game announced in the lobby by its creator, and its waiting room.
#pragma once

#include <cstdint>
#include <string>

#include "game/list.h"
#include "lobby/user.h"

class TGameDescription {
public:
  int32_t Id = 0;
  std::string Name;
  // The creator is always first, then those who joined, in join order; not owned.
  TUserList Users;
  std::string MapName;
  int32_t Points = 0;
  // Announced by a connection that asked for matches: others may join it and play.
  bool Matches = false;
};

// In creation order; owns the descriptions.
using TGameDescriptionList = TOwnedList<TGameDescription>;
