// TUIWidget: the base of every element of the client's widget tree, with its geometry, its
// mouse handlers and the virtual operations that containers and the desktop dispatch to.
//
// Coordinates: FLeft/FTop place a widget in its parent's client area (the parent's top-left
// corner plus the parent's margins). Every mouse operation receives coordinates relative to the
// widget's own top-left corner. The desktop stands at (0, 0), so its coordinates are window pixels.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class TXMLNode;
class TUIContainer;
class TUIDesktop;
class TUIWidget;

// Mouse buttons, numbered as SDL numbers them, so that SDL's value can be passed straight through.
// A notch of the mouse wheel arrives as a press (and a release) of button 4 (up) or 5 (down);
// other values may arrive and count as "not mbLeft".
enum TMouseButton : std::int32_t {
  mbNone = 0,
  mbLeft = 1,
  mbMiddle = 2,
  mbRight = 3,
  mbWheelUp = 4,
  mbWheelDown = 5
};

// True for the two wheel buttons, whose presses scroll instead of pressing anything.
inline bool IsWheel(TMouseButton Button) {
  return Button == mbWheelUp || Button == mbWheelDown;
}

// Handlers. Each may be empty; an empty handler is simply not called.
using TOnMouseButton =
    std::function<void(TUIWidget* Sender, std::int32_t X, std::int32_t Y, TMouseButton Button)>;
using TOnMouseMove = std::function<void(TUIWidget* Sender, std::int32_t X, std::int32_t Y)>;
using TOnSimpleEvent = std::function<void(TUIWidget* Sender)>;

// Longest widget or page name; longer names are cut to this length.
inline constexpr std::size_t MaxWidgetNameLength = 255;

// The name cut to MaxWidgetNameLength characters.
std::string ShortName(const std::string& Name);

// Equality of two byte strings ignoring the case of the ASCII letters.
bool SameTextIgnoringCase(const std::string& A, const std::string& B);

class TUIWidget {
public:
  TUIWidget() = default;
  virtual ~TUIWidget() = default;
  TUIWidget(const TUIWidget&) = delete;
  TUIWidget& operator=(const TUIWidget&) = delete;

  // The container that holds this widget; none for a desktop or a widget not yet added.
  // Set by TUIContainer::Add and cleared by TUIContainer::Remove; never assign it directly.
  TUIContainer* FParent = nullptr;
  std::int32_t FWidth = 100;
  std::int32_t FHeight = 50;
  std::int32_t FTop = 0;
  std::int32_t FLeft = 30;
  TOnMouseButton FOnMouseDown;
  TOnMouseButton FOnMouseUp;
  TOnMouseMove FOnMouseMove;
  // For the application; the toolkit never reads it.
  void* FUserData = nullptr;
  // At most MaxWidgetNameLength characters; looked up ignoring letter case.
  std::string FName;
  // A disabled or invisible widget is passed over by hit-testing.
  bool FEnabled = true;
  bool FVisible = true;

  // Size as seen by hit-testing, drawing and trackers (a rolled-up window is lower than FHeight).
  virtual std::int32_t GetWidth() const { return FWidth; }
  virtual std::int32_t GetHeight() const { return FHeight; }
  virtual void SetWidth(std::int32_t W) { FWidth = W; }
  virtual void SetHeight(std::int32_t H) { FHeight = H; }

  // Reads this widget's properties from a .ui element (see ui_loader.h); true on completion.
  // A malformed integer property raises TXMLConvertError.
  virtual bool LoadFromNode(const TXMLNode& Node);

  // Mouse operations, in this widget's own coordinates. The base versions call the handlers.
  virtual void DoMouseDown(std::int32_t X, std::int32_t Y, TMouseButton Button);
  virtual void DoMouseUp(std::int32_t X, std::int32_t Y, TMouseButton Button);
  virtual void DoMouseMove(std::int32_t X, std::int32_t Y);
  // A key typed while this widget has the focus: the low byte of the key's character
  // (Backspace is 8, Enter 13). Ignored by the base class.
  virtual void DoKeyPress(char C);
  // The pointer arrived over / left this widget (only the deepest widget is told).
  virtual void DoMouseEnter() {}
  virtual void DoMouseExit() {}
  // The press this widget received was released over another widget. A press ends as it does
  // when the pointer leaves the widget: a pressed button, list or check box is pressed no more.
  virtual void DoPressLost() { DoMouseExit(); }

  // True when the point, given in the parent's client coordinates, lies on this widget.
  // Both edges count: a widget 100 wide at FLeft 0 answers for X = 0 to 100.
  bool IsInside(std::int32_t X, std::int32_t Y) const;
  // The desktop at the root of this widget's tree; none when the widget is not on a desktop
  // (and none for a desktop itself).
  TUIDesktop* GetDesktop() const;
  // True when this widget holds its desktop's keyboard focus; false off a desktop.
  bool IsFocused() const;
  // Gives this widget its desktop's keyboard focus; does nothing off a desktop.
  void Focus();

  // Destroys this widget, its children with it. Safe from inside any handler, including one of
  // this widget or of one of its children: while its desktop is dispatching an event, the
  // destruction waits until that dispatch has finished; otherwise it happens at once. The
  // desktop never keeps a reference (pointer-over, focus, dragged window) to a destroyed widget.
  // Only a widget held by a container can be destroyed this way; a widget without a parent
  // belongs to whoever holds its std::unique_ptr, and the call then does nothing and gives false.
  // A pending request is dropped if the widget is taken off the desktop (Remove) before the
  // dispatch ends: whoever took it owns it then.
  //   Close->FOnClick = [](TUIWidget* Sender) { Sender->FParent->RequestDestroy(); };
  bool RequestDestroy();
};
