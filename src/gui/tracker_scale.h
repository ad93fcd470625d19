// The mapping between a tracker's logical values and pixel columns, shared by TUITracker and
// TUIMultiTracker: values FMin..FMax spread over the track, which leaves Margin pixels free at
// each end of a widget Width pixels wide. 32-bit integer arithmetic, multiplication before
// division, division truncating toward zero.
#pragma once

#include <cstdint>

struct TTrackerScale {
  std::int32_t Min;
  std::int32_t Max;
  std::int32_t Width;
  std::int32_t Margin;

  // The pixel column of logical value V; the left margin when the range is empty.
  std::int32_t LogicToReal(std::int32_t V) const;
  // The logical value at pixel column X; Min when the track has no width.
  std::int32_t RealToLogic(std::int32_t X) const;
};

// True when pixel column X lies less than half a cursor width from CursorX.
bool IsNearCursor(std::int32_t X, std::int32_t CursorX, std::int32_t CursorWidth);

// V limited to Min..Max (Min wins should the range be inverted).
std::int32_t ClampToRange(std::int32_t V, std::int32_t Min, std::int32_t Max);
