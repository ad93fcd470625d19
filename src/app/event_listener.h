#pragma once
// A screen of the client: the one that is current receives every input event and draws every
// frame. ChangeListener makes another screen current and rewires the main loop to it.

#include <SDL.h>

class TOpenGLGenericLoop;

class TEventListener {
public:
  TEventListener() = default;
  virtual ~TEventListener();
  TEventListener(const TEventListener&) = delete;
  TEventListener& operator=(const TEventListener&) = delete;

  // Called when this screen becomes current, and when another one is about to.
  virtual void Enter() = 0;
  virtual void Exit() = 0;
  // Draws one frame; the loop's cycle callback.
  virtual void DoLoop() = 0;
  virtual void KeyDownEvent(const SDL_KeyboardEvent& Event) = 0;
  virtual void KeyUpEvent(const SDL_KeyboardEvent& Event) = 0;
  virtual void MouseDownEvent(const SDL_MouseButtonEvent& Event) = 0;
  virtual void MouseUpEvent(const SDL_MouseButtonEvent& Event) = 0;
  virtual void MouseMoveEvent(const SDL_MouseMotionEvent& Event) = 0;

  // Points the loop's six callbacks at this object's (overridden) methods.
  void ConnectLoop(TOpenGLGenericLoop& L);

  // True while this screen is the current one.
  bool Active = false;
};

// The current screen; none before the first ChangeListener.
extern TEventListener* ActiveEvent;

// Makes New current: the old screen's Exit, New's Enter, then the main loop (Global.Loop, when
// there is one) is wired to New. Switching to the current screen runs its Exit and Enter again.
void ChangeListener(TEventListener* New);
