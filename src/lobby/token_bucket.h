// Flood control for one sender: a bucket holds up to Burst tokens and gains Rate tokens a
// second; every line takes one, and a line that finds the bucket empty is over the limit. A
// person typing stays far below it; a script that pours lines meets it after Burst lines.
#pragma once

#include <chrono>
#include <cstdint>

class TTokenBucket {
public:
  using Clock = std::chrono::steady_clock;

  // Full at Now: Burst lines may go out at once.
  TTokenBucket(uint32_t Burst, double Rate, Clock::time_point Now);

  // Takes a token for one line sent at Now; false when none is left (the line is over the
  // limit and takes nothing). Times earlier than the last one count as the last one.
  bool Take(Clock::time_point Now);
  // True when the bucket has refilled completely by Now (the sender has calmed down).
  bool Full(Clock::time_point Now);

  uint32_t Burst() const { return FBurst; }
  double Rate() const { return FRate; }

private:
  void Refill(Clock::time_point Now);

  uint32_t FBurst = 0;
  double FRate = 0;
  double FTokens = 0;
  Clock::time_point FLast{};
};
