#pragma once
// The program's own texts (UTF-8), in one place.

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

}  // namespace numira::text
