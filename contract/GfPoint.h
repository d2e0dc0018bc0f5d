#ifndef CONTRACT_GFPOINT_H
#define CONTRACT_GFPOINT_H

#include <stdint.h>

// A position in controller units (raw) or in screen units (calibrated): two 32-bit
// signed coordinates. The result of every extractPosition.
struct GfPoint {
  int32_t x;
  int32_t y;

  GfPoint() : x(0), y(0) {}
  GfPoint(int32_t px, int32_t py) : x(px), y(py) {}

  bool operator==(const GfPoint& o) const { return x == o.x && y == o.y; }
  bool operator!=(const GfPoint& o) const { return !(*this == o); }
};

#endif
