#include "app/fpu_control.h"

#include <gtest/gtest.h>

namespace {

#if defined(__i386__) || defined(__x86_64__)
// Bit 6 of the control word is reserved and always reads back as 1.
constexpr std::uint16_t RESERVED_BIT = 0x40;

TEST(FpuControl, SetWordReadsBack) {
  const std::uint16_t before = Get8087CW();
  Set8087CW(CLIENT_FPU_CONTROL_WORD);
  EXPECT_EQ(Get8087CW() & ~RESERVED_BIT, CLIENT_FPU_CONTROL_WORD);
  Set8087CW(DEFAULT_FPU_CONTROL_WORD);
  EXPECT_EQ(Get8087CW() & ~RESERVED_BIT, DEFAULT_FPU_CONTROL_WORD);
  Set8087CW(before);
}

TEST(FpuControl, MaskedUnitGivesInfinityInsteadOfTrapping) {
  // With every exception masked an x87 division by zero answers infinity.
  const std::uint16_t before = Get8087CW();
  Set8087CW(CLIENT_FPU_CONTROL_WORD);
  volatile long double zero = 0.0L;
  volatile long double one = 1.0L;
  const long double r = one / zero;
  EXPECT_TRUE(r > 1e300L);
  Set8087CW(before);
}
#else
TEST(FpuControl, NoX87UnitMeansNoEffect) {
  Set8087CW(CLIENT_FPU_CONTROL_WORD);
  EXPECT_EQ(Get8087CW(), 0);
}
#endif

} // namespace
