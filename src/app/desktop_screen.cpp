#include "app/desktop_screen.h"

#include "app/global.h"
#include "app/key_state.h"
#include "app/main_loop.h"
#include "gui/desktop.h"
#include "gui/ui_loader.h"
#include "guidraw/gui_drawer.h"

namespace {

// The Unicode value's low byte is the character the GUI sees.
constexpr Uint16 CHARACTER_MASK = 0xFF;

} // namespace

TDesktopScreen::TDesktopScreen()
    : Desktop(std::make_unique<TUIDesktop>()), GUIDrawer(std::make_unique<TGUIDrawer>(Global.Man)),
      Canvas(std::make_unique<TGLFrameCanvas>(Global.Man)) {}

TDesktopScreen::TDesktopScreen(const std::string& UIFileName) : TDesktopScreen() {
  LoadGUI(*Desktop, UIFileName);
}

TDesktopScreen::~TDesktopScreen() {
  Desktop.reset();
  GUIDrawer.reset();
}

void TDesktopScreen::Enter() {
  Desktop->ResetFocus();
}

void TDesktopScreen::DoLoop() {
  BeforeFrame();
  Canvas->Clear();
  DrawScene();
  Canvas->BeginOrtho2D();
  const bool layered = HasBackground() && GUIDrawer->Record(*Desktop, FGUICommands) &&
                       Canvas->DrawLayer(BACKGROUND_TEXTURE, FGUICommands);
  if (!layered) {
    if (HasBackground()) {
      Canvas->DrawImage(BACKGROUND_TEXTURE, 0, 0, CLIENT_WIDTH, CLIENT_HEIGHT);
    }
    GUIDrawer->Draw(*Desktop);
  }
  Canvas->DrawImage(CursorTexture(), Global.MX, Global.MY, CURSOR_SIZE, CURSOR_SIZE);
  Canvas->EndOrtho2D();
  Canvas->Present();
}

void TDesktopScreen::KeyDownEvent(const SDL_KeyboardEvent& Event) {
  if (Event.keysym.sym == SDLK_ESCAPE && Global.KeyState != nullptr && Global.KeyState->Escape) {
    // A repeat of an Escape pressed earlier, perhaps on the screen that it made leave.
    return;
  }
  Desktop->DoKeyPress(static_cast<char>(Event.keysym.unicode & CHARACTER_MASK));
  if (Global.KeyState != nullptr) {
    Global.KeyState->ProcessKeyDown(static_cast<std::uint16_t>(Event.keysym.sym));
  }
  HandleKey(Event);
}

void TDesktopScreen::KeyUpEvent(const SDL_KeyboardEvent& Event) {
  if (Global.KeyState != nullptr) {
    Global.KeyState->ProcessKeyUp(static_cast<std::uint16_t>(Event.keysym.sym));
  }
}

void TDesktopScreen::MouseDownEvent(const SDL_MouseButtonEvent& Event) {
  Desktop->DoMouseDown(Event.x, Event.y, static_cast<TMouseButton>(Event.button));
}

void TDesktopScreen::MouseUpEvent(const SDL_MouseButtonEvent& Event) {
  Desktop->DoMouseUp(Event.x, Event.y, static_cast<TMouseButton>(Event.button));
}

void TDesktopScreen::MouseMoveEvent(const SDL_MouseMotionEvent& Event) {
  Desktop->DoMouseMove(Event.x, Event.y);
  Global.MX = Event.x;
  Global.MY = Event.y;
}

void TDesktopScreen::HandleKey(const SDL_KeyboardEvent& Event) {
  if (Event.keysym.sym == SDLK_ESCAPE && Global.Loop != nullptr) {
    Global.Loop->StopLoop();
  }
}
