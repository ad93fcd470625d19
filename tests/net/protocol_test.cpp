// The extension's lines that no lobby test spells out build to their exact text and read back
// the same; numbers, flags and sub-types that do not fit are refused.
#include "net/protocol.h"

#include <gtest/gtest.h>

namespace {

template <class T>
void ExpectLine(const T& Line, const std::string& Text) {
  EXPECT_EQ(Build(Line), Text);
  const std::optional<T> read = Read<T>(TMsg(Text));
  EXPECT_EQ(read ? Build(*read) : "<unread>", Text);
}

TEST(Protocol, LinesBuildTheirTextAndReadBack) {
  ExpectLine((TTreeLine{7, 0}), "F|tree|7|0");
  ExpectLine((TUnitLine{12, 1, "tank", 15, 14, 20, true, false}), "F|unit|12|1|tank|15|14|20|1|0");
  ExpectLine((TTurnLine{0, 1, 66, 4294967295u}), "F|turn|0|1|66|4294967295");
  ExpectLine((TMovedLine{3, 2, 6}), "F|moved|3|2|6");
  ExpectLine((THitLine{3, 17, 0}), "F|hit|3|17|0");
  ExpectLine((TMatchEnded{101, ""}), "F|ended|101|"); // a draw: an empty last text
}

TEST(Protocol, LinesThatDoNotFitAreNotRead) {
  const std::pair<const char*, bool> moves[] = {
      {"M|1|2|3", true},           {"M|1|2|3|extra", true},     {"M|1|2", false},
      {"M|x|2|3", false},          {"M|1|2|3 ", false},         {"M|+1|2|3", false},
      {"M|2147483648|0|0", false}, {"M|-2147483648|0|0", true}, {"A|1|2|3", false}};
  for (const auto& [line, read] : moves)
    EXPECT_EQ(Read<TMoveOrder>(TMsg(line)).has_value(), read) << line;
  EXPECT_FALSE(Read<TUnitLine>(TMsg("F|unit|1|0|viking|0|0|10|2|0"))) << "a flag is 0 or 1";
  EXPECT_FALSE(Read<TTurnLine>(TMsg("F|turn|0|1|30|-5"))) << "a checksum has no sign";
  EXPECT_FALSE(Read<TOutLine>(TMsg("F|over|1"))) << "another sub-type";
  EXPECT_EQ(ExtOf(TMsg("C|hit|1")), TExt::Unknown);
  EXPECT_EQ(ExtOf(TMsg("F|future|1")), TExt::Unknown);
}

} // namespace
