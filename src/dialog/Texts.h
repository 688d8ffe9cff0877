#pragma once
// Every text the program shows (UTF-8), in one place. Texts made of others (a panel's
// captions, the about box's version line) are put together where they are used, from
// the pieces here.
#include <array>

#include "Game.h"
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

// The games' names, in Game order, as the games' rules hold them (Game.h): the group boxes'
// template texts of the games the window shows. A panel's caption is the name in brackets, and with a date the caption
// followed by the date label and the date.
inline constexpr std::array<const char*, 6> kGameNames{ShownName(Game::Num3), ShownName(Game::Num4),
                                                       ShownName(Game::Mini), ShownName(Game::Lot6),
                                                       ShownName(Game::Lot7), ShownName(Game::Bingo5)};
static_assert(kGameNames.size() == kGames.size());
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
// %1: the year, %2 .. %6: month, day, hour, minute and second in two digits.
inline constexpr const char* kDownloadTimeFormat = "%1年%2月%3日 %4時%5分%6秒";
// The status line at start-up when the user's folder is too long for a list path.
inline constexpr const char* kUserFolderTooLong = "保存先のパスが長すぎます。付属の情報を表示中。";
// Root runs the program with another user's home (sudo without -H): nothing is saved there.
inline constexpr const char* kRootInOthersHome = "root で他のユーザーのホームを使っているため、何も保存しません。";
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

// ---- Start-up without a display (standard error); %1: the command as it was started ----
inline constexpr const char* kNoDisplay =
    "numira: 画面（X11 または Wayland のディスプレイ）が見つからないため、ウィンドウを表示できません。\n"
    "  ディスプレイのない環境では xvfb-run を使ってください:  xvfb-run -a %1\n"
    "numira: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window cannot be shown.\n"
    "  Run it on a desktop session, or without one under a virtual display:  xvfb-run -a %1\n";

// ---- The command line (standard output and standard error); %1, %2: the values ----
inline constexpr const char* kVersionLine = "numira " NUMIRA_VERSION "\n";
// %1: the built-in list server.
inline constexpr const char* kUsageFormat =
    "Usage: numira [--list-server SERVER] [--purchases]\n"
    "       numira --help | --version\n"
    "ぬみら: 数字選択式宝くじの予想をします。 Proposes numbers for Numbers 3, Numbers 4, Mini Loto, Loto 6,\n"
    "Loto 7 and BINGO5.\n"
    "\n"
    "  --list-server SERVER  refresh the lists from SERVER: HOST[:PORT], http://HOST[:PORT]\n"
    "                        or https://HOST[:PORT]. Without it, list-server=SERVER in\n"
    "                        $XDG_CONFIG_HOME/numira/numira.conf (~/.config/numira/numira.conf),\n"
    "                        else %1\n"
    "  --purchases           start with 購入記録 (the purchases window) open\n"
    "  -h, --help            show this help and exit\n"
    "  --version             show the version and exit\n";
inline constexpr const char* kServerForms = "HOST[:PORT], http://HOST[:PORT] or https://HOST[:PORT]";
// The usage's words for a program built without a list server.
inline constexpr const char* kNoBuiltInServer = "none: the window's 設定 (right click) sets one";
// %1: where the value came from, %2: the value in quotes, %3: kServerForms.
inline constexpr const char* kNotAListServerFormat = "numira: %1: %2 is not a list server (%3); ignored\n";
inline constexpr const char* kFromCommandLine = "--list-server";
inline constexpr const char* kFromBuiltIn = "the built-in list server";
// %1: the configuration file, %2: its line.
inline constexpr const char* kFromConfigFormat = "%1:%2: list-server";
// %1: the configuration file, %2: why it cannot be read.
inline constexpr const char* kConfigUnreadableFormat = "numira: cannot read %1 (%2); its list-server is ignored\n";
// %1: kServerForms.
inline constexpr const char* kMissingValue = "numira: --list-server needs a value (%1); see numira --help\n";
// %1: the argument in quotes.
inline constexpr const char* kUnknownArgumentFormat = "numira: unknown argument %1; see numira --help\n";

// ---- The history window (当せん履歴); %1, %2: the values, in order ----
inline constexpr const char* kHistoryTitle = "当せん履歴";
inline constexpr const char* kHistoryMenuItem = "当せん履歴(&H)...";
// The history window's library could not be loaded (%1: why, as the system says it).
inline constexpr const char* kHistoryUnavailableFormat = "当せん履歴を表示できません。\n%1";
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
// The Loto tables' column: how many draws ago each number last came up ("0": the latest).
inline constexpr const char* kSinceLastColumn = "前回から";

// ---- The check window (当せん照合); %1, %2, %3: the values, in order ----
inline constexpr const char* kCheckTitle = "当せん照合";
inline constexpr const char* kCheckMenuItem = "当せん照合(&K)...";  // K as in its shortcut, Ctrl+K
inline constexpr const char* kDrawNoColumn = "回号";
inline constexpr const char* kDrawDateColumn = "抽選日";
inline constexpr const char* kWinningNumbersColumn = "当せん番号";
inline constexpr const char* kBonusColumn = "ボーナス数字";
inline constexpr const char* kPrizeColumn = "等級";
inline constexpr const char* kDrawsTableNameFormat = "%1 抽選結果の表";
inline constexpr const char* kWinsTableNameFormat = "%1 当せんした回の表";
inline constexpr const char* kTicketLabel = "番号";
inline constexpr const char* kTicketTypeLabel = "申込タイプ";
inline constexpr const char* kCheckButton = "照合";
// The ticket types in TicketType order; Numbers 4 offers the first three.
inline constexpr std::array<const char*, 4> kTicketTypes{"ストレート", "ボックス", "セット", "ミニ"};
inline constexpr const char* kLatestOutcomeFormat = "第%1回（%2）：%3";
inline constexpr const char* kPastWinsFormat = "過去の当せん：%1回";
// What a win paid: the wins table's column, the carry-over of each draw in the draws
// table, and a tier nobody won in the draw (no amount was paid).
inline constexpr const char* kAmountColumn = "当せん金額";
inline constexpr const char* kCarryoverColumn = "キャリーオーバー";
inline constexpr const char* kNoWinner = "（該当なし）";
// A ビンゴ５ card: its centre square, a square the draw matched (in the accessible name),
// and the name: %1 the game, %2 the rows ("01○ 09 13／17 FREE 23○／…"), %3 complete lines.
inline constexpr const char* kFreeSquare = "FREE";
inline constexpr const char* kHitMark = "○";
inline constexpr const char* kCardRowSeparator = "／";
inline constexpr const char* kCardNameFormat = "%1 のカード：%2（%3ライン）";
// A ticket that cannot be checked: what is wrong with it.
inline constexpr const char* kTicketEmpty = "番号を入力してください。";
inline constexpr const char* kTicketDigitsFormat = "番号は%1桁の数字です（入力は%2桁）。";
inline constexpr const char* kTicketNumbersFormat = "番号は1～%1の数字%2個です（入力は%3個）。";
// %1 of these two: the piece as typed, in 「」.
inline constexpr const char* kTicketNotNumberFormat = "%1は数字ではありません。";
inline constexpr const char* kTicketOutOfRangeFormat = "%1は1～%2の範囲にありません。";
inline constexpr const char* kTicketRepeatedFormat = "%1 が2回入っています。";
inline constexpr const char* kTicketOneDigitBox = "同じ数字だけの番号はボックス・セットで申し込めません。";

// ---- Copying the proposals, and the filters' candidate counts; %1: the value ----
inline constexpr const char* kCopyMenuItem = "予想をコピー(&C)";
// One line per standing proposal: the game's name, this separator, the numbers.
inline constexpr const char* kCopySeparator = "：";
// The filter drop-down's tooltip: how many candidates the chosen filter leaves.
inline constexpr const char* kNumbersCandidatesFormat = "候補：%1個";
inline constexpr const char* kLotoCandidatesFormat = "候補：%1通り";


// ---- 表示するくじ: the panels shown by choice, remembered in numira.conf (games=) ----
inline constexpr const char* kShownGamesMenu = "表示するくじ";
// %1: the configuration file, %2: its line.
inline constexpr const char* kGamesLineFormat = "%1:%2: games";
// %1: kGamesLineFormat, %2: the piece as written, quoted, %3: every game's id.
inline constexpr const char* kUnknownGameFormat = "numira: %1: %2 is not a game (%3); ignored\n";
// %1: kGamesLineFormat, %2: the ids missing, %3: the ids of the games every window shows.
inline constexpr const char* kMissingGamesFormat = "numira: %1: %2 missing; %3 are always shown\n";
// %1: the configuration file and why it cannot be written.
inline constexpr const char* kShownGamesNotSavedFormat = "表示するくじを設定ファイルに保存できません（%1）。";

// ---- Why a refresh failed: the second line of its box (and of standard error) ----
// The line is "<where>：<reason>": where is the server, or the list's address on it.
inline constexpr const char* kWhereSeparator = "：";
inline constexpr const char* kReasonNoSuchHost = "サーバーの名前を解決できません。";
inline constexpr const char* kReasonNoConnection = "サーバーに接続できません。";
inline constexpr const char* kReasonTimedOut = "時間内にサーバーから応答がありません。";
// %1: the HTTP status.
inline constexpr const char* kReasonErrorStatusFormat = "リストではない応答です（HTTP %1）。";
// %1: what is wrong with it.
inline constexpr const char* kReasonNotAListFormat = "リストではない応答です（%1）。";
// %1: the server's set number, %2: the set this copy holds (six digits each).
inline constexpr const char* kReasonOlderSetFormat =
    "サーバーのセット %1 は保存済みのセット %2 より古いので受け取りませんでした。";
// %1: what does not agree.
inline constexpr const char* kReasonBadSetFormat = "サーバーのセットがそろっていないので受け取りませんでした（%1）。";
// %1: how the two differ.
inline constexpr const char* kReasonPairFormat = "対になる２つのリストが一致しません（%1）。";
inline constexpr const char* kReasonTwinFailed = "対になるリストを受け取れませんでした。";
inline constexpr const char* kReasonBroken = "転送が途中で切れたか、HTTP の応答ではありません。";
inline constexpr const char* kReasonInsecure = "安全な接続（https）を確立できません。サーバーの証明書を確認できません。";
inline constexpr const char* kReasonNotStored = "リストの保存先に書き込めません。";
// %1: why (the system's words).
inline constexpr const char* kReasonNotStoredFormat = "リストを保存できません（%1）。";
inline constexpr const char* kReasonStopped = "更新を中止しました。";
inline constexpr const char* kReasonProgramFailed = "更新プログラム numira-refresh を実行できません。";
// %1: the refresh's time limit in seconds.
inline constexpr const char* kReasonProgramHungFormat = "更新プログラムが制限時間（%1秒）内に終わらなかったため、止めました。";
inline constexpr const char* kReasonFolderBusy =
    "別の更新（または起動時の準備）がリストのフォルダーに書き込んでいて終わらなかったため、更新しませんでした。";
// Standard error repeats the box's lines, each after this.
inline constexpr const char* kStandardErrorPrefix = "numira: ";

// ---- The list server: none configured, and the settings window (設定) ----
inline constexpr const char* kNoListServer = "リストサーバーが設定されていません";
inline constexpr const char* kNoListServerHow =
    "右クリックメニューの「設定」でリストサーバーを入力してください（または numira --list-server SERVER で起動）。";
inline constexpr const char* kSettingsMenuItem = "設定(&S)...";
inline constexpr const char* kSettingsTitle = "設定";
inline constexpr const char* kServerLabel = "リストサーバー(&L):";
inline constexpr const char* kServerHint = "HOST[:PORT]、http://HOST[:PORT] または https://HOST[:PORT]";
inline constexpr const char* kTryButton = "試す(&T)";
inline constexpr const char* kSaveButton = "保存";
inline constexpr const char* kTrying = "リストサーバーを確かめています・・・";
// %1: the value as typed, quoted.
inline constexpr const char* kNotAServerFormat = "%1 はリストサーバーではありません。";
inline constexpr const char* kServerEmpty = "リストサーバーを入力してください。";
// %1: the latest draw date of the lists found.
inline constexpr const char* kTrialFoundFormat = "６つのリストがそろっています（最新抽選日：%1）。";
inline constexpr const char* kTrialFailed = "このサーバーからリストを受け取れませんでした。";
inline constexpr const char* kTrialPartlyFailed = "このサーバーには一部のリストしかありません。";
// %1: the configuration file and why it cannot be written.
inline constexpr const char* kSaveFailedFormat = "設定ファイルに書き込めません（%1）。";
inline constexpr const char* kNoConfigFile = "設定ファイルの場所がわかりません（HOME が設定されていません）。";

// 自動更新 and はずれも通知: the context menu's check items, and the one line the window
// shows when the user's systemd timer cannot be switched.
inline constexpr const char* kAutoRefreshMenuItem = "自動更新";
inline constexpr const char* kNotifyLossesMenuItem = "はずれも通知";
inline constexpr const char* kNoUserTimer =
    "systemd のユーザーセッションがないため、自動更新はこのウィンドウを開いている間だけ行います。";
// %1: the configuration file and why it cannot be written.
inline constexpr const char* kSwitchNotSavedFormat = "設定を保存できません（%1）。";

}  // namespace numira::text
