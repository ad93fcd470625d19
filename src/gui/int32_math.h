// Wrapping 32-bit integer arithmetic for widget geometry. Positions, sizes and tracker values come
// from .ui files and may be anything; the toolkit computes with them as 32-bit integers that wrap
// on overflow, never with undefined behaviour.
#pragma once

#include <cstdint>
#include <limits>

namespace int32_math {

inline std::int32_t Add(std::int32_t A, std::int32_t B) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(A) + static_cast<std::uint32_t>(B));
}

inline std::int32_t Sub(std::int32_t A, std::int32_t B) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(A) - static_cast<std::uint32_t>(B));
}

inline std::int32_t Mul(std::int32_t A, std::int32_t B) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(A) * static_cast<std::uint32_t>(B));
}

// Division truncating toward zero. The caller rules out a zero divisor; the one quotient that
// does not fit (the smallest value divided by -1) wraps to itself.
inline std::int32_t Div(std::int32_t A, std::int32_t B) {
  if (B == -1)
    return Sub(0, A);
  return A / B;
}

} // namespace int32_math
