#include "net/line_buffer.h"

#include <cstring>

namespace {
// Beyond this, an emptied buffer gives its memory back instead of keeping it for the next line.
constexpr std::size_t KeptCapacity = 16 * 1024;
} // namespace

void TLineBuffer::Append(const char* Data, std::size_t Size) {
  if (FOverflowed || Size == 0)
    return;
  if (FStart == FData.size()) {
    FData.clear();
    FStart = FScanned = 0;
    if (FData.capacity() > KeptCapacity)
      std::string().swap(FData);
  } else if (FStart > 0 && FStart >= FData.size() / 2) {
    FData.erase(0, FStart);
    FScanned -= FStart;
    FStart = 0;
  }
  FData.append(Data, Size);
}

bool TLineBuffer::TakeLine(std::string& Line) {
  if (FOverflowed)
    return false;
  std::size_t from = FScanned > FStart ? FScanned : FStart;
  const void* hit = std::memchr(FData.data() + from, '\0', FData.size() - from);
  if (hit == nullptr) {
    FScanned = FData.size();
    if (FData.size() - FStart > MaxLineLength)
      FOverflowed = true;
    return false;
  }
  std::size_t end = static_cast<std::size_t>(static_cast<const char*>(hit) - FData.data());
  if (end - FStart > MaxLineLength) {
    FOverflowed = true;
    return false;
  }
  Line.assign(FData, FStart, end - FStart);
  FStart = end + 1;
  FScanned = FStart;
  return true;
}
