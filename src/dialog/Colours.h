#pragma once
// The text colours the window asks the dialog for each time it draws a control, and the
// rule that makes them readable on any palette.
#include <cstdint>

#include "RollState.h"

namespace numira {

enum class TextColour { Default, Red, Blue, DarkGreen };

// A result field rolls in red and the standing proposal is blue.
inline TextColour ResultColour(std::int32_t rollInterval) {
  return rollInterval >= kFinishInterval ? TextColour::Blue : TextColour::Red;
}

// An sRGB colour, 0 to 255 a channel.
struct Rgb {
  int r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// The classic colours: on the usual light palette the texts have them as they always had.
inline constexpr Rgb kClassicRed{255, 0, 0}, kClassicBlue{0, 0, 255}, kClassicDarkGreen{0, 102, 0};
// The history window marks the last proposal with this bar colour and, on a light
// palette, this cell background.
inline constexpr Rgb kMarkedBar{215, 38, 61}, kClassicMarkedCell{255, 214, 220};

// Relative luminance and contrast ratio as the Web Content Accessibility Guidelines
// define them: ratios run from 1 (the same) to 21 (black on white).
double RelativeLuminance(Rgb c);
double ContrastRatio(Rgb a, Rgb b);
// The ratio a text needs against its background (level AA for normal text).
inline constexpr double kReadableContrast = 4.5;

// The colours of a palette the rule looks at: the window's background and its text.
struct PaletteColours {
  Rgb window;
  Rgb text;
};

// A dark background: white text stands out on it more than black.
bool IsDark(Rgb background);
// A palette that asks for the strongest contrast: its text stands out from its
// background at 19.5:1 or more (black on white, white on black).
bool IsHighContrast(const PaletteColours& palette);
// The usual light palette keeps the classic colours exactly: a background at least as
// light as 75 % luminance (Fusion's #efefef has 86 %, white 100 %) that is not
// high-contrast.
bool KeepsClassicColours(const PaletteColours& palette);

// The colour blended, in twentieths, toward white on a dark background or toward black
// on a light one until it stands out from the background at `ratio`; the colour itself
// when it already does. White or black always reaches 4.5:1.
Rgb StandOut(Rgb colour, Rgb background, double ratio = kReadableContrast);

// The colour of a text on the window's background: the classic colour on the usual light
// palette, else that hue made readable; Default is the palette's own text colour.
Rgb TextRgb(TextColour colour, const PaletteColours& palette);

// The background of a cell marked in the history's table (`view`: the table's own
// background and text), on which the text must stay readable: the classic pink while the
// window's palette is the usual light one, else the marked bar colour made readable
// under the text.
Rgb MarkedCellRgb(const PaletteColours& window, const PaletteColours& view);

}  // namespace numira
