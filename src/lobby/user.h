// A logged-in user of the lobby and the lists of users.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "game/game_model.h"
#include "game/list.h"
#include "net/socket.h"

class TGameDescription;
class TLobbyHost;
class TMatch;

class TUser {
public:
  // The first letter of names the lobby keeps for itself ("Server").
  static constexpr char ReservedFirstLetter = 'S';

  // The login check: sets UserName and answers "" when the login is accepted, the refusal
  // text otherwise. Any name passes but one starting with ReservedFirstLetter; the password is
  // not examined.
  std::string Load(const std::string& User, const std::string& Password);
  // Queues the line S for the user's connection, through Host when it has one.
  void Send(const std::string& S);

  std::string UserName;
  // The user's connection; the packet server owns it.
  TSocket* Connection = nullptr;
  // The loop that serves the lobby; not owned.
  TLobbyHost* Host = nullptr;
  // Games this user has announced that are still listed.
  uint32_t GameCount = 0;
  // Its connection asked for matches before logging in.
  bool Extended = false;
  // The waiting room it is in, as creator or joiner; not owned.
  TGameDescription* Room = nullptr;
  // The match it plays or watches, and its seat there; not owned.
  TMatch* Match = nullptr;
  int32_t Seat = -1;
  TItemStaticInfoList Items;
  TUnitStaticInfoList Units;
};

// Users in a given order, with the look-ups the lobby needs.
template <class Holder>
class TBasicUserList : public TBasicList<TUser, Holder> {
public:
  TUser* GetUser(int Index) const { return this->Get(Index); }
  // The first user whose connection is Conn, or nullptr.
  TUser* GetUserByConnection(const TSocket* Conn) const {
    for (const auto& user : this->FItems)
      if (this->Raw(user)->Connection == Conn)
        return this->Raw(user);
    return nullptr;
  }
};

// Refers to users owned elsewhere.
using TUserList = TBasicUserList<TUser*>;
// Owns its users.
using TOwnedUserList = TBasicUserList<std::unique_ptr<TUser>>;
