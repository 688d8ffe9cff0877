#pragma once
// Notices on the desktop through the notification service of the session bus
// (org.freedesktop.Notifications), with the program's icon. A notice's default action
// starts the program with 購入記録 open; the notices' process waits for it a bounded time,
// since nothing else would hear a click once it has ended.
#include <QEventLoop>
#include <QObject>
#include <QSet>
#include <QString>
#include <chrono>
#include <string>

#include "Notices.h"

namespace numira {

class DesktopNotices : public QObject {
  Q_OBJECT
 public:
  // program: what the default action starts (with --purchases); icon: an icon name.
  DesktopNotices(std::string program, QString icon);

  // Shows a notice; false (with the reason in *error) when there is no session bus or no
  // notification service, and nothing is shown.
  bool Show(const Notice& notice, std::string* error);
  // Waits until every notice shown has been closed or acted on, or the time is up.
  void Wait(std::chrono::milliseconds limit);
  // Whether a default action started the program.
  bool Opened() const { return opened_; }

 private slots:
  void OnActionInvoked(uint id, const QString& action);
  void OnClosed(uint id, uint reason);

 private:
  std::string program_;
  QString icon_;
  bool connected_ = false;
  bool opened_ = false;
  QSet<uint> open_;
  QEventLoop* loop_ = nullptr;  // the Wait under way
};

}  // namespace numira
