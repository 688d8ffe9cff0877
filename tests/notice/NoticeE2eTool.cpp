// The end-to-end run's helpers (scripts/notice-e2e):
//   notice_e2e_tool record DB GAME NUMBERS UNITS FIRST_DRAW [COUNT]
//     records a purchase of one line in the player's database, as 購入記録 does (COUNT
//     times: the rest through the CSV import, all at once);
//   notice_e2e_tool notifications FILE close|default
//     owns org.freedesktop.Notifications on the session bus and writes each notice's
//     application name, icon, summary, body, actions and desktop-entry hint into FILE
//     (one field a line, then "--"); each notice is then closed, or first clicked
//     (its default action invoked). "ready" on standard output once the name is owned.
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <string>

#include "Ledger.h"

namespace {

class FakeNotifications : public QDBusVirtualObject {
 public:
  FakeNotifications(QString file, bool click) : file_(std::move(file)), click_(click) {}

  QString introspect(const QString&) const override { return {}; }

  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    QDBusConnection bus(connection);
    const QString member = message.member();
    if (member == QStringLiteral("GetCapabilities")) {
      bus.send(message.createReply(QVariant(QStringList{QStringLiteral("actions"), QStringLiteral("body")})));
      return true;
    }
    if (member == QStringLiteral("GetServerInformation")) {
      bus.send(message.createReply(
          QVariantList{QStringLiteral("fake"), QStringLiteral("numira"), QStringLiteral("1"), QStringLiteral("1.2")}));
      return true;
    }
    if (member != QStringLiteral("Notify")) return false;
    const QVariantList a = message.arguments();
    const uint id = ++last_;
    QFile out(file_);
    if (a.size() == 8 && out.open(QIODevice::Append)) {
      const QVariantMap hints = qdbus_cast<QVariantMap>(a[6]);
      QString text = a[0].toString() + "\n" + a[2].toString() + "\n" + a[3].toString() + "\n" + a[4].toString() + "\n" +
                     a[5].toStringList().join(QLatin1Char(',')) + "\n" + hints.value(QStringLiteral("desktop-entry")).toString() +
                     "\n--\n";
      out.write(text.toUtf8());
    }
    bus.send(message.createReply(QVariant::fromValue(id)));
    const QString path = QStringLiteral("/org/freedesktop/Notifications");
    const QString iface = QStringLiteral("org.freedesktop.Notifications");
    QTimer::singleShot(50, [bus, id, path, iface, click = click_]() mutable {
      if (click) {
        QDBusMessage action = QDBusMessage::createSignal(path, iface, QStringLiteral("ActionInvoked"));
        action << id << QStringLiteral("default");
        bus.send(action);
      }
      QDBusMessage closed = QDBusMessage::createSignal(path, iface, QStringLiteral("NotificationClosed"));
      closed << id << uint(click ? 2 : 1);
      bus.send(closed);
    });
    return true;
  }

 private:
  QString file_;
  bool click_;
  uint last_ = 0;
};

int Record(int argc, char** argv) {
  using namespace numira;
  const std::optional<Game> game = GameById(argv[3]);
  if (!game) return 2;
  Purchase p;
  p.game = *game;
  const LineReading line = ReadLine(argv[4], *game, TicketType::Straight);
  if (!line.line) {
    std::fprintf(stderr, "%s\n", line.fault.c_str());
    return 2;
  }
  p.lines.push_back(*line.line);
  p.units = std::stoi(argv[5]);
  p.firstDraw = static_cast<std::uint32_t>(std::stoul(argv[6]));
  p.created = "2026-12-07 20:00";
  Ledger::Opening o = Ledger::Open(argv[2]);
  if (!o.ledger) {
    std::fprintf(stderr, "%s\n", o.error.c_str());
    return 1;
  }
  o.ledger->Add(p);
  const int count = argc == 8 ? std::stoi(argv[7]) : 1;
  if (count > 1) {
    const std::string csv = o.ledger->ExportCsv();
    const std::size_t header = csv.find('\n') + 1;
    const std::string row = csv.substr(csv.rfind('\n', csv.size() - 2) + 1);
    std::string more = csv.substr(0, header);
    for (int i = 1; i < count; ++i) more += row;
    o.ledger->ImportCsv(more, p.created);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if ((argc == 7 || argc == 8) && std::string(argv[1]) == "record") return Record(argc, argv);
  if (argc != 4 || std::string(argv[1]) != "notifications") {
    std::fputs("usage: notice_e2e_tool record DB GAME NUMBERS UNITS FIRST | notifications FILE close|default\n", stderr);
    return 2;
  }
  QCoreApplication app(argc, argv);
  QDBusConnection bus = QDBusConnection::sessionBus();
  FakeNotifications server(QString::fromLocal8Bit(argv[2]), std::string(argv[3]) == "default");
  if (!bus.registerVirtualObject(QStringLiteral("/org/freedesktop/Notifications"), &server) ||
      !bus.registerService(QStringLiteral("org.freedesktop.Notifications"))) {
    std::fputs("cannot own org.freedesktop.Notifications\n", stderr);
    return 1;
  }
  std::puts("ready");
  std::fflush(stdout);
  return app.exec();
}
