#include "net/message.h"

#include <gtest/gtest.h>

namespace {

struct TSplitCase {
  std::string Input;
  TSArray Tokens;
};

TEST(SeparateString, RunsOfSeparatorsEndOneToken) {
  const TSplitCase cases[] = {
      {"a||b", {"a", "b"}},  {"|a", {"", "a"}},
      {"a|", {"a"}},         {"", {}},
      {"||", {""}},          {"a|b|c", {"a", "b", "c"}},
      {"|||x||", {"", "x"}}, {"abc", {"abc"}},
      {"a|||", {"a"}},       {"\x01|\xff", {"\x01", "\xff"}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SeparateString(c.Input, '|'), c.Tokens) << "input '" << c.Input << "'";
}

TEST(MSG, BuildsTypeAndEscapedParameters) {
  EXPECT_EQ(MSG('C', {"hello|world"}), "C|hello&pipe;world");
  EXPECT_EQ(MSG('G', {"forest", "10", "Evening match"}), "G|forest|10|Evening match");
  EXPECT_EQ(MSG('Q', {}), "Q|");
  EXPECT_EQ(MSG('Q', {""}), "Q|");
  EXPECT_EQ(MSG('X', {"a", "", "b"}), "X|a||b");
  EXPECT_EQ(MSG('C', {"||"}), "C|&pipe;&pipe;");
  EXPECT_EQ(MSG('C', TSArray{"a|b", "c"}), "C|a&pipe;b|c");
}

struct TParseCase {
  std::string Line;
  char Type;
  int NumParam;
  TSArray Params;
};

TEST(TMsg, ParsesLines) {
  const TParseCase cases[] = {
      {"C|hello&pipe;world", 'C', 1, {"hello&pipe;world"}},
      {"G|forest|10|Evening match", 'G', 3, {"forest", "10", "Evening match"}},
      {"Q|", 'Q', 0, {}},
      {"", '-', 0, {}},
      {"X|a||b", 'X', 2, {"a", "b"}},
      {"X|", 'X', 0, {}},
      {"Hello|x", 'H', 1, {"x"}},
      {"|a", NoMessageType, 1, {"a"}},
      {"||", NoMessageType, 0, {}},
      {"L|anna|", 'L', 1, {"anna"}},
  };
  for (const auto& c : cases) {
    TMsg msg(c.Line);
    EXPECT_EQ(msg.GetType(), c.Type) << c.Line;
    EXPECT_EQ(msg.NumParam(), c.NumParam) << c.Line;
    for (int i = 0; i < c.NumParam; ++i)
      EXPECT_EQ(msg.GetToken(i + 1), c.Params[static_cast<std::size_t>(i)]) << c.Line;
  }
}

TEST(TMsg, MissingParametersReadAsEmpty) {
  TMsg msg("G|forest");
  EXPECT_EQ(msg.GetToken(0), "G");
  EXPECT_EQ(msg.GetToken(2), "");
  EXPECT_EQ(msg.GetToken(3), "");
  EXPECT_EQ(msg.GetToken(-1), "");
  EXPECT_EQ(TMsg("").GetToken(1), "");
}

TEST(TMsg, EscapedPipeCannotBeToldApartFromLiteralText) {
  EXPECT_EQ(TMsg(MSG('C', {"a|b"})).GetToken(1), TMsg(MSG('C', {"a&pipe;b"})).GetToken(1));
}

} // namespace
