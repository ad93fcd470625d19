// A game announced in the lobby by its creator.
#pragma once

#include <cstdint>
#include <string>

#include "game/list.h"
#include "lobby/user.h"

class TGameDescription {
public:
  int32_t Id = 0;
  std::string Name;
  // The creator is always first; the users are not owned.
  TUserList Users;
  std::string MapName;
  int32_t Points = 0;
};

// In creation order; owns the descriptions.
using TGameDescriptionList = TOwnedList<TGameDescription>;
