#include "game/rules.h"
