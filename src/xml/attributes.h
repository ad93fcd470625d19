// The attributes of an element: an ordered list of key/value pairs, in source or insertion order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct TXMLAttribute {
  std::string Key;
  std::string Value;
};

// Keys are compared exactly (case-sensitive); the first attribute with a key wins.
//
//   GetAttribute(k)          value of the first attribute k, or "" when there is none
//   SetAttribute(k, v)       sets the first attribute k, or appends one
//   GetAttributeString(k)    the first attribute k, or nullptr
//   GetAttributeInt(i)       the attribute at position i (std::out_of_range past the end)
//   SetAttributeInt(i, a)    replaces the attribute at position i
//   ReadFrom(text)           parses 'k="v" k2='v2'' and appends; values are taken unchanged
//
// Pointers and references into the list stay valid until an attribute is added or removed.
class TXMLAttributes {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  bool Empty() const { return FItems.empty(); }

  const std::string& GetAttribute(std::string_view Index) const;
  void SetAttribute(std::string_view Index, std::string O);
  TXMLAttribute* GetAttributeString(std::string_view Index);
  const TXMLAttribute* GetAttributeString(std::string_view Index) const;
  TXMLAttribute& GetAttributeInt(int Index);
  const TXMLAttribute& GetAttributeInt(int Index) const;
  void SetAttributeInt(int Index, TXMLAttribute O);

  void Add(TXMLAttribute O) { FItems.push_back(std::move(O)); }
  void Clear() { FItems.clear(); }

  // Raises TXMLError for a value that does not open with a quote, a key without "=" and a
  // value without its closing quote. Blanks (and any bytes up to 0x20) around keys are dropped.
  void ReadFrom(std::string_view S);

  auto begin() const { return FItems.begin(); }
  auto end() const { return FItems.end(); }

private:
  std::vector<TXMLAttribute> FItems;
};
