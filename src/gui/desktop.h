// TUIDesktop: the root of a screen's widget tree. It receives the window's mouse and key events,
// keeps the keyboard focus, the widget under the pointer, modal levels and the window being
// dragged, and routes each event to the widget that handles it.
//
// Typical use by a screen:
//   TUIDesktop Desktop;
//   LoadGUI(Desktop, "media/login.ui");                      // ui_loader.h
//   if (auto* Ok = Desktop.Find<TUIButton>("OkButton"))      // names ignore letter case
//     Ok->FOnClick = [this](TUIWidget*) { OnOkClick(); };
//   ... per SDL event: Desktop.DoMouseDown(x, y, TMouseButton(button)), DoMouseUp, DoMouseMove,
//       DoKeyPress(char(unicode & 0xFF)).
// A modal window: Desktop.AddModal(std::make_unique<TUIWindow>(...)). A handler closes it with
// Window->RequestDestroy() (also from one of its own buttons' FOnClick).
#pragma once

#include "gui/container.h"

#include <vector>

class TUIWindow;

class TUIDesktop : public TUIContainer {
public:
  TUIDesktop();
  ~TUIDesktop() override;

  // The deepest widget under the pointer at the last accepted mouse move; the desktop itself
  // over empty desktop; none after that widget left the desktop or was destroyed.
  TUIWidget* FOver = this;
  // The window being dragged, or none.
  TUIWindow* FMovingWindow = nullptr;
  // Pointer position minus the dragged window's FLeft/FTop when the drag started.
  std::int32_t FAncX = 0;
  std::int32_t FAncY = 0;
  // The widget with keyboard focus, or none. The desktop itself may hold it (it takes no keys).
  TUIWidget* FFocused = nullptr;
  // The highest ModalValue among the desktop's window children; 0 when there is none.
  std::int32_t FCurrentModal = 0;

  // Press: ignored if it falls outside the top modal level; otherwise the focus moves to the
  // deepest widget under the pointer, a window under it is raised, a left press on a window's
  // title band starts a drag, and anything else is dispatched to the widget under the pointer.
  // A wheel notch is only dispatched (a list under the pointer scrolls): it moves neither the
  // focus nor a window.
  void DoMouseDown(std::int32_t X, std::int32_t Y, TMouseButton Button) override;
  // Release: ends a drag (and is consumed), otherwise dispatched. Releases ignore modal levels.
  // A release over another widget than the one pressed ends that widget's press (DoPressLost),
  // so that a later release over it clicks nothing. Wheel releases are ignored.
  void DoMouseUp(std::int32_t X, std::int32_t Y, TMouseButton Button) override;
  // Move: drags the dragged window, or tells the widgets the pointer left and reached, and
  // dispatches; moves over anything outside the top modal level are ignored.
  void DoMouseMove(std::int32_t X, std::int32_t Y) override;
  // Key: goes to the focused widget only (unless that is the desktop itself).
  void DoKeyPress(char C) override;

  // As the container's Add, and a window raises FCurrentModal to its ModalValue.
  int Add(std::unique_ptr<TUIWidget> W) override;
  // As the container's Remove, and FCurrentModal falls to the highest level still present.
  std::unique_ptr<TUIWidget> Remove(TUIWidget* W) override;

  void SetFocus(TUIWidget* W) { FFocused = W; }
  void ResetFocus() { SetFocus(nullptr); }
  // Shows Window above every modal level present: its ModalValue becomes FCurrentModal + 1, it is
  // added (front-most) and the focus is reset. Gives its index. Ownership passes to the desktop.
  int AddModal(std::unique_ptr<TUIWindow> Window);
  // True when the last accepted mouse move was over some widget (not over empty desktop).
  bool IsOverWidget() const { return FOver != this; }

  // True while an event is being dispatched; destruction requested meanwhile waits for its end.
  bool IsDispatching() const { return FDispatchDepth > 0; }

private:
  friend class TUIWidget;
  friend class TUIContainer;
  friend class TDispatchScope;

  // Drops FOver, FFocused, FMovingWindow and pending destructions that lie in W's subtree.
  void ForgetSubtree(const TUIWidget* W);
  // Queues W for destruction at the end of the current dispatch.
  void QueueDestroy(TUIWidget* W);
  // Destroys the queued widgets (when the outermost dispatch ends).
  void DestroyQueued();
  // True when the press or move target W lies outside the top modal level.
  bool IsBlockedByModal(const TUIWidget* W) const;
  // The deepest widget that received the last press not yet released, or none.
  TUIWidget* FPressed = nullptr;
  int FDispatchDepth = 0;
  std::vector<TUIWidget*> FDestroyQueue;
};

// Marks an event dispatch on a desktop (none allowed) for its lifetime, so that widgets destroyed
// by handlers meanwhile are destroyed only when the outermost dispatch has ended.
class TDispatchScope {
public:
  explicit TDispatchScope(TUIDesktop* Desktop);
  ~TDispatchScope();
  TDispatchScope(const TDispatchScope&) = delete;
  TDispatchScope& operator=(const TDispatchScope&) = delete;

private:
  TUIDesktop* FDesktop;
};
