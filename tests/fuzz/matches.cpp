// Matches driven through the lobby's message handler on a recorded host (no sockets): two to
// four protocol players, each with a copy of the match built only from the lines the server
// sent, give orders the input chooses: the ones their copy suggests, moves and attacks with
// any numbers, ends of turn, requests for the state, resignations, quitting, hanging up, lines
// out of place, time passing. After every step it checks that every checksum a player heard
// equals its copy's, that each copy of a player still in the match is the server's state, and
// the rules' invariants on every state: no two units on a tile, none on a tree or off the
// field, health above 0 and within its kind, units only of seats in play.
#include "../lobby/recorded_peer.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace test_support;

void Check(bool Condition, const char* What) {
  if (!Condition) {
    std::fprintf(stderr, "matches fuzz: %s\n", What);
    std::abort();
  }
}

void CheckInvariants(const TGame& Game) {
  std::set<std::pair<int32_t, int32_t>> taken;
  for (const auto& unit : Game.Units) {
    Check(taken.insert({unit->X, unit->Y}).second, "two units on a tile");
    Check(unit->Health > 0 && unit->Info != nullptr && unit->Health <= unit->Info->MaxHealth,
          "health out of its range");
    Check(InPlay(Game, UnitSeat(*unit)), "a unit of a seat out of play");
    Check(Game.Map && unit->X >= 0 && unit->Y >= 0 && unit->X < Game.Map->SizeX &&
              unit->Y < Game.Map->SizeY,
          "a unit off the field");
    Check(!HasTree(Game, unit->X, unit->Y), "a unit on a tree");
  }
}

// The flags the checksum leaves out, for comparing copies whole.
std::string Flags(const TGame& Game) {
  std::string flags;
  for (const auto& unit : Game.Units)
    flags += std::to_string(unit->Id) + (unit->Moved ? "m" : "") + (unit->Attacked ? "a" : "");
  return flags;
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

struct TPlayer {
  TPlayer(TRecorder& Lobby, const std::string& Name) : Conn(Lobby.Connect()), Name(Name) {
    Lobby.Say(Conn, "R|play|1");
    Lobby.Say(Conn, "L|" + Name + "|pw");
  }
  TSocket* Conn;
  std::string Name;
  std::unique_ptr<TMatchPlayer> Mind = std::make_unique<TMatchPlayer>();
};

class TFuzzedLobby {
public:
  explicit TFuzzedLobby(int Players) : Lobby(Limits()) {
    for (int i = 0; i < Players; ++i)
      FPlayers.push_back(std::make_unique<TPlayer>(Lobby, "p" + std::to_string(i)));
  }

  // Player Index gives line Line, then everyone reads what it heard.
  void Say(std::size_t Index, const std::string& Line) {
    TPlayer& player = *FPlayers[Index];
    if (Lobby.IsOpen(player.Conn))
      Lobby.Say(player.Conn, Line);
    Settle();
  }

  void Step(TBytes& In) {
    std::size_t who = In.Next() % FPlayers.size();
    TPlayer& player = *FPlayers[who];
    const TGame* copy = player.Mind->Mirror.Game();
    switch (In.Next() % 16) {
    case 0:
    case 1:
    case 2:
    case 3:
      // What its copy suggests, as a real client would give it.
      if (player.Mind->MyTurn())
        return Say(who, player.Mind->NextOrder());
      return Say(who, "T|");
    case 4:
    case 5: {
      int32_t unit = copy != nullptr && copy->Units.Count() > 0
                         ? copy->Units.Get(In.Next() % copy->Units.Count())->Id
                         : In.Small();
      return Say(who, Build(TMoveOrder{unit, In.Small(), In.Small()}));
    }
    case 6: {
      int32_t count = copy != nullptr ? copy->Units.Count() : 0;
      int32_t unit = count > 0 ? copy->Units.Get(In.Next() % count)->Id : In.Small();
      int32_t target = count > 0 ? copy->Units.Get(In.Next() % count)->Id : In.Small();
      return Say(who, Build(TAttackOrder{unit, target}));
    }
    case 7:
      return Say(who, "T|");
    case 8:
      return Say(who, "W|");
    case 9:
      Lobby.Advance(std::chrono::milliseconds(In.Next() * 50));
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
        Lobby.Hangup(player.Conn);
      else
        Lobby.Say(player.Conn, In.Next() % 2 == 0 ? "Q|" : "Z|");
      FPlayers[who] = std::make_unique<TPlayer>(Lobby, "n" + std::to_string(++FNewcomers));
      return Settle();
    default:
      return StartIfIdle(who, In);
    }
  }

  // With no match running, Creator announces a game, some others join and it starts.
  void StartIfIdle(std::size_t Creator, TBytes& In) {
    if (Lobby.Server->Matches.Count() > 0) {
      return Say(Creator, "T|");
    }
    for (std::size_t i = 0; i < FPlayers.size(); ++i)
      Say(i, "K|");
    Say(Creator, "G|" + std::string(In.Next() % 2 == 0 ? "plain" : "forest") + "|" +
                     std::to_string(In.Next() % 40) + "|fuzz");
    const std::string join = "J|" + std::to_string(Lobby.Server->GameDescriptions.Count() > 0
                                                       ? Lobby.Server->GameDescriptions.Get(0)->Id
                                                       : 0);
    uint8_t joiners = In.Next();
    for (std::size_t i = 0; i < FPlayers.size(); ++i)
      if (i != Creator && (joiners >> i) & 1)
        Say(i, join);
    Say(Creator, "B|");
  }

  void Settle() {
    for (const auto& player : FPlayers) {
      if (!Lobby.IsOpen(player->Conn))
        continue;
      for (const std::string& line : Lobby.Heard(player->Conn)) {
        player->Mind->Take(line);
        Check(player->Mind->Faults.empty(),
              player->Mind->Faults.empty() ? "" : player->Mind->Faults.front().c_str());
      }
    }
    for (const auto& match : Lobby.Server->Matches)
      CheckInvariants(*match->Game);
    for (const auto& player : FPlayers) {
      const TUser* user = Lobby.IsOpen(player->Conn)
                              ? Lobby.Server->ConnectedUsers.GetUserByConnection(player->Conn)
                              : nullptr;
      const TGame* copy = player->Mind->Mirror.Game();
      if (copy != nullptr)
        CheckInvariants(*copy);
      if (user == nullptr || user->Match == nullptr)
        continue;
      Check(copy != nullptr, "a player in a match without a copy of it");
      Check(ChecksumText(*copy) == ChecksumText(*user->Match->Game), "a copy differs");
      Check(Flags(*copy) == Flags(*user->Match->Game), "a copy's flags differ");
    }
  }

  TRecorder Lobby;

private:
  // Short turns, so that time passing makes turns run out.
  static TServerLimits Limits() {
    TServerLimits limits = MatchLimits();
    limits.Lobby.TurnTime = std::chrono::seconds(2);
    return limits;
  }

  std::vector<std::unique_ptr<TPlayer>> FPlayers;
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
