// The match panel filled from a match, as each player sees it; no window needed.
#include "app/match_panel.h"

#include "gui/bar.h"
#include "gui/button.h"
#include "gui/desktop.h"
#include "gui/image.h"
#include "gui/label.h"
#include "gui/text_layout.h"
#include "gui/window.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace {

const std::string PANEL_FILE = std::string(SOURCE_DIR) + "/media/matchpanel.ui";

class MatchPanelTest : public ::testing::Test {
protected:
  void SetUp() override {
    Game = CreateMatch("plain", 10, {{"anna", false}, {"bert", false}, {"carl", false}});
    Panel = std::make_unique<TMatchPanel>(Desktop, PANEL_FILE);
  }
  TUIDesktop Desktop;
  std::unique_ptr<TGame> Game;
  std::unique_ptr<TMatchPanel> Panel;
};

TEST_F(MatchPanelTest, TheFileHoldsEveryNamedWidget) {
  EXPECT_EQ(Panel->Window->FParent, &Desktop);
  EXPECT_NE(Panel->TurnBar, nullptr);
  EXPECT_NE(Panel->RoundLabel, nullptr);
  EXPECT_NE(Panel->TimeBar, nullptr);
  for (int32_t seat = 0; seat < MaxSeats; ++seat) {
    EXPECT_NE(Panel->SeatColours[static_cast<std::size_t>(seat)], nullptr);
    EXPECT_NE(Panel->SeatLabels[static_cast<std::size_t>(seat)], nullptr);
  }
  EXPECT_EQ(Panel->EndTurnButton->FCaption, "End turn");
  EXPECT_EQ(Panel->ResignButton->FCaption, "Resign");
  EXPECT_THROW(TMatchPanel(Desktop, std::string(SOURCE_DIR) + "/media/game.ui"),
               std::runtime_error);
}

TEST_F(MatchPanelTest, ThePlayerWhoseTurnItIsSeesItPlainly) {
  Panel->SetSeatTextures({11, 12, 13, 14});
  Panel->Update(*Game, 0, 47.2);
  EXPECT_EQ(Panel->TurnBar->FCaption, "Your turn");
  EXPECT_EQ(Panel->TurnBar->FPosition, Panel->TurnBar->FMax) << "a full bar";
  EXPECT_EQ(Panel->RoundLabel->FCaption, "Round 1 of 50");
  EXPECT_EQ(Panel->TimeBar->FCaption, "48 seconds left");
  EXPECT_EQ(Panel->TimeBar->FPosition, 48);
  EXPECT_EQ(Panel->TimeBar->FMax, 48);
  EXPECT_EQ(Panel->SeatLabels[0]->FCaption, "> anna: 6 units");
  EXPECT_EQ(Panel->SeatLabels[1]->FCaption, "bert: 6 units");
  EXPECT_EQ(Panel->SeatLabels[3]->FCaption, "");
  EXPECT_EQ(Panel->SeatColours[2]->FImage, 13u);
  EXPECT_GT(Panel->SeatColours[2]->FWidth, 0);
  EXPECT_EQ(Panel->SeatColours[3]->FWidth, 0) << "no fourth seat";
  EXPECT_TRUE(Panel->EndTurnButton->FEnabled);
  EXPECT_TRUE(Panel->ResignButton->FEnabled);
  // The time bar keeps the turn's length as its time runs out.
  Panel->Update(*Game, 0, 0.5);
  EXPECT_EQ(Panel->TimeBar->FCaption, "1 second left");
  EXPECT_EQ(Panel->TimeBar->FPosition, 1);
  EXPECT_EQ(Panel->TimeBar->FMax, 48);
}

TEST_F(MatchPanelTest, OthersSeeWhoseTurnItIsAndCannotEndIt) {
  std::vector<TMatchEvent> events;
  ASSERT_EQ(ExecuteOrder(*Game, 1, TOrder::Leave(), events), nullptr);
  Panel->Update(*Game, 2, 30);
  EXPECT_EQ(Panel->TurnBar->FCaption, "Turn: anna");
  EXPECT_EQ(Panel->TurnBar->FPosition, 0);
  EXPECT_EQ(Panel->SeatLabels[1]->FCaption, "bert: out");
  EXPECT_FALSE(Panel->EndTurnButton->FEnabled);
  EXPECT_TRUE(Panel->ResignButton->FEnabled);
  Panel->Update(*Game, 1, 30);
  EXPECT_FALSE(Panel->ResignButton->FEnabled) << "bert is out already";
}

TEST_F(MatchPanelTest, TheEndNamesTheWinner) {
  Game->Over = true;
  Game->Winner = 2;
  Panel->Update(*Game, 2, 0);
  EXPECT_EQ(Panel->TurnBar->FCaption, "You win");
  Panel->Update(*Game, 0, 0);
  EXPECT_EQ(Panel->TurnBar->FCaption, "carl wins");
  EXPECT_EQ(Panel->TimeBar->FCaption, "");
  EXPECT_FALSE(Panel->EndTurnButton->FEnabled);
  EXPECT_FALSE(Panel->ResignButton->FEnabled);
  Game->Winner = -1;
  Panel->Update(*Game, 0, 0);
  EXPECT_EQ(Panel->TurnBar->FCaption, "Draw");
}

TEST_F(MatchPanelTest, TheButtonsCallTheirHandlers) {
  Panel->Update(*Game, 0, 30);
  int ended = 0, resigned = 0;
  Panel->EndTurnButton->FOnClick(Panel->EndTurnButton);
  Panel->OnEndTurn = [&] { ++ended; };
  Panel->OnResign = [&] { ++resigned; };
  Panel->EndTurnButton->FOnClick(Panel->EndTurnButton);
  Panel->ResignButton->FOnClick(Panel->ResignButton);
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(resigned, 1);
}

} // namespace

TEST(MatchPanel, TheComputersSeatLineIsWholeAndFitsItsLabel) {
  TUIDesktop desktop;
  TMatchPanel panel(desktop, PANEL_FILE);
  const auto game = CreateMatch("plain", 10, {{"anna", false}, {"Server computer", true}});
  panel.Update(*game, 0, 30);
  const TUILabel& label = *panel.SeatLabels[1];
  EXPECT_EQ(label.FCaption, "Server computer: 6 units");
  // The longest line a seat can have: the turn's marker and two-digit units.
  EXPECT_LE(TextWidth(std::string("> Server computer: 12 units").size()), label.FWidth);
}
