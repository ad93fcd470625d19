// Matches played through a recorded lobby by protocol-level players, each with its own copy of
// the match built only from what the server sent: to the last unit, against the computer, to
// the round limit, every refusal, leaving in three ways, turns that time out, the order limit.
#include "recorded_peer.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace test_support;
using namespace std::chrono_literals;

// The lines of the match in Lines: F lines of the match's own sub-types.
Lines MatchLines(const Lines& Heard) {
  Lines lines;
  for (const std::string& line : Heard)
    switch (ExtOf(TMsg(line))) {
    case TExt::Moved:
    case TExt::Hit:
    case TExt::Out:
    case TExt::Turn:
    case TExt::Over:
      lines.push_back(line);
      break;
    default:
      break;
    }
  return lines;
}

std::string TurnLine(const TRecorder& Lobby, int32_t Seat, int32_t Round, int32_t Seconds) {
  return "F|turn|" + std::to_string(Seat) + "|" + std::to_string(Round) + "|" +
         std::to_string(Seconds) + "|" +
         std::to_string(MatchChecksum(*Lobby.Server->Matches.Get(0)->Game));
}

// A recorded lobby where anna announces game 101 and the others join it, in order.
struct TMatchSetup {
  explicit TMatchSetup(int Joiners = 1, TServerLimits Limits = MatchLimits()) : Lobby(Limits) {
    const char* names[] = {"anna", "bert", "carl", "dora"};
    for (int i = 0; i <= Joiners; ++i)
      Players.push_back(std::make_unique<TRecordedPeer>(Lobby, names[i]));
    Players[0]->Say("G|plain|10|duel");
    for (int i = 1; i <= Joiners; ++i)
      Players[static_cast<std::size_t>(i)]->Say("J|101");
  }
  // Starts the match and reads the lines it brought.
  void Start() {
    Players[0]->Say("B|");
    HeardByAll(All());
    Lobby.Log();
  }
  std::vector<TRecordedPeer*> All() const {
    std::vector<TRecordedPeer*> all;
    for (const auto& player : Players)
      all.push_back(player.get());
    return all;
  }
  TRecordedPeer& operator[](std::size_t Seat) { return *Players[Seat]; }

  TRecorder Lobby;
  std::vector<std::unique_ptr<TRecordedPeer>> Players;
};

TEST(Matches, TwoPlayersPlayUntilOneDestroysTheOthersLastUnit) {
  TMatchSetup match;
  TRecordedPeer& anna = match[0];
  TRecordedPeer& bert = match[1];
  TRecordedPeer watcher(match.Lobby, "erik"), plain(match.Lobby, "fay", false);
  HeardByAll({&anna, &bert, &watcher, &plain});
  match.Lobby.Log();
  anna.Say("B|");
  Lines start = anna.Heard();
  ASSERT_GE(start.size(), 5u);
  EXPECT_EQ(Lines(start.begin(), start.begin() + 5),
            (Lines{"H|101", "F|started|101|anna|bert", "F|start|101|plain|16|16|0|2",
                   "F|seat|0|anna", "F|seat|1|bert"}));
  // Ten points: two tanks and four vikings; a turn lasts 30 s and 3 s per unit.
  EXPECT_EQ(start.back(), TurnLine(match.Lobby, 0, 1, 48));
  EXPECT_EQ(bert.Heard()[2], "F|start|101|plain|16|16|1|2");
  EXPECT_EQ(watcher.Heard(), (Lines{"H|101", "F|started|101|anna|bert"}));
  EXPECT_EQ(plain.Heard(), (Lines{"H|101"}));

  // Players in a match keep hearing the lobby, and their chat reaches it.
  watcher.Say("C|good luck");
  anna.Say("C|thanks");
  for (TRecordedPeer* peer : {&anna, &bert, &watcher, &plain})
    EXPECT_EQ(peer->Heard(), (Lines{"C|erik|good luck", "C|anna|thanks"}));

  PlayOut({&anna, &bert}, {&bert});
  EXPECT_EQ(anna.Mind.Faults, Lines{});
  EXPECT_EQ(bert.Mind.Faults, Lines{});
  EXPECT_EQ(MatchLines(anna.Transcript), MatchLines(bert.Transcript)) << "both heard it all";
  Lines end = MatchLines(anna.Transcript);
  ASSERT_GE(end.size(), 2u);
  EXPECT_EQ(Lines(end.end() - 2, end.end()), (Lines{"F|out|1", "F|over|0"}));
  EXPECT_EQ(anna.Transcript.back(), "F|ended|101|anna");
  EXPECT_EQ(watcher.Heard(), (Lines{"F|ended|101|anna"}));
  EXPECT_EQ(plain.Heard(), Lines{}) << "a peer that never asked hears nothing of the match";
  Lines log = match.Lobby.Log();
  log.erase(
      std::remove_if(log.begin(), log.end(), [](const std::string& L) { return L[0] == '#'; }),
      log.end());
  EXPECT_EQ(log, (Lines{"Game 101 started: anna, bert", "Game 101: seat 1 (bert) is out",
                        "Game 101 over: anna wins"}));

  // Back in the lobby; the match, its game and its clock are gone.
  EXPECT_EQ(bert.Ask("G|plain|10|rematch"),
            (Lines{"G|102|rematch|plain|10|bert", "F|created|102", "F|open|102"}));
  EXPECT_EQ(match.Lobby.Server->Matches.Count(), 0);
  EXPECT_EQ(match.Lobby.Server->Games.Count(), 0);
  EXPECT_EQ(match.Lobby.Alarm(), TLobbyHost::Clock::time_point::max());
}

TEST(Matches, TheComputerPlaysItsTurnsToTheEnd) {
  TMatchSetup match(0);
  TRecordedPeer& anna = match[0];
  anna.Heard();
  anna.Say("B|");
  EXPECT_EQ(anna.Heard()[1], "F|started|101|anna|Server computer");
  PlayOut({&anna}, {&anna});
  EXPECT_EQ(anna.Mind.Faults, Lines{});
  // Anna only ended turns: every move and hit was the computer's, each within its turn.
  int32_t toPlay = 0;
  for (const std::string& line : MatchLines(anna.Transcript)) {
    if (auto turn = Read<TTurnLine>(TMsg(line)))
      toPlay = turn->Seat;
    else if (ExtOf(TMsg(line)) == TExt::Moved || ExtOf(TMsg(line)) == TExt::Hit) {
      EXPECT_EQ(toPlay, 1) << line;
    }
  }
  EXPECT_EQ(anna.Transcript.back(), "F|ended|101|Server computer");
  EXPECT_EQ(match.Lobby.Log().back(), "Game 101 over: Server computer wins");
  EXPECT_EQ(match.Lobby.Server->Matches.Count(), 0);
}

TEST(Matches, TheComputerKeepsItsPaceWithinItsTurn) {
  TServerLimits limits = MatchLimits();
  limits.Lobby.ComputerPace = 400ms;
  limits.Lobby.TurnTime = 1s;
  TMatchSetup match(0, limits);
  TRecordedPeer& anna = match[0];
  match.Start();
  Lines heard = anna.Ask("T|");
  EXPECT_EQ(MatchLines(heard), (Lines{TurnLine(match.Lobby, 1, 1, 1)}));
  match.Lobby.Advance(399ms);
  EXPECT_EQ(anna.Heard(), Lines{});
  match.Lobby.Advance(1ms);
  EXPECT_EQ(anna.Heard().size(), 1u) << "one order";
  // An order now would leave too little time for the next before the turn's end: the
  // computer ends its turn instead, still a pace after its last order.
  match.Lobby.Advance(399ms);
  EXPECT_EQ(anna.Heard(), Lines{});
  match.Lobby.Advance(1ms);
  heard = anna.Heard();
  EXPECT_EQ(heard, (Lines{TurnLine(match.Lobby, 0, 2, 1)}));
  EXPECT_EQ(match.Lobby.Server->Matches.Get(0)->Game->Players.Get(1)->Timeouts, 0);
  EXPECT_EQ(anna.Mind.Faults, Lines{});
}

TEST(Matches, TheRoundLimitEndsAMatchByHealthThenNearnessToTheCentre) {
  for (bool annaSteps : {false, true}) {
    TMatchSetup match;
    TRecordedPeer& anna = match[0];
    TRecordedPeer& bert = match[1];
    TRecordedPeer watcher(match.Lobby, "erik");
    match.Start();
    if (annaSteps) {
      // Anna's first tank steps as near the centre as it can; nothing else happens.
      const TGame& copy = *anna.Mind.Mirror.Game();
      const TUnit& tank = *copy.Units.Get(0);
      std::vector<TTilePos> to = ReachOf(copy, tank).Destinations();
      auto nearest = *std::min_element(to.begin(), to.end(), [](TTilePos A, TTilePos B) {
        return std::abs(2 * A.X - 15) + std::abs(2 * A.Y - 15) <
               std::abs(2 * B.X - 15) + std::abs(2 * B.Y - 15);
      });
      anna.Say(Build(TMoveOrder{tank.Id, nearest.X, nearest.Y}));
    }
    EXPECT_EQ(PlayOut({&anna, &bert}, {&anna, &bert}), 2 * RoundLimit);
    EXPECT_EQ(anna.Mind.Faults, Lines{});
    EXPECT_EQ(MatchLines(anna.Transcript).back(), annaSteps ? "F|over|0" : "F|over|-1");
    EXPECT_EQ(watcher.Heard().back(), annaSteps ? "F|ended|101|anna" : "F|ended|101|");
    EXPECT_EQ(match.Lobby.Log().back(),
              annaSteps ? "Game 101 over: anna wins" : "Game 101 over: draw");
  }
}

TEST(Matches, EveryRefusedOrderChangesNothing) {
  TMatchSetup match;
  TRecordedPeer& anna = match[0];
  TRecordedPeer& bert = match[1];
  match.Start();
  const TGame& copy = *anna.Mind.Mirror.Game();
  const TUnit& tank = *copy.Units.Get(0);
  const TTilePos to = ReachOf(copy, tank).Destinations().front();
  const TTilePos other = ReachOf(copy, tank).Destinations().back();
  const std::string move = Build(TMoveOrder{tank.Id, to.X, to.Y});
  EXPECT_EQ(MatchLines(anna.Ask(move)).size(), 1u);
  bert.Heard();
  struct TCase {
    TRecordedPeer* Who;
    std::string Line;
    const char* Refusal;
  };
  const TCase cases[] = {
      {&bert, "T|", "It is not your turn."},
      {&anna, "M|7|14|14", "That unit is not yours."},
      {&anna, "M|2|10|10", "That tile is out of reach."},
      {&anna, "A|3|7", "That target is out of range."},
      {&anna, Build(TMoveOrder{tank.Id, other.X, other.Y}),
       "That unit has already moved this turn."},
      {&anna, "M|2|1", "That order does not read."},
      {&anna, "A|x|7", "That order does not read."},
      {&anna, "M|99|1|1", "There is no such unit."},
  };
  for (const TCase& c : cases) {
    c.Who->Say(c.Line);
    for (TRecordedPeer* peer : {&anna, &bert})
      EXPECT_EQ(peer->Heard(),
                peer == c.Who ? Lines{std::string("F|refused|") + c.Refusal} : Lines{})
          << c.Line;
  }
  // A second attack: anna plays on until she can hit, hits, and tries the same hit again.
  std::string attack;
  for (int orders = 0; orders < 500 && attack.empty(); ++orders) {
    HeardByAll({&anna, &bert});
    TRecordedPeer& next = anna.Mind.MyTurn() ? anna : bert;
    std::string order = &next == &bert ? "T|" : next.Mind.NextOrder();
    if (order[0] == Msg::Attack)
      attack = order;
    next.Say(order);
  }
  ASSERT_FALSE(attack.empty());
  HeardByAll({&anna, &bert});
  EXPECT_EQ(anna.Ask(attack), (Lines{"F|refused|That unit has already attacked this turn."}));
  EXPECT_EQ(anna.Mind.Faults, Lines{});
  EXPECT_EQ(match.Lobby.Log(), Lines{}) << "no log line per order";
}

TEST(Matches, LeavingMidMatchByResigningQuittingOrHangingUp) {
  struct TCase {
    const char* Way;
    Lines AnnaHears;
    Lines BertHears;
  };
  const Lines over{"F|out|1", "F|over|0", "F|ended|101|anna"};
  Lines withExit = over;
  withExit.push_back("X|bert");
  const TCase cases[] = {{"Y|", over, over},
                         {"Q|", withExit, over},
                         {"L|bert|pw", withExit, over},
                         {"Z|what", withExit, over},
                         {"hang up", withExit, {}}};
  for (const TCase& c : cases) {
    TMatchSetup match;
    TRecordedPeer& anna = match[0];
    TRecordedPeer& bert = match[1];
    match.Start();
    if (std::string(c.Way) == "hang up")
      match.Lobby.Hangup(bert.Conn);
    else
      bert.Say(c.Way);
    EXPECT_EQ(anna.Heard(), c.AnnaHears) << c.Way;
    if (match.Lobby.IsOpen(bert.Conn)) {
      EXPECT_EQ(bert.Heard(), c.BertHears) << c.Way;
    }
    Lines log = match.Lobby.Log();
    for (const char* line :
         {"Game 101: bert left", "Game 101: seat 1 (bert) is out", "Game 101 over: anna wins"})
      EXPECT_EQ(std::count(log.begin(), log.end(), line), 1) << c.Way << ": " << line;
    EXPECT_EQ(match.Lobby.Server->Matches.Count(), 0) << c.Way;
    EXPECT_EQ(match.Lobby.Alarm(), TLobbyHost::Clock::time_point::max()) << c.Way;
  }
  // After Y the player is back in the lobby, still logged in.
  TMatchSetup match;
  match.Start();
  match[1].Say("Y|");
  match[1].Heard();
  EXPECT_EQ(match[1].Ask("C|again?"), (Lines{"C|bert|again?"}));
}

TEST(Matches, WhenTheLastHumanLeavesTheComputerWinsAndTheMatchIsFreed) {
  TMatchSetup match(0);
  TRecordedPeer watcher(match.Lobby, "erik");
  match.Start();
  watcher.Heard();
  match.Lobby.Hangup(match[0].Conn);
  EXPECT_EQ(watcher.Heard(), (Lines{"F|ended|101|Server computer", "X|anna"}));
  EXPECT_EQ(match.Lobby.Server->Matches.Count(), 0);
  EXPECT_EQ(match.Lobby.Alarm(), TLobbyHost::Clock::time_point::max());
}

TEST(Matches, ThreeSeatsPlayOnPastOneThatResigned) {
  TMatchSetup match(2);
  match.Start();
  match[1].Say("Y|");
  for (std::size_t seat : {0, 1, 2})
    EXPECT_EQ(match[seat].Heard(), (Lines{"F|out|1"}));
  Lines heard = match[0].Ask("T|");
  EXPECT_EQ(MatchLines(heard), (Lines{TurnLine(match.Lobby, 2, 1, 48)}));
  EXPECT_EQ(match[1].Heard(), Lines{}) << "gone back to the lobby";
  EXPECT_EQ(match[2].Mind.Faults, Lines{});
}

TEST(Matches, TurnsTimeOutAndThreeInARowPutASeatOut) {
  TServerLimits limits = MatchLimits();
  limits.Lobby.TurnTime = 2s;
  TMatchSetup match(2, limits);
  TRecordedPeer& anna = match[0];
  TRecordedPeer& bert = match[1];
  TRecordedPeer& carl = match[2];
  match.Start();
  match.Lobby.Advance(1999ms);
  EXPECT_EQ(anna.Heard(), Lines{});
  match.Lobby.Advance(1ms);
  Lines heard = anna.Heard();
  EXPECT_EQ(heard, (Lines{TurnLine(match.Lobby, 1, 1, 2)}));
  // W gives the whole state again, with the seconds left now.
  match.Lobby.Advance(500ms);
  HeardByAll(match.All());
  Lines whole = bert.Ask("W|");
  EXPECT_EQ(whole.front(), "F|start|101|plain|20|20|1|3");
  EXPECT_EQ(whole.back(), TurnLine(match.Lobby, 1, 1, 2));
  EXPECT_EQ(bert.Mind.Faults, Lines{});
  // Carl never plays: his third turn in a row that runs out puts him out; he watches on.
  for (int round = 1; round <= 3; ++round) {
    if (round > 1)
      anna.Say("T|");
    bert.Say("T|");
    match.Lobby.Advance(2s);
  }
  heard = carl.Heard();
  EXPECT_EQ(Lines(heard.end() - 2, heard.end()),
            (Lines{"F|out|2", TurnLine(match.Lobby, 0, 4, 2)}));
  EXPECT_EQ(carl.Ask("T|"), (Lines{"F|refused|You are out of the match."}));
  EXPECT_EQ(match.Lobby.Log(), (Lines{"Game 101: seat 2 (carl) is out"}));
  // Anna's turns run out three times in a row too: bert is the last seat in play.
  for (int turn = 0; turn < 3; ++turn) {
    match.Lobby.Advance(2s);
    if (turn < 2)
      bert.Say("T|");
  }
  EXPECT_EQ(MatchLines(carl.Heard()).back(), "F|over|1");
  EXPECT_EQ(match.Lobby.Log(),
            (Lines{"Game 101: seat 0 (anna) is out", "Game 101 over: bert wins"}));
  for (TRecordedPeer* peer : {&anna, &bert, &carl})
    EXPECT_EQ(peer->Mind.Faults, Lines{}) << peer->Name;
}

TEST(Matches, OrdersHaveALimitOfTheirOwn) {
  TServerLimits limits = MatchLimits();
  limits.Lobby.FloodLimit = true;
  TMatchSetup match(1, limits);
  TRecordedPeer& anna = match[0];
  match.Start();
  for (int i = 0; i < 51; ++i)
    anna.Say("W|");
  Lines heard = anna.Heard();
  EXPECT_EQ(std::count(heard.begin(), heard.end(), "F|start|101|plain|16|16|0|2"), 50);
  EXPECT_EQ(heard.back(), "F|refused|Order not taken: you are sending too fast (at most 50 orders "
                          "at once, then 5 a second).");
  EXPECT_EQ(anna.Ask("C|chat has its own"), (Lines{"C|anna|chat has its own"}));
  match.Lobby.Advance(200ms);
  heard = anna.Ask("T|");
  EXPECT_EQ(heard, (Lines{TurnLine(match.Lobby, 1, 1, 48)}));
}

} // namespace
