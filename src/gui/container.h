// TUIContainer: a widget that owns an ordered list of child widgets, finds them by position and
// by name, and passes mouse events down to the child under the pointer.
//
// Walking a tree (what a drawer does): for (int I = 0; I < C.Count(); ++I) visit C.Get(I);
// index 0 is the back-most child, Count() - 1 the front-most. Tell a child's kind with
// dynamic_cast (every kind derives from TUIWidget; containers from TUIContainer).
#pragma once

#include "gui/widget.h"

#include <memory>
#include <vector>

// The children of a container, back-most first. The list owns them.
class TUIWidgetList {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  // The child at Index (0 <= Index < Count()).
  TUIWidget* GetWidget(int Index) const { return FItems[static_cast<std::size_t>(Index)].get(); }
  // The index of W, or -1 when it is not in the list.
  int IndexOf(const TUIWidget* W) const;

  // Appends W as the last (front-most) element and gives its index.
  int Append(std::unique_ptr<TUIWidget> W);
  // Takes the element at Index out of the list and hands it back.
  std::unique_ptr<TUIWidget> Extract(int Index);
  // Moves the element at Index to the end, keeping the order of the others.
  void MoveToEnd(int Index);

private:
  std::vector<std::unique_ptr<TUIWidget>> FItems;
};

class TUIContainer : public TUIWidget {
public:
  TUIContainer() = default;
  // Destroys the children, back-most first.
  ~TUIContainer() override;

  // The client area starts this far right of and below the container's top-left corner
  // (a window's top margin is its title band).
  std::int32_t FMarginTop = 0;
  std::int32_t FMarginLeft = 0;
  // Read it freely; change it only through Add and Remove.
  TUIWidgetList FChildren;

  // The deepest enabled, visible widget at (X, Y) in this container's client coordinates:
  // the front-most child under the point, or (Recursive) what that child finds if it is a
  // container; this container itself when no child is under the point.
  virtual TUIWidget* WidgetByPos(std::int32_t X, std::int32_t Y, bool Recursive);
  // Appends W as the front-most child; the container owns it from now on. Gives its index
  // (-1 for a null W).
  virtual int Add(std::unique_ptr<TUIWidget> W);
  // Takes W out of the children without destroying it and hands it to the caller; none when W
  // is not a child of this container (W is then left as it was). If the container is on a
  // desktop, the desktop forgets every reference into W's subtree.
  virtual std::unique_ptr<TUIWidget> Remove(TUIWidget* W);
  // The first widget, searching depth first from the front-most child, whose name equals Name
  // ignoring letter case; none if there is none. The container's own name is not compared.
  virtual TUIWidget* WidgetByName(const std::string& Name);

  // Mouse events go to the front-most enabled, visible child under the point, in that child's
  // coordinates; over the container's empty area its own handlers are called.
  void DoMouseDown(std::int32_t X, std::int32_t Y, TMouseButton Button) override;
  void DoMouseUp(std::int32_t X, std::int32_t Y, TMouseButton Button) override;
  void DoMouseMove(std::int32_t X, std::int32_t Y) override;

  bool LoadFromNode(const TXMLNode& Node) override;

  int Count() const { return FChildren.Count(); }
  TUIWidget* Get(int Index) const { return FChildren.GetWidget(Index); }

  // Typed form of WidgetByName: the widget of that name if it is a T, otherwise none.
  template <class T>
  T* Find(const std::string& Name) {
    return dynamic_cast<T*>(WidgetByName(Name));
  }

protected:
  // Destroys every child, back-most first, after telling each it has no parent any more.
  void DestroyChildren();

private:
  // The child that a mouse event at (X, Y), in this container's own coordinates, goes to, with
  // the point converted to that child's coordinates; none when the container handles it itself.
  TUIWidget* ChildForEvent(std::int32_t& X, std::int32_t& Y);
};
