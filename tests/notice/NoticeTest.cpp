// The automatic refresh's evening in Japan, the notices' texts and the once-a-day deadline
// notice: times and texts are literals read off the calendar and the frozen fixtures.
#include <gtest/gtest.h>

#include <filesystem>

#include "AutoCheck.h"
#include "HeadlessCheck.h"
#include "Ledger.h"
#include "Notices.h"
#include "PurchaseSlip.h"
#include "TestData.h"

namespace numira {
namespace {

namespace fs = std::filesystem;

// 2026-12-07 (a Monday) 00:00 JST, in seconds since 1970 UTC (`date -d '2026-12-06 15:00 UTC' +%s`).
constexpr std::int64_t kMonday = 1796569200;
constexpr std::int64_t At(int day, int hour, int minute) { return kMonday + day * 86400 + hour * 3600 + minute * 60; }

LatestDrawDates AllOn(Date date) {
  LatestDrawDates d;
  d.fill(date);
  return d;
}

TEST(AutoCheck, JapanTimeWhateverTheZone) {
  testing::ScopedEnv tz("TZ", "America/New_York");
  // 2026-12-07 11:30 UTC is 20:30 in Japan.
  const JapanTime t = JapanTimeOf(1796643000);
  EXPECT_EQ(t.date, (Date{2026, 12, 7}));
  EXPECT_EQ(t.minute, 20 * 60 + 30);
  EXPECT_EQ(UtcSecondsOf(Date{2026, 12, 7}, 20 * 60 + 30), 1796643000);
  // 23:59 JST the day before, UTC still on the 6th.
  EXPECT_EQ(JapanTimeOf(kMonday - 60).date, (Date{2026, 12, 6}));
  EXPECT_EQ(JapanTimeOf(kMonday - 60).minute, 1439);
}

TEST(AutoCheck, DaysWithDraws) {
  EXPECT_TRUE(IsCheckDay(Date{2026, 12, 7}));    // Monday
  EXPECT_TRUE(IsCheckDay(Date{2026, 12, 11}));   // Friday
  EXPECT_FALSE(IsCheckDay(Date{2026, 12, 12}));  // Saturday
  EXPECT_FALSE(IsCheckDay(Date{2026, 12, 13}));  // Sunday
  EXPECT_TRUE(IsCheckDay(Date{2026, 12, 30}));   // Wednesday before the pause
  EXPECT_FALSE(IsCheckDay(Date{2026, 12, 31}));
  EXPECT_FALSE(IsCheckDay(Date{2027, 1, 1}));
  EXPECT_TRUE(IsCheckDay(Date{2027, 1, 4}));
  // Monday: Numbers 3, Numbers 4 and Loto 6 are drawn; Mini, Loto 7 and BINGO5 are not.
  LatestDrawDates d = AllOn(Date{2026, 12, 4});
  EXPECT_FALSE(DrawsIn(Date{2026, 12, 7}, d));
  d[0] = d[1] = d[3] = Date{2026, 12, 7};
  EXPECT_TRUE(DrawsIn(Date{2026, 12, 7}, d));
  d[3].reset();  // no Loto 6 draws at all
  EXPECT_FALSE(DrawsIn(Date{2026, 12, 7}, d));
  EXPECT_TRUE(DrawsIn(Date{2026, 12, 12}, LatestDrawDates{}));  // Saturday needs nothing
}

struct NextCase {
  const char* name;
  std::int64_t now;
  Date latest;  // every game's latest draw
  std::int64_t next;
};

TEST(AutoCheck, NextCheck) {
  const Date friday{2026, 12, 4}, monday{2026, 12, 7};
  const std::vector<NextCase> cases = {
      {"monday_noon", At(0, 12, 0), friday, At(0, 20, 30)},
      {"on_the_first_step", At(0, 20, 30), friday, At(0, 20, 45)},
      {"between_steps", At(0, 21, 1), friday, At(0, 21, 15)},
      {"last_step", At(0, 22, 44), friday, At(0, 22, 45)},
      {"after_the_last_step", At(0, 22, 45), friday, At(1, 20, 30)},
      {"draws_in", At(0, 21, 0), monday, At(1, 20, 30)},
      {"friday_night_to_monday", At(4, 23, 30), Date{2026, 12, 11}, At(7, 20, 30)},
      {"saturday", At(5, 9, 0), Date{2026, 12, 11}, At(7, 20, 30)},
      // Wednesday 30 December to Monday 4 January: no draws from the 31st to the 3rd.
      {"year_end", At(23, 22, 50), Date{2026, 12, 30}, At(28, 20, 30)},
      {"year_end_draws_in", At(23, 20, 40), Date{2026, 12, 30}, At(28, 20, 30)},
  };
  for (const NextCase& c : cases) EXPECT_EQ(NextCheckAfter(c.now, AllOn(c.latest)), c.next) << c.name;
}

TEST(AutoCheck, TenChecksAnEveningAtMost) {
  // An evening whose draws never come in: 20:30, 20:45 ... 22:45.
  const LatestDrawDates old = AllOn(Date{2026, 12, 4});
  int checks = 0;
  for (std::int64_t t = NextCheckAfter(At(0, 0, 0), old); t < At(1, 0, 0); t = NextCheckAfter(t, old)) ++checks;
  EXPECT_EQ(checks, 10);
  EXPECT_EQ(kChecksPerDay, 10);
}

struct DueCase {
  const char* name;
  std::int64_t now;
  Date latest;
  bool due;
};

TEST(AutoCheck, RefreshDue) {
  const Date friday{2026, 12, 4}, monday{2026, 12, 7};
  const std::vector<DueCase> cases = {
      {"monday_before_the_evening", At(0, 20, 29), friday, false},
      {"monday_evening", At(0, 20, 30), friday, true},
      {"monday_evening_in", At(0, 20, 30), monday, false},
      {"tuesday_morning_catches_up", At(1, 8, 0), friday, true},
      {"tuesday_morning_in", At(1, 8, 0), monday, false},
      {"sunday_with_friday_in", At(6, 12, 0), Date{2026, 12, 11}, false},
      {"sunday_friday_missing", At(-1, 12, 0), Date{2026, 12, 3}, true},
      {"new_year_with_december_30_in", At(26, 12, 0), Date{2026, 12, 30}, false},
      {"new_year_without", At(26, 12, 0), Date{2026, 12, 29}, true},
  };
  for (const DueCase& c : cases) EXPECT_EQ(RefreshDue(c.now, AllOn(c.latest)), c.due) << c.name;
}

// The frozen data. Loto 6 2037 (2025-09-25) 7.12.20.23.27.29: 4等 5,300円; Numbers 3 7054
// (2026-08-21) 286, no prize amounts recorded.
const AllGames& Data() {
  static const AllGames all = [] {
    AllGames a;
    const std::string tests = fs::path(NUMIRA_DRAWS_DIR).parent_path().string() + "/";
    // The fixtures lie in draws/ and prizes/ beside each other, as in a lists' folder.
    a = ReadGameData(tests);
    return a;
  }();
  return all;
}

using testing::Slip;

std::array<std::uint32_t, 6> Before(std::uint32_t num3, std::uint32_t lot6) {
  std::array<std::uint32_t, 6> b = LatestDrawNumbers(Data());
  b[0] = num3;
  b[3] = lot6;
  return b;
}

struct TextCase {
  const char* name;
  std::vector<Purchase> purchases;
  std::array<std::uint32_t, 6> before;
  bool losses;
  std::optional<std::string> body;
};

TEST(Notices, Results) {
  ASSERT_EQ(LatestDrawNumbers(Data())[3], 2037u);
  const auto fourth = Slip(Game::Lot6, {"1 2 7 12 20 23"}, 1, 2037);
  const auto none = Slip(Game::Lot6, {"1 2 3 4 5 6"}, 1, 2036, 2);
  const std::vector<TextCase> cases = {
      {"one_win", {fourth}, Before(7054, 2036), false, "ロト６ 第2037回：4等 5,300円（1口）"},
      {"wins_summed", {fourth, Slip(Game::Lot6, {"7 12 20 23 30 40"}, 2, 2037)}, Before(7054, 2036), false,
       "ロト６ 第2037回：4等 15,900円（3口）"},
      {"two_games",
       {fourth, Slip(Game::Num3, {"286"}, 1, 7054), none},
       Before(7053, 2036),
       true,
       "ナンバーズ３ 第7054回：ストレート（金額未発表）（1口）\nロト６ 第2037回：4等 5,300円（1口）\n"
       "合計 5,300円（金額未発表の分を除く）"},
      {"losses_noticed", {none, Slip(Game::Lot6, {"1 2 3 4 5 8"}, 3, 2037)}, Before(7054, 2036), true,
       "当せんなし（2枚）"},
      {"losses_not_noticed", {none}, Before(7054, 2036), false, std::nullopt},
      {"nothing_new", {fourth}, Before(7054, 2037), true, std::nullopt},
      {"no_purchase_covers_the_draw", {Slip(Game::Lot6, {"1 2 7 12 20 23"}, 1, 2030)}, Before(7054, 2036), true,
       std::nullopt},
  };
  for (const TextCase& c : cases) {
    const std::optional<Notice> n = ResultsNotice(c.purchases, Data(), c.before, c.losses);
    ASSERT_EQ(n.has_value(), c.body.has_value()) << c.name;
    if (!n) continue;
    EXPECT_EQ(n->summary, "購入記録") << c.name;
    EXPECT_EQ(n->body, *c.body) << c.name;
  }
}

TEST(Notices, Deadline) {
  // 2037 was drawn 2025-09-25: paid up to 2026-09-25.
  Purchase p = Slip(Game::Lot6, {"1 2 7 12 20 23"}, 1, 2037);
  EXPECT_FALSE(DeadlineNotice({p}, Data(), Date{2026, 8, 25}));  // 31 days left
  ASSERT_TRUE(DeadlineNotice({p}, Data(), Date{2026, 8, 26}));
  EXPECT_EQ(DeadlineNotice({p}, Data(), Date{2026, 8, 26})->body, "ロト６ 第2037回：4等 5,300円 2026年9月25日まで（あと30日）");
  EXPECT_EQ(DeadlineNotice({p}, Data(), Date{2026, 9, 25})->body, "ロト６ 第2037回：4等 5,300円 2026年9月25日まで（今日まで）");
  EXPECT_EQ(DeadlineNotice({p}, Data(), Date{2026, 9, 20})->summary, "受け取り期限が近い当せんがあります");
  EXPECT_FALSE(DeadlineNotice({p}, Data(), Date{2026, 9, 26}));  // past: nothing to claim any more
  // A received win is not noticed.
  Purchase claimed = p;
  claimed.claimed = {Claim{0, 2037}};
  EXPECT_FALSE(DeadlineNotice({claimed}, Data(), Date{2026, 9, 20}));
  // Soonest first: Loto 6 2036 (2025-09-22) before 2037.
  Purchase earlier = Slip(Game::Lot6, {"7 10 17 26 1 2"}, 1, 2036);
  EXPECT_EQ(DeadlineNotice({p, earlier}, Data(), Date{2026, 9, 20})->body,
            "ロト６ 第2036回：4等 7,300円 2026年9月22日まで（あと2日）\n"
            "ロト６ 第2037回：4等 5,300円 2026年9月25日まで（あと5日）");
}

TEST(Notices, DeadlineOnceADay) {
  testing::TempDir dir;
  const std::string state = dir / "sub/notice-state";
  EXPECT_FALSE(DeadlineNoticedOn(state, Date{2026, 9, 20}));
  EXPECT_EQ(RecordDeadlineNotice(state, Date{2026, 9, 20}), 0);
  EXPECT_TRUE(DeadlineNoticedOn(state, Date{2026, 9, 20}));
  EXPECT_FALSE(DeadlineNoticedOn(state, Date{2026, 9, 21}));
  EXPECT_EQ(testing::ReadBytes(state), "deadline-noticed=2026-09-20\n");
  EXPECT_EQ(RecordDeadlineNotice(state, Date{2026, 9, 21}), 0);
  EXPECT_EQ(testing::ReadBytes(state), "deadline-noticed=2026-09-21\n");
}

TEST(Notices, RecentRefresh) {
  testing::TempDir dir;
  const std::string state = dir / "notice-state";
  const std::int64_t t = At(0, 20, 30);
  EXPECT_FALSE(RefreshedRecently(state, t));
  EXPECT_EQ(RecordRefresh(state, t), 0);
  EXPECT_EQ(testing::ReadBytes(state), "last-refresh=" + std::to_string(t) + "\n");
  EXPECT_TRUE(RefreshedRecently(state, t));
  EXPECT_TRUE(RefreshedRecently(state, t + 599));
  EXPECT_FALSE(RefreshedRecently(state, t + 600));
  EXPECT_FALSE(RefreshedRecently(state, t - 60));  // noted ahead of now: the clock went back
  // Beside the deadline's line, each kept.
  EXPECT_EQ(RecordDeadlineNotice(state, Date{2026, 12, 7}), 0);
  EXPECT_TRUE(RefreshedRecently(state, t + 1));
  for (const char* bad : {"last-refresh=\n", "last-refresh=12ab\n", "last-refresh=-5\n", "last-refresh=99999999999999999999\n"}) {
    testing::WriteBytes(state, bad);
    EXPECT_FALSE(RefreshedRecently(state, t)) << bad;
  }
}

TEST(HeadlessCheck, NoticesFromTheLedger) {
  testing::TempDir dir;
  const std::string tests = fs::path(NUMIRA_DRAWS_DIR).parent_path().string() + "/";
  CheckFiles files = UserCheckFiles(dir.path().string() + "/", tests);
  EXPECT_EQ(files.ledger, dir / "numira.db");
  EXPECT_EQ(files.state, dir / "notice-state");
  // No data folder (no home): neither file, never one in the working folder.
  EXPECT_EQ(UserCheckFiles("", tests).ledger, "");
  EXPECT_EQ(UserCheckFiles("", tests).state, "");
  std::vector<std::string> problems;
  // No database: no notice, and none is made.
  EXPECT_TRUE(CheckNotices(files, Before(7054, 2036), false, Date{2026, 9, 20}, problems).empty());
  EXPECT_FALSE(fs::exists(files.ledger));
  // The new draw had nothing to tell then, and is not told later.
  EXPECT_EQ(NoticedDraws(files.state), LatestDrawNumbers(Data()));
  fs::remove(files.state);
  {
    Ledger::Opening o = Ledger::Open(files.ledger);
    ASSERT_TRUE(o.ledger) << o.error;
    o.ledger->Add(Slip(Game::Lot6, {"1 2 7 12 20 23"}, 1, 2037));
  }
  std::vector<Notice> n = CheckNotices(files, Before(7054, 2036), false, Date{2026, 9, 20}, problems);
  ASSERT_EQ(n.size(), 2u);
  EXPECT_EQ(n[0].body, "ロト６ 第2037回：4等 5,300円（1口）");
  EXPECT_EQ(n[1].body, "ロト６ 第2037回：4等 5,300円 2026年9月25日まで（あと5日）");
  // The same day again: the deadline was noticed; the draw's results were told.
  EXPECT_TRUE(CheckNotices(files, Before(7054, 2037), false, Date{2026, 9, 20}, problems).empty());
  EXPECT_TRUE(CheckNotices(files, Before(7054, 2036), false, Date{2026, 9, 20}, problems).empty());
  ASSERT_TRUE(NoticedDraws(files.state));
  EXPECT_EQ(*NoticedDraws(files.state), LatestDrawNumbers(Data()));
  EXPECT_EQ(CheckNotices(files, Before(7054, 2037), false, Date{2026, 9, 21}, problems).size(), 1u);
  EXPECT_TRUE(problems.empty());
  // A file that is no database of ours: refused, said why, left as it is.
  testing::WriteBytes(files.ledger, "not a database");
  EXPECT_TRUE(CheckNotices(files, Before(7054, 2036), false, Date{2026, 9, 22}, problems).empty());
  EXPECT_EQ(problems.size(), 1u);
  EXPECT_EQ(testing::ReadBytes(files.ledger), "not a database");
}

TEST(HeadlessCheck, DrawsAWindowBroughtAreToldByTheNextCheck) {
  testing::TempDir dir;
  const std::string tests = fs::path(NUMIRA_DRAWS_DIR).parent_path().string() + "/";
  const CheckFiles files = UserCheckFiles(dir.path().string() + "/", tests);
  {
    Ledger::Opening o = Ledger::Open(files.ledger);
    ASSERT_TRUE(o.ledger) << o.error;
    o.ledger->Add(Slip(Game::Lot6, {"1 2 7 12 20 23"}, 1, 2037));
  }
  // The last check told up to Loto 6 2036; an open window has since brought 2037, so this
  // check's own refresh finds nothing new.
  const std::array<std::uint32_t, 6> told = Before(7054, 2036);
  std::string line;
  for (std::uint32_t n : told) line += (line.empty() ? "" : ",") + std::to_string(n);
  testing::WriteBytes(files.state, "noticed-draws=" + line + "\ndeadline-noticed=2027-01-01\n");
  std::vector<std::string> problems;
  const std::vector<Notice> n = CheckNotices(files, LatestDrawNumbers(Data()), false, Date{2027, 1, 1}, problems);
  ASSERT_EQ(n.size(), 1u);
  EXPECT_EQ(n[0].body, "ロト６ 第2037回：4等 5,300円（1口）");
  EXPECT_EQ(*NoticedDraws(files.state), LatestDrawNumbers(Data()));
  EXPECT_TRUE(CheckNotices(files, LatestDrawNumbers(Data()), false, Date{2027, 1, 1}, problems).empty());
  EXPECT_TRUE(problems.empty());
  // A line that is not six numbers is no line.
  for (const char* bad : {"noticed-draws=1,2,3,4,5\n", "noticed-draws=1,2,3,4,5,6,7\n", "noticed-draws=1,2,3,4,5,x\n",
                          "noticed-draws=1,,3,4,5,6\n", "noticed-draws=\n"}) {
    testing::WriteBytes(files.state, bad);
    EXPECT_FALSE(NoticedDraws(files.state)) << bad;
  }
  testing::WriteBytes(files.state, "noticed-draws = 7054,7054,1353,2037,691,484\n");
  EXPECT_EQ(*NoticedDraws(files.state), (std::array<std::uint32_t, 6>{7054, 7054, 1353, 2037, 691, 484}));
}

TEST(HeadlessCheck, Switches) {
  testing::TempDir dir;
  const std::string conf = dir / "numira.conf";
  EXPECT_FALSE(ConfigSwitchOn(conf, kAutoRefreshKey));  // a new user: off
  testing::WriteBytes(conf, "auto-refresh=on\nnotify-losses = off\n");
  EXPECT_TRUE(ConfigSwitchOn(conf, kAutoRefreshKey));
  EXPECT_FALSE(ConfigSwitchOn(conf, kNotifyLossesKey));
  testing::WriteBytes(conf, "auto-refresh=on\nauto-refresh=yes\n");
  EXPECT_FALSE(ConfigSwitchOn(conf, kAutoRefreshKey));
  EXPECT_FALSE(ConfigSwitchOn("", kAutoRefreshKey));
}

}  // namespace
}  // namespace numira
