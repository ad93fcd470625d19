// The client's copy of its match as the server's lines build it: events in order, the way back
// into step through W, the result, a lost connection, the orders it sends.
#include "app/match_session.h"

#include "net/match_lines.h"
#include "net/message.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A session fed by a match the test plays as the server would, with a fake clock.
class MatchSessionTest : public ::testing::Test {
protected:
  void SetUp() override {
    FServer = CreateMatch("plain", 10, {{"anna", false}, {"bert", false}});
    FSession.OnReset = [this](const TGame&, int32_t Seat) { FResets.push_back(Seat); };
    FSession.OnEvent = [this](const TMatchEvent& E) { FEvents.push_back(E); };
  }
  void Line(const std::string& Text) { FSession.MatchLine(TMsg(Text)); }
  void Block(int32_t Seat = 1) {
    for (const std::string& line : MatchBlock(*FServer, 101, Seat, 60)) {
      Line(line);
    }
  }
  // Plays Order for Seat on the server's match and sends its events' lines.
  std::vector<TMatchEvent> Play(int32_t Seat, const TOrder& Order) {
    std::vector<TMatchEvent> events;
    EXPECT_EQ(ExecuteOrder(*FServer, Seat, Order, events), nullptr);
    for (const TMatchEvent& event : events) {
      Line(EventLine(event, *FServer, 50));
    }
    return events;
  }
  TOrder FirstMove(int32_t Seat) {
    for (const auto& unit : FServer->Units) {
      if (UnitSeat(*unit) == Seat) {
        const TTilePos to = ReachOf(*FServer, *unit).Destinations().front();
        return TOrder::MoveTo(unit->Id, to.X, to.Y);
      }
    }
    return TOrder::EndTurn();
  }

  double FNow = 100;
  std::vector<std::string> FSent;
  TMatchSession FSession{[this](const std::string& L) { FSent.push_back(L); },
                         [this] { return FNow; }};
  std::unique_ptr<TGame> FServer;
  std::vector<int32_t> FResets;
  std::vector<TMatchEvent> FEvents;
};

TEST_F(MatchSessionTest, EventsAreAppliedInOrderAndTheTurnCountsDown) {
  Line("F|moved|1|0|0");
  EXPECT_FALSE(FSession.Following()) << "no match of this client's";
  FSession.OwnMatchBegun();
  Block();
  EXPECT_EQ(FResets, (std::vector<int32_t>{1}));
  EXPECT_EQ(FSession.Seat(), 1);
  FNow += 20.5;
  EXPECT_DOUBLE_EQ(FSession.SecondsLeft(), 39.5);

  std::vector<TMatchEvent> expected = Play(0, FirstMove(0));
  for (const TMatchEvent& e : Play(0, TOrder::EndTurn())) {
    expected.push_back(e);
  }
  for (const TMatchEvent& e : Play(1, FirstMove(1))) {
    expected.push_back(e);
  }
  EXPECT_EQ(FEvents, expected);
  EXPECT_EQ(ChecksumText(*FSession.Game()), ChecksumText(*FServer));
  EXPECT_DOUBLE_EQ(FSession.SecondsLeft(), 50) << "from the last turn line";
  EXPECT_TRUE(FSent.empty());
}

// A checksum that is not the copy's, or a line that does not fit it: W once, lines ignored
// until the block that answers it, then back in step.
TEST_F(MatchSessionTest, ACopyOutOfStepIsRebuiltThroughW) {
  for (const char* wrong : {"F|turn|1|1|60|12345", "F|moved|999|3|3"}) {
    FSent.clear();
    FEvents.clear();
    FResets.clear();
    FSession.OwnMatchBegun();
    Block();
    Line(wrong);
    Play(0, FirstMove(0));
    Line("F|hit|999|998|0");
    EXPECT_EQ(FSent, (std::vector<std::string>{"W|"})) << wrong;
    EXPECT_TRUE(FSession.AwaitingBlock());
    EXPECT_TRUE(FEvents.empty()) << wrong;

    Block();
    EXPECT_FALSE(FSession.AwaitingBlock());
    EXPECT_EQ(FResets.size(), 2u);
    Play(0, TOrder::EndTurn());
    EXPECT_EQ(FEvents.size(), 1u);
    EXPECT_EQ(ChecksumText(*FSession.Game()), ChecksumText(*FServer)) << wrong;
    EXPECT_EQ(FSent.size(), 1u) << "in step again";
    FServer = CreateMatch("plain", 10, {{"anna", false}, {"bert", false}});
  }
}

TEST_F(MatchSessionTest, OverGivesTheResultEvenOutOfStep) {
  const struct {
    const char* Before; // a line that puts the copy out of step first, or nothing
    const char* Over;
    const char* Text;
  } cases[] = {
      {nullptr, "F|over|1", "You win"},
      {nullptr, "F|over|0", "anna wins"},
      {"F|moved|999|1|1", "F|over|-1", "Draw"},
  };
  for (const auto& c : cases) {
    FSession.OwnMatchBegun();
    EXPECT_FALSE(FSession.Over());
    Block();
    if (c.Before != nullptr) {
      Line(c.Before);
    }
    Line(c.Over);
    EXPECT_TRUE(FSession.Over());
    EXPECT_EQ(FSession.ResultText(), c.Text);
    EXPECT_EQ(FSession.SecondsLeft(), 0);
  }
  FSent.clear();
  FSession.Order(TOrder::EndTurn());
  EXPECT_TRUE(FSent.empty()) << "no orders once over";
}

TEST_F(MatchSessionTest, OrdersGoOutAsLinesUntilTheMatchIsLeftOrLost) {
  FSession.Order(TOrder::EndTurn());
  EXPECT_TRUE(FSent.empty()) << "no match";
  FSession.OwnMatchBegun();
  Block();
  FSession.Order(TOrder::MoveTo(3, 4, 5));
  FSession.Order(TOrder::AttackWith(3, 9));
  FSession.Order(TOrder::EndTurn());
  FSession.Resign();
  FSession.Resign();
  FSession.Order(TOrder::EndTurn());
  EXPECT_EQ(FSent, (std::vector<std::string>{"M|3|4|5", "A|3|9", "T|", "Y|"}));

  FSession.OwnMatchBegun();
  FSession.Refused("It is not your turn.");
  EXPECT_EQ(FSession.Notice(), "It is not your turn.");
  FNow += TMatchSession::NOTICE_SECONDS;
  EXPECT_EQ(FSession.Notice(), "");
  FSession.ConnectionLost();
  EXPECT_TRUE(FSession.Lost());
  EXPECT_FALSE(FSession.Following());
  FSession.Order(TOrder::EndTurn());
  EXPECT_EQ(FSent.size(), 4u);
}

} // namespace
