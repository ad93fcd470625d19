#pragma once
// Test support: an 800 x 600 SDL window with an OpenGL context for drawing tests of libraries
// below the application layer (which has its own TScreen). Runs under a virtual X display.

#include "pin_libraries.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

class TTestGLWindow {
public:
  static constexpr int Width = 800;
  static constexpr int Height = 600;

  // Opens the window; a display connection refused right after another closed is retried.
  bool Open() {
    if (std::getenv("DISPLAY") == nullptr) {
      ADD_FAILURE() << "no X display: run under xvfb-run (tools/test.sh)";
      return false;
    }
    for (int attempt = 0; attempt < 5; ++attempt) {
      if (SDL_Init(SDL_INIT_VIDEO) == 0 &&
          SDL_SetVideoMode(Width, Height, 24, SDL_OPENGL | SDL_DOUBLEBUF) != nullptr) {
        FOpen = true;
        PinLoadedLibraries();
        glViewport(0, 0, Width, Height);
        return true;
      }
      SDL_Quit();
      SDL_Delay(50);
    }
    ADD_FAILURE() << "could not open an OpenGL window: " << SDL_GetError();
    return false;
  }

  // Window pixel projection as the screens set it: origin top-left, Y downwards.
  static void PixelProjection() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, Width, Height, 0, 0, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
  }

  ~TTestGLWindow() {
    if (FOpen) {
      SDL_Quit();
    }
  }

private:
  bool FOpen = false;
};
