// Collects the bytes of one connection and hands out its complete 0x00-terminated lines, so
// that a reader never has to wait for the rest of a line. A line longer than MaxLineLength ends
// the stream: memory per connection stays bounded whatever a peer sends.
#pragma once

#include <cstddef>
#include <string>

class TLineBuffer {
public:
  static constexpr std::size_t MaxLineLength = 64 * 1024;

  // Adds bytes as they came off the connection. Ignored once Overflowed.
  void Append(const char* Data, std::size_t Size);

  // Moves the oldest complete line (without its terminator) into Line. Answers false when no
  // complete line is waiting, or when the next line is too long (Overflowed turns true). Call
  // it until it answers false after every Append.
  bool TakeLine(std::string& Line);

  // True once a line longer than MaxLineLength has been seen, finished or not; the lines before
  // it have all been handed out.
  bool Overflowed() const { return FOverflowed; }

  // Bytes held that do not yet form a handed-out line.
  std::size_t Buffered() const { return FData.size() - FStart; }

private:
  std::string FData;
  std::size_t FStart = 0;   // first byte not handed out
  std::size_t FScanned = 0; // bytes from FStart on up to here hold no terminator
  bool FOverflowed = false;
};
