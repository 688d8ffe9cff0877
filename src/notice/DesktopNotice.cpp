#include "DesktopNotice.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <QVariantMap>

namespace numira {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kDefaultAction = QStringLiteral("default");

}  // namespace

DesktopNotices::DesktopNotices(std::string program, QString icon) : program_(std::move(program)), icon_(std::move(icon)) {}

bool DesktopNotices::Show(const Notice& notice, std::string* error) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    *error = "no session bus";
    return false;
  }
  if (!connected_) {
    bus.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                SLOT(OnActionInvoked(uint, QString)));
    bus.connect(kService, kPath, kService, QStringLiteral("NotificationClosed"), this, SLOT(OnClosed(uint, uint)));
    connected_ = true;
  }
  QDBusInterface service(kService, kPath, kService, bus);
  QVariantMap hints;
  hints.insert(QStringLiteral("desktop-entry"), QStringLiteral(NUMIRA_APP_ID));
  hints.insert(QStringLiteral("category"), QStringLiteral("im.received"));
  const QDBusReply<uint> reply = service.call(
      QStringLiteral("Notify"), QStringLiteral("ぬみら"), 0u, icon_, QString::fromStdString(notice.summary),
      QString::fromStdString(notice.body), QStringList{kDefaultAction, QStringLiteral("購入記録を開く")}, hints, -1);
  if (!reply.isValid()) {
    *error = reply.error().message().toStdString();
    return false;
  }
  open_.insert(reply.value());
  return true;
}

void DesktopNotices::Wait(std::chrono::milliseconds limit) {
  if (open_.isEmpty()) return;
  QEventLoop loop;
  QTimer timeUp;
  timeUp.setSingleShot(true);
  QObject::connect(&timeUp, &QTimer::timeout, &loop, &QEventLoop::quit);
  timeUp.start(limit);
  loop_ = &loop;
  loop.exec();
  loop_ = nullptr;
}

void DesktopNotices::OnActionInvoked(uint id, const QString& action) {
  if (!open_.contains(id)) return;
  if (action == kDefaultAction && !opened_)
    opened_ = QProcess::startDetached(QString::fromStdString(program_), {QStringLiteral("--purchases")});
  // One click answers every notice of this check.
  open_.clear();
  if (loop_) loop_->quit();
}

void DesktopNotices::OnClosed(uint id, uint /*reason*/) {
  open_.remove(id);
  if (open_.isEmpty() && loop_) loop_->quit();
}

}  // namespace numira
