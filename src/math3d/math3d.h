// Everything of the math library in one include (except the frustum culler).
#pragma once

#include "math3d/matrix3.h"
#include "math3d/quaternion.h"
#include "math3d/vector.h"
