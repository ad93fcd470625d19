// Matches played through a recorded lobby by protocol-level players, each with its own copy of
// the match built only from what the server sent: to the last unit, the computer's pace, the
// round limit, every refusal, leaving in every way, turns that time out, the order limit.
#include "lobby_recorder.h"

#include <gtest/gtest.h>

namespace {

using namespace test_support;
using namespace std::chrono_literals;
using Heard = std::vector<Lines>;

// The match's own lines among Heard, turn lines without their checksum (each player's copy
// checks it).
Lines MatchLines(const Lines& Heard) {
  Lines lines;
  for (const std::string& line : Heard) {
    const TExt ext = ExtOf(TMsg(line));
    if (ext == TExt::Turn)
      lines.push_back(line.substr(0, line.rfind('|')));
    else if (ext == TExt::Moved || ext == TExt::Hit || ext == TExt::Out || ext == TExt::Over)
      lines.push_back(line);
  }
  return lines;
}

// Plays until none of the first Seats peers has a turn, or until an order that begins with
// Until was given: the peers in Active give the orders their copies suggest, the others only
// end their turns. Answers the orders given.
Lines PlayOut(TRecordedLobby& Lobby, std::size_t Seats, const std::vector<std::size_t>& Active,
              char Until = 0) {
  Lines orders;
  for (Lobby.Heard(Seats); orders.size() < 5000; Lobby.Heard(Seats)) {
    std::size_t next = 0;
    while (next < Seats && !Lobby[next].Mind.MyTurn())
      ++next;
    if (next == Seats || (!orders.empty() && orders.back()[0] == Until))
      break;
    const bool active = std::count(Active.begin(), Active.end(), next) > 0;
    orders.push_back(active ? Lobby[next].Mind.NextOrder() : "T|");
    Lobby[next].Say(orders.back());
  }
  for (std::size_t seat = 0; seat < Seats; ++seat)
    EXPECT_EQ(Lobby[seat].Mind.Faults, Lines{}) << Lobby[seat].Name;
  return orders;
}

TEST(Matches, TwoPlayersPlayUntilOneDestroysTheOthersLastUnit) {
  TRecordedLobby lobby({"anna", "bert", "erik"}, {"fay"});
  lobby.Open(1);
  const Heard start = lobby.After(0, "B|");
  EXPECT_EQ(Lines(start[0].begin(), start[0].begin() + 5),
            (Lines{"H|101", "F|started|101|anna|bert", "F|start|101|plain|16|16|0|2",
                   "F|seat|0|anna", "F|seat|1|bert"}));
  // Ten points buy two tanks and four vikings: a turn of 30 s and 3 s per unit.
  EXPECT_EQ(start[0].back(), "F|turn|0|1|48|4105832461");
  EXPECT_EQ(start[1][2], "F|start|101|plain|16|16|1|2");
  EXPECT_EQ(start[2], (Lines{"H|101", "F|started|101|anna|bert"}));
  EXPECT_EQ(start[3], (Lines{"H|101"}));
  // Players in a match keep hearing the lobby, and their chat reaches it.
  lobby[2].Say("C|good luck");
  EXPECT_EQ(lobby.After(0, "C|thanks"), Heard(4, {"C|erik|good luck", "C|anna|thanks"}));

  PlayOut(lobby, 2, {0});
  const Lines end = MatchLines(lobby[0].Transcript);
  EXPECT_EQ(MatchLines(lobby[1].Transcript), end);
  EXPECT_EQ(Lines(end.end() - 2, end.end()), (Lines{"F|out|1", "F|over|0"}));
  EXPECT_EQ(lobby[0].Transcript.back(), "F|ended|101|anna");
  EXPECT_EQ(lobby.Heard(), (Heard{{}, {}, {"F|ended|101|anna"}, {}}));
  EXPECT_EQ(lobby.Log(), (Lines{"Game 101 started: anna, bert", "#erik: good luck", "#anna: thanks",
                                "Game 101: seat 1 (bert) is out", "Game 101 over: anna wins"}));
  // Back in the lobby; the match, its game and its clock are gone.
  EXPECT_EQ(lobby[1].Ask("G|plain|10|rematch"),
            (Lines{"G|102|rematch|plain|10|bert", "F|created|102", "F|open|102"}));
  EXPECT_EQ(lobby.Server->Matches.Count(), 0);
  EXPECT_EQ(lobby.Server->Games.Count(), 0);
  EXPECT_EQ(lobby.Alarm(), TLobbyHost::Clock::time_point::max());
}

TEST(Matches, TheComputerKeepsItsPaceWithinItsTurnAndWinsWhenItsPlayerLeaves) {
  TServerLimits limits = MatchLimits();
  limits.Lobby.ComputerPace = 400ms;
  limits.Lobby.TurnTime = 1s;
  TRecordedLobby lobby({"anna"}, {}, limits);
  lobby.Open(0, true);
  TRecordedPeer& anna = lobby[0];
  EXPECT_EQ(MatchLines(anna.Ask("T|")), (Lines{"F|turn|1|1|1"}));
  lobby.Advance(399ms);
  EXPECT_EQ(anna.Heard(), Lines{});
  lobby.Advance(1ms);
  EXPECT_EQ(anna.Heard().size(), 1u) << "one order";
  // An order now would leave too little time for the next before the turn's end: the
  // computer ends its turn instead, still a pace after its last order.
  lobby.Advance(399ms);
  EXPECT_EQ(anna.Heard(), Lines{});
  lobby.Advance(1ms);
  EXPECT_EQ(MatchLines(anna.Heard()), (Lines{"F|turn|0|2|1"}));
  EXPECT_EQ(lobby.Server->Matches.Get(0)->Game->Players.Get(1)->Timeouts, 0);
  EXPECT_EQ(anna.Mind.Faults, Lines{});
  lobby.Hangup(anna.Conn);
  const Lines log = lobby.Log();
  EXPECT_EQ(std::count(log.begin(), log.end(), "Game 101 over: Server computer wins"), 1);
  EXPECT_EQ(lobby.Server->Matches.Count(), 0);
  EXPECT_EQ(lobby.Alarm(), TLobbyHost::Clock::time_point::max());
}

TEST(Matches, TheRoundLimitEndsAMatchByHealthThenNearnessToTheCentre) {
  for (bool annaSteps : {false, true}) {
    TRecordedLobby lobby({"anna", "bert", "erik"});
    lobby.Open(1, true);
    if (annaSteps) {
      // Anna's first tank steps as near the centre as it can; nothing else happens.
      const TGame& copy = *lobby[0].Mind.Mirror.Game();
      const TUnit& tank = *copy.Units.Get(0);
      const std::vector<TTilePos> to = ReachOf(copy, tank).Destinations();
      auto nearest = *std::min_element(to.begin(), to.end(), [](TTilePos A, TTilePos B) {
        return std::abs(2 * A.X - 15) + std::abs(2 * A.Y - 15) <
               std::abs(2 * B.X - 15) + std::abs(2 * B.Y - 15);
      });
      lobby[0].Say(Build(TMoveOrder{tank.Id, nearest.X, nearest.Y}));
    }
    EXPECT_EQ(PlayOut(lobby, 2, {}).size(), 2u * RoundLimit);
    EXPECT_EQ(MatchLines(lobby[0].Transcript).back(), annaSteps ? "F|over|0" : "F|over|-1");
    EXPECT_EQ(lobby[2].Heard().back(), annaSteps ? "F|ended|101|anna" : "F|ended|101|");
    EXPECT_EQ(lobby.Log().back(), annaSteps ? "Game 101 over: anna wins" : "Game 101 over: draw");
  }
}

TEST(Matches, EveryRefusedOrderChangesNothing) {
  TRecordedLobby lobby({"anna", "bert"});
  lobby.Open(1, true);
  const TGame& copy = *lobby[0].Mind.Mirror.Game();
  const TUnit& tank = *copy.Units.Get(0);
  const TTilePos to = ReachOf(copy, tank).Destinations().front();
  const TTilePos other = ReachOf(copy, tank).Destinations().back();
  EXPECT_EQ(MatchLines(lobby[0].Ask(Build(TMoveOrder{tank.Id, to.X, to.Y}))).size(), 1u);
  lobby.Heard();
  const std::tuple<std::size_t, std::string, const char*> cases[] = {
      {1, "T|", "It is not your turn."},
      {0, "M|7|14|14", "That unit is not yours."},
      {0, "M|2|10|10", "That tile is out of reach."},
      {0, "A|3|7", "That target is out of range."},
      {0, Build(TMoveOrder{tank.Id, other.X, other.Y}), "That unit has already moved this turn."},
      {0, "M|2|1", "That order does not read."},
      {0, "A|x|7", "That order does not read."},
      {0, "M|99|1|1", "There is no such unit."},
  };
  for (const auto& [who, line, refusal] : cases)
    EXPECT_EQ(lobby.After(who, line), lobby.Only(who, {std::string("F|refused|") + refusal}))
        << line;
  // A second attack: anna plays on until she hits, and tries the same hit again.
  const Lines orders = PlayOut(lobby, 2, {0}, 'A');
  ASSERT_EQ(orders.back()[0], 'A');
  EXPECT_EQ(lobby.After(0, orders.back()),
            lobby.Only(0, {"F|refused|That unit has already attacked this turn."}));
  EXPECT_EQ(lobby.Log(), Lines{}) << "no log line per order";
}

TEST(Matches, LeavingMidMatchByResigningQuittingOrHangingUp) {
  const Lines over{"F|out|1", "F|over|0", "F|ended|101|anna"};
  const Lines exit{"F|out|1", "F|over|0", "F|ended|101|anna", "X|bert"};
  // How bert leaves, what anna hears, what bert hears.
  const std::tuple<const char*, Lines, Lines> cases[] = {{"Y|", over, over},
                                                         {"Q|", exit, over},
                                                         {"L|bert|pw", exit, over},
                                                         {"Z|what", exit, over},
                                                         {"hang up", exit, {}}};
  for (const auto& [way, annaHears, bertHears] : cases) {
    TRecordedLobby lobby({"anna", "bert"});
    lobby.Open(1, true);
    if (way == std::string("hang up"))
      lobby.Hangup(lobby[1].Conn);
    else
      lobby[1].Say(way);
    EXPECT_EQ(lobby[0].Heard(), annaHears) << way;
    if (lobby.IsOpen(lobby[1].Conn)) {
      EXPECT_EQ(lobby[1].Heard(), bertHears) << way;
    }
    const Lines log = lobby.Log();
    for (const char* line :
         {"Game 101: bert left", "Game 101: seat 1 (bert) is out", "Game 101 over: anna wins"})
      EXPECT_EQ(std::count(log.begin(), log.end(), line), 1) << way << ": " << line;
    EXPECT_EQ(lobby.Server->Matches.Count(), 0) << way;
    EXPECT_EQ(lobby.Alarm(), TLobbyHost::Clock::time_point::max()) << way;
    // After Y the player is back in the lobby, still logged in.
    if (way == std::string("Y|")) {
      EXPECT_EQ(lobby[1].Ask("C|again?"), (Lines{"C|bert|again?"}));
    }
  }
}

TEST(Matches, ThreeSeatsPlayOnPastOneThatResigned) {
  TRecordedLobby lobby({"anna", "bert", "carl"});
  lobby.Open(2, true);
  EXPECT_EQ(lobby.After(1, "Y|"), Heard(3, {"F|out|1"}));
  EXPECT_EQ(MatchLines(lobby[0].Ask("T|")), (Lines{"F|turn|2|1|48"}));
  EXPECT_EQ(lobby[1].Heard(), Lines{}) << "gone back to the lobby";
  EXPECT_EQ(lobby[2].Heard().size(), 1u);
  EXPECT_EQ(lobby[2].Mind.Faults, Lines{});
}

TEST(Matches, TurnsTimeOutAndThreeInARowPutASeatOut) {
  TServerLimits limits = MatchLimits();
  limits.Lobby.TurnTime = 2s;
  TRecordedLobby lobby({"anna", "bert", "carl"}, {}, limits);
  TRecordedPeer &anna = lobby[0], &bert = lobby[1], &carl = lobby[2];
  lobby.Open(2, true);
  lobby.Advance(1999ms);
  EXPECT_EQ(anna.Heard(), Lines{});
  lobby.Advance(1ms);
  EXPECT_EQ(MatchLines(anna.Heard()), (Lines{"F|turn|1|1|2"}));
  // W gives the whole state again, with the seconds left now.
  lobby.Advance(500ms);
  lobby.Heard();
  const Lines whole = bert.Ask("W|");
  EXPECT_EQ(whole.front(), "F|start|101|plain|20|20|1|3");
  EXPECT_EQ(MatchLines({whole.back()}), (Lines{"F|turn|1|1|2"}));
  // Carl never plays: his third turn in a row that runs out puts him out; he watches on.
  for (int round = 1; round <= 3; ++round) {
    if (round > 1)
      anna.Say("T|");
    bert.Say("T|");
    lobby.Advance(2s);
  }
  const Lines end = MatchLines(carl.Heard());
  EXPECT_EQ(Lines(end.end() - 2, end.end()), (Lines{"F|out|2", "F|turn|0|4|2"}));
  EXPECT_EQ(carl.Ask("T|"), (Lines{"F|refused|You are out of the match."}));
  EXPECT_EQ(lobby.Log(), (Lines{"Game 101: seat 2 (carl) is out"}));
  // Anna's turns run out three times in a row too: bert is the last seat in play.
  for (int turn = 0; turn < 3; ++turn) {
    lobby.Advance(2s);
    if (turn < 2)
      bert.Say("T|");
  }
  EXPECT_EQ(MatchLines(carl.Heard()).back(), "F|over|1");
  EXPECT_EQ(lobby.Log(), (Lines{"Game 101: seat 0 (anna) is out", "Game 101 over: bert wins"}));
  for (std::size_t seat = 0; seat < 3; ++seat)
    EXPECT_EQ(lobby[seat].Mind.Faults, Lines{}) << seat;
}

TEST(Matches, OrdersHaveALimitOfTheirOwn) {
  TServerLimits limits = MatchLimits();
  limits.Lobby.FloodLimit = true;
  TRecordedLobby lobby({"anna", "bert"}, {}, limits);
  TRecordedPeer& anna = lobby[0];
  lobby.Open(1, true);
  for (int i = 0; i < 51; ++i)
    anna.Say("W|");
  const Lines heard = anna.Heard();
  EXPECT_EQ(std::count(heard.begin(), heard.end(), "F|start|101|plain|16|16|0|2"), 50);
  EXPECT_EQ(heard.back(), "F|refused|Order not taken: you are sending too fast (at most 50 orders "
                          "at once, then 5 a second).");
  EXPECT_EQ(anna.Ask("C|chat has its own"), (Lines{"C|anna|chat has its own"}));
  lobby.Advance(200ms);
  EXPECT_EQ(MatchLines(anna.Ask("T|")), (Lines{"F|turn|1|1|48"}));
}

} // namespace
