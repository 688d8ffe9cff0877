// The words the refresh program and the window's process speak: the request as its
// arguments, and the report line by line, each failed list with why.
#include "RefreshReport.h"

#include <gtest/gtest.h>

#include "ListServerChoice.h"

namespace numira::testing {
namespace {

constexpr ListOutcome R = ListOutcome::Refreshed, N = ListOutcome::NotModified, F = ListOutcome::Failed,
                      T = ListOutcome::NotTried;

// ---- The refresh program's words -----------------------------------------------------------

TEST(RefreshReportText, ReadsBackWhatItWrites) {
  RefreshReport report;
  report.lists = {ListResult{R, false}, {N, false}, {F, false}, {ListOutcome::LocalFileError, true}, {T, false}, {T, false}};
  report.extras = {ExtraOutcome::Absent, ExtraOutcome::Refreshed};
  EXPECT_EQ(FormatReport(report),
            "list 0 refreshed\nlist 1 not-modified\nlist 2 failed\nlist 3 write-error disk-full\nlist 4 not-tried\n"
            "list 5 not-tried\nextra 0 absent\nextra 1 refreshed\nend\n");
  EXPECT_EQ(ParseReport(FormatReport(report)), report);
  report.lists[3].diskFull = false;
  EXPECT_EQ(ParseReport(FormatReport(report)), report);
}

TEST(RefreshReportText, EachFailureCarriesItsReason) {
  RefreshReport report;
  report.lists = {ListResult{F, false, FailReason::ErrorStatus, "404"},
                  {F, false, FailReason::NotAList, "line 3: \"12x\" is not\ta number\n"},
                  {F, false, FailReason::TwinFailed},
                  {F, false, FailReason::PairDisagrees, "dates 2026年8月21日 / 2026年8月20日"},
                  {F, false, FailReason::NoSuchHost},
                  {T}};
  EXPECT_EQ(FormatReport(report),
            "list 0 failed error-status 404\nlist 1 failed not-a-list line 3: \"12x\" is not a number \n"
            "list 2 failed twin-failed\nlist 3 failed pair-disagrees dates 2026年8月21日 / 2026年8月20日\n"
            "list 4 failed no-such-host\nlist 5 not-tried\nend\n");
  RefreshReport back = ParseReport(FormatReport(report));
  report.lists[1].detail = "line 3: \"12x\" is not a number ";  // control characters travel as spaces
  EXPECT_EQ(back, report);
  // A detail is one line of at most 200 bytes, never cut inside a character.
  ListResult longOne{F, false, FailReason::NotAList, std::string(199, 'x') + "あ"};
  const RefreshReport cut = ParseReport(FormatListLine(0, longOne));
  EXPECT_EQ(cut.lists[0].detail, std::string(199, 'x'));
  // An unknown reason is no word of the program's: the line counts for nothing.
  const RefreshReport odd = ParseReport("list 0 failed maybe-later\nlist 1 refreshed 404\nend\n");
  EXPECT_EQ(odd.lists[0], ListResult(F, false, FailReason::ProgramFailed));
  EXPECT_EQ(odd.lists[1], ListResult(F, false, FailReason::ProgramFailed));
  // What the program never named failed for the reason the window gives.
  EXPECT_EQ(ParseReport("list 0 refreshed\n", FailReason::ProgramHung).lists[5], ListResult(F, false, FailReason::ProgramHung));
}

struct CutReport {
  const char* text;
  std::array<ListOutcome, 6> outcomes;
};

TEST(RefreshReportText, WhatIsNotSaidHasFailed) {
  const CutReport cases[] = {
      {"", {F, F, F, F, F, F}},
      {"list 0 refreshed\nlist 1 refreshed\nlist 2 refre", {R, R, F, F, F, F}},  // the program died mid-line
      {"list 5 not-modified\nlist 9 refreshed\nlist -1 refreshed\nlist 2 maybe\n", {F, F, F, F, F, N}},
      {"end\nlist 0 refreshed\n", {F, F, F, F, F, F}},  // nothing after the end counts
      {"list 0  refreshed\nlist 1 refreshed extra\nlist 3 refreshed\n", {F, F, F, R, F, F}},
  };
  for (const CutReport& c : cases) {
    SCOPED_TRACE(c.text);
    const RefreshReport r = ParseReport(c.text);
    for (std::size_t row = 0; row < 6; ++row) EXPECT_EQ(r.lists[row].outcome, c.outcomes[row]) << row;
  }
}

TEST(RefreshReportText, ArgumentsCarryTheRequest) {
  RefreshRequest request;
  request.baseUrl = "https://lists.example:8443";
  request.agent = "numira";
  request.limits = {1, 2, 3, 4, 5, 6};
  request.lists = {"/a b/Num3NoCorrect.txt", "", "x", "-y", "--", "/z"};
  const std::optional<RefreshRequest> back = ParseRefreshArguments(RefreshArguments(request));
  ASSERT_TRUE(back);
  EXPECT_FALSE(back->listsOnly);
  request.listsOnly = true;
  EXPECT_TRUE(ParseRefreshArguments(RefreshArguments(request))->listsOnly);
  EXPECT_EQ(back->baseUrl, request.baseUrl);
  EXPECT_EQ(back->agent, "numira");
  EXPECT_EQ(back->lists, request.lists);
  EXPECT_EQ(back->limits.connectTimeoutMs, 1);
  EXPECT_EQ(back->limits.lowSpeedBytesPerSecond, 2);
  EXPECT_EQ(back->limits.lowSpeedSeconds, 3);
  EXPECT_EQ(back->limits.totalTimeoutMs, 4);
  EXPECT_EQ(back->limits.maxRedirects, 5);
  EXPECT_EQ(back->limits.maxBodyBytes, 6);
  const std::vector<std::vector<std::string>> bad{
      {},
      {"--server", "http://h", "--", "1", "2", "3", "4", "5"},
      {"--agent", "numira", "--", "1", "2", "3", "4", "5", "6"},
      {"--server", "http://h", "--limits", "1,2,3", "--", "1", "2", "3", "4", "5", "6"},
      {"--server", "http://h", "--limits", "1,2,3,4,5,x", "--", "1", "2", "3", "4", "5", "6"},
      {"--server", "http://h", "--what", "1", "--", "1", "2", "3", "4", "5", "6"},
      {"--server"},
  };
  for (const auto& args : bad) EXPECT_FALSE(ParseRefreshArguments(args)) << args.size();
}

TEST(RefreshReportText, UrlsAndTheProgramsPlace) {
  EXPECT_EQ(ListFileUrl("http://127.0.0.1:8080", "Num3Correct.txt"), "http://127.0.0.1:8080/Data/Num3Correct.txt");
  EXPECT_EQ(ListFileUrl("https://h/", "draws/loto6.csv"), "https://h/Data/draws/loto6.csv");
  EXPECT_EQ(ListFileUrl("127.0.0.1:8080", "Lot6Correct.txt"), "http://127.0.0.1:8080/Data/Lot6Correct.txt");
  EXPECT_EQ(RefreshProgramPath("/usr/lib/numira/numira"), "/usr/lib/numira/numira-refresh");
  EXPECT_EQ(RefreshProgramPath("numira"), "./numira-refresh");
}

}  // namespace
}  // namespace numira::testing
