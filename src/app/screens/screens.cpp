#include "app/screens/screens.h"

TLoginStatus* LoginStatus = nullptr;
TChatStatus* ChatStatus = nullptr;
TGameCreationStatus* GameCreationStatus = nullptr;
TGameStatus* GameStatus = nullptr;
