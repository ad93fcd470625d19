// Waiting rooms, lines in and lines out on a recorded lobby: asking for matches, announcing,
// joining and leaving, what a newcomer catches up on, every refusal in the lobby, and leaving
// a room in every way.
#include "lobby_recorder.h"

#include <gtest/gtest.h>

namespace {

using namespace test_support;
using Heard = std::vector<Lines>;

TEST(WaitingRooms, TheRequestIsAnsweredOnceBeforeLoginAndOnlyWhenMatchesAreOn) {
  for (bool matches : {true, false}) {
    TServerLimits limits = MatchLimits();
    limits.Lobby.Matches = matches;
    TRecorder lobby(limits);
    TSocket* conn = lobby.Connect();
    for (const char* line : {"R|play|1", "R|play|1", "R|play|2", "R|", "R|game|1", "L|anna|pw"})
      lobby.Say(conn, line);
    EXPECT_EQ(lobby.Heard(conn), matches ? (Lines{"F|play|1", "O|anna"}) : (Lines{"O|anna"}));
  }
}

TEST(WaitingRooms, WithoutMatchesOrWithoutAskingTheNewLettersLogOutAsAnyUnknownLetter) {
  for (bool matches : {true, false}) {
    TServerLimits limits = MatchLimits();
    limits.Lobby.Matches = matches;
    // Bert does not ask, or the lobby has no matches to give.
    TRecordedLobby lobby(matches ? Lines{"anna"} : Lines{"anna", "bert"},
                         matches ? Lines{"bert"} : Lines{}, limits);
    lobby[0].Say("G|plain|10|duel");
    lobby.Heard();
    for (const char* line : {"J|101", "K|", "B|", "W|", "M|1|1|1", "Y|", "R|play|1"}) {
      EXPECT_EQ(lobby.After(1, line), (Heard{{"X|bert"}, {}})) << line;
      EXPECT_EQ(lobby.After(1, "L|bert|pw"),
                (Heard{{"E|bert"}, {"O|bert", "U|anna", "G|101|duel|plain|10|anna"}}));
    }
  }
}

TEST(WaitingRooms, AnnouncedJoinedAndLeftAsOnlyAskersHearIt) {
  TRecordedLobby lobby({"anna", "bert"}, {"carl"});
  const std::string g = "G|101|duel|plain|10|anna";
  EXPECT_EQ(lobby.After(0, "G|plain|10|duel"),
            (Heard{{g, "F|created|101", "F|open|101"}, {g, "F|open|101"}, {g}}));
  EXPECT_EQ(lobby.After(1, "J|101"),
            (Heard{{"F|joined|101|bert"}, {"F|entered|101", "F|joined|101|bert"}, {}}));
  EXPECT_EQ(lobby.Log(), (Lines{"Game 101: bert joined"}));
}

TEST(WaitingRooms, InABusyLobbyEveryRefusalChangesNothingAndNewcomersCatchUp) {
  TServerLimits limits = MatchLimits();
  limits.Lobby.MaxGames = 2;
  TRecordedLobby lobby({"anna", "bert", "dora", "erik", "fay", "gus"}, {"carl"}, limits);
  lobby[2].Say("G|plain|10|solo"); // 101, started
  lobby[2].Say("B|");
  lobby[0].Say("G|plain|10|full"); // 102, with bert, fay and gus
  lobby[6].Say("G|plain|10|old");  // 103, its creator cannot start matches
  for (std::size_t joiner : {1, 4, 5})
    lobby[joiner].Say("J|102");
  lobby.Heard();
  lobby.Log();
  const std::string full =
      "Game not announced: the lobby already lists the most games it holds (2).";
  const std::tuple<std::size_t, const char*, Lines> cases[] = {
      {0, "J|102", {"F|refused|This is your own game."}},
      {0, "J|103", {"F|refused|You are already in a game."}},
      {1, "J|102", {"F|refused|You are already in a game."}},
      {0, "G|plain|10|another", {"F|refused|You are already in a game."}},
      {3, "J|102", {"F|refused|This game is full."}},
      {3, "J|103", {"F|refused|This game's creator cannot start matches."}},
      {3, "J|101", {"F|refused|This game has already started."}},
      {3, "J|999", {"F|refused|There is no such game."}},
      {3, "J|abc", {"F|refused|There is no such game."}},
      {3, "J|", {"F|refused|There is no such game."}},
      {3, "K|", {"F|refused|You are not in a waiting room."}},
      {3, "B|", {"F|refused|You have no game to start."}},
      {1, "B|", {"F|refused|Only the game's creator can start it."}},
      {3, "M|1|2|3", {"F|refused|You are not in a match."}},
      {3, "A|1|2", {"F|refused|You are not in a match."}},
      {3, "T|", {"F|refused|You are not in a match."}},
      {3, "Y|", {"F|refused|You are not in a match."}},
      {3, "W|", {"F|refused|You are not in a match."}},
      {2, "J|102", {"F|refused|You are in a match; Y leaves it."}},
      {2, "K|", {"F|refused|You are in a match; Y leaves it."}},
      {2, "B|", {"F|refused|You are in a match; Y leaves it."}},
      {2, "G|plain|10|more", {"F|refused|You are in a match; Y leaves it."}},
      // A game the lobby's limits refuse is refused in both languages, or in the old one.
      {3, "G|plain|10|more", {"C|Server|" + full, "F|refused|" + full}},
      {6, "G|plain|10|more", {"C|Server|" + full}},
  };
  for (const auto& [who, line, heard] : cases)
    EXPECT_EQ(lobby.After(who, line), lobby.Only(who, heard)) << lobby[who].Name << " " << line;
  EXPECT_EQ(lobby.Log().size(), 2u) << "the two games not announced";
  // An asking newcomer hears each joinable room, oldest first, with its joiners in join order,
  // then each match in progress; one that does not ask, only the lobby.
  const Lines lobbyLines{"U|anna",
                         "U|bert",
                         "U|dora",
                         "U|erik",
                         "U|fay",
                         "U|gus",
                         "U|carl",
                         "G|102|full|plain|10|anna",
                         "G|103|old|plain|10|carl"};
  Lines expected{"F|play|1", "O|hal"};
  for (const Lines& part :
       {lobbyLines, Lines{"F|open|102", "F|joined|102|bert", "F|joined|102|fay", "F|joined|102|gus",
                          "F|started|101|dora|Server computer"}})
    expected.insert(expected.end(), part.begin(), part.end());
  EXPECT_EQ(TRecordedPeer(lobby, "hal").Heard(), expected);
  expected = {"O|ian"};
  expected.insert(expected.end(), lobbyLines.begin(), lobbyLines.end());
  expected.insert(expected.begin() + 8, "U|hal");
  EXPECT_EQ(TRecordedPeer(lobby, "ian", false).Heard(), expected);
}

TEST(WaitingRooms, ACreatorWhoLeavesCancelsTheGameAJoinerWhoLeavesLeavesTheRoom) {
  const std::tuple<std::size_t, const char*, Lines, Lines> cases[] = {
      // who leaves, how, what the other asker and a peer that did not ask hear
      {0, "K|", {"F|cancelled|101", "H|101"}, {"H|101"}},
      {0, "Q|", {"F|cancelled|101", "H|101", "X|anna"}, {"H|101", "X|anna"}},
      {0, "hang up", {"F|cancelled|101", "H|101", "X|anna"}, {"H|101", "X|anna"}},
      {1, "K|", {"F|left|101|bert"}, {}},
      {1, "Q|", {"F|left|101|bert", "X|bert"}, {"X|bert"}},
      {1, "hang up", {"F|left|101|bert", "X|bert"}, {"X|bert"}},
  };
  for (const auto& [who, way, other, plain] : cases) {
    TRecordedLobby lobby({"anna", "bert"}, {"carl"});
    lobby.Open(1);
    if (way == std::string("hang up"))
      lobby.Hangup(lobby[who].Conn);
    else
      lobby[who].Say(way);
    EXPECT_EQ(lobby[1 - who].Heard(), other) << who << way;
    EXPECT_EQ(lobby[2].Heard(), plain) << who << way;
    const Lines log = lobby.Log();
    EXPECT_EQ(std::count(log.begin(), log.end(),
                         who == 0 ? "Game 101 cancelled: anna left" : "Game 101: bert left"),
              1)
        << who << way;
    // A joiner is back in the lobby, free to announce a game of its own.
    if (who == 0) {
      EXPECT_EQ(lobby[1].Ask("G|plain|10|mine"),
                (Lines{"G|102|mine|plain|10|bert", "F|created|102", "F|open|102"}));
    } else {
      EXPECT_EQ(lobby.Server->GameDescriptions.Get(0)->Users.Count(), 1);
    }
  }
}

} // namespace
