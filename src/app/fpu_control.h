#pragma once
// The x87 floating-point control word. On processors without an x87 unit both calls do nothing
// (Get8087CW then answers 0).

#include <cstdint>

// The client's value: every floating-point exception masked, 64-bit precision, round to nearest.
inline constexpr std::uint16_t CLIENT_FPU_CONTROL_WORD = 0x133F;
// The value restored when the client exits.
inline constexpr std::uint16_t DEFAULT_FPU_CONTROL_WORD = 0x1332;

void Set8087CW(std::uint16_t CW);
std::uint16_t Get8087CW();
