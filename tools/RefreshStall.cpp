// The longest stall of the window's event loop during a refresh: the real window, the
// refresh program beside a copy of the lists, and a server on 127.0.0.1 that trickles
// the six lists out over some 20 seconds. A 5 ms timer runs throughout; the longest gap
// between its ticks beyond 5 ms is the stall.
//   numira-refresh-stall [seconds]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Clock.h"
#include "Controls.h"
#include "ListTable.h"
#include "MainWindow.h"
#include "Texts.h"

using namespace numira;

namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void SendAll(int fd, const std::string& bytes) {
  for (std::size_t off = 0; off < bytes.size();) {
    const ssize_t n = ::send(fd, bytes.data() + off, bytes.size() - off, MSG_NOSIGNAL);
    if (n <= 0) return;
    off += static_cast<std::size_t>(n);
  }
}

// Serves the six lists in table order, one per connection, each spread over its share
// of the time in 100 ms pieces.
class TrickleServer {
 public:
  explicit TrickleServer(double seconds) : perListMs_(static_cast<int>(seconds * 1000 / 6)) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(fd_, 8);
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { Run(); });
  }
  ~TrickleServer() {
    stop_ = true;
    thread_.join();
    ::close(fd_);
  }
  std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }

 private:
  void Run() {
    for (std::size_t row = 0; row < kListFiles.size() && !stop_;) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 100) <= 0) continue;
      const int c = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (c < 0) continue;
      char buf[4096];
      (void)::recv(c, buf, sizeof buf, 0);  // the request head: one small packet
      const std::string body = ReadBytes(std::string(NUMIRA_DATA_DIR) + "/" + kListFiles[row++].fileName);
      SendAll(c, "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n");
      const int pieces = std::max(1, perListMs_ / 100);
      const std::size_t step = body.size() / static_cast<std::size_t>(pieces) + 1;
      for (std::size_t off = 0; off < body.size() && !stop_; off += step) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        SendAll(c, body.substr(off, step));
      }
      ::close(c);
    }
  }
  int perListMs_;
  int fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 20.0;
  QApplication app(argc, argv);
  QTemporaryDir dir;
  for (const ListFileRow& r : kListFiles)
    QFile::copy(QStringLiteral(NUMIRA_DATA_DIR "/") + r.fileName, dir.filePath(QString::fromUtf8(r.fileName)));
  QFile::link(QStringLiteral(NUMIRA_REFRESH_EXE), dir.filePath(QString::fromUtf8(kRefreshProgramName)));
  TrickleServer server(seconds);
  SystemClock clock;
  ui::MainWindow window(clock, DialogSetup{dir.filePath(QStringLiteral("numira")).toStdString(), server.Host()});
  window.show();
  auto* status = window.findChild<QLabel*>(QString::number(ctl::kStatus));
  auto* button = window.findChild<QPushButton*>(QString::number(ctl::kDownload));
  if (!status || !button) return 1;

  QElapsedTimer since;
  qint64 last = 0, worst = 0, worstAt = 0, ticks = 0;
  QTimer tick;
  tick.setTimerType(Qt::PreciseTimer);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const qint64 now = since.nsecsElapsed();
    if (last && now - last > worst) {
      worst = now - last;
      worstAt = now;
    }
    last = now;
    ++ticks;
  });
  QTimer::singleShot(200, [&] {
    since.start();
    tick.start(5);
    button->click();
    auto* watch = new QTimer(&window);
    QObject::connect(watch, &QTimer::timeout, [&, watch] {
      if (status->text() == QString::fromUtf8(text::kDownloading) && since.elapsed() < (seconds + 60) * 1000) return;
      watch->stop();
      tick.stop();
      std::printf(
          "refresh over %.1f s: status \"%s\"; event loop ticks %lld; longest stall %.1f ms, ending %.2f s after the "
          "press (goal <= 50 ms)\n",
          since.elapsed() / 1000.0, status->text().toUtf8().constData(), static_cast<long long>(ticks),
          std::max<qint64>(0, worst - 5000000) / 1e6, worstAt / 1e9);
      QApplication::quit();
    });
    watch->start(50);
  });
  return app.exec();
}
