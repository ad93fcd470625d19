#pragma once
// The shape the client's screens share: a desktop loaded from a .ui file, drawn by a GUI drawer
// over a background image with the screen's own cursor; mouse and key events forwarded to the
// desktop; Global.MX/MY and the key state kept up to date; Escape ends the program.
//
// A screen derives from it, looks its widgets up in Desktop after construction and overrides
// the hooks it needs:
//   class TGameCreationStatus : public TDesktopScreen {
//   public:
//     TGameCreationStatus() : TDesktopScreen("media/gamecreation.ui") {
//       if (auto* b = Desktop->Find<TUIButton>("GameStartButton"))
//         b->FOnClick = [](TUIWidget*) { ChangeListener(GameStatus); };
//     }
//   };
// Tests can replace GUIDrawer and Canvas with recording fakes; nothing then needs a window.

#include "app/event_listener.h"
#include "app/frame_canvas.h"
#include "guidraw/gui_command_list.h"

#include <memory>
#include <string>

class TUIDesktop;
class TAbstractGUIDrawer;

class TDesktopScreen : public TEventListener {
public:
  // Loads UIFileName into a new desktop (the result of the load is ignored, so an unknown
  // element leaves it partly filled; a file that cannot be read raises), then creates the GUI
  // drawer and the OpenGL canvas on Global.Man.
  explicit TDesktopScreen(const std::string& UIFileName);
  // A screen whose widgets are all made in code: it starts with an empty desktop.
  TDesktopScreen();
  // Frees the desktop, then the drawer.
  ~TDesktopScreen() override;

  // No widget has the focus. Screens that do more call this first.
  void Enter() override;
  void Exit() override {}
  // One frame: BeforeFrame, clear, DrawScene, then in 2D the background (if any), the desktop
  // and the cursor image at the mouse; then the buffers are swapped. With a background, the
  // desktop is recorded and the canvas draws background and desktop as one retained layer, so
  // a frame that draws what the one before drew costs a copy of that picture.
  void DoLoop() override;
  // The typed character (low byte of its Unicode value, 0 for keys that type nothing) goes to
  // the desktop, the symbol to Global.KeyState; then HandleKey. The repeats of a held Escape
  // reach nothing: Escape acts only on the screen that was current when it went down.
  void KeyDownEvent(const SDL_KeyboardEvent& Event) override;
  // Only the key state sees releases.
  void KeyUpEvent(const SDL_KeyboardEvent& Event) override;
  void MouseDownEvent(const SDL_MouseButtonEvent& Event) override;
  void MouseUpEvent(const SDL_MouseButtonEvent& Event) override;
  // Forwarded to the desktop, then remembered in Global.MX/MY.
  void MouseMoveEvent(const SDL_MouseMotionEvent& Event) override;

  std::unique_ptr<TUIDesktop> Desktop;
  std::unique_ptr<TAbstractGUIDrawer> GUIDrawer;
  std::unique_ptr<TFrameCanvas> Canvas;

protected:
  // Runs first in every frame (the login and lobby screens read the connection here).
  virtual void BeforeFrame() {}
  // The 3D scene, drawn after the clear and before the 2D layer (the game screen).
  virtual void DrawScene() {}
  // Whether the "background" image covers the window under the desktop. A screen with a
  // background draws no scene: what lies under the GUI is the background alone.
  virtual bool HasBackground() const { return true; }
  // The texture drawn as the mouse cursor.
  virtual std::string CursorTexture() const { return "pointer"; }
  // The screen's own key handling after the desktop and key state have seen the key; by
  // default Escape stops the main loop, which ends the program.
  virtual void HandleKey(const SDL_KeyboardEvent& Event);

private:
  // The desktop's primitives of the current frame (kept to reuse their storage).
  TGUICommandList FGUICommands;
};

// Names of the images every screen uses and the cursor's size.
inline const std::string BACKGROUND_TEXTURE = "background";
inline const std::string POINTER_TEXTURE = "pointer";
inline constexpr int CURSOR_SIZE = 64;
