#include "WindowPlacement.h"

#include <algorithm>

namespace numira {

std::optional<ScreenBox> PlaceBeside(ScreenBox main, ScreenBox wanted, int leastWidth, ScreenBox area, int gap) {
  const int rightRoom = area.x + area.w - (main.x + main.w + gap);
  const int leftRoom = main.x - gap - area.x;
  int width = wanted.w;
  bool right = rightRoom >= width;
  if (!right && leftRoom < width) {
    // Neither side takes the whole width: the wider one, if it is wide enough.
    right = rightRoom >= leftRoom;
    width = std::min(width, right ? rightRoom : leftRoom);
    if (width < std::max(leastWidth, 1)) return std::nullopt;
  }
  const int height = std::min(wanted.h, area.h);
  const int y = std::clamp(main.y, area.y, area.y + area.h - height);
  const int x = right ? main.x + main.w + gap : main.x - gap - width;
  return ScreenBox{x, y, width, height};
}

}  // namespace numira
