#pragma once
// Every text the program shows (UTF-8), in one place. Texts made of others (a panel's
// captions, the about box's version line) are put together where they are used, from
// the pieces here.
#include <array>

#include "NumiraVersion.h"

namespace numira::text {

// ---- The main window ----
inline constexpr const char* kWindowTitle = "ぬみら";
inline constexpr const char* kFilterCheck = "絞り込み";
inline constexpr const char* kPredict = "予想";
inline constexpr const char* kStop = "!!! STOP !!!";
inline constexpr const char* kDownload = "当せん数字情報ダウンロード";
inline constexpr const char* kAboutButton = "ぬみら について";  // also the about box's title
inline constexpr const char* kClose = "閉じる";
inline constexpr const char* kOk = "OK";
inline constexpr const char* kCancel = "ｷｬﾝｾﾙ";
// Placeholders of the template; initialisation replaces them with empty text.
inline constexpr const char* kResultPlaceholder = "Static";
inline constexpr const char* kStatusPlaceholder = "9999年99月99日 99時99分99秒";
inline constexpr const char* kNotice = "当せん数字情報は月曜日～金曜日の20:00～20:30の時間帯に更新しています。";
inline constexpr const char* kAboutMenuItem = "ぬみら について(&A)...";
inline constexpr const char* kNoData = "データがありません。";

// The games' names, in Game order: the group boxes' template texts. A panel's caption is
// the name in brackets, and with a date the caption followed by the date label and the date.
inline constexpr std::array<const char*, 4> kGameNames{"ナンバーズ３", "ナンバーズ４", "ミニロト", "ロト６"};
inline constexpr const char* kCaptionOpen = "【";
inline constexpr const char* kCaptionClose = "】";
inline constexpr const char* kDateLabel = "　最新抽選日：";

// The filter drop-downs' items.
inline constexpr const char* kFilterNeverWon = "未当せん";
inline constexpr const char* kFilterOneToFour = "１～４回当せん";
inline constexpr const char* kFilterFiveOrMore = "５回以上当せん";
inline constexpr const char* kFilterWonOnce = "１回以上当せん";

// ---- The list refresh ----
inline constexpr const char* kDownloading = "最新情報をダウンロードしています・・・";
inline constexpr const char* kDownloadFailed = "最新情報をダウンロードできませんでした。";
inline constexpr const char* kDownloadPartlyFailed = "一部の最新情報をダウンロードできませんでした。";
inline constexpr const char* kDownloadTimeFormat = "%04d年%02d月%02d日 %02d時%02d分%02d秒";
// Error box texts for a local file that cannot be written (%1: the file's full path).
inline constexpr const char* kWriteErrorFormat = "%1 へのｱｸｾｽ中に不明なｴﾗｰが発生しました。";
inline constexpr const char* kDiskFullFormat = "%1 へのｱｸｾｽ中にﾃﾞｨｽｸがいっぱいになりました。";

// ---- The about box ----
inline constexpr const char* kAboutHeading = "--- ぬみら ---";
inline constexpr const char* kAboutDescription =
    "数字選択式宝くじの予想をします。\n当せん数字情報による絞り込み予想で当せん確立が上がる！・・・・・・かもしれません。";
inline constexpr const char* kAboutContact = "numira.example";
inline constexpr const char* kAboutVersion = "Numira Version " NUMIRA_VERSION_SHORT;
inline constexpr const char* kAboutRights = "Copyright (C) 2026 Numira developers";

// ---- Start-up without a display (standard error) ----
inline constexpr const char* kNoDisplay =
    "numira: 画面（X11 または Wayland のディスプレイ）が見つからないため、ウィンドウを表示できません。\n"
    "  ディスプレイのない環境では xvfb-run を使ってください:  xvfb-run -a build/numira\n"
    "numira: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window cannot be shown.\n"
    "  Run it on a desktop session, or without one under a virtual display:  xvfb-run -a build/numira\n";

// ---- The history window (当せん履歴); %1, %2: the values, in order ----
inline constexpr const char* kHistoryTitle = "当せん履歴";
inline constexpr const char* kHistoryMenuItem = "当せん履歴(&H)...";
inline constexpr const char* kHistoryHeadlineFormat = "最新抽選日：%1　抽選回数：%2回";
inline constexpr const char* kNeverDrawnFormat = "未当せんの数字：%1個";
inline constexpr const char* kNumberColumn = "数字";
inline constexpr const char* kDrawsColumn = "当せん回数";
inline constexpr const char* kShareColumn = "割合";
// The positions of a Numbers number, from the highest; Numbers 3 has the last three.
inline constexpr std::array<const char*, 4> kPositionColumns{"千の位", "百の位", "十の位", "一の位"};
inline constexpr const char* kLotoChartNameFormat = "%1 数字別当せん回数のグラフ";
inline constexpr const char* kNumbersChartNameFormat = "%1 位ごとの数字別当せん回数のグラフ";
inline constexpr const char* kLotoTableNameFormat = "%1 数字別当せん回数の表";
inline constexpr const char* kNumbersTableNameFormat = "%1 位ごとの数字別当せん回数の表";
// What a screen reader says of the cells of the game's last proposal.
inline constexpr const char* kLastProposalMark = "前回の予想";
// A standing proposal's tooltip: a Numbers number, and each number of a Loto proposal.
inline constexpr const char* kNumbersToolTipFormat = "過去の当せん回数：%1回";
inline constexpr const char* kLotoToolTipFormat = "%1 の当せん回数：%2回";

// ---- Copying the proposals, and the filters' candidate counts; %1: the value ----
inline constexpr const char* kCopyMenuItem = "予想をコピー(&C)";
// One line per standing proposal: the game's name, this separator, the numbers.
inline constexpr const char* kCopySeparator = "：";
// The filter drop-down's tooltip: how many candidates the chosen filter leaves.
inline constexpr const char* kNumbersCandidatesFormat = "候補：%1個";
inline constexpr const char* kLotoCandidatesFormat = "候補：%1通り";

}  // namespace numira::text
