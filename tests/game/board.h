// Small matches drawn as text for the rules' tests, one string per row: '.' an empty tile,
// '#' a tree, a lower-case letter a viking and an upper-case one a tank of seat 0 for a/A, 1
// for b/B, and so on. Unit ids count from 1 in reading order.
#pragma once

#include "game/rules.h"

#include <cctype>
#include <cstring>
#include <memory>
#include <ostream>
#include <vector>

inline std::unique_ptr<TGame> Board(const std::vector<const char*>& Rows, int32_t Seats = 2) {
  const int32_t columns = static_cast<int32_t>(std::strlen(Rows.front()));
  auto game = StartMirror("test", columns, static_cast<int32_t>(Rows.size()), Seats);
  int32_t y = 0, id = 0;
  for (const char* row : Rows) {
    for (int32_t x = 0; row[x]; ++x) {
      const char c = row[x];
      if (c == '#')
        MirrorTree(*game, x, y);
      else if (std::isalpha(static_cast<unsigned char>(c))) {
        const TUnitKind kind =
            std::isupper(static_cast<unsigned char>(c)) ? TUnitKind::Tank : TUnitKind::Viking;
        const int32_t seat = std::tolower(static_cast<unsigned char>(c)) - 'a';
        MirrorUnit(*game, ++id, seat, kind, x, y, UnitInfo(kind).MaxHealth, false, false);
      }
    }
    ++y;
  }
  return game;
}

// Events as the wire names them, for readable test failures.
inline std::ostream& operator<<(std::ostream& Out, const TMatchEvent& E) {
  switch (E.Kind) {
  case TMatchEventKind::Moved:
    return Out << "moved|" << E.Unit << "|" << E.X << "|" << E.Y;
  case TMatchEventKind::Hit:
    return Out << "hit|" << E.Unit << "|" << E.Target << "|" << E.Health;
  case TMatchEventKind::Out:
    return Out << "out|" << E.Seat;
  case TMatchEventKind::Turn:
    return Out << "turn|" << E.Seat << "|" << E.Round;
  case TMatchEventKind::Over:
    return Out << "over|" << E.Seat;
  }
  return Out;
}
