// Small matches drawn as text for the rules' tests, rows split by '/': '.' an empty tile, '#' a
// tree, a lower-case letter a viking and an upper-case one a tank of seat 0 for a/A, 1 for b/B,
// and so on. Unit ids count from 1 in reading order.
#pragma once

#include "game/rules.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <ostream>
#include <string>

inline std::unique_ptr<TGame> Board(const std::string& Rows, int32_t Seats = 2) {
  const auto columns = static_cast<int32_t>(std::min(Rows.find('/'), Rows.size()));
  auto game = StartMirror(
      "test", columns, static_cast<int32_t>(std::count(Rows.begin(), Rows.end(), '/')) + 1, Seats);
  int32_t x = 0, y = 0, id = 0;
  for (const unsigned char c : Rows) {
    if (c == '/') {
      x = 0, ++y;
      continue;
    }
    const TUnitKind kind = std::isupper(c) ? TUnitKind::Tank : TUnitKind::Viking;
    if (c == '#')
      MirrorTree(*game, x, y);
    else if (std::isalpha(c))
      MirrorUnit(*game, ++id, std::tolower(c) - 'a', kind, x, y, UnitInfo(kind).MaxHealth, false,
                 false);
    ++x;
  }
  return game;
}

// Events as kind, unit, target, x, y, health, seat, round, for readable failures.
inline std::ostream& operator<<(std::ostream& Out, const TMatchEvent& E) {
  return Out << static_cast<int>(E.Kind) << ":" << E.Unit << "," << E.Target << "," << E.X << ","
             << E.Y << "," << E.Health << "," << E.Seat << "," << E.Round;
}
