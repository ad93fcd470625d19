// Waiting rooms, lines in and lines out on a recorded lobby: asking for matches, announcing,
// joining and leaving, what a newcomer catches up on, every refusal in the lobby, and a
// creator who leaves the room.
#include "recorded_peer.h"

#include <gtest/gtest.h>

namespace {

using namespace test_support;

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

TEST(WaitingRooms, AnnouncedJoinedAndLeftAsOnlyAskersHearIt) {
  TRecorder lobby(MatchLimits());
  TRecordedPeer anna(lobby, "anna"), bert(lobby, "bert"), carl(lobby, "carl", false);
  std::vector<TRecordedPeer*> all{&anna, &bert, &carl};
  HeardByAll(all);
  lobby.Log();
  const std::string g = "G|101|duel|plain|10|anna";
  anna.Say("G|plain|10|duel");
  EXPECT_EQ(HeardByAll(all),
            (std::vector<Lines>{{g, "F|created|101", "F|open|101"}, {g, "F|open|101"}, {g}}));
  bert.Say("J|101");
  EXPECT_EQ(
      HeardByAll(all),
      (std::vector<Lines>{{"F|joined|101|bert"}, {"F|entered|101", "F|joined|101|bert"}, {}}));
  bert.Say("K|");
  EXPECT_EQ(HeardByAll(all), (std::vector<Lines>{{"F|left|101|bert"}, {"F|left|101|bert"}, {}}));
  EXPECT_EQ(lobby.Log(), (Lines{"Game 101: bert joined", "Game 101: bert left"}));
}

TEST(WaitingRooms, AnAskingNewcomerCatchesUpOnRoomsAndMatches) {
  TRecorder lobby(MatchLimits());
  TRecordedPeer anna(lobby, "anna"), bert(lobby, "bert"), carl(lobby, "carl", false),
      dora(lobby, "dora");
  anna.Say("G|plain|10|first");
  bert.Say("J|101");
  carl.Say("G|forest|5|plain one");
  dora.Say("G|plain|10|solo");
  dora.Say("B|");
  const Lines before{"U|anna",
                     "U|bert",
                     "U|carl",
                     "U|dora",
                     "G|101|first|plain|10|anna",
                     "G|102|plain one|forest|5|carl"};
  TRecordedPeer asker(lobby, "erik");
  Lines expected{"F|play|1", "O|erik"};
  expected.insert(expected.end(), before.begin(), before.end());
  for (const char* line : {"F|open|101", "F|joined|101|bert", "F|started|103|dora|Server computer"})
    expected.push_back(line);
  EXPECT_EQ(asker.Heard(), expected);
  TRecordedPeer plain(lobby, "fay", false);
  expected = {"O|fay", "U|anna", "U|bert", "U|carl", "U|dora", "U|erik"};
  expected.insert(expected.end(), before.begin() + 4, before.end());
  EXPECT_EQ(plain.Heard(), expected);
}

TEST(WaitingRooms, EveryRefusalInTheLobbyChangesNothing) {
  TRecorder lobby(MatchLimits());
  TRecordedPeer anna(lobby, "anna"), bert(lobby, "bert"), carl(lobby, "carl", false),
      dora(lobby, "dora"), erik(lobby, "erik"), fay(lobby, "fay"), gus(lobby, "gus");
  anna.Say("G|plain|10|full soon");  // 101, with bert, fay and gus: full
  carl.Say("G|plain|10|old client"); // 102, its creator cannot start matches
  dora.Say("G|plain|10|solo");       // 103, started
  for (TRecordedPeer* joiner : {&bert, &fay, &gus})
    joiner->Say("J|101");
  dora.Say("B|");
  std::vector<TRecordedPeer*> all{&anna, &bert, &carl, &dora, &erik, &fay, &gus};
  HeardByAll(all);
  lobby.Log();
  struct TCase {
    TRecordedPeer* Who;
    const char* Line;
    const char* Refusal;
  };
  const TCase cases[] = {
      {&anna, "J|101", "This is your own game."},
      {&anna, "J|102", "You are already in a game."},
      {&bert, "J|101", "You are already in a game."},
      {&anna, "G|plain|10|another", "You are already in a game."},
      {&erik, "J|101", "This game is full."},
      {&erik, "J|102", "This game's creator cannot start matches."},
      {&erik, "J|103", "This game has already started."},
      {&erik, "J|999", "There is no such game."},
      {&erik, "J|abc", "There is no such game."},
      {&erik, "J|", "There is no such game."},
      {&erik, "K|", "You are not in a waiting room."},
      {&erik, "B|", "You have no game to start."},
      {&bert, "B|", "Only the game's creator can start it."},
      {&erik, "M|1|2|3", "You are not in a match."},
      {&erik, "A|1|2", "You are not in a match."},
      {&erik, "T|", "You are not in a match."},
      {&erik, "Y|", "You are not in a match."},
      {&erik, "W|", "You are not in a match."},
      {&dora, "J|101", "You are in a match; Y leaves it."},
      {&dora, "K|", "You are in a match; Y leaves it."},
      {&dora, "B|", "You are in a match; Y leaves it."},
      {&dora, "G|plain|10|more", "You are in a match; Y leaves it."},
  };
  for (const TCase& c : cases) {
    c.Who->Say(c.Line);
    for (TRecordedPeer* peer : all)
      EXPECT_EQ(peer->Heard(),
                peer == c.Who ? Lines{std::string("F|refused|") + c.Refusal} : Lines{})
          << c.Who->Name << " " << c.Line << ", heard by " << peer->Name;
  }
  EXPECT_EQ(lobby.Log(), Lines{});
  EXPECT_EQ(lobby.Server->GameDescriptions.Count(), 2);
}

TEST(WaitingRooms, AGameALimitRefusesIsRefusedInBothLanguages) {
  TServerLimits limits = MatchLimits();
  limits.Lobby.MaxGames = 1;
  TRecorder lobby(limits);
  TRecordedPeer anna(lobby, "anna"), bert(lobby, "bert"), carl(lobby, "carl", false);
  anna.Say("G|plain|10|first");
  HeardByAll({&anna, &bert, &carl});
  const std::string why =
      "Game not announced: the lobby already lists the most games it holds (1).";
  EXPECT_EQ(bert.Ask("G|plain|10|second"), (Lines{"C|Server|" + why, "F|refused|" + why}));
  EXPECT_EQ(carl.Ask("G|plain|10|third"), (Lines{"C|Server|" + why}));
  EXPECT_EQ(bert.Ask("J|101"), (Lines{"F|entered|101", "F|joined|101|bert"}));
}

TEST(WaitingRooms, ACreatorWhoLeavesCancelsTheGameForItsJoiners) {
  const std::pair<const char*, Lines> ways[] = {
      {"K|", {"H|101"}},
      {"Q|", {"H|101", "X|anna"}},
      {"hang up", {"H|101", "X|anna"}},
  };
  for (const auto& [way, heard] : ways) {
    TRecorder lobby(MatchLimits());
    TRecordedPeer anna(lobby, "anna"), bert(lobby, "bert"), carl(lobby, "carl", false);
    anna.Say("G|plain|10|duel");
    bert.Say("J|101");
    HeardByAll({&anna, &bert, &carl});
    lobby.Log();
    if (std::string(way) == "hang up")
      lobby.Hangup(anna.Conn);
    else
      anna.Say(way);
    EXPECT_EQ(bert.Heard(), heard) << way;
    EXPECT_EQ(carl.Heard(), heard) << way;
    Lines log = lobby.Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), "Game 101 cancelled: anna left"), 1) << way;
    // The joiner is back in the lobby and free to announce a game of its own.
    EXPECT_EQ(bert.Ask("G|plain|10|mine"),
              (Lines{"G|102|mine|plain|10|bert", "F|created|102", "F|open|102"}))
        << way;
  }
}

TEST(WaitingRooms, AJoinerWhoGoesAwayLeavesTheRoom) {
  TRecorder lobby(MatchLimits());
  TRecordedPeer anna(lobby, "anna"), bert(lobby, "bert");
  anna.Say("G|plain|10|duel");
  bert.Say("J|101");
  anna.Heard();
  lobby.Hangup(bert.Conn);
  EXPECT_EQ(anna.Heard(), (Lines{"F|left|101|bert", "X|bert"}));
  EXPECT_EQ(lobby.Server->GameDescriptions.Get(0)->Users.Count(), 1);
}

TEST(WaitingRooms, WithoutMatchesTheNewLettersLogOutAsAnyUnknownLetter) {
  TServerLimits limits = MatchLimits();
  limits.Lobby.Matches = false;
  TRecorder lobby(limits);
  TRecordedPeer anna(lobby, "anna"), bert(lobby, "bert");
  EXPECT_EQ(anna.Ask("G|plain|10|duel"), (Lines{"O|anna", "E|bert", "G|101|duel|plain|10|anna"}));
  bert.Heard();
  for (const char* line : {"J|101", "K|", "B|", "W|", "M|1|1|1", "Y|"}) {
    bert.Say(line);
    EXPECT_EQ(anna.Heard(), (Lines{"X|bert"})) << line;
    bert.Say("L|bert|pw");
    EXPECT_EQ(anna.Heard(), (Lines{"E|bert"})) << line;
    EXPECT_EQ(bert.Heard(), (Lines{"O|bert", "U|anna", "G|101|duel|plain|10|anna"})) << line;
  }
}

} // namespace
