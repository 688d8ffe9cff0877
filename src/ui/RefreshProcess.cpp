#include "RefreshProcess.h"

#include <QStringList>

namespace numira::ui {
namespace {

// Programs that were told to stop and have not ended yet wait here, each until it ends.
// The holder is never deleted: deleting a running program's QProcess would kill it.
QObject& StoppedPrograms() {
  static QObject* const holder = new QObject;
  return *holder;
}

}  // namespace

RefreshProcess::RefreshProcess(QObject* parent, Done done) : QObject(parent), done_(std::move(done)) {
  limit_ = new QTimer(this);
  limit_->setSingleShot(true);
  // Never early: a coarse timer may fire 5 % before its time.
  limit_->setTimerType(Qt::PreciseTimer);
  connect(limit_, &QTimer::timeout, this, [this] { Ended(FailReason::ProgramHung); });
}

RefreshProcess::~RefreshProcess() { Stop(); }

void RefreshProcess::Start(const std::string& program, const RefreshRequest& request) {
  Stop();
  process_ = new QProcess(this);
  process_->setObjectName(QStringLiteral("refresh"));
  // Its messages, if any, go where the program's own go.
  process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  QStringList args;
  for (const std::string& a : RefreshArguments(request)) args << QString::fromStdString(a);
  connect(process_, &QProcess::finished, this, [this] { Ended(FailReason::ProgramFailed); });
  connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) Ended(FailReason::ProgramFailed);
  });
  if (request.limits.totalTimeoutMs > 0)
    limit_->start(std::chrono::milliseconds(request.limits.totalTimeoutMs) + kGrace);
  process_->start(QString::fromStdString(program), args, QIODevice::ReadOnly);
}

void RefreshProcess::Ended(FailReason unnamed) {
  if (!process_) return;
  const QByteArray out = process_->readAllStandardOutput();
  Stop();
  // A program that could not start, died or hung reports nothing more: every list it
  // does not name failed.
  const RefreshReport report = ParseReport(std::string_view(out.constData(), static_cast<std::size_t>(out.size())), unnamed);
  if (done_) done_(report);
}

void RefreshProcess::Stop() {
  limit_->stop();
  if (!process_) return;
  QProcess* process = process_;
  process_ = nullptr;
  process->disconnect(this);
  if (process->state() == QProcess::NotRunning) {
    process->deleteLater();
    return;
  }
  // SIGTERM: the program drops its part files and ends; a pair being renamed finishes
  // first. Nobody waits for it: the object goes once the program has ended, and is
  // simply left behind if this process ends first.
  process->setParent(&StoppedPrograms());
  connect(process, &QProcess::finished, process, &QObject::deleteLater);
  process->terminate();
}

}  // namespace numira::ui
