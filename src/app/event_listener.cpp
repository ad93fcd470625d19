#include "app/event_listener.h"

#include "app/global.h"
#include "app/main_loop.h"

TEventListener* ActiveEvent = nullptr;

TEventListener::~TEventListener() {
  if (ActiveEvent == this) {
    ActiveEvent = nullptr;
  }
}

void TEventListener::ConnectLoop(TOpenGLGenericLoop& L) {
  L.SetCycleEvent([this] { DoLoop(); });
  L.SetMouseDownEvent([this](const SDL_MouseButtonEvent& E) { MouseDownEvent(E); });
  L.SetMouseUpEvent([this](const SDL_MouseButtonEvent& E) { MouseUpEvent(E); });
  L.SetMouseMoveEvent([this](const SDL_MouseMotionEvent& E) { MouseMoveEvent(E); });
  L.SetKeyDownEvent([this](const SDL_KeyboardEvent& E) { KeyDownEvent(E); });
  L.SetKeyUpEvent([this](const SDL_KeyboardEvent& E) { KeyUpEvent(E); });
}

void ChangeListener(TEventListener* New) {
  if (ActiveEvent != nullptr) {
    ActiveEvent->Exit();
    ActiveEvent->Active = false;
  }
  New->Active = true;
  ActiveEvent = New;
  New->Enter();
  if (Global.Loop != nullptr) {
    New->ConnectLoop(*Global.Loop);
  }
}
