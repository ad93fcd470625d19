#include "app/key_state.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>

namespace {

struct Mapping {
  std::uint16_t Key;
  bool TKeyState::*Flag;
};

// Every key that has a flag, with the flag it drives.
const Mapping KEY_FLAGS[] = {
    {SDLK_TAB, &TKeyState::Tab},      {SDLK_UP, &TKeyState::Up},
    {SDLK_DOWN, &TKeyState::Down},    {SDLK_RIGHT, &TKeyState::Right},
    {SDLK_LEFT, &TKeyState::Left},    {SDLK_RSHIFT, &TKeyState::Shift},
    {SDLK_LSHIFT, &TKeyState::Shift}, {SDLK_RCTRL, &TKeyState::Ctrl},
    {SDLK_LCTRL, &TKeyState::Ctrl},
};

bool TKeyState::*const ALL_FLAGS[] = {&TKeyState::Left, &TKeyState::Shift, &TKeyState::Right,
                                      &TKeyState::Up,   &TKeyState::Down,  &TKeyState::Tab,
                                      &TKeyState::Ctrl};

int CountSet(const TKeyState& S) {
  int n = 0;
  for (auto flag : ALL_FLAGS) {
    n += (S.*flag) ? 1 : 0;
  }
  return n;
}

TEST(KeyState, StartsWithEveryFlagClear) {
  TKeyState s;
  EXPECT_EQ(CountSet(s), 0);
}

TEST(KeyState, EachKeySetsAndClearsOnlyItsFlag) {
  for (const auto& m : KEY_FLAGS) {
    SCOPED_TRACE(m.Key);
    TKeyState s;
    s.ProcessKeyDown(m.Key);
    EXPECT_TRUE(s.*m.Flag);
    EXPECT_EQ(CountSet(s), 1);
    s.ProcessKeyUp(m.Key);
    EXPECT_EQ(CountSet(s), 0);
  }
}

TEST(KeyState, KeySymbolsHaveTheirFixedNumbers) {
  // The flags follow SDL's numbering: 9, 273-276, 303-306.
  TKeyState s;
  for (std::uint16_t k : {9, 273, 274, 275, 276, 303, 304, 305, 306}) {
    s.ProcessKeyDown(k);
  }
  EXPECT_EQ(CountSet(s), 7);
}

TEST(KeyState, OtherKeysChangeNothing) {
  TKeyState s;
  s.ProcessKeyDown(SDLK_UP);
  for (std::uint16_t k : {0, 8, 13, 27, 32, 65, 97, 272, 277, 302, 307, 65535}) {
    s.ProcessKeyDown(k);
    s.ProcessKeyUp(k);
  }
  EXPECT_TRUE(s.Up);
  EXPECT_EQ(CountSet(s), 1);
}

TEST(KeyState, ReleasingEitherShiftOrCtrlClearsTheSharedFlag) {
  TKeyState s;
  s.ProcessKeyDown(SDLK_LSHIFT);
  s.ProcessKeyDown(SDLK_RSHIFT);
  s.ProcessKeyUp(SDLK_RSHIFT);
  EXPECT_FALSE(s.Shift);
  s.ProcessKeyDown(SDLK_LCTRL);
  s.ProcessKeyDown(SDLK_RCTRL);
  s.ProcessKeyUp(SDLK_LCTRL);
  EXPECT_FALSE(s.Ctrl);
}

} // namespace
