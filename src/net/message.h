// The message encoding both programs speak: a type character and string parameters joined by
// "|", each line ended on the wire by one 0x00 byte (added by the socket, not here).
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// Strings are byte strings: every byte but 0x00 travels unchanged.
using TSArray = std::vector<std::string>;

// What stands for "|" inside a parameter. Receivers never translate it back.
inline constexpr std::string_view PipeEscape = "&pipe;";

// The type of an empty line.
inline constexpr char EmptyLineType = '-';

// What GetType answers for a line whose type token is empty (a line that starts with "|"):
// no receiver dispatches on it.
inline constexpr char NoMessageType = '\0';

// Builds the text of one message (without its terminator): the type, "|", then the parameters
// joined by "|" with every "|" inside a parameter written as "&pipe;". "Q|" has no parameters.
std::string MSG(char MType, std::initializer_list<std::string_view> Params);
std::string MSG(char MType, const TSArray& Params);

// Cuts S at Separator. A run of separators ends exactly one token; an empty token arises only
// at the very start; a trailing token is kept only when it is not empty.
TSArray SeparateString(std::string_view S, char Separator);

// One received line cut into tokens: element 0 is the type token, 1.. the parameters.
class TMsg {
public:
  // Message is one line without its terminator; an empty line reads as type "-".
  explicit TMsg(std::string_view Message);

  // The first character of the type token (NoMessageType when that token is empty).
  char GetType() const;
  // Token Index unchanged; a missing parameter (Index outside 0..NumParam) reads as "".
  const std::string& GetToken(int Index) const;
  // The number of parameters.
  int NumParam() const;

  TSArray SArr;
};
