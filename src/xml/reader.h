// The reader's view of its input: a byte buffer with a read position, and the two steps every
// item starts with (classify what comes next; read one whole tag).
//
// A file or stream is read once into memory and parsed there; the parsing functions move
// Position forward past what they consumed, exactly as far as a byte-at-a-time reader would.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "xml/attributes.h"

// Bytes being read and the position of the next unread byte. Does not own the bytes.
struct TXMLSource {
  std::string_view Data;
  std::size_t Position = 0;

  TXMLSource() = default;
  explicit TXMLSource(std::string_view AData) : Data(AData) {}
  bool AtEnd() const { return Position >= Data.size(); }
  std::string_view Rest() const { return Data.substr(Position); }
};

// What the next item of the input is.
enum class TWhatsNext {
  wnComment,
  wnCData,
  wnText,
  wnTagOpen,
  wnTagClose,
  wnTagUnique,
  wnSkippable
};

// Start tag, end tag, empty-element tag.
enum class TTagType { ttOpen, ttClose, ttUnique };

// One tag as read. At is null when the tag has no attribute text.
struct TTag {
  std::string Name;
  TTagType TagType = TTagType::ttOpen;
  std::unique_ptr<TXMLAttributes> At;
};

// Classifies the next item without consuming it:
//   not "<"                  wnText
//   "</"                     wnTagClose
//   "<?"  "<!" + other       wnSkippable
//   "<![" / "<!-"            wnCData / wnComment
//   "<" ... "/>"             wnTagUnique (the byte before the first ">" is "/")
//   "<" ... ">"              wnTagOpen
// Raises "Fine stream!" at the end of the input or inside "<", "<!"; "Stream end while reading
// tag!" when a tag has no ">".
TWhatsNext WhatsNext(const TXMLSource& S);

// Reads one tag from "<" to the first ">". The name ends at the first blank (0x20) only; the
// text after that blank, if any, is the attribute text. A trailing "/" makes the tag ttUnique,
// otherwise a leading "/" makes it ttClose. "<>" raises an error.
TTag ReadTag(TXMLSource& S);
