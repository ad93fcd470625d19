#include "lobby/user.h"

std::string TUser::Load(const std::string& User, const std::string& Password) {
  (void)Password;
  UserName = User;
  if (!User.empty() && User[0] == ReservedFirstLetter)
    return "Invalid user/pass";
  return "";
}

void TUser::Send(const std::string& S) {
  if (Connection != nullptr)
    Connection->Queue(S);
}
