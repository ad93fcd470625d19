// The catalogue's lines: each builds to its exact text and reads back the same; numbers,
// flags, letters and sub-types that do not fit are refused.
#include "net/protocol.h"

#include <gtest/gtest.h>

namespace {

// Build(line), and the same text again after reading it back.
template <class T>
std::pair<std::string, std::string> RoundTrip(const T& Line) {
  std::string text = Build(Line);
  std::optional<T> read = Read<T>(TMsg(text));
  return {text, read ? Build(*read) : "<unread>"};
}

#define EXPECT_LINE(Line, Text)                                                                    \
  do {                                                                                             \
    auto [built, again] = RoundTrip(Line);                                                         \
    EXPECT_EQ(built, Text);                                                                        \
    EXPECT_EQ(again, Text);                                                                        \
  } while (false)

TEST(Protocol, EveryLineBuildsItsTextAndReadsBack) {
  EXPECT_LINE((TLoginRequest{"anna", "pw"}), "L|anna|pw");
  EXPECT_LINE(TQuitRequest{}, "Q|");
  EXPECT_LINE(TChatRequest{"a|b"}, "C|a&pipe;b");
  EXPECT_LINE((TAnnounceRequest{"forest", "10", "Evening match"}), "G|forest|10|Evening match");
  EXPECT_LINE((TFeatureRequest{"play", "1"}), "R|play|1");
  EXPECT_LINE(TJoinRequest{101}, "J|101");
  EXPECT_LINE(TLeaveRequest{}, "K|");
  EXPECT_LINE(TBeginRequest{}, "B|");
  EXPECT_LINE((TMoveOrder{3, 4, 5}), "M|3|4|5");
  EXPECT_LINE((TAttackOrder{3, 17}), "A|3|17");
  EXPECT_LINE(TEndTurnOrder{}, "T|");
  EXPECT_LINE(TResignRequest{}, "Y|");
  EXPECT_LINE(TStateRequest{}, "W|");
  EXPECT_LINE(TLoginAccepted{"anna"}, "O|anna");
  EXPECT_LINE(TLoginDenied{"Invalid user/pass"}, "N|Invalid user/pass");
  EXPECT_LINE(TUserEntered{"bert"}, "E|bert");
  EXPECT_LINE(TUserPresent{"bert"}, "U|bert");
  EXPECT_LINE((TGameAnnounced{101, "Evening match", "forest", 10, "anna"}),
              "G|101|Evening match|forest|10|anna");
  EXPECT_LINE((TChatRelayed{"anna", "hi"}), "C|anna|hi");
  EXPECT_LINE(TGameRemoved{101}, "H|101");
  EXPECT_LINE(TUserExited{"anna"}, "X|anna");
  EXPECT_LINE(TPlayOffer{}, "F|play|1");
  EXPECT_LINE(TGameCreated{101}, "F|created|101");
  EXPECT_LINE(TGameOpen{101}, "F|open|101");
  EXPECT_LINE(TGameEntered{101}, "F|entered|101");
  EXPECT_LINE((TPlayerJoined{101, "bert"}), "F|joined|101|bert");
  EXPECT_LINE((TPlayerLeft{101, "bert"}), "F|left|101|bert");
  EXPECT_LINE((TMatchStarted{101, {"anna", "Server computer"}}),
              "F|started|101|anna|Server computer");
  EXPECT_LINE((TMatchEnded{101, "anna"}), "F|ended|101|anna");
  EXPECT_LINE(TRefusal{"It is not your turn."}, "F|refused|It is not your turn.");
  EXPECT_LINE((TStartLine{101, "forest", 16, 16, 1, 2}), "F|start|101|forest|16|16|1|2");
  EXPECT_LINE((TSeatLine{1, "bert"}), "F|seat|1|bert");
  EXPECT_LINE((TTreeLine{7, 0}), "F|tree|7|0");
  EXPECT_LINE((TUnitLine{12, 1, "tank", 15, 14, 20, true, false}), "F|unit|12|1|tank|15|14|20|1|0");
  EXPECT_LINE((TTurnLine{0, 1, 66, 4294967295u}), "F|turn|0|1|66|4294967295");
  EXPECT_LINE((TMovedLine{3, 2, 6}), "F|moved|3|2|6");
  EXPECT_LINE((THitLine{3, 17, 0}), "F|hit|3|17|0");
  EXPECT_LINE(TOutLine{2}, "F|out|2");
  EXPECT_LINE(TOverLine{-1}, "F|over|-1");
}

TEST(Protocol, AnEmptyLastTextReadsBackEmpty) {
  EXPECT_EQ(Build(TMatchEnded{101, ""}), "F|ended|101|");
  auto ended = Read<TMatchEnded>(TMsg("F|ended|101|"));
  ASSERT_TRUE(ended);
  EXPECT_EQ(ended->Winner, "");
  auto started = Read<TMatchStarted>(TMsg("F|started|7"));
  ASSERT_TRUE(started);
  EXPECT_TRUE(started->Seats.empty());
}

TEST(Protocol, LinesThatDoNotFitAreNotRead) {
  const std::pair<const char*, bool> moves[] = {
      {"M|1|2|3", true},           {"M|1|2|3|extra", true},     {"M|1|2", false},
      {"M|x|2|3", false},          {"M|1|2|3 ", false},         {"M|+1|2|3", false},
      {"M|2147483648|0|0", false}, {"M|-2147483648|0|0", true}, {"A|1|2|3", false},
      {"Move|1|2|3", true}, // the letter is the first character, as for every line
  };
  for (const auto& [line, read] : moves)
    EXPECT_EQ(Read<TMoveOrder>(TMsg(line)).has_value(), read) << line;
  EXPECT_FALSE(Read<TUnitLine>(TMsg("F|unit|1|0|viking|0|0|10|2|0"))) << "a flag is 0 or 1";
  EXPECT_FALSE(Read<TTurnLine>(TMsg("F|turn|0|1|30|-5"))) << "a checksum has no sign";
  EXPECT_FALSE(Read<TOutLine>(TMsg("F|over|1"))) << "another sub-type";
  EXPECT_FALSE(Read<TJoinRequest>(TMsg("J|abc")));
  EXPECT_FALSE(Read<TJoinRequest>(TMsg("J|")));
}

TEST(Protocol, SubTypesAreKnownByTheirWord) {
  EXPECT_EQ(ExtOf(TMsg("F|hit|1|2|3")), TExt::Hit);
  EXPECT_EQ(ExtOf(TMsg("F|future|1")), TExt::Unknown);
  EXPECT_EQ(ExtOf(TMsg("C|hit|1")), TExt::Unknown);
  EXPECT_EQ(ExtOf(TMsg("F|")), TExt::Unknown);
  for (int kind = 0; kind < static_cast<int>(TExt::Unknown); ++kind)
    EXPECT_EQ(ExtOf(TMsg("F|" + std::string(ExtWord(static_cast<TExt>(kind))))),
              static_cast<TExt>(kind));
}

} // namespace
