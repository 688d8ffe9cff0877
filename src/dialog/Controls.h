#pragma once
// The main window's controls: IDs, the control table (kind, template text, place in
// dialog units, style) in creation and tab order, and the per-game panel table.
#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "CandidatePool.h"
#include "Game.h"
#include "Texts.h"

namespace numira {

namespace ctl {
inline constexpr int kOk = 1, kCancel = 2;
inline constexpr int kNum3Predict = 1000, kNum3Result = 1001, kNum4Result = 1002, kNum4Predict = 1003;
inline constexpr int kMiniResult1 = 1004, kMiniPredict = 1005, kMiniResult2 = 1006, kMiniResult3 = 1007,
                     kMiniResult4 = 1008, kMiniResult5 = 1009;
inline constexpr int kLot6Result1 = 1010, kLot6Predict = 1011, kLot6Result2 = 1012, kLot6Result3 = 1013,
                     kLot6Result4 = 1014, kLot6Result5 = 1015, kLot6Result6 = 1016;
inline constexpr int kDownload = 1019, kStatus = 1020, kClose = 1021, kNotice = 1022;
inline constexpr int kNum3Filter = 1024, kNum3Group = 1025, kNum4Filter = 1028, kNum3Check = 1029, kNum4Group = 1030;
inline constexpr int kMiniFilter = 1031, kMiniGroup = 1032, kLot6Group = 1033, kLot6Filter = 1034;
inline constexpr int kNum4Check = 1035, kMiniCheck = 1036, kLot6Check = 1037, kAbout = 1038, kSorter = 1042;
// The panels shown by choice (表示するくじ): ロト７ and ビンゴ５.
inline constexpr int kLot7Group = 1043, kLot7Check = 1044, kLot7Filter = 1045, kLot7Predict = 1046;
inline constexpr int kLot7Result1 = 1047, kLot7Result2 = 1048, kLot7Result3 = 1049, kLot7Result4 = 1050,
                     kLot7Result5 = 1051, kLot7Result6 = 1052, kLot7Result7 = 1053;
inline constexpr int kBingo5Group = 1054, kBingo5Check = 1055, kBingo5Filter = 1056, kBingo5Predict = 1057;
inline constexpr int kBingo5Result1 = 1058, kBingo5Result2 = 1059, kBingo5Result3 = 1060, kBingo5Result4 = 1061,
                     kBingo5Result5 = 1062, kBingo5Result6 = 1063, kBingo5Result7 = 1064, kBingo5Result8 = 1065;

// The about box's description (a control of the about box, not of the main window).
inline constexpr int kAboutDescription = 1034;
// The command of the about item of the window's system menu. The low four bits of a
// system command are the platform's: commands 0x0010 to 0x001F all mean the about item.
inline constexpr unsigned kAboutCommand = 0x0010;
inline constexpr unsigned kSystemCommandMask = 0xFFF0;
// The history item of the same menu is the window's own: it carries no system command.
inline constexpr unsigned kHistoryItem = 0;
// So is the check item (no system command has the value 1).
inline constexpr unsigned kCheckItem = 1;
// So is the settings item (設定).
inline constexpr unsigned kSettingsItem = 2;
// The menu item that copies the standing proposals, also the window's own.
inline constexpr unsigned kCopyItem = 0x0C0C;
// The check items 自動更新 and はずれも通知, the window's own.
inline constexpr unsigned kAutoRefreshItem = 0x0A0A;
inline constexpr unsigned kNotifyLossesItem = 0x0A0B;
// The timer of the automatic refresh.
inline constexpr int kAutoRefreshTimer = 20;
// The purchases window's item (購入記録), and the items that record a panel's standing
// proposal: kRecordProposalItem + the game's index. The window's own, as the copy item.
inline constexpr unsigned kPurchasesItem = 0x0D00;
inline constexpr unsigned kRecordProposalItem = 0x0D10;
// The platform's close command, which the window handles by default.
inline constexpr unsigned kCloseCommand = 0xF060;
// The check items of 表示するくじ: this plus the game's index (GameIndex), the window's own.
inline constexpr unsigned kShownGameItem = 0x0100;
}  // namespace ctl

enum class ControlKind { CheckBox, DropDown, PushButton, GroupBox, StaticText, ListBox, Icon };

// Style bits of a control.
enum ControlStyle : unsigned {
  kTabStop = 1u << 0,
  kHidden = 1u << 1,
  kResultField = 1u << 2,  // one line, centred both ways, sunken border, bold result font
  kLeftVCentre = 1u << 3,  // one line, left-aligned, vertically centred, no border
  kDefaultButton = 1u << 4,
  kWrapSunken = 1u << 5,   // left-aligned, wrapped, sunken border
  kSortedList = 1u << 6,
};

struct ControlDef {
  int id;  // 0 for controls without an ID (static texts of the about box)
  ControlKind kind;
  const char* text;  // template text (UTF-8)
  int x, y, w, h;    // dialog units, relative to the client area
  unsigned style;
};

inline constexpr int kDialogWidth = 307, kDialogHeight = 215;  // dialog units

inline constexpr std::array<ControlDef, 37> kMainControls{{
    {ctl::kNum3Check, ControlKind::CheckBox, text::kFilterCheck, 13, 23, 39, 10, kTabStop},
    {ctl::kNum3Filter, ControlKind::DropDown, "", 55, 21, 58, 55, kTabStop},
    {ctl::kNum3Predict, ControlKind::PushButton, text::kPredict, 121, 21, 36, 14, kTabStop},
    {ctl::kNum4Check, ControlKind::CheckBox, text::kFilterCheck, 13, 63, 39, 10, kTabStop},
    {ctl::kNum4Filter, ControlKind::DropDown, "", 55, 61, 58, 55, kTabStop},
    {ctl::kNum4Predict, ControlKind::PushButton, text::kPredict, 121, 61, 36, 14, kTabStop},
    {ctl::kMiniCheck, ControlKind::CheckBox, text::kFilterCheck, 13, 104, 39, 10, kTabStop},
    {ctl::kMiniFilter, ControlKind::DropDown, "", 55, 102, 58, 55, kTabStop},
    {ctl::kMiniPredict, ControlKind::PushButton, text::kPredict, 121, 102, 36, 14, kTabStop},
    {ctl::kLot6Check, ControlKind::CheckBox, text::kFilterCheck, 13, 143, 39, 10, kTabStop},
    {ctl::kLot6Filter, ControlKind::DropDown, "", 55, 141, 58, 55, kTabStop},
    {ctl::kLot6Predict, ControlKind::PushButton, text::kPredict, 121, 141, 36, 14, kTabStop},
    {ctl::kDownload, ControlKind::PushButton, text::kDownload, 7, 171, 88, 14, kTabStop},
    {ctl::kAbout, ControlKind::PushButton, text::kAboutButton, 250, 179, 50, 14, kTabStop},
    {ctl::kClose, ControlKind::PushButton, text::kClose, 250, 194, 50, 14, kTabStop},
    {ctl::kOk, ControlKind::PushButton, text::kOk, 219, 58, 14, 14, kHidden | kTabStop},
    {ctl::kCancel, ControlKind::PushButton, text::kCancel, 232, 58, 14, 14, kHidden | kTabStop},
    {ctl::kNum3Group, ControlKind::GroupBox, text::kGameNames[0], 7, 7, 293, 38, 0},
    {ctl::kNum3Result, ControlKind::StaticText, text::kResultPlaceholder, 165, 21, 36, 14, kResultField},
    {ctl::kNum4Group, ControlKind::GroupBox, text::kGameNames[1], 7, 47, 293, 38, 0},
    {ctl::kNum4Result, ControlKind::StaticText, text::kResultPlaceholder, 165, 61, 36, 14, kResultField},
    {ctl::kMiniResult1, ControlKind::StaticText, text::kResultPlaceholder, 165, 102, 18, 14, kResultField},
    {ctl::kMiniGroup, ControlKind::GroupBox, text::kGameNames[2], 7, 87, 293, 38, 0},
    {ctl::kMiniResult2, ControlKind::StaticText, text::kResultPlaceholder, 187, 102, 18, 14, kResultField},
    {ctl::kMiniResult3, ControlKind::StaticText, text::kResultPlaceholder, 209, 102, 18, 14, kResultField},
    {ctl::kMiniResult4, ControlKind::StaticText, text::kResultPlaceholder, 231, 102, 18, 14, kResultField},
    {ctl::kMiniResult5, ControlKind::StaticText, text::kResultPlaceholder, 253, 102, 18, 14, kResultField},
    {ctl::kLot6Result1, ControlKind::StaticText, text::kResultPlaceholder, 165, 141, 18, 14, kResultField},
    {ctl::kLot6Group, ControlKind::GroupBox, text::kGameNames[3], 7, 127, 293, 38, 0},
    {ctl::kLot6Result2, ControlKind::StaticText, text::kResultPlaceholder, 187, 141, 18, 14, kResultField},
    {ctl::kLot6Result3, ControlKind::StaticText, text::kResultPlaceholder, 209, 141, 18, 14, kResultField},
    {ctl::kLot6Result4, ControlKind::StaticText, text::kResultPlaceholder, 231, 141, 18, 14, kResultField},
    {ctl::kLot6Result5, ControlKind::StaticText, text::kResultPlaceholder, 253, 141, 18, 14, kResultField},
    {ctl::kLot6Result6, ControlKind::StaticText, text::kResultPlaceholder, 275, 141, 18, 14, kResultField},
    {ctl::kStatus, ControlKind::StaticText, text::kStatusPlaceholder, 98, 171, 146, 14, kLeftVCentre},
    {ctl::kNotice, ControlKind::StaticText, text::kNotice, 7, 189, 237, 14, kLeftVCentre},
    {ctl::kSorter, ControlKind::ListBox, "", 250, 165, 36, 14, kHidden | kTabStop | kSortedList},
}};

// The controls of the panels shown by choice (表示するくじ), in creation and tab order: in
// the window's order they come after the ロト６ panel's, before the refresh button. Their
// places are those with both panels shown, stacked below the ロト６ panel one panel pitch
// apart (LayoutFor, ShownGames.h, moves ビンゴ５ up when ロト７ is hidden). Their result
// fields are narrower than ロト６'s (16 units, two digits each), so that seven and eight of
// them fit the panel's width.
inline constexpr std::array<ControlDef, 23> kChoicePanelControls{{
    {ctl::kLot7Check, ControlKind::CheckBox, text::kFilterCheck, 13, 183, 39, 10, kTabStop},
    {ctl::kLot7Filter, ControlKind::DropDown, "", 55, 181, 58, 55, kTabStop},
    {ctl::kLot7Predict, ControlKind::PushButton, text::kPredict, 121, 181, 36, 14, kTabStop},
    {ctl::kBingo5Check, ControlKind::CheckBox, text::kFilterCheck, 13, 223, 39, 10, kTabStop},
    {ctl::kBingo5Filter, ControlKind::DropDown, "", 55, 221, 58, 55, kTabStop},
    {ctl::kBingo5Predict, ControlKind::PushButton, text::kPredict, 121, 221, 36, 14, kTabStop},
    {ctl::kLot7Group, ControlKind::GroupBox, text::kGameNames[4], 7, 167, 293, 38, 0},
    {ctl::kLot7Result1, ControlKind::StaticText, text::kResultPlaceholder, 165, 181, 16, 14, kResultField},
    {ctl::kLot7Result2, ControlKind::StaticText, text::kResultPlaceholder, 183, 181, 16, 14, kResultField},
    {ctl::kLot7Result3, ControlKind::StaticText, text::kResultPlaceholder, 201, 181, 16, 14, kResultField},
    {ctl::kLot7Result4, ControlKind::StaticText, text::kResultPlaceholder, 219, 181, 16, 14, kResultField},
    {ctl::kLot7Result5, ControlKind::StaticText, text::kResultPlaceholder, 237, 181, 16, 14, kResultField},
    {ctl::kLot7Result6, ControlKind::StaticText, text::kResultPlaceholder, 255, 181, 16, 14, kResultField},
    {ctl::kLot7Result7, ControlKind::StaticText, text::kResultPlaceholder, 273, 181, 16, 14, kResultField},
    {ctl::kBingo5Group, ControlKind::GroupBox, text::kGameNames[5], 7, 207, 293, 38, 0},
    {ctl::kBingo5Result1, ControlKind::StaticText, text::kResultPlaceholder, 160, 221, 16, 14, kResultField},
    {ctl::kBingo5Result2, ControlKind::StaticText, text::kResultPlaceholder, 177, 221, 16, 14, kResultField},
    {ctl::kBingo5Result3, ControlKind::StaticText, text::kResultPlaceholder, 194, 221, 16, 14, kResultField},
    {ctl::kBingo5Result4, ControlKind::StaticText, text::kResultPlaceholder, 211, 221, 16, 14, kResultField},
    {ctl::kBingo5Result5, ControlKind::StaticText, text::kResultPlaceholder, 228, 221, 16, 14, kResultField},
    {ctl::kBingo5Result6, ControlKind::StaticText, text::kResultPlaceholder, 245, 221, 16, 14, kResultField},
    {ctl::kBingo5Result7, ControlKind::StaticText, text::kResultPlaceholder, 262, 221, 16, 14, kResultField},
    {ctl::kBingo5Result8, ControlKind::StaticText, text::kResultPlaceholder, 279, 221, 16, 14, kResultField},
}};

// The per-game panel: its controls and timer.
struct PanelDef {
  Game game;
  int groupBox, checkBox, dropDown, predictButton;
  std::array<int, kMaxEntryCount> resultFields;
  int resultCount;
  int timerId;
  int openFailCode;  // ReadList's result when the file cannot be opened
  bool byChoice = false;  // shown only when the user asks for it (表示するくじ)
};

// Every game's panel, in game order: the four every window shows, then the panels shown
// by choice, which the window stacks below them in this order.
inline constexpr std::array<PanelDef, 6> kGamePanels{{
    {Game::Num3, ctl::kNum3Group, ctl::kNum3Check, ctl::kNum3Filter, ctl::kNum3Predict, {ctl::kNum3Result}, 1, 2, -1408},
    {Game::Num4, ctl::kNum4Group, ctl::kNum4Check, ctl::kNum4Filter, ctl::kNum4Predict, {ctl::kNum4Result}, 1, 3, -1477},
    {Game::Mini, ctl::kMiniGroup, ctl::kMiniCheck, ctl::kMiniFilter, ctl::kMiniPredict,
     {ctl::kMiniResult1, ctl::kMiniResult2, ctl::kMiniResult3, ctl::kMiniResult4, ctl::kMiniResult5}, 5, 4, -1544},
    {Game::Lot6, ctl::kLot6Group, ctl::kLot6Check, ctl::kLot6Filter, ctl::kLot6Predict,
     {ctl::kLot6Result1, ctl::kLot6Result2, ctl::kLot6Result3, ctl::kLot6Result4, ctl::kLot6Result5,
      ctl::kLot6Result6},
     6, 5, -1607},
    {Game::Lot7, ctl::kLot7Group, ctl::kLot7Check, ctl::kLot7Filter, ctl::kLot7Predict,
     {ctl::kLot7Result1, ctl::kLot7Result2, ctl::kLot7Result3, ctl::kLot7Result4, ctl::kLot7Result5,
      ctl::kLot7Result6, ctl::kLot7Result7},
     7, 6, -1, true},
    {Game::Bingo5, ctl::kBingo5Group, ctl::kBingo5Check, ctl::kBingo5Filter, ctl::kBingo5Predict,
     {ctl::kBingo5Result1, ctl::kBingo5Result2, ctl::kBingo5Result3, ctl::kBingo5Result4, ctl::kBingo5Result5,
      ctl::kBingo5Result6, ctl::kBingo5Result7, ctl::kBingo5Result8},
     8, 7, -1, true},
}};

// How many panels every window shows: the first ones of kGamePanels.
inline constexpr std::size_t kFixedPanelCount = 4;
// The panels every window shows (a new user's window shows these only).
inline constexpr std::span<const PanelDef, kFixedPanelCount> kPanels{kGamePanels.data(), kFixedPanelCount};

// The height a panel takes in the window, with the gap below it (dialog units).
inline constexpr int kPanelPitch = 40;
// The top of what lies below the panels of kMainControls (the refresh row, the notice,
// the about and close buttons): it moves down by kPanelPitch for each panel shown by choice.
inline constexpr int kBelowPanelsTop = 165;

// The result fields follow the games' rules: a Numbers panel has one field for its
// `count` digits, a Loto panel one field per number; each is a result field of the
// control table, wide enough for what it shows.
inline constexpr int kResultDigitWidth = 8;  // dialog units per digit of a result field
namespace panel_check {
constexpr int Digits(int n) { return n < 10 ? 1 : 1 + Digits(n / 10); }
// The control of either table (a copy: id 0 when there is none).
constexpr ControlDef DefOf(int id) {
  for (const ControlDef& c : kMainControls)
    if (c.id == id) return c;
  for (const ControlDef& c : kChoicePanelControls)
    if (c.id == id) return c;
  return ControlDef{0, ControlKind::StaticText, "", 0, 0, 0, 0, 0};
}
constexpr bool ResultFieldsFollowTheRules() {
  for (std::size_t i = 0; i < kGamePanels.size(); ++i) {
    const PanelDef& p = kGamePanels[i];
    const GameRules& rules = RulesOf(p.game);
    if (p.game != kGames[i]) return false;  // panels in game order: Panel() finds them by GameIndex
    if (p.resultCount != (IsNumbers(p.game) ? 1 : rules.count)) return false;
    const int digitsShown = IsNumbers(p.game) ? rules.count : Digits(rules.largest);
    for (std::size_t k = 0; k < p.resultFields.size(); ++k) {
      const bool used = k < static_cast<std::size_t>(p.resultCount);
      if (!used) {
        if (p.resultFields[k] != 0) return false;
        continue;
      }
      const ControlDef c = DefOf(p.resultFields[k]);
      if (c.id == 0 || c.kind != ControlKind::StaticText || !(c.style & kResultField) || c.w < digitsShown * kResultDigitWidth)
        return false;
    }
  }
  return true;
}
// The panels shown by choice come after the fixed ones, each one pitch below the one
// before, with every control inside its group box, and in the table of their controls.
constexpr bool ChoicePanelsStackBelowTheFixedOnes() {
  const ControlDef last = DefOf(kGamePanels[kFixedPanelCount - 1].groupBox);
  if (last.id == 0 || last.y + last.h != kBelowPanelsTop) return false;
  for (std::size_t i = 0; i < kGamePanels.size(); ++i) {
    const PanelDef& p = kGamePanels[i];
    if (p.byChoice != (i >= kFixedPanelCount)) return false;
    if (!p.byChoice) continue;
    const ControlDef group = DefOf(p.groupBox);
    if (group.id == 0 || group.y != last.y + kPanelPitch * static_cast<int>(i - kFixedPanelCount + 1)) return false;
    for (int id : {p.checkBox, p.dropDown, p.predictButton, p.resultFields[0],
                   p.resultFields[static_cast<std::size_t>(p.resultCount - 1)]}) {
      bool inChoiceTable = false;
      for (const ControlDef& c : kChoicePanelControls) inChoiceTable = inChoiceTable || c.id == id;
      const ControlDef c = DefOf(id);
      if (!inChoiceTable || c.y < group.y || c.y >= group.y + group.h || c.x + c.w > group.x + group.w) return false;
    }
  }
  return true;
}
}  // namespace panel_check
static_assert(panel_check::ResultFieldsFollowTheRules(),
              "each panel's result fields: one per Loto number or one for the Numbers digits, wide enough");
static_assert(panel_check::ChoicePanelsStackBelowTheFixedOnes(),
              "the panels shown by choice follow the fixed ones, one pitch apart, their controls inside");

// A panel's group-box caption: "【ナンバーズ３】", and with the latest draw date
// "【ナンバーズ３】　最新抽選日：2026年8月21日".
std::string PlainCaption(Game game);
std::string DatedCaption(Game game, const std::string& date);

// The items of a game's filter drop-down, in their order, and the choice each stands for.
struct FilterItem {
  FilterChoice choice;
  const char* text;
};
inline constexpr std::array<FilterItem, 3> kNumbersFilters{{{FilterChoice::NeverWon, text::kFilterNeverWon},
                                                            {FilterChoice::OneToFour, text::kFilterOneToFour},
                                                            {FilterChoice::FiveOrMore, text::kFilterFiveOrMore}}};
inline constexpr std::array<FilterItem, 2> kLotoFilters{{{FilterChoice::NeverWon, text::kFilterNeverWon},
                                                         {FilterChoice::WonAtLeastOnce, text::kFilterWonOnce}}};
inline std::span<const FilterItem> FilterItems(Game g) {
  if (IsNumbers(g)) return kNumbersFilters;
  return kLotoFilters;
}

// The choice is recognised by its text: the first of the game's items whose text the
// selected text contains; otherwise the last item (the drop-down holds nothing else).
FilterChoice RecogniseFilter(Game game, std::string_view selected);

// The games every window shows, in panel order (the panels of kPanels).
inline constexpr std::array<Game, kPanels.size()> kShownGames = [] {
  std::array<Game, kPanels.size()> games{};
  for (std::size_t i = 0; i < kPanels.size(); ++i) games[i] = kPanels[i].game;
  return games;
}();

// A game's panel.
inline constexpr const PanelDef& Panel(Game g) { return kGamePanels[GameIndex(g)]; }
inline std::span<const int> ResultFields(Game g) {
  return {Panel(g).resultFields.data(), static_cast<std::size_t>(Panel(g).resultCount)};
}

// The panel a control belongs to, or nullptr.
const PanelDef* PanelOfControl(int id);

// The control's definition (of either table), or nullptr for an unknown ID.
const ControlDef* FindControl(int id);

// Every control of the window in creation and tab order: kMainControls, with the
// controls of the panels shown by choice after the fixed panels' (before the refresh button).
std::vector<const ControlDef*> WindowControls();

}  // namespace numira
