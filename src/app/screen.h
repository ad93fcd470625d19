#pragma once
// The client's window: an SDL 1.2 video surface with an OpenGL context, a perspective
// projection and the system cursor hidden (every screen draws its own cursor image).

#include <SDL.h>

#include <cstdint>
#include <string>

// Far clipping distance used when the caller does not give one.
inline constexpr float DEFAULT_FAR_CLIP = 450.0f;

class TScreen {
public:
  // Creating a screen makes no SDL call; Initialize opens the window.
  TScreen(std::string ATitle, int AWidth, int AHeight, int ABpp, bool AFullScreen,
          float AFarClip = DEFAULT_FAR_CLIP);
  virtual ~TScreen();
  TScreen(const TScreen&) = delete;
  TScreen& operator=(const TScreen&) = delete;

  // Starts SDL video, sets the video mode, hides the cursor. False when any step fails.
  bool InitSDL();
  // The fixed OpenGL state every frame relies on: smooth shading, depth test, viewport.
  void InitGL();
  // Viewport and a 45-degree perspective with the near plane at 2; a Height of 0 counts as 1.
  bool SetupWindow(int Width, int Height, float AFarClip);
  // InitSDL, then (only if it worked) InitGL and SetupWindow. Answers InitSDL's result.
  bool Initialize();
  // Shuts SDL video down; the screen becomes inactive.
  void Finalize();
  bool IsActive() const { return FSurface != nullptr; }

  std::string FTitle;
  int FWidth = 0;
  int FHeight = 0;
  int FBpp = 0;
  float FFarClip = DEFAULT_FAR_CLIP;
  bool FFullScreen = false;
  SDL_Surface* FSurface = nullptr;

private:
  // One attempt at starting video, setting the mode and hiding the cursor.
  bool OpenWindow();
};

// Front-face material colour from bytes: (R/255, G/255, B/255, 1) as diffuse, then ambient.
// The drawing helpers hold the variant that takes floats; call this one with std::uint8_t
// values (plain int literals would match both).
void SetMaterialColor(std::uint8_t R, std::uint8_t G, std::uint8_t B);
