#include "game/map.h"

#include <stdexcept>

namespace {
// A bound far above any playable map that keeps the tile count within memory and int32 range.
constexpr int64_t MaxTiles = int64_t{1} << 24;
} // namespace

TMap::TMap() {
  SetSize(DefaultSize, DefaultSize);
}

TMap::TMap(int32_t X, int32_t Y) {
  SetSize(X, Y);
}

TMap::~TMap() = default;

void TMap::SetSize(int32_t X, int32_t Y) {
  if (X < 0 || Y < 0 || int64_t{X} * int64_t{Y} > MaxTiles)
    throw std::invalid_argument("Invalid map size");
  FreeAllTiles();
  SizeX = X;
  SizeY = Y;
  Data.clear();
  Data.resize(static_cast<std::size_t>(X) * static_cast<std::size_t>(Y));
  for (auto& tile : Data)
    tile = std::make_unique<TTile>();
}

TTile* TMap::GetTile(int32_t X, int32_t Y) const {
  if (X < 0 || Y < 0 || X >= SizeX || Y >= SizeY)
    return nullptr;
  return Data[static_cast<std::size_t>(X) + static_cast<std::size_t>(Y) * SizeX].get();
}

void TMap::FreeAllTiles() {
  for (auto& tile : Data)
    tile.reset();
}

void TMap::Load(const std::string& FileName) {
  (void)FileName;
}
