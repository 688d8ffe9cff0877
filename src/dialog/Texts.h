#pragma once
// The program's own texts (UTF-8), in one place.
#include <array>

namespace numira::text {

inline constexpr const char* kWindowTitle = "ぬみら";
inline constexpr const char* kPredict = "予想";
inline constexpr const char* kStop = "!!! STOP !!!";
inline constexpr const char* kNoData = "データがありません。";
inline constexpr const char* kAboutMenuItem = "ぬみら について(&A)...";

// The list refresh.
inline constexpr const char* kDownloading = "最新情報をダウンロードしています・・・";
inline constexpr const char* kDownloadFailed = "最新情報をダウンロードできませんでした。";
inline constexpr const char* kDownloadPartlyFailed = "一部の最新情報をダウンロードできませんでした。";
inline constexpr const char* kDownloadTimeFormat = "%04d年%02d月%02d日 %02d時%02d分%02d秒";
// Error box texts for a local file that cannot be written (%1: the file's full path).
inline constexpr const char* kWriteErrorFormat = "%1 へのｱｸｾｽ中に不明なｴﾗｰが発生しました。";
inline constexpr const char* kDiskFullFormat = "%1 へのｱｸｾｽ中にﾃﾞｨｽｸがいっぱいになりました。";

// The history window (当せん履歴). %1, %2: the values, in order.
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

}  // namespace numira::text
