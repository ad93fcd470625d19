// Matches through the server program over real connections, by protocol-level players that
// keep their own copy of the match from what the server sent: two matches at once, one to the
// last unit and one against the computer; turns that run out; the program with --no-matches.
#include "started_server.h"

#include "../lobby/protocol_player.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace test_support;
using Lines = std::vector<std::string>;

struct TSocketPlayer {
  TSocketPlayer(uint16_t Port, const std::string& Name) : Client(Port), Name(Name) {
    Client.SendLines({"R|play|1", "L|" + Name + "|pw"});
    EXPECT_EQ(ReadLines(Client, 2), (Lines{"F|play|1", "O|" + Name}));
  }
  // Reads up to and including Until; false when the connection ended or nothing came in time.
  bool ReadUntil(const std::string& Until) {
    for (auto line = Client.ReadLine(); line; line = Client.ReadLine()) {
      Mind.Take(*line);
      Heard.push_back(*line);
      if (*line == Until)
        return true;
    }
    return false;
  }
  bool HeardOnce(const std::string& Line) const {
    return std::count(Heard.begin(), Heard.end(), Line) == 1;
  }

  TLineClient Client;
  std::string Name;
  TMatchPlayer Mind;
  Lines Heard;
};

// Sender says Line and then a chat line; every player reads up to that chat line, so that all
// Line brought has arrived (each connection's lines come in order).
bool SayAndSettle(TSocketPlayer& Sender, const std::string& Line,
                  const std::vector<TSocketPlayer*>& Players) {
  static int mark = 0;
  const std::string chat = "sync " + std::to_string(++mark);
  Sender.Client.SendLines({Line, "C|" + chat});
  bool all = true;
  for (TSocketPlayer* player : Players)
    all = player->ReadUntil("C|" + Sender.Name + "|" + chat) && all;
  return all;
}

TEST(ServerMatches, TwoMatchesAtOnceOneToTheLastUnitOneAgainstTheComputer) {
  TStartedServer server({"--no-flood-limit", "--computer-pace", "0"});
  TSocketPlayer anna(server.Port, "anna"), bert(server.Port, "bert"), carl(server.Port, "carl");
  const std::vector<TSocketPlayer*> all{&anna, &bert, &carl};
  for (auto [who, line] : {std::pair{&anna, "G|plain|10|duel"},
                           {&bert, "J|101"},
                           {&carl, "G|plain|10|solo"},
                           {&carl, "B|"},
                           {&anna, "B|"}})
    ASSERT_TRUE(SayAndSettle(*who, line, all));
  // Whoever's turn it is plays: anna the orders her copy suggests, bert and carl end turns.
  for (int orders = 0; orders < 5000; ++orders) {
    auto next = std::find_if(all.begin(), all.end(), [](auto* P) { return P->Mind.MyTurn(); });
    if (next == all.end())
      break;
    ASSERT_TRUE(SayAndSettle(**next, *next == &anna ? anna.Mind.NextOrder() : "T|", all));
  }
  for (TSocketPlayer* player : all) {
    EXPECT_EQ(player->Mind.Faults, Lines{}) << player->Name;
    EXPECT_TRUE(player->HeardOnce("F|ended|101|anna")) << player->Name;
    EXPECT_TRUE(player->HeardOnce("F|ended|102|Server computer")) << player->Name;
  }
  EXPECT_TRUE(anna.HeardOnce("F|over|0") && bert.HeardOnce("F|out|1"));
  EXPECT_TRUE(carl.HeardOnce("F|out|0") && carl.HeardOnce("F|over|1"));
  // Carl only ended turns: every move and hit he heard was the computer's, within its turn.
  for (int32_t toPlay = 0; const std::string& line : carl.Heard)
    if (auto turn = Read<TTurnLine>(TMsg(line)))
      toPlay = turn->Seat;
    else if (ExtOf(TMsg(line)) == TExt::Moved || ExtOf(TMsg(line)) == TExt::Hit) {
      EXPECT_EQ(toPlay, 1) << line;
    }
  Lines duel;
  for (std::string text; text != "Game 101 over: anna wins" && text != "<none>";)
    if ((text = server.Process->ReadLogText()).rfind("Game 101", 0) == 0)
      duel.push_back(text);
  EXPECT_EQ(duel, (Lines{"Game 101: bert joined", "Game 101 started: anna, bert",
                         "Game 101: seat 1 (bert) is out", "Game 101 over: anna wins"}));
}

TEST(ServerMatches, ATurnRunsOutOnTheServersClock) {
  TStartedServer server({"--turn-time", "0.2"});
  TSocketPlayer anna(server.Port, "anna"), bert(server.Port, "bert");
  anna.Client.SendLine("G|plain|10|quick");
  ASSERT_TRUE(anna.ReadUntil("F|open|101"));
  bert.Client.SendLine("J|101");
  ASSERT_TRUE(anna.ReadUntil("F|joined|101|bert"));
  anna.Client.SendLine("B|");
  // Nobody plays: the turns pass by themselves, and anna is out after her third.
  ASSERT_TRUE(bert.ReadUntil("F|out|0"));
  ASSERT_TRUE(bert.ReadUntil("F|over|1"));
  EXPECT_EQ(bert.Mind.Faults, Lines{});
  Lines turns;
  for (const std::string& line : bert.Heard)
    if (auto turn = Read<TTurnLine>(TMsg(line)))
      turns.push_back(std::to_string(turn->Seat) + "/" + std::to_string(turn->Round) + "/" +
                      std::to_string(turn->SecondsLeft));
  EXPECT_EQ(turns, (Lines{"0/1/1", "1/1/1", "0/2/1", "1/2/1", "0/3/1"}));
}

TEST(ServerMatches, WithNoMatchesTheRequestGoesUnansweredAndJLogsOut) {
  TStartedServer server({"--no-matches"});
  TLineClient anna(server.Port), bert(server.Port);
  anna.SendLines({"R|play|1", "L|anna|pw", "G|plain|10|duel"});
  EXPECT_EQ(ReadLines(anna, 2), (Lines{"O|anna", "G|101|duel|plain|10|anna"}));
  bert.SendLines({"R|play|1", "L|bert|pw", "J|101"});
  EXPECT_EQ(ReadLines(bert, 3), (Lines{"O|bert", "U|anna", "G|101|duel|plain|10|anna"}));
  EXPECT_EQ(ReadLines(anna, 2), (Lines{"E|bert", "X|bert"}));
}

} // namespace
