// Arbitrary bytes through the line buffer a server keeps per connection, in chunks whose sizes
// the input chooses, and every line through TMsg. Checks that the lines handed out are exactly
// the bytes received, that only a too-long line stops the stream, and that parsing and
// rebuilding a message agree.
#include "net/line_buffer.h"
#include "net/message.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool Condition) {
  if (!Condition)
    std::abort();
}

void CheckMessage(const std::string& Line) {
  TMsg msg(Line);
  Check(!msg.SArr.empty());
  Check(msg.NumParam() == static_cast<int>(msg.SArr.size()) - 1);
  Check(msg.GetToken(msg.NumParam() + 1).empty());
  Check(msg.GetToken(-1).empty());
  char type = msg.GetType();
  if (Line.empty())
    Check(type == EmptyLineType);
  for (int i = 1; i <= msg.NumParam(); ++i)
    Check(!msg.GetToken(i).empty() && msg.GetToken(i).find('|') == std::string::npos);
  if (msg.SArr[0].size() == 1) {
    TSArray params(msg.SArr.begin() + 1, msg.SArr.end());
    TMsg again(MSG(type, params));
    Check(again.SArr == msg.SArr);
  }
}

} // namespace

// With the first byte at 0xF0 or above, the rest is read as runs (count high byte, count low
// byte, byte) so that small inputs can reach the line limit.
std::string Expand(const uint8_t* Data, std::size_t Size) {
  constexpr std::size_t Most = TLineBuffer::MaxLineLength + 8192;
  std::string out;
  for (std::size_t i = 0; i + 2 < Size && out.size() < Most; i += 3)
    out.append(static_cast<std::size_t>(Data[i]) * 256 + Data[i + 1],
               static_cast<char>(Data[i + 2]));
  return out;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size == 0)
    return 0;
  const bool runs = Data[0] >= 0xF0;
  const std::size_t chunk = runs ? 1 + (Data[0] & 0x0F) * 997u : 1 + Data[0] % 64;
  const std::string input = runs ? Expand(Data + 1, Size - 1)
                                 : std::string(reinterpret_cast<const char*>(Data + 1), Size - 1);
  const char* bytes = input.data();
  const std::size_t total = input.size();
  TLineBuffer buffer;
  std::string rebuilt;
  std::string line;
  std::size_t fed = 0;
  while (fed < total && !buffer.Overflowed()) {
    std::size_t size = std::min(chunk, total - fed);
    buffer.Append(bytes + fed, size);
    fed += size;
    while (buffer.TakeLine(line)) {
      Check(line.size() <= TLineBuffer::MaxLineLength);
      Check(line.find('\0') == std::string::npos);
      CheckMessage(line);
      rebuilt += line;
      rebuilt += '\0';
    }
  }
  Check(rebuilt.size() <= fed);
  Check(rebuilt == std::string(bytes, rebuilt.size()));
  Check(rebuilt.size() + buffer.Buffered() == fed);
  if (buffer.Overflowed()) {
    // The rest of what arrived starts with a line too long to take.
    std::string rest(bytes + rebuilt.size(), fed - rebuilt.size());
    Check(rest.find('\0') == std::string::npos ? rest.size() > TLineBuffer::MaxLineLength
                                               : rest.find('\0') > TLineBuffer::MaxLineLength);
  }
  return 0;
}
