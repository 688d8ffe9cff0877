#pragma once
// The windows' fonts: the dialog face at 9 points, and the bold face of the result fields.
#include <QFont>

namespace numira::ui {

// The face both windows ask for. It is a Windows face; on other systems a
// substitution maps the name to an installed Japanese gothic face.
extern const char* const kDialogFace;
inline constexpr int kDialogPointSize = 9;
// The face's own (TrueType) hinting: crisp at 9 points, and it spares the light
// auto-hinter, which on a large Japanese face first maps every glyph of the face (some
// 840 KiB of every start's memory).
inline constexpr QFont::HintingPreference kDialogHinting = QFont::PreferFullHinting;

// Registers the substitutes of the dialog face once per process (IPAPGothic first,
// then other Japanese gothic faces). Harmless where the face itself is installed.
void RegisterFontSubstitutes();

// The dialog font: the dialog face at 9 points, regular weight.
QFont DialogFont();

// The result font: the dialog face, bold, at the application's default size.
QFont ResultFont();

}  // namespace numira::ui
