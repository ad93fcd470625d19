#include "net/message.h"

namespace {

void AppendEscaped(std::string& Out, std::string_view Param) {
  for (char c : Param) {
    if (c == '|')
      Out += PipeEscape;
    else
      Out += c;
  }
}

template <class Range>
std::string Build(char MType, const Range& Params) {
  std::string out;
  out += MType;
  out += '|';
  bool first = true;
  for (std::string_view param : Params) {
    if (!first)
      out += '|';
    first = false;
    AppendEscaped(out, param);
  }
  return out;
}

} // namespace

std::string MSG(char MType, std::initializer_list<std::string_view> Params) {
  return Build(MType, Params);
}

std::string MSG(char MType, const TSArray& Params) {
  return Build(MType, Params);
}

TSArray SeparateString(std::string_view S, char Separator) {
  TSArray result;
  std::string token;
  std::size_t i = 0;
  while (i < S.size()) {
    char c = S[i];
    if (c == Separator) {
      result.push_back(token);
      token.clear();
      ++i;
      while (i < S.size() && S[i] == Separator)
        ++i;
    } else {
      token += c;
      ++i;
    }
  }
  if (!token.empty())
    result.push_back(token);
  return result;
}

TMsg::TMsg(std::string_view Message) {
  if (Message.empty())
    SArr = {std::string(1, EmptyLineType)};
  else
    SArr = SeparateString(Message, '|');
}

char TMsg::GetType() const {
  if (SArr.empty() || SArr[0].empty())
    return NoMessageType;
  return SArr[0][0];
}

const std::string& TMsg::GetToken(int Index) const {
  static const std::string missing;
  if (Index < 0 || static_cast<std::size_t>(Index) >= SArr.size())
    return missing;
  return SArr[static_cast<std::size_t>(Index)];
}

int TMsg::NumParam() const {
  return SArr.empty() ? 0 : static_cast<int>(SArr.size()) - 1;
}
