// Matches driven through the lobby's message handler on a recorded host: two to four protocol
// players, each with a copy of the match built only from the lines the server sent, give the
// orders and lines the input picks (their copy's suggestion, any numbers, leaving in every way,
// lines out of place, time passing). After every step: every checksum a player heard is its
// copy's, each copy of a player in a match is the server's whole state, and on every
// state no two units share a tile, none is on a tree or off the field, health is above 0 and
// within its kind, and only seats in play own units.
#include "../lobby/lobby_recorder.h"

#include <set>

namespace {

using namespace test_support;

void CheckInvariants(const TGame& Game) {
  std::set<std::pair<int32_t, int32_t>> taken;
  for (const auto& unit : Game.Units) {
    Require(taken.insert({unit->X, unit->Y}).second, "two units on a tile");
    Require(unit->Health > 0 && unit->Info != nullptr && unit->Health <= unit->Info->MaxHealth,
            "health out of its range");
    Require(InPlay(Game, UnitSeat(*unit)), "a unit of a seat out of play");
    Require(Game.Map && unit->X >= 0 && unit->Y >= 0 && unit->X < Game.Map->SizeX &&
                unit->Y < Game.Map->SizeY && !HasTree(Game, unit->X, unit->Y),
            "a unit off the field or on a tree");
  }
}

// Reads the input one byte at a time; zeros once it runs out.
class TBytes {
public:
  TBytes(const uint8_t* Data, std::size_t Size) : FData(Data), FSize(Size) {}
  bool Left() const { return FAt < FSize; }
  uint8_t Next() { return FAt < FSize ? FData[FAt++] : 0; }
  int32_t Small() { return static_cast<int32_t>(Next() % 26) - 2; } // -2..23: around a field

private:
  const uint8_t* FData;
  std::size_t FSize;
  std::size_t FAt = 0;
};

// Short turns, so that time passing makes turns run out.
TServerLimits Limits() {
  TServerLimits limits = MatchLimits();
  limits.Lobby.TurnTime = std::chrono::seconds(2);
  return limits;
}

class TFuzzedLobby : public TRecordedLobby {
public:
  explicit TFuzzedLobby(std::size_t Players)
      : TRecordedLobby(Lines(Names, Names + Players), {}, Limits()) {}

  // Player Index says Line, then everyone reads what it heard.
  void Say(std::size_t Index, const std::string& Line) {
    if (IsOpen(Peers[Index]->Conn))
      Peers[Index]->Say(Line);
    Settle();
  }

  void Step(TBytes& In) {
    const std::size_t who = In.Next() % Peers.size();
    const TMatchPlayer& mind = Peers[who]->Mind;
    const int32_t units = mind.Mirror.Game() ? mind.Mirror.Game()->Units.Count() : 0;
    auto AnyUnit = [&] {
      return units > 0 ? mind.Mirror.Game()->Units.Get(In.Next() % units)->Id : In.Small();
    };
    switch (In.Next() % 16) {
    case 0:
    case 1:
    case 2:
    case 3:
      // What its copy suggests, as a real client would give it.
      return Say(who, mind.MyTurn() ? mind.NextOrder() : "T|");
    case 4:
    case 5: {
      const int32_t unit = AnyUnit();
      return Say(who, Build(TMoveOrder{unit, In.Small(), In.Small()}));
    }
    case 6: {
      const int32_t unit = AnyUnit();
      return Say(who, Build(TAttackOrder{unit, AnyUnit()}));
    }
    case 7:
      return Say(who, "T|");
    case 8:
      return Say(who, "W|");
    case 9:
      Advance(std::chrono::milliseconds(In.Next() * 50));
      return Settle();
    case 10: {
      const char* lines[] = {"Y|",   "J|101",   "K|", "B|", "G|plain|10|again",
                             "C|hi", "M|1|x|2", "A|"};
      return Say(who, lines[In.Next() % 8]);
    }
    case 11:
      // Rarely: leave for good, in one of three ways; a newcomer takes the place.
      if (In.Next() % 8 != 0)
        return Say(who, "W|");
      if (In.Next() % 2 == 0)
        Hangup(Peers[who]->Conn);
      else
        Peers[who]->Say(In.Next() % 2 == 0 ? "Q|" : "Z|");
      Peers[who] = std::make_unique<TRecordedPeer>(*this, "n" + std::to_string(++FNewcomers));
      return Settle();
    default:
      return StartIfIdle(who, In);
    }
  }

  // With no match running, Creator announces a game, some others join and it starts.
  void StartIfIdle(std::size_t Creator, TBytes& In) {
    if (Server->Matches.Count() > 0)
      return Say(Creator, "T|");
    for (std::size_t i = 0; i < Peers.size(); ++i)
      Say(i, "K|");
    Say(Creator, "G|" + std::string(In.Next() % 2 == 0 ? "plain" : "forest") + "|" +
                     std::to_string(In.Next() % 40) + "|fuzz");
    const auto& games = Server->GameDescriptions;
    const std::string join = "J|" + std::to_string(games.Count() > 0 ? games.Get(0)->Id : 0);
    const uint8_t joiners = In.Next();
    for (std::size_t i = 0; i < Peers.size(); ++i)
      if (i != Creator && (joiners >> i) & 1)
        Say(i, join);
    Say(Creator, "B|");
  }

  void Settle() {
    for (const auto& match : Server->Matches)
      CheckInvariants(*match->Game);
    for (const auto& peer : Peers) {
      if (!IsOpen(peer->Conn))
        continue;
      peer->Heard();
      Require(peer->Mind.Faults.empty(), peer->Mind.Faults.empty() ? "" : peer->Mind.Faults[0]);
      const TGame* copy = peer->Mind.Mirror.Game();
      if (copy != nullptr)
        CheckInvariants(*copy);
      const TUser* user = Server->ConnectedUsers.GetUserByConnection(peer->Conn);
      if (user == nullptr || user->Match == nullptr)
        continue;
      Require(copy != nullptr, "a player in a match without a copy of it");
      // The whole state, with trees, flags and seats out: the blocks of both agree.
      Require(MatchBlock(*copy, 0, 0, 0) == MatchBlock(*user->Match->Game, 0, 0, 0),
              "a copy differs");
    }
  }

private:
  static constexpr const char* Names[] = {"p0", "p1", "p2", "p3"};
  int FNewcomers = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TBytes in(Data, Size);
  TFuzzedLobby lobby(2 + in.Next() % 3);
  lobby.StartIfIdle(0, in);
  for (int steps = 0; in.Left() && steps < 2000; ++steps)
    lobby.Step(in);
  return 0;
}
