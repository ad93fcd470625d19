#include "lobby/token_bucket.h"

#include <algorithm>

TTokenBucket::TTokenBucket(uint32_t Burst, double Rate, Clock::time_point Now)
    : FBurst(Burst), FRate(std::max(Rate, 0.0)), FTokens(Burst), FLast(Now) {}

void TTokenBucket::Refill(Clock::time_point Now) {
  if (Now <= FLast)
    return;
  double seconds = std::chrono::duration<double>(Now - FLast).count();
  FTokens = std::min(static_cast<double>(FBurst), FTokens + seconds * FRate);
  FLast = Now;
}

bool TTokenBucket::Take(Clock::time_point Now) {
  Refill(Now);
  if (FTokens < 1.0)
    return false;
  FTokens -= 1.0;
  return true;
}

bool TTokenBucket::Full(Clock::time_point Now) {
  Refill(Now);
  return FTokens >= static_cast<double>(FBurst);
}
