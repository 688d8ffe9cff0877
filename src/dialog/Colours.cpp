#include "Colours.h"

#include <algorithm>
#include <cmath>

namespace numira {
namespace {

double Linear(int channel) {
  const double c = std::clamp(channel, 0, 255) / 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

int Blend(int from, int to, int step, int steps) { return static_cast<int>(std::lround(from + (to - from) * static_cast<double>(step) / steps)); }

}  // namespace

double RelativeLuminance(Rgb c) { return 0.2126 * Linear(c.r) + 0.7152 * Linear(c.g) + 0.0722 * Linear(c.b); }

double ContrastRatio(Rgb a, Rgb b) {
  const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool IsDark(Rgb background) { return ContrastRatio(background, {255, 255, 255}) > ContrastRatio(background, {0, 0, 0}); }

bool IsHighContrast(const PaletteColours& palette) { return ContrastRatio(palette.text, palette.window) >= 19.5; }

bool KeepsClassicColours(const PaletteColours& palette) {
  return RelativeLuminance(palette.window) >= 0.75 && !IsHighContrast(palette);
}

Rgb StandOut(Rgb colour, Rgb background, double ratio) {
  const int target = IsDark(background) ? 255 : 0;
  constexpr int kSteps = 20;
  Rgb c = colour;
  for (int step = 1; step <= kSteps && ContrastRatio(c, background) < ratio; ++step)
    c = {Blend(colour.r, target, step, kSteps), Blend(colour.g, target, step, kSteps), Blend(colour.b, target, step, kSteps)};
  return c;
}

Rgb TextRgb(TextColour colour, const PaletteColours& palette) {
  Rgb classic;
  switch (colour) {
    case TextColour::Red: classic = kClassicRed; break;
    case TextColour::Blue: classic = kClassicBlue; break;
    case TextColour::DarkGreen: classic = kClassicDarkGreen; break;
    case TextColour::Default: return palette.text;
  }
  return KeepsClassicColours(palette) ? classic : StandOut(classic, palette.window);
}

Rgb MarkedCellRgb(const PaletteColours& window, const PaletteColours& view) {
  return KeepsClassicColours(window) ? kClassicMarkedCell : StandOut(kMarkedBar, view.text);
}

}  // namespace numira
