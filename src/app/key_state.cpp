#include "app/key_state.h"

#include <SDL.h>

bool* TKeyState::FlagFor(std::uint16_t Key) {
  switch (Key) {
  case SDLK_TAB:
    return &Tab;
  case SDLK_UP:
    return &Up;
  case SDLK_DOWN:
    return &Down;
  case SDLK_RIGHT:
    return &Right;
  case SDLK_LEFT:
    return &Left;
  case SDLK_RSHIFT:
  case SDLK_LSHIFT:
    return &Shift;
  case SDLK_RCTRL:
  case SDLK_LCTRL:
    return &Ctrl;
  case SDLK_ESCAPE:
    return &Escape;
  default:
    return nullptr;
  }
}

void TKeyState::ProcessKeyDown(std::uint16_t Key) {
  if (bool* flag = FlagFor(Key)) {
    *flag = true;
  }
}

void TKeyState::ProcessKeyUp(std::uint16_t Key) {
  if (bool* flag = FlagFor(Key)) {
    *flag = false;
  }
}
