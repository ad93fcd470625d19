// Internal to the XML library: splitting the text between "<" and ">" into kind, name and
// attribute text, shared by ReadTag and the element loop of the reader.
#pragma once

#include <string_view>

#include "xml/reader.h"

struct TTagText {
  TTagType Type = TTagType::ttOpen;
  std::string_view Name;
  std::string_view AttributeText;
  bool HasAttributes = false;
};

// T is the tag without its "<" and ">". Raises the empty-tag error for "<>".
TTagText SplitTagText(std::string_view T);

// Position of the first ">" at or after From, or npos.
std::size_t FindTagEnd(const TXMLSource& S, std::size_t From);
