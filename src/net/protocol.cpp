#include "net/protocol.h"

#include <array>
#include <charconv>
#include <limits>

namespace {

constexpr std::array<std::string_view, static_cast<std::size_t>(TExt::Unknown)> ExtWords = {
    "play",  "created", "open",      "entered", "joined", "left", "started",
    "ended", "refused", "cancelled", "start",   "seat",   "tree", "unit",
    "turn",  "moved",   "hit",       "out",     "over",
};

// Decimal digits with an optional "-" (only when Signed), nothing else, within T's range.
template <class T>
std::optional<T> ReadDecimal(std::string_view Text, bool Signed) {
  std::size_t digits = (Signed && !Text.empty() && Text[0] == '-') ? 1 : 0;
  if (digits == Text.size())
    return std::nullopt;
  for (std::size_t i = digits; i < Text.size(); ++i)
    if (Text[i] < '0' || Text[i] > '9')
      return std::nullopt;
  T value{};
  auto [end, error] = std::from_chars(Text.data(), Text.data() + Text.size(), value);
  if (error != std::errc() || end != Text.data() + Text.size())
    return std::nullopt;
  return value;
}

} // namespace

std::string_view ExtWord(TExt Kind) {
  auto index = static_cast<std::size_t>(Kind);
  return index < ExtWords.size() ? ExtWords[index] : std::string_view("unknown");
}

TExt ExtOf(const TMsg& Message) {
  if (Message.GetType() != Msg::Extension)
    return TExt::Unknown;
  const std::string& word = Message.GetToken(1);
  for (std::size_t i = 0; i < ExtWords.size(); ++i)
    if (ExtWords[i] == word)
      return static_cast<TExt>(i);
  return TExt::Unknown;
}

std::optional<int32_t> ReadInt(std::string_view Text) {
  return ReadDecimal<int32_t>(Text, true);
}

std::optional<uint32_t> ReadUint(std::string_view Text) {
  return ReadDecimal<uint32_t>(Text, false);
}

namespace protocol_detail {

bool Take(const TMsg& Message, int& Index, std::string& Value) {
  Value = Message.GetToken(Index++);
  return true;
}

bool Take(const TMsg& Message, int& Index, int32_t& Value) {
  std::optional<int32_t> read = ReadInt(Message.GetToken(Index++));
  Value = read.value_or(0);
  return read.has_value();
}

bool Take(const TMsg& Message, int& Index, uint32_t& Value) {
  std::optional<uint32_t> read = ReadUint(Message.GetToken(Index++));
  Value = read.value_or(0);
  return read.has_value();
}

bool Take(const TMsg& Message, int& Index, bool& Value) {
  const std::string& token = Message.GetToken(Index++);
  Value = token == "1";
  return token == "0" || token == "1";
}

bool Take(const TMsg& Message, int& Index, std::vector<std::string>& Values) {
  Values.clear();
  for (; Index <= Message.NumParam(); ++Index)
    Values.push_back(Message.GetToken(Index));
  return true;
}

} // namespace protocol_detail
