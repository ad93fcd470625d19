#pragma once
// Which of the navigation and modifier keys, and Escape, are held down, fed by every screen's
// key handlers.

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
  // While set, a key-down of Escape is a repeat of the held key, not a new press.
  bool Escape = false;

private:
  bool* FlagFor(std::uint16_t Key);
};
