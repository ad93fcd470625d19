#include "app/global.h"

TGlobal Global;
