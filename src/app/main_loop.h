#pragma once
// The event loops that drive the client: each pass drains SDL's event queue into six callbacks
// and then draws one frame. The realtime loop never sleeps; the static loop redraws on demand.

#include <SDL.h>

#include <functional>

using TCycleEvent = std::function<void()>;
using TKeyEvent = std::function<void(const SDL_KeyboardEvent&)>;
using TMouseMoveEvent = std::function<void(const SDL_MouseMotionEvent&)>;
using TMouseButtonEvent = std::function<void(const SDL_MouseButtonEvent&)>;

class TOpenGLGenericLoop {
public:
  TOpenGLGenericLoop() = default;
  virtual ~TOpenGLGenericLoop() = default;
  TOpenGLGenericLoop(const TOpenGLGenericLoop&) = delete;
  TOpenGLGenericLoop& operator=(const TOpenGLGenericLoop&) = delete;

  // Runs DoLoop: returns once the loop has been stopped.
  void StartLoop() { DoLoop(); }

  void SetCycleEvent(TCycleEvent E) { FCycleEvent = std::move(E); }
  void SetKeyDownEvent(TKeyEvent E) { FKeyDownEvent = std::move(E); }
  void SetKeyUpEvent(TKeyEvent E) { FKeyUpEvent = std::move(E); }
  void SetMouseMoveEvent(TMouseMoveEvent E) { FMouseMoveEvent = std::move(E); }
  void SetMouseUpEvent(TMouseButtonEvent E) { FMouseUpEvent = std::move(E); }
  void SetMouseDownEvent(TMouseButtonEvent E) { FMouseDownEvent = std::move(E); }

  virtual void DoLoop() = 0;
  // Makes DoLoop return; the pass in progress still finishes.
  virtual void StopLoop() = 0;
  virtual void SingleLoop() = 0;

  bool FDone = false;
  TCycleEvent FCycleEvent;
  TKeyEvent FKeyDownEvent;
  TKeyEvent FKeyUpEvent;
  TMouseMoveEvent FMouseMoveEvent;
  TMouseButtonEvent FMouseDownEvent;
  TMouseButtonEvent FMouseUpEvent;

protected:
  // Hands one event to the callback of its kind; SDL_QUIT sets FDone. Answers whether the
  // event was one of the six kinds the loop knows.
  bool Dispatch(const SDL_Event& Event);
  // Calls the cycle callback if one is set.
  void Cycle();
  // Clears FDone and runs SingleLoop until it is set.
  void RunUntilDone();
};

// The client's loop: every pass polls all pending events, then draws exactly one frame.
class TOpenGLRealtimeLoop : public TOpenGLGenericLoop {
public:
  void DoLoop() override;
  void StopLoop() override;
  void SingleLoop() override;
};

// A loop that sleeps until an event arrives and draws only on an expose event, or after every
// event when CallCycleAfterEvents is set.
class TOpenGLStaticLoop : public TOpenGLGenericLoop {
public:
  void DoLoop() override;
  // Pushes SDL_QUIT, which wakes the waiting loop and ends it.
  void StopLoop() override;
  void SingleLoop() override;

  bool CallCycleAfterEvents = false;
};
