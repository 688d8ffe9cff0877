#pragma once
// Where a second window goes so that it does not cover the main window.
#include <optional>

namespace numira {

// A rectangle on the screen, in pixels: its top left corner and its size.
struct ScreenBox {
  int x = 0, y = 0, w = 0, h = 0;
  bool operator==(const ScreenBox&) const = default;
};

// Pixels between the main window and the one put beside it.
inline constexpr int kBesideGap = 8;

// The place of a window of the size `wanted` (frames included) beside `main` on the
// screen's free area: to its right, else to its left, with its top at the main window's
// top where the height allows. A side narrower than the wanted width still serves when
// it is at least `leastWidth` wide, the window then as wide as the side (the wider side
// first); it is never taller than the area. No place when neither side has the room.
std::optional<ScreenBox> PlaceBeside(ScreenBox main, ScreenBox wanted, int leastWidth, ScreenBox area, int gap);

}  // namespace numira
