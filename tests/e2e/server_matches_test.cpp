// Matches through the server program over real connections, by protocol-level players that
// keep their own copy of the match from what the server sent: two players to the last unit,
// one against the computer, a turn that runs out, and the program with --no-matches.
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
    EXPECT_EQ(Client.ReadLine(), "F|play|1");
    EXPECT_EQ(Client.ReadLine(), "O|" + Name);
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

// Plays until no one has a turn: the players in Passive only end their turns.
void PlayOut(const std::vector<TSocketPlayer*>& Players,
             const std::vector<TSocketPlayer*>& Passive) {
  for (int orders = 0; orders < 5000; ++orders) {
    auto next = std::find_if(Players.begin(), Players.end(),
                             [](TSocketPlayer* P) { return P->Mind.MyTurn(); });
    if (next == Players.end())
      return;
    bool passive = std::find(Passive.begin(), Passive.end(), *next) != Passive.end();
    ASSERT_TRUE(SayAndSettle(**next, passive ? "T|" : (*next)->Mind.NextOrder(), Players));
  }
  ADD_FAILURE() << "the match did not end";
}

// The log lines about games, in order, until Last.
Lines GameLog(TServerProcess& Log, const std::string& Last) {
  Lines lines;
  for (std::string text = Log.ReadLogText(); text != "<none>"; text = Log.ReadLogText()) {
    if (text.rfind("Game ", 0) == 0)
      lines.push_back(text);
    if (text == Last)
      break;
  }
  return lines;
}

TEST(ServerMatches, TwoPlayersPlayToTheLastUnit) {
  TStartedServer server({"--no-flood-limit"});
  TSocketPlayer anna(server.Port, "anna"), bert(server.Port, "bert");
  SayAndSettle(anna, "G|plain|10|duel", {&anna, &bert});
  SayAndSettle(bert, "J|101", {&anna, &bert});
  ASSERT_TRUE(SayAndSettle(anna, "B|", {&anna, &bert}));
  PlayOut({&anna, &bert}, {&bert});
  for (TSocketPlayer* player : {&anna, &bert}) {
    EXPECT_EQ(player->Mind.Faults, Lines{}) << player->Name;
    EXPECT_EQ(player->Mind.Overs, 1) << player->Name;
    EXPECT_EQ(std::count(player->Heard.begin(), player->Heard.end(), "F|ended|101|anna"), 1);
  }
  EXPECT_EQ(GameLog(*server.Process, "Game 101 over: anna wins"),
            (Lines{"Game 101: bert joined", "Game 101 started: anna, bert",
                   "Game 101: seat 1 (bert) is out", "Game 101 over: anna wins"}));
}

TEST(ServerMatches, AMatchAgainstTheComputerToItsEnd) {
  TStartedServer server({"--no-flood-limit", "--computer-pace", "0"});
  TSocketPlayer anna(server.Port, "anna");
  SayAndSettle(anna, "G|plain|10|solo", {&anna});
  ASSERT_TRUE(SayAndSettle(anna, "B|", {&anna}));
  PlayOut({&anna}, {&anna});
  EXPECT_EQ(anna.Mind.Faults, Lines{});
  EXPECT_EQ(anna.Mind.Mirror.Game()->Winner, 1);
  EXPECT_EQ(GameLog(*server.Process, "Game 101 over: Server computer wins").back(),
            "Game 101 over: Server computer wins");
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
  EXPECT_EQ(anna.ReadLine(), "O|anna");
  EXPECT_EQ(anna.ReadLine(), "G|101|duel|plain|10|anna");
  bert.SendLines({"R|play|1", "L|bert|pw", "J|101"});
  EXPECT_EQ(ReadLines(bert, 3), (Lines{"O|bert", "U|anna", "G|101|duel|plain|10|anna"}));
  EXPECT_EQ(ReadLines(anna, 2), (Lines{"E|bert", "X|bert"}));
}

} // namespace
