#pragma once
// The refresh program (numira-refresh) run for the window: started with a request, its
// report read when it ends, and never waited for. A program that does not end within the
// refresh's own time limit (and a grace for its start and its last renames) is ended, and
// the lists it did not report fail as ended. Stopping it returns at once.
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <chrono>
#include <functional>
#include <string>

#include "RefreshReport.h"

namespace numira::ui {

class RefreshProcess : public QObject {
 public:
  using Done = std::function<void(const RefreshReport&)>;
  // done hears the report of each refresh that ends (or cannot start) on its own or by
  // the time limit; never of one that is stopped.
  RefreshProcess(QObject* parent, Done done);
  ~RefreshProcess() override;
  RefreshProcess(const RefreshProcess&) = delete;
  RefreshProcess& operator=(const RefreshProcess&) = delete;

  // Time the program is given beyond the refresh's own limit.
  static constexpr std::chrono::milliseconds kGrace{3000};

  // Starts the program at this path for the request; a refresh under way is stopped first.
  void Start(const std::string& program, const RefreshRequest& request);
  // Stops the refresh under way: the program is asked to end (SIGTERM: it removes its
  // part files and finishes a pair of lists being renamed) and left to end on its own.
  void Stop();
  bool Running() const { return process_ != nullptr; }

 private:
  // The program has ended or could not start (unnamed: why its unreported lists failed).
  void Ended(FailReason unnamed);

  Done done_;
  QProcess* process_ = nullptr;
  QTimer* limit_ = nullptr;
};

}  // namespace numira::ui
