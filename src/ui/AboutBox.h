#pragma once
// The about box: the product's name, version and a short description.
#include <QDialog>
#include <array>

#include "Controls.h"

namespace numira::ui {

inline constexpr int kAboutWidth = 235, kAboutHeight = 133;  // dialog units
inline constexpr const char* kAboutTitle = "ぬみら について";

// The about box's controls in creation and tab order (positions in dialog units).
inline constexpr std::array<ControlDef, 7> kAboutControls{{
    {0, ControlKind::Icon, "", 11, 17, 20, 20, 0},
    {0, ControlKind::StaticText, "Numira Version 1.01", 88, 83, 58, 8, 0},
    {0, ControlKind::StaticText, "Copyright (C) 2026 Numira developers", 39, 97, 156, 8, 0},
    {ctl::kOk, ControlKind::PushButton, "OK", 92, 112, 50, 14, kDefaultButton | kTabStop},
    {1034, ControlKind::StaticText,
     "数字選択式宝くじの予想をします。\n当せん数字情報による絞り込み予想で当せん確立が上がる！・・・・・・かもしれません。", 39, 19, 155, 42, kWrapSunken},
    {0, ControlKind::StaticText, "numira.example", 89, 69, 56, 8, 0},
    {0, ControlKind::StaticText, "--- ぬみら ---", 97, 7, 41, 8, 0},
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
