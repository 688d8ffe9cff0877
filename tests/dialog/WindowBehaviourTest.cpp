// The dialog's help for players at the window: the focus after a stop, copying the
// standing proposals, the filters' candidate counts, the roll's clock, the colours on
// any palette, and where the history window goes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <set>

#include "Colours.h"
#include "FakeWindow.h"
#include "PredictDlg.h"
#include "ProposalText.h"
#include "TestData.h"
#include "WindowPlacement.h"

namespace numira {
namespace {

using testing::FakeClock;
using testing::FakeWindow;
using testing::TempDir;

class Window : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.CopyRealLists();
    dlg = std::make_unique<CPredictDlg>(window, clock, DialogSetup{dir.Executable(), "127.0.0.1:9"});
    window.dialog = dlg.get();
    window.clock = &clock;
    ASSERT_TRUE(dlg->OnInitDialog());
  }
  // Rolls the game from start to its proposal.
  void RollToProposal(Game g) {
    dlg->OnPredict(g);
    window.RunFor(55);
    dlg->OnPredict(g);
    ASSERT_TRUE(window.RunUntilIdle());
  }
  std::vector<std::int64_t> TickTimes(Game g, std::int64_t since) const {
    std::vector<std::int64_t> t;
    for (const auto& c : window.changes)
      if (c.id == Panel(g).resultFields[0] && c.at >= since) t.push_back(c.at);
    return t;
  }

  TempDir dir;
  FakeWindow window;
  FakeClock clock;
  std::unique_ptr<CPredictDlg> dlg;
};

// ---- The focus after a stop ----

struct FocusCase {
  const char* name;
  int focusAtStop;       // the control that has the focus when the stop is pressed
  int focusWhileSlowing;  // the user moves it there while the roll slows down (0: stays)
  int focusAfter;        // where it is when the roll stands
};

class FocusAfterStop : public Window, public ::testing::WithParamInterface<FocusCase> {};
void PrintTo(const FocusCase& c, std::ostream* os) { *os << c.name; }

TEST_P(FocusAfterStop, ReturnsToThePredictButtonOnlyIfItHadIt) {
  const FocusCase& c = GetParam();
  for (Game g : {Game::Num3, Game::Lot6}) {
    const PanelDef& p = Panel(g);
    const auto id = [&](int which) { return which == 1 ? p.predictButton : which; };
    window.focused = id(c.focusAtStop);
    dlg->OnPredict(g);
    window.RunFor(30);
    dlg->OnPredict(g);  // the stop: the button is disabled
    // Not handed on to the next control, where a key would tick a filter or start a refresh.
    EXPECT_EQ(window.focused, c.focusAtStop == 1 ? 0 : id(c.focusAtStop)) << c.name;
    window.RunFor(1000);
    if (c.focusWhileSlowing != 0) window.focused = id(c.focusWhileSlowing);
    ASSERT_TRUE(window.RunUntilIdle());
    EXPECT_EQ(window.focused, id(c.focusAfter)) << c.name;
  }
}

// 1 stands for the game's own predict button.
INSTANTIATE_TEST_SUITE_P(
    Cases, FocusAfterStop,
    ::testing::Values(FocusCase{"OnTheButton", 1, 0, 1}, FocusCase{"Elsewhere", ctl::kDownload, 0, ctl::kDownload},
                      FocusCase{"Nowhere", 0, 0, 0}, FocusCase{"MovedMeanwhile", 1, ctl::kClose, ctl::kClose}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Copying ----

TEST(ProposalLines, GameNameThenTheNumbersLotoWithTwoDigitsEach) {
  const struct {
    Game game;
    const char* proposal;
    const char* line;
  } rows[] = {
      {Game::Num3, "720", "ナンバーズ３：720"},
      {Game::Num3, "007", "ナンバーズ３：007"},
      {Game::Num4, "0094", "ナンバーズ４：0094"},
      {Game::Mini, "3.12.17.25.31", "ミニロト：03 12 17 25 31"},
      {Game::Lot6, "2.8.19.27.33.42", "ロト６：02 08 19 27 33 42"},
  };
  for (const auto& r : rows) EXPECT_EQ(ProposalLine(r.game, r.proposal), r.line);
}

TEST_F(Window, CopiesEveryStandingProposalButNotARollingGame) {
  dlg->OnCopy();
  EXPECT_EQ(window.clipboard, "");  // nothing stands yet: the clipboard is left alone
  EXPECT_EQ(dlg->ProposalsText(), "");

  RollToProposal(Game::Num3);
  RollToProposal(Game::Lot6);
  RollToProposal(Game::Mini);
  dlg->OnPredict(Game::Mini);  // rolls again: its old proposal is not copied
  window.RunFor(100);

  std::string lot6;
  for (int id : ResultFields(Game::Lot6)) {
    char two[8];
    std::snprintf(two, sizeof two, "%02d", std::stoi(window.Text(id)));
    lot6 += (lot6.empty() ? "" : " ") + std::string(two);
  }
  const std::string expected = "ナンバーズ３：" + window.Text(ctl::kNum3Result) + "\nロト６：" + lot6;
  dlg->OnCopy();
  EXPECT_EQ(window.clipboard, expected);
  EXPECT_EQ(window.Text(ctl::kNum3Result).size(), 3u);
}

// ---- The candidate counts ----

// The never-won combinations: all combinations less the distinct ones drawn.
std::int64_t Combinations(int n, int k) {
  std::int64_t c = 1;
  for (int i = 1; i <= k; ++i) c = c * (n - k + i) / i;
  return c;
}

std::int64_t N(std::size_t n) { return static_cast<std::int64_t>(n); }
using testing::WithCommas;

TEST_F(Window, TheDropDownTellsHowManyCandidatesItsChoiceLeaves) {
  // Counted from the draw histories the lists are made from.
  const auto n3 = testing::DrawCounts("numbers3.csv"), n4 = testing::DrawCounts("numbers4.csv");
  const auto mini = testing::DrawCounts("miniloto.csv"), lot6 = testing::DrawCounts("loto6.csv");
  const auto count = [](const std::map<std::string, unsigned>& m, bool five) {
    return std::count_if(m.begin(), m.end(), [five](const auto& e) { return (e.second >= 5) == five; });
  };
  const struct {
    Game game;
    int item;
    std::string tip;
  } rows[] = {
      {Game::Num3, 0, "候補：" + WithCommas(1000 - N(n3.size())) + "個"},
      {Game::Num3, 1, "候補：" + WithCommas(count(n3, false)) + "個"},
      {Game::Num3, 2, "候補：" + WithCommas(count(n3, true)) + "個"},
      {Game::Num4, 0, "候補：" + WithCommas(10000 - N(n4.size())) + "個"},
      {Game::Num4, 1, "候補：" + WithCommas(count(n4, false)) + "個"},
      {Game::Num4, 2, "候補：" + WithCommas(count(n4, true)) + "個"},
      {Game::Mini, 0, "候補：" + WithCommas(Combinations(31, 5) - N(mini.size())) + "通り"},
      {Game::Mini, 1, "候補：" + WithCommas(N(mini.size())) + "通り"},
      {Game::Lot6, 0, "候補：" + WithCommas(Combinations(43, 6) - N(lot6.size())) + "通り"},
      {Game::Lot6, 1, "候補：" + WithCommas(N(lot6.size())) + "通り"},
  };
  for (const auto& r : rows) {
    const PanelDef& p = Panel(r.game);
    window.Select(p.dropDown, r.item);
    dlg->OnFilterChoice(r.game);
    EXPECT_EQ(window.toolTips[p.dropDown], r.tip) << GameIndex(r.game) << "/" << r.item;
  }
  // The facts the players met: one never-drawn Numbers 3 number, four Numbers 4 numbers
  // drawn five times or more.
  EXPECT_EQ(rows[0].tip, "候補：1個");
  EXPECT_EQ(rows[5].tip, "候補：4個");
  // The Loto 6 combinations never drawn, with their thousands marked.
  EXPECT_EQ(rows[8].tip, "候補：6,094,417通り");
}

TEST_F(Window, TheCountFollowsANewReadOfTheList) {
  const PanelDef& p = Panel(Game::Num3);
  window.Select(p.dropDown, 0);
  dlg->OnFilterChoice(Game::Num3);
  EXPECT_EQ(window.toolTips[p.dropDown], "候補：1個");
  testing::WriteBytes(dir.path() / "Num3NoCorrect.txt", "#2026\x94\x4E" "1\x8C\x8E" "1\x93\xFA\r\n001\r\n002\r\n003\r\n");
  dlg->ReadList(Game::Num3, ListKind::NoCorrect);
  EXPECT_EQ(window.toolTips[p.dropDown], "候補：3個");
  std::filesystem::remove(dir.path() / "Num3NoCorrect.txt");
  dlg->ReadList(Game::Num3, ListKind::NoCorrect);  // cannot be opened: nothing left
  EXPECT_EQ(window.toolTips[p.dropDown], "候補：0個");
}

// ---- The roll's clock ----

TEST_F(Window, TicksAreAimedAtTheirDueTimesAndDoNotDriftOver1000Ticks) {
  // Timers come up to 3 ms late, as on a busy desktop, and now and then a millisecond
  // early, as when the window delivers ticks due together.
  const std::array<std::int64_t, 7> late{1, 0, 3, -1, 2, 1, 2};
  std::size_t next = 0;
  window.lateness = [&] { return late[next++ % late.size()]; };
  const Game g = Game::Num4;
  dlg->OnPredict(g);  // at 0: ticks due at 10, 20, 30 ...
  window.RunUntil(10005);
  const auto ticks = TickTimes(g, 1);
  ASSERT_EQ(ticks.size(), 1000u);
  for (std::size_t k = 0; k < ticks.size(); ++k) {
    const std::int64_t due = 10 * static_cast<std::int64_t>(k + 1);
    ASSERT_GE(ticks[k], due - 1) << k;
    ASSERT_LE(ticks[k], due + 3) << k;
  }

  // The stop sequence keeps its length: 6745 ms from the due time of the tick before it.
  window.lateness = nullptr;
  dlg->OnPredict(g);
  ASSERT_TRUE(window.RunUntilIdle());
  const auto stop = TickTimes(g, 10006);
  ASSERT_EQ(stop.size(), 19u);
  EXPECT_EQ(stop.back(), 10000 + 6745);
}

TEST_F(Window, ATickFarTooLateCountsFromItsArrivalInsteadOfMakingUpInABurst) {
  std::int64_t lateOnce = 0;
  window.lateness = [&] { return std::exchange(lateOnce, 0); };
  const Game g = Game::Num3;
  dlg->OnPredict(g);
  window.RunUntil(95);
  lateOnce = 45;  // the tick at 100 arms the one due at 110, which comes at 155
  window.RunUntil(200);
  const auto ticks = TickTimes(g, 101);
  EXPECT_EQ(ticks, (std::vector<std::int64_t>{155, 165, 175, 185, 195}));
}

// ---- Colours on any palette ----

TEST(Contrast, RatiosAsTheGuidelinesComputeThem) {
  EXPECT_NEAR(ContrastRatio({0, 0, 0}, {255, 255, 255}), 21.0, 1e-9);
  EXPECT_NEAR(ContrastRatio({255, 255, 255}, {255, 255, 255}), 1.0, 1e-9);
  EXPECT_NEAR(ContrastRatio({255, 0, 0}, {255, 255, 255}), 3.998, 0.001);
  EXPECT_NEAR(ContrastRatio({0, 0, 255}, {255, 255, 255}), 8.592, 0.001);
  EXPECT_NEAR(ContrastRatio({0, 102, 0}, {255, 255, 255}), 7.24, 0.005);
  EXPECT_NEAR(RelativeLuminance({128, 128, 128}), 0.2158, 0.0001);
}

struct PaletteCase {
  const char* name;
  PaletteColours window;  // the main window's background and text
  PaletteColours view;    // the history table's background and text
  bool classic;
};

class ColoursOn : public ::testing::TestWithParam<PaletteCase> {};
void PrintTo(const PaletteCase& c, std::ostream* os) { *os << c.name; }

TEST_P(ColoursOn, EveryTextIsReadableAndTheLightDefaultStaysAsItWas) {
  const PaletteCase& c = GetParam();
  const struct {
    TextColour colour;
    Rgb classic;
  } texts[] = {{TextColour::Red, {255, 0, 0}}, {TextColour::Blue, {0, 0, 255}}, {TextColour::DarkGreen, {0, 102, 0}}};
  for (const auto& t : texts) {
    const Rgb shown = TextRgb(t.colour, c.window);
    if (c.classic) {
      EXPECT_EQ(shown, t.classic);
      continue;
    }
    EXPECT_GE(ContrastRatio(shown, c.window.window), 4.5) << static_cast<int>(t.colour);
    // Still the same hue: the strongest channel stays the strongest.
    const int strongest = std::max({t.classic.r, t.classic.g, t.classic.b});
    if (t.classic.r == strongest) {
      EXPECT_GT(shown.r, std::max(shown.g, shown.b));
    } else if (t.classic.g == strongest) {
      EXPECT_GT(shown.g, std::max(shown.r, shown.b));
    } else {
      EXPECT_GT(shown.b, std::max(shown.r, shown.g));
    }
  }
  EXPECT_EQ(TextRgb(TextColour::Default, c.window), c.window.text);
  const Rgb cell = MarkedCellRgb(c.window, c.view);
  if (c.classic)
    EXPECT_EQ(cell, (Rgb{255, 214, 220}));
  else
    EXPECT_GE(ContrastRatio(cell, c.view.text), 4.5);
  EXPECT_GE(ContrastRatio(cell, c.view.text), 4.5);  // the classic pink is readable too
}

INSTANTIATE_TEST_SUITE_P(
    Palettes, ColoursOn,
    ::testing::Values(
        // Fusion's light default, and another light desktop theme.
        PaletteCase{"LightDefault", {{239, 239, 239}, {0, 0, 0}}, {{255, 255, 255}, {0, 0, 0}}, true},
        PaletteCase{"LightWarm", {{246, 245, 244}, {46, 52, 54}}, {{255, 255, 255}, {46, 52, 54}}, true},
        // qt6ct's "darker", and a plain dark one.
        PaletteCase{"Darker", {{53, 53, 53}, {255, 255, 255}}, {{42, 42, 42}, {255, 255, 255}}, false},
        PaletteCase{"Dark", {{30, 30, 30}, {220, 220, 220}}, {{20, 20, 20}, {220, 220, 220}}, false},
        // High contrast, white on black and black on white.
        PaletteCase{"HighContrastDark", {{0, 0, 0}, {255, 255, 255}}, {{0, 0, 0}, {255, 255, 255}}, false},
        PaletteCase{"HighContrastLight", {{255, 255, 255}, {0, 0, 0}}, {{255, 255, 255}, {0, 0, 0}}, false},
        // A mid grey, where neither way has much room.
        PaletteCase{"MidGrey", {{119, 119, 119}, {255, 255, 255}}, {{119, 119, 119}, {0, 0, 0}}, false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Where the history window goes ----

TEST(PlaceBeside, RightThenLeftThenNarrowerElseNowhere) {
  const ScreenBox screen{0, 0, 1920, 1080};
  const struct {
    const char* name;
    ScreenBox main, wanted;
    int least;
    ScreenBox area;
    std::optional<ScreenBox> place;
  } rows[] = {
      {"right", {100, 200, 460, 340}, {0, 0, 880, 680}, 500, screen, ScreenBox{568, 200, 880, 680}},
      {"left", {1300, 100, 460, 340}, {0, 0, 880, 680}, 500, screen, ScreenBox{412, 100, 880, 680}},
      // Centred on a full HD screen: neither side takes 880, the right one is as wide.
      {"narrower", {730, 370, 460, 340}, {0, 0, 880, 680}, 500, screen, ScreenBox{1198, 370, 722, 680}},
      {"raised to fit", {100, 800, 460, 340}, {0, 0, 880, 680}, 500, screen, ScreenBox{568, 400, 880, 680}},
      {"no room", {170, 130, 460, 340}, {0, 0, 880, 680}, 500, {0, 0, 800, 600}, std::nullopt},
      {"shorter screen", {0, 0, 400, 300}, {0, 0, 600, 900}, 300, {0, 0, 1280, 720}, ScreenBox{408, 0, 600, 720}},
      {"second screen", {2000, 100, 460, 340}, {0, 0, 880, 680}, 500, {1920, 0, 1920, 1080}, ScreenBox{2468, 100, 880, 680}},
  };
  for (const auto& r : rows) EXPECT_EQ(PlaceBeside(r.main, r.wanted, r.least, r.area, 8), r.place) << r.name;
}

}  // namespace
}  // namespace numira
