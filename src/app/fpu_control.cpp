#include "app/fpu_control.h"

void Set8087CW(std::uint16_t CW) {
#if defined(__i386__) || defined(__x86_64__)
  asm volatile("fldcw %0" : : "m"(CW));
#else
  (void)CW;
#endif
}

std::uint16_t Get8087CW() {
#if defined(__i386__) || defined(__x86_64__)
  std::uint16_t cw = 0;
  asm volatile("fnstcw %0" : "=m"(cw));
  return cw;
#else
  return 0;
#endif
}
