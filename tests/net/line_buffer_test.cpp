#include "net/line_buffer.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

std::vector<std::string> Drain(TLineBuffer& Buffer) {
  std::vector<std::string> lines;
  std::string line;
  while (Buffer.TakeLine(line))
    lines.push_back(line);
  return lines;
}

void Append(TLineBuffer& Buffer, const std::string& Bytes) {
  Buffer.Append(Bytes.data(), Bytes.size());
}

TEST(TLineBuffer, HalfLineWaitsForItsEnd) {
  TLineBuffer buffer;
  Append(buffer, "C|hal");
  EXPECT_TRUE(Drain(buffer).empty());
  EXPECT_EQ(buffer.Buffered(), 5u);
  Append(buffer, std::string("f\0Q|\0L|", 7));
  EXPECT_EQ(Drain(buffer), (std::vector<std::string>{"C|half", "Q|"}));
  Append(buffer, std::string("a|b\0", 4));
  EXPECT_EQ(Drain(buffer), (std::vector<std::string>{"L|a|b"}));
  EXPECT_EQ(buffer.Buffered(), 0u);
}

TEST(TLineBuffer, EmptyLinesAreLines) {
  TLineBuffer buffer;
  Append(buffer, std::string("\0\0x\0", 4));
  EXPECT_EQ(Drain(buffer), (std::vector<std::string>{"", "", "x"}));
}

TEST(TLineBuffer, LineOfMaximumLengthPassesOneMoreByteOverflows) {
  const std::size_t max = TLineBuffer::MaxLineLength;
  TLineBuffer exact;
  Append(exact, std::string(max, 'a') + '\0');
  auto lines = Drain(exact);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].size(), max);
  EXPECT_FALSE(exact.Overflowed());

  // Too long whether or not its terminator has arrived, and the earlier lines still come out.
  for (bool terminated : {false, true}) {
    TLineBuffer buffer;
    Append(buffer, std::string("ok\0", 3) + std::string(max + 1, 'b') +
                       (terminated ? std::string(1, '\0') : std::string()));
    EXPECT_EQ(Drain(buffer), (std::vector<std::string>{"ok"}));
    EXPECT_TRUE(buffer.Overflowed());
    Append(buffer, std::string("late\0", 5));
    EXPECT_TRUE(Drain(buffer).empty());
  }
}

TEST(TLineBuffer, OverflowIsNoticedWhileTheLineStillArrives) {
  TLineBuffer buffer;
  std::string chunk(4096, 'z');
  std::size_t fed = 0;
  while (!buffer.Overflowed() && fed < 2 * TLineBuffer::MaxLineLength) {
    Append(buffer, chunk);
    fed += chunk.size();
    Drain(buffer);
  }
  EXPECT_TRUE(buffer.Overflowed());
  EXPECT_LE(fed, TLineBuffer::MaxLineLength + chunk.size());
}

TEST(TLineBuffer, AnyChunkingGivesTheSameLines) {
  std::mt19937 random(7);
  std::string stream;
  std::vector<std::string> expected;
  for (int i = 0; i < 500; ++i) {
    std::string line(random() % 300, 'a' + static_cast<char>(i % 26));
    expected.push_back(line);
    stream += line;
    stream += '\0';
  }
  for (int round = 0; round < 20; ++round) {
    TLineBuffer buffer;
    std::vector<std::string> got;
    std::size_t at = 0;
    while (at < stream.size()) {
      std::size_t size = std::min<std::size_t>(1 + random() % 700, stream.size() - at);
      buffer.Append(stream.data() + at, size);
      at += size;
      for (auto& line : Drain(buffer))
        got.push_back(line);
    }
    ASSERT_EQ(got, expected) << "round " << round;
    EXPECT_EQ(buffer.Buffered(), 0u);
  }
}

} // namespace
