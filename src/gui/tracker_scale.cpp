#include "gui/tracker_scale.h"

#include "gui/int32_math.h"

using namespace int32_math;

std::int32_t TTrackerScale::LogicToReal(std::int32_t V) const {
  const std::int32_t Range = Sub(Max, Min);
  if (Range == 0)
    return Margin;
  return Add(Div(Mul(Sub(V, Min), Sub(Width, Mul(2, Margin))), Range), Margin);
}

std::int32_t TTrackerScale::RealToLogic(std::int32_t X) const {
  const std::int32_t Track = Sub(Sub(Width, Margin), Margin);
  if (Track == 0)
    return Min;
  return Add(Div(Mul(Sub(Max, Min), Sub(X, Margin)), Track), Min);
}

bool IsNearCursor(std::int32_t X, std::int32_t CursorX, std::int32_t CursorWidth) {
  std::int64_t Distance = static_cast<std::int64_t>(X) - CursorX;
  if (Distance < 0)
    Distance = -Distance;
  return Distance < CursorWidth / 2;
}

std::int32_t ClampToRange(std::int32_t V, std::int32_t Min, std::int32_t Max) {
  if (V > Max)
    V = Max;
  if (V < Min)
    V = Min;
  return V;
}
