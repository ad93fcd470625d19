#include "app/main_loop.h"

namespace {

// A handler may rewire the loop (a screen switch replaces every callback), so each callback
// is copied before it runs: the function object being called is never the one overwritten.
template <typename F, typename E>
void CallIfSet(const F& Callback, const E& Event) {
  if (Callback) {
    F call = Callback;
    call(Event);
  }
}

} // namespace

bool TOpenGLGenericLoop::Dispatch(const SDL_Event& Event) {
  switch (Event.type) {
  case SDL_KEYDOWN:
    CallIfSet(FKeyDownEvent, Event.key);
    return true;
  case SDL_KEYUP:
    CallIfSet(FKeyUpEvent, Event.key);
    return true;
  case SDL_MOUSEMOTION:
    CallIfSet(FMouseMoveEvent, Event.motion);
    return true;
  case SDL_MOUSEBUTTONDOWN:
    CallIfSet(FMouseDownEvent, Event.button);
    return true;
  case SDL_MOUSEBUTTONUP:
    CallIfSet(FMouseUpEvent, Event.button);
    return true;
  case SDL_QUIT:
    FDone = true;
    return true;
  default:
    return false;
  }
}

void TOpenGLGenericLoop::Cycle() {
  if (FCycleEvent) {
    TCycleEvent call = FCycleEvent;
    call();
  }
}

void TOpenGLGenericLoop::RunUntilDone() {
  FDone = false;
  while (!FDone) {
    SingleLoop();
  }
}

void TOpenGLRealtimeLoop::DoLoop() {
  RunUntilDone();
}

void TOpenGLRealtimeLoop::StopLoop() {
  FDone = true;
}

void TOpenGLRealtimeLoop::SingleLoop() {
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    Dispatch(event);
  }
  Cycle();
}

void TOpenGLStaticLoop::DoLoop() {
  RunUntilDone();
}

void TOpenGLStaticLoop::StopLoop() {
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
}

void TOpenGLStaticLoop::SingleLoop() {
  SDL_Event event;
  if (!SDL_WaitEvent(&event)) {
    // The queue is not running (SDL video is not up), so no event, not even SDL_QUIT, can
    // ever arrive: end the loop rather than spin.
    FDone = true;
    return;
  }
  if (!Dispatch(event) && event.type == SDL_VIDEOEXPOSE) {
    Cycle();
  }
  if (CallCycleAfterEvents) {
    Cycle();
  }
}
