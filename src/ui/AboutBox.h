#pragma once
// The about box: the product's name, version and a short description.
#include <QDialog>
#include <array>

#include "Controls.h"
#include "Texts.h"

namespace numira::ui {

inline constexpr int kAboutWidth = 235, kAboutHeight = 133;  // dialog units
// The about box's controls in creation and tab order (positions in dialog units).
inline constexpr std::array<ControlDef, 7> kAboutControls{{
    {0, ControlKind::Icon, "", 11, 17, 20, 20, 0},
    {0, ControlKind::StaticText, text::kAboutVersion, 88, 83, 58, 8, 0},
    {0, ControlKind::StaticText, text::kAboutRights, 39, 97, 156, 8, 0},
    {ctl::kOk, ControlKind::PushButton, text::kOk, 92, 112, 50, 14, kDefaultButton | kTabStop},
    {ctl::kAboutDescription, ControlKind::StaticText, text::kAboutDescription, 39, 19, 155, 42, kWrapSunken},
    {0, ControlKind::StaticText, text::kAboutContact, 89, 69, 56, 8, 0},
    {0, ControlKind::StaticText, text::kAboutHeading, 97, 7, 41, 8, 0},
}};

class CAboutDlg : public QDialog {
 public:
  // A modal run shows the box centred over its owner; OK and Enter end it with 1,
  // Escape and the close box with 2.
  explicit CAboutDlg(QWidget* owner = nullptr);

  void accept() override { done(1); }
  void reject() override { done(2); }
};

}  // namespace numira::ui
