// No list server, and the settings window's logic (設定): the server checked as
// --list-server checks it, tried against real servers on 127.0.0.1 with the refresh of the
// lists alone, and saved in numira.conf with every other line kept.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "FakeWindow.h"
#include "RefreshJob.h"
#include "RefreshText.h"
#include "SettingsDlg.h"
#include "TestServer.h"
#include "Texts.h"

namespace numira::testing {
namespace {

// A settings window without a toolkit: the trial runs in this process at once.
class FakeSettingsView : public SettingsServices {
 public:
  void ShowOutcome(const std::string& text, bool problem) override { outcomes.push_back({text, problem}); }
  void StartTrial(const RefreshRequest& request) override {
    requests.push_back(request);
    trialFolderExisted = std::filesystem::is_directory(std::filesystem::path(request.lists[0]).parent_path());
    if (logic) logic->OnTrialDone(RunRefresh(request));
  }
  void SetTrying(bool trying) override { tryingStates.push_back(trying); }

  CSettingsDlg* logic = nullptr;
  std::vector<std::pair<std::string, bool>> outcomes;
  std::vector<RefreshRequest> requests;
  std::vector<bool> tryingStates;
  bool trialFolderExisted = false;
};

class Settings : public ::testing::Test {
 protected:
  std::unique_ptr<CSettingsDlg> Make(std::string current = {}) {
    FetchLimits limits;
    limits.connectTimeoutMs = 2000;
    limits.lowSpeedSeconds = 1;
    auto logic = std::make_unique<CSettingsDlg>(view, SettingsSetup{conf, std::move(current), "numira", limits});
    view.logic = logic.get();
    return logic;
  }
  TempDir dir;
  std::string conf = dir / "config/numira/numira.conf";
  FakeSettingsView view;
};

TEST_F(Settings, TheFieldIsCheckedAsTheCommandLineChecksIt) {
  auto logic = Make("http://old.example");
  EXPECT_EQ(logic->InitialServer(), "http://old.example");
  const struct {
    const char* typed;
    const char* outcome;
  } rows[] = {
      {"", "リストサーバーを入力してください。"},
      {"   ", "リストサーバーを入力してください。"},
      {"lists.example/Data", "\"lists.example/Data\" はリストサーバーではありません。"},
      {"ftp://x", "\"ftp://x\" はリストサーバーではありません。"},
      {"a b", "\"a b\" はリストサーバーではありません。"},
      {"h:99999", "\"h:99999\" はリストサーバーではありません。"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.typed);
    view.outcomes.clear();
    EXPECT_FALSE(logic->OnSave(row.typed));
    logic->OnTry(row.typed);
    ASSERT_EQ(view.outcomes.size(), 2u);
    for (const auto& [text, problem] : view.outcomes) {
      EXPECT_EQ(text, row.outcome);
      EXPECT_TRUE(problem);
    }
  }
  EXPECT_TRUE(view.requests.empty());
  EXPECT_FALSE(std::filesystem::exists(conf));
}

TEST_F(Settings, SavingWritesTheServerAndKeepsEveryOtherLine) {
  auto logic = Make();
  // No file yet: it is made, with its folders.
  EXPECT_EQ(logic->OnSave(" Lists.Example:8080 "), std::optional<std::string>("http://Lists.Example:8080"));
  EXPECT_EQ(ReadBytes(conf), "list-server=http://Lists.Example:8080\n");
  // The counted line is replaced; comments, other keys and earlier settings stay.
  WriteBytes(conf, "# mine\r\nlist-server=first.example\r\ncolour = blue\r\nlist-server = second.example\r\n; end");
  EXPECT_EQ(logic->OnSave("https://[::1]:8443"), std::optional<std::string>("https://[::1]:8443"));
  EXPECT_EQ(ReadBytes(conf),
            "# mine\r\nlist-server=first.example\r\ncolour = blue\r\nlist-server=https://[::1]:8443\r\n; end");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"config"});
  std::vector<std::string> beside;
  for (const auto& e : std::filesystem::directory_iterator(dir / "config/numira")) beside.push_back(e.path().filename());
  EXPECT_EQ(beside, std::vector<std::string>{"numira.conf"});  // no stage left
  // A file that cannot be replaced (its folder is a file) is reported, and nothing changes.
  auto blocked = std::make_unique<CSettingsDlg>(view, SettingsSetup{dir / "config/numira/numira.conf/x", {}, "numira", {}});
  view.outcomes.clear();
  EXPECT_FALSE(blocked->OnSave("lists.example"));
  ASSERT_EQ(view.outcomes.size(), 1u);
  EXPECT_EQ(view.outcomes[0].first, "設定ファイルに書き込めません（" + dir / "config/numira/numira.conf/x" + ": Not a directory）。");
  EXPECT_TRUE(view.outcomes[0].second);
}

TEST_F(Settings, WithoutAConfigurationFileNothingIsSaved) {
  auto logic = std::make_unique<CSettingsDlg>(view, SettingsSetup{{}, {}, "numira", {}});
  EXPECT_FALSE(logic->OnSave("lists.example"));
  ASSERT_EQ(view.outcomes.size(), 1u);
  EXPECT_EQ(view.outcomes[0].first, text::kNoConfigFile);
}

TEST_F(Settings, ATrialFetchesTheListsAloneAndSaysWhatItFound) {
  ListServer server;
  auto logic = Make();
  logic->OnTry(server.Host());
  ASSERT_EQ(view.requests.size(), 1u);
  EXPECT_TRUE(view.requests[0].listsOnly);
  EXPECT_EQ(view.requests[0].baseUrl, "http://" + server.Host());
  EXPECT_TRUE(view.trialFolderExisted);
  EXPECT_EQ(view.tryingStates, (std::vector<bool>{true, false}));
  ASSERT_EQ(view.outcomes.size(), 2u);
  EXPECT_EQ(view.outcomes[0].first, "リストサーバーを確かめています・・・");
  // The newest of the shipped lists' dates.
  EXPECT_EQ(view.outcomes[1], (std::pair<std::string, bool>{"６つのリストがそろっています（最新抽選日：2026年8月21日）。", false}));
  EXPECT_EQ(server.Seen().size(), 6u);  // no draw file asked for
  // The scratch folder is gone, and nothing was saved.
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(view.requests[0].lists[0]).parent_path()));
  EXPECT_FALSE(std::filesystem::exists(conf));
}

TEST_F(Settings, AFailedTrialSaysWhereAndWhy) {
  ListServer server;
  server.Set("/Data/MiniCorrect.txt", {404, kDoctype404, ""});
  auto logic = Make();
  logic->OnTry(server.Host());
  ASSERT_EQ(view.outcomes.size(), 2u);
  EXPECT_EQ(view.outcomes[1].first, "このサーバーには一部のリストしかありません。\nhttp://" + server.Host() +
                                        "/Data/MiniCorrect.txt：リストではない応答です（HTTP 404）。");
  EXPECT_TRUE(view.outcomes[1].second);
  const RefusingPort refusing;
  view.outcomes.clear();
  logic->OnTry(refusing.Host());
  ASSERT_EQ(view.outcomes.size(), 2u);
  EXPECT_EQ(view.outcomes[1].first, "このサーバーからリストを受け取れませんでした。\nhttp://" + refusing.Host() +
                                        "：サーバーに接続できません。");
}

// ---- No list server -----------------------------------------------------------------------

TEST(NoListServer, TheRefreshSaysSoAndHowToSetOneAndTriesNothing) {
  TempDir dir;
  dir.CopyRealLists();
  FakeWindow win;
  FakeClock clock;
  CPredictDlg dlg(win, clock, DialogSetup{dir.Executable(), "", dir / "numira.conf"});
  win.dialog = &dlg;
  ASSERT_TRUE(dlg.OnInitDialog());
  dlg.OnDownload();
  EXPECT_EQ(win.refreshesStarted, 0);
  EXPECT_FALSE(dlg.Refreshing());
  ASSERT_EQ(win.messages.size(), 1u);
  EXPECT_EQ(win.messages[0].text,
            "リストサーバーが設定されていません\n"
            "右クリックメニューの「設定」でリストサーバーを入力してください（または numira --list-server SERVER で起動）。");
  EXPECT_EQ(win.messages[0].icon, MessageIcon::Warning);
  EXPECT_EQ(win.Text(ctl::kStatus), "リストサーバーが設定されていません");
  EXPECT_EQ(dlg.OnCtlColor(ctl::kStatus), TextColour::Red);
  EXPECT_EQ(win.standardError,
            "numira: リストサーバーが設定されていません\n"
            "numira: 右クリックメニューの「設定」でリストサーバーを入力してください（または numira --list-server SERVER で起動）。\n");
  EXPECT_EQ(win.waitDepth, 0);
  // The settings item opens 設定; a server saved there is asked at the next refresh.
  EXPECT_TRUE(dlg.OnSysCommand(ctl::kSettingsItem));
  EXPECT_EQ(win.settingsShown, 1);
  EXPECT_EQ(dlg.ConfigFile(), dir / "numira.conf");
  ListServer server;
  dlg.OnListServerSaved("http://" + server.Host());
  dlg.OnDownload();
  EXPECT_EQ(win.refreshesStarted, 1);
  EXPECT_EQ(dlg.LastDownloadOk(), 1);
  EXPECT_EQ(server.Seen().size(), 18u);  // the set index (none here), then the seventeen files
}

// ---- Why, for the failures the window itself sees -------------------------------------------

TEST(FailureLine, NamesTheServerOrTheListAndWhy) {
  const auto line = [](FailReason reason, std::string detail = {}, std::size_t row = 0) {
    RefreshReport report;
    for (ListResult& r : report.lists) r = {ListOutcome::Refreshed};
    report.lists[row] = {ListOutcome::Failed, false, reason, std::move(detail)};
    return FailureLine("https://lists.example", report, 60000);
  };
  EXPECT_EQ(line(FailReason::ProgramFailed), "https://lists.example：更新プログラム numira-refresh を実行できません。");
  EXPECT_EQ(line(FailReason::ProgramHung), "https://lists.example：更新プログラムが制限時間（60秒）内に終わらなかったため、止めました。");
  EXPECT_EQ(line(FailReason::Insecure),
            "https://lists.example：安全な接続（https）を確立できません。サーバーの証明書を確認できません。");
  EXPECT_EQ(line(FailReason::ErrorStatus, "503", 5), "https://lists.example/Data/Lot6Correct.txt：リストではない応答です（HTTP 503）。");
  EXPECT_EQ(line(FailReason::NotStored), "https://lists.example：リストの保存先に書き込めません。");
  EXPECT_EQ(line(FailReason::FolderBusy),
            "https://lists.example：別の更新（または起動時の準備）がリストのフォルダーに書き込んでいて終わらなかったため、更新しませんでした。");
  // A set refused names the server: a lower one with both numbers, one that does not hold together with why.
  EXPECT_EQ(line(FailReason::OlderSet, "000041 000042"),
            "https://lists.example：サーバーのセット 000041 は保存済みのセット 000042 より古いので受け取りませんでした。");
  EXPECT_EQ(line(FailReason::BadSet, "Lot6Correct.txt: dated 2099年12月31日, after tomorrow in Japan"),
            "https://lists.example：サーバーのセットがそろっていないので受け取りませんでした（Lot6Correct.txt: dated "
            "2099年12月31日, after tomorrow in Japan）。");
  // A list that failed only with its twin gives way to the twin's own reason.
  RefreshReport pair;
  pair.lists[0] = {ListOutcome::Failed, false, FailReason::TwinFailed};
  pair.lists[2] = {ListOutcome::Failed, false, FailReason::NotAList, "line 2: \xff"};
  EXPECT_EQ(FailureLine("h:1", pair, 1000), "http://h:1/Data/Num3Correct.txt：リストではない応答です（line 2: \xef\xbf\xbd）。");
  RefreshReport fine;
  for (ListResult& r : fine.lists) r = {ListOutcome::NotModified};
  EXPECT_EQ(FailureLine("h", fine, 1000), "");
}

}  // namespace
}  // namespace numira::testing
