#pragma once
// Which of the navigation and modifier keys are held down, fed by every screen's key handlers.

#include <cstdint>

class TKeyState {
public:
  // Set / clear the flag that an SDL key symbol maps to; other keys change nothing. Both Shift
  // keys share one flag, as do both Ctrl keys: releasing either clears it.
  void ProcessKeyDown(std::uint16_t Key);
  void ProcessKeyUp(std::uint16_t Key);

  bool Left = false;
  bool Shift = false;
  bool Right = false;
  bool Up = false;
  bool Down = false;
  bool Tab = false;
  bool Ctrl = false;

private:
  bool* FlagFor(std::uint16_t Key);
};
