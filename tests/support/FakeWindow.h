#pragma once
// A window for the dialog logic without a toolkit: controls are records, timers run
// on a virtual clock, message boxes are collected. Tests drive rolls in microseconds.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Clock.h"
#include "Controls.h"
#include "DrawRefresh.h"
#include "PredictDlg.h"
#include "RefreshJob.h"
#include "ShownGames.h"
#include "WindowServices.h"

namespace numira::testing {

struct FakeControl {
  bool enabled = true;
  std::string text;
  int checkState = 0;
  std::vector<std::string> items;
  int selected = -1;
  // As the last layout placed it (ApplyLayout); the template's place before any.
  bool shown = true;
  int x = 0, y = 0;
};

struct ShownMessage {
  std::string text, caption;
  MessageIcon icon;
};

struct TextChange {
  std::int64_t at;  // virtual milliseconds
  int id;
  std::string text;
};

class FakeClock : public Clock {
 public:
  std::uint32_t seconds = 1700000000;
  LocalTime local{2026, 12, 7, 20, 31, 5};
  // The monotonic clock in virtual milliseconds; a FakeWindow it is given to keeps it
  // at the window's virtual time.
  std::int64_t monotonicMs = 0;
  std::uint32_t Seconds() const override { return seconds; }
  LocalTime Local() const override { return local; }
  std::chrono::steady_clock::time_point Monotonic() const override {
    return std::chrono::steady_clock::time_point(std::chrono::milliseconds(monotonicMs));
  }
};

class FakeWindow : public WindowServices {
 public:
  FakeWindow() {
    for (const ControlDef* c : WindowControls()) {
      FakeControl& control = controls[c->id];
      control.text = c->text;
      control.x = c->x;
      control.y = c->y;
    }
    title = "ぬみら";
  }

  // The dialog that receives the timers.
  CPredictDlg* dialog = nullptr;
  // The clock whose monotonic time follows the virtual time (none: it stands still).
  FakeClock* clock = nullptr;
  // How many milliseconds after its due time each newly armed timer fires (none: on time).
  std::function<std::int64_t()> lateness;

  std::map<int, FakeControl> controls;
  std::vector<ShownMessage> messages;
  std::vector<TextChange> changes;
  std::string title;
  int aboutBoxes = 0;
  std::map<int, std::string> toolTips;
  int historyShown = 0, historyChanges = 0;
  int checkShown = 0, checkChanges = 0;
  int endCode = -1;
  int waitDepth = 0, waitCursorShown = 0, updates = 0;
  bool centred = false;
  int focused = 0;  // the control with the keyboard focus (0: the window itself)
  std::string clipboard;
  std::function<void(const ShownMessage&)> onMessage;
  bool holdRefresh = false;
  int refreshesStarted = 0;
  int settingsShown = 0;
  int purchasesShown = 0, purchasesChanges = 0;
  // The client size of the last layout (dialog units; 0 before any) and how many were applied.
  int clientWidth = 0, clientHeight = 0, layouts = 0;
  // What the dialog wrote to standard error.
  std::string standardError;
  // How the in-process refresh writes its part files (a test makes a disk fail with it).
  FileOps fileOps;
  std::optional<RefreshRequest> pendingRefresh;
  // When set, the clock's calendar seconds follow the virtual time from this value at 0 ms.
  std::optional<std::uint32_t> secondsAtZero;
  // Each switch of the user's systemd timer the dialog asked for (true: enable).
  std::vector<bool> userTimerSwitches;

  // ---- Window services ----
  void Enable(int id, bool enabled) override {
    controls[id].enabled = enabled;
    // As in the real window: a disabled control's focus goes to the window itself.
    if (!enabled && focused == id) focused = 0;
  }
  void SetText(int id, const std::string& text) override {
    controls[id].text = text;
    changes.push_back({now, id, text});
  }
  std::string Text(int id) const override { return Get(id).text; }
  int CheckState(int id) const override { return Get(id).checkState; }
  void SetDropDownItems(int id, const std::vector<std::string>& items, int selected) override {
    controls[id].items = items;
    controls[id].selected = selected;
  }
  std::string SelectedText(int id) const override {
    const FakeControl& c = Get(id);
    return c.selected >= 0 && c.selected < static_cast<int>(c.items.size()) ? c.items[static_cast<std::size_t>(c.selected)] : "";
  }
  void MessageBox(const std::string& text, const std::string& caption, MessageIcon icon) override {
    messages.push_back({text, caption, icon});
    if (onMessage) onMessage(messages.back());
  }
  void ShowAboutBox() override { ++aboutBoxes; }
  void SetToolTip(int id, const std::string& text) override { toolTips[id] = text; }
  void ShowHistory() override { ++historyShown; }
  void HistoryChanged() override { ++historyChanges; }
  void ShowCheck() override { ++checkShown; }
  void ShowSettings() override { ++settingsShown; }
  void ShowPurchases() override { ++purchasesShown; }
  void PurchasesChanged() override { ++purchasesChanges; }
  void WriteStandardError(const std::string& line) override { standardError += line; }
  void CheckChanged() override { ++checkChanges; }
  int FocusedControl() const override { return focused; }
  void SetFocus(int id) override { focused = id; }
  void SetClipboardText(const std::string& text) override { clipboard = text; }
  void SetTimer(int id, int milliseconds) override {
    timers[id] = {now + milliseconds + (lateness ? lateness() : 0), seq++};
  }
  void KillTimer(int id) override { timers.erase(id); }
  void BeginWaitCursor() override { ++waitDepth; ++waitCursorShown; }
  void EndWaitCursor() override { --waitDepth; }
  void UpdateNow() override { ++updates; }
  // The refresh runs in this process, at once, unless a test holds it back to finish it
  // later (FinishRefresh).
  void StartRefresh(const RefreshRequest& request) override {
    ++refreshesStarted;
    pendingRefresh = request;
    if (!holdRefresh) FinishRefresh();
  }
  void ApplyLayout(const WindowLayout& layout) override {
    ++layouts;
    clientWidth = layout.width;
    clientHeight = layout.height;
    for (const ControlPlace& p : layout.places) {
      controls[p.id].shown = p.shown;
      controls[p.id].x = p.x;
      controls[p.id].y = p.y;
    }
  }
  std::string WindowTitle() const override { return title; }
  void CenterWindow() override { centred = true; }
  void EndDialog(int code) override { endCode = code; }
  void SwitchUserTimer(bool enable) override { userTimerSwitches.push_back(enable); }

  // ---- Test helpers ----
  // Runs the refresh that was started and hands its report to the dialog.
  void FinishRefresh() {
    if (!pendingRefresh) return;
    const std::vector<ExtraFile> extras =
        pendingRefresh->listsOnly ? std::vector<ExtraFile>{} : ExtraFilesBeside(pendingRefresh->lists);
    const RefreshReport report = RunRefresh(*pendingRefresh, extras, nullptr, {}, fileOps);
    pendingRefresh.reset();
    dialog->OnRefreshDone(report);
  }
  bool Enabled(int id) const { return Get(id).enabled; }
  bool Shown(int id) const { return Get(id).shown; }
  void Check(int id, bool on) { controls[id].checkState = on ? 1 : 0; }
  void Select(int id, int index) { controls[id].selected = index; }
  bool TimerArmed(int id) const { return timers.count(id) != 0; }
  std::int64_t TimerDue(int id) const { return timers.at(id).due; }
  std::int64_t Now() const { return now; }

  // Fires due timers in order until the virtual clock reaches `until`.
  void RunUntil(std::int64_t until) {
    for (;;) {
      auto next = timers.end();
      for (auto it = timers.begin(); it != timers.end(); ++it)
        if (next == timers.end() || it->second.due < next->second.due ||
            (it->second.due == next->second.due && it->second.seq < next->second.seq))
          next = it;
      if (next == timers.end() || next->second.due > until) break;
      SetNow(std::max(now, next->second.due));  // an early timer never turns the clock back
      const int id = next->first;
      // A real one-shot timer keeps firing until it is killed; the dialog kills it first.
      next->second = {now + 1000000, seq++};
      dialog->OnTimer(id);
    }
    SetNow(until);
  }
  void RunFor(std::int64_t ms) { RunUntil(now + ms); }
  // Runs until no timer is armed (bounded, so a roll that never ends fails the test).
  bool RunUntilIdle(std::int64_t limit = 3600 * 1000) {
    const std::int64_t end = now + limit;
    while (!timers.empty() && now < end) {
      std::int64_t due = end;
      for (auto& [id, t] : timers) due = std::min(due, t.due);
      RunUntil(due);
    }
    return timers.empty();
  }

 private:
  struct Timer {
    std::int64_t due;
    std::uint64_t seq;
  };
  void SetNow(std::int64_t t) {
    now = t;
    if (clock) clock->monotonicMs = t;
    if (clock && secondsAtZero) clock->seconds = *secondsAtZero + static_cast<std::uint32_t>(t / 1000);
  }
  const FakeControl& Get(int id) const {
    static const FakeControl kNone;
    auto it = controls.find(id);
    return it == controls.end() ? kNone : it->second;
  }
  std::map<int, Timer> timers;
  std::int64_t now = 0;
  std::uint64_t seq = 0;
};

}  // namespace numira::testing
