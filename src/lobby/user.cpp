#include "lobby/user.h"

#include "lobby/lobby_host.h"

std::string TUser::Load(const std::string& User, const std::string& Password) {
  (void)Password;
  UserName = User;
  if (!User.empty() && User[0] == ReservedFirstLetter)
    return "Invalid user/pass";
  return "";
}

void TUser::Send(const std::string& S) {
  if (Connection == nullptr)
    return;
  if (Host != nullptr)
    Host->Send(Connection, S);
  else
    Connection->Queue(S);
}
