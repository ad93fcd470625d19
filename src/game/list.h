// Ordered lists of objects with the accessors the game model and the lobby share. TRefList
// only refers to its entries; TOwnedList owns them and frees what it holds.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

template <class T, class Holder>
class TBasicList {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  bool Empty() const { return FItems.empty(); }
  // The entry at Index, or nullptr outside 0..Count-1.
  T* Get(int Index) const {
    if (Index < 0 || static_cast<std::size_t>(Index) >= FItems.size())
      return nullptr;
    return Raw(FItems[static_cast<std::size_t>(Index)]);
  }
  void Add(Holder Item) { FItems.push_back(std::move(Item)); }
  // The position of Item, or -1.
  int IndexOf(const T* Item) const {
    for (std::size_t i = 0; i < FItems.size(); ++i)
      if (Raw(FItems[i]) == Item)
        return static_cast<int>(i);
    return -1;
  }
  // Takes Item out of the list and hands back what the list held for it (empty if absent).
  Holder Extract(const T* Item) {
    int index = IndexOf(Item);
    if (index < 0)
      return Holder{};
    Holder held = std::move(FItems[static_cast<std::size_t>(index)]);
    FItems.erase(FItems.begin() + index);
    return held;
  }
  void Clear() { FItems.clear(); }

  auto begin() const { return FItems.begin(); }
  auto end() const { return FItems.end(); }

protected:
  static T* Raw(T* Item) { return Item; }
  static T* Raw(const std::unique_ptr<T>& Item) { return Item.get(); }

  std::vector<Holder> FItems;
};

template <class T>
using TRefList = TBasicList<T, T*>;

template <class T>
using TOwnedList = TBasicList<T, std::unique_ptr<T>>;
