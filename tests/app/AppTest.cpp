// Start-up of the program: no display, the lists placed beside the executable.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QRegularExpression>

#include <vector>

#include "CPredictApp.h"
#include "CommandLine.h"
#include "ListTable.h"

namespace numira {
namespace {

TEST(App, WithoutADisplayTheProgramExplainsAndExitsWithOne) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove(QStringLiteral("DISPLAY"));
  env.remove(QStringLiteral("WAYLAND_DISPLAY"));
  env.remove(QStringLiteral("QT_QPA_PLATFORM"));
  p.setProcessEnvironment(env);
  p.start(QStringLiteral(NUMIRA_EXE), {});
  ASSERT_TRUE(p.waitForFinished(30000));
  EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(p.exitCode(), 1);
  const QString err = QString::fromUtf8(p.readAllStandardError());
  EXPECT_TRUE(err.contains(QStringLiteral("xvfb-run -a " NUMIRA_EXE "\n"))) << err.toStdString();
  EXPECT_TRUE(err.contains(QString::fromUtf8("ディスプレイ"))) << err.toStdString();
  EXPECT_TRUE(err.contains(QStringLiteral("no display"))) << err.toStdString();
}

// The program run without a display: what it prints and how it ends.
struct ProgramRun {
  int exitCode = -1;
  QString out, err;
};

ProgramRun RunProgram(const QStringList& args, const QProcessEnvironment& env, bool display = false) {
  QProcessEnvironment e = env;
  if (!display) {
    e.remove(QStringLiteral("DISPLAY"));
    e.remove(QStringLiteral("WAYLAND_DISPLAY"));
    e.remove(QStringLiteral("QT_QPA_PLATFORM"));
  }
  QProcess p;
  p.setProcessEnvironment(e);
  p.start(QStringLiteral(NUMIRA_EXE), args);
  ProgramRun r;
  if (!p.waitForFinished(30000)) {
    p.kill();
    p.waitForFinished();
    return r;
  }
  r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = QString::fromUtf8(p.readAllStandardOutput());
  r.err = QString::fromUtf8(p.readAllStandardError());
  return r;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

TEST(App, HelpAndVersionPrintAndExitWithZeroWithOrWithoutADisplay) {
  const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const bool display : {false, true}) {
    for (const QStringList& args : {QStringList{QStringLiteral("--help")}, QStringList{QStringLiteral("-h")},
                                    QStringList{QStringLiteral("--help"), QStringLiteral("--bogus")},
                                    QStringList{QStringLiteral("--list-server"), QStringLiteral("x"), QStringLiteral("--help")}}) {
      SCOPED_TRACE(args.join(' ').toStdString() + (display ? " display" : ""));
      const ProgramRun r = RunProgram(args, env, display);
      EXPECT_EQ(r.exitCode, 0);
      EXPECT_TRUE(r.out.startsWith(QStringLiteral("Usage: numira"))) << r.out.toStdString();
      EXPECT_TRUE(r.out.contains(QStringLiteral("--list-server SERVER"))) << r.out.toStdString();
      EXPECT_TRUE(r.out.contains(QStringLiteral("--purchases"))) << r.out.toStdString();
      EXPECT_TRUE(r.out.contains(QStringLiteral("numira.conf"))) << r.out.toStdString();
      EXPECT_EQ(r.err, QString());
    }
    const ProgramRun v = RunProgram({QStringLiteral("--version")}, env, display);
    EXPECT_EQ(v.exitCode, 0);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^numira \\d+\\.\\d+\\.\\d+\\n$")).match(v.out).hasMatch()) << v.out.toStdString();
    EXPECT_EQ(v.err, QString());
  }
}

TEST(App, EachListServerSourceAndItsBadValuesAreReportedOnStandardError) {
  const QString conf = QStringLiteral("/numira/numira.conf");
  const struct {
    const char* name;
    QStringList args;
    QByteArray config;  // list-server file contents; "" : no file; "DIR": a folder in its place
    bool relativeXdg;   // XDG_CONFIG_HOME relative: the file is looked for under HOME
    int exitCode;
    std::vector<QString> errLines;  // the lines expected before the no-display message
  } rows[] = {
      {"nothing", {}, "", false, 1, {}},
      {"good_command_line", {"--list-server", "127.0.0.1:8080"}, "list-server=bad host\n", false, 1, {}},
      {"good_command_line_joined", {"--list-server=https://[::1]:8443"}, "", false, 1, {}},
      {"bad_command_line", {"--list-server", "a b"}, "", false, 1,
       {"numira: --list-server: \"a b\" is not a list server (HOST[:PORT], http://HOST[:PORT] or https://HOST[:PORT]); ignored"}},
      {"bad_command_line_joined_and_bad_config", {"--list-server=ftp://x"}, "# mine\nlist-server = lists/Data\n", false, 1,
       {"numira: --list-server: \"ftp://x\" is not a list server (HOST[:PORT], http://HOST[:PORT] or https://HOST[:PORT]); ignored",
        "numira: %CONF%:2: list-server: \"lists/Data\" is not a list server (HOST[:PORT], http://HOST[:PORT] or https://HOST[:PORT]); ignored"}},
      {"good_config", {}, "list-server=https://mirror.example\n", false, 1, {}},
      {"bad_port_in_config_under_home", {}, "list-server=mirror.example:99999\n", true, 1,
       {"numira: %CONF%:1: list-server: \"mirror.example:99999\" is not a list server (HOST[:PORT], http://HOST[:PORT] or https://HOST[:PORT]); ignored"}},
      {"config_is_a_folder", {}, "DIR", false, 1, {"numira: cannot read %CONF% (Is a directory); its list-server is ignored"}},
      {"escape_sequences_are_not_sent_to_the_terminal", {"--list-server", "x\x1b[2J"}, "", false, 1,
       {"numira: --list-server: \"x\\x1B[2J\" is not a list server (HOST[:PORT], http://HOST[:PORT] or https://HOST[:PORT]); ignored"}},
      {"missing_value", {"--list-server"}, "", false, 2,
       {"numira: --list-server needs a value (HOST[:PORT], http://HOST[:PORT] or https://HOST[:PORT]); see numira --help"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    QString confPath;
    if (row.relativeXdg) {
      env.insert(QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("relative/config"));
      confPath = home.path() + QStringLiteral("/.config") + conf;
    } else {
      env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/xdg"));
      confPath = home.path() + QStringLiteral("/xdg") + conf;
    }
    if (row.config == "DIR")
      ASSERT_TRUE(QDir().mkpath(confPath));
    else if (!row.config.isEmpty())
      WriteFile(confPath, row.config);
    const ProgramRun r = RunProgram(row.args, env);
    EXPECT_EQ(r.exitCode, row.exitCode);
    EXPECT_EQ(r.out, QString());
    QStringList lines = r.err.split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), static_cast<qsizetype>(row.errLines.size()));
    for (std::size_t i = 0; i < row.errLines.size(); ++i) {
      QString expected = row.errLines[i];
      expected.replace(QStringLiteral("%CONF%"), confPath);
      EXPECT_EQ(lines[static_cast<qsizetype>(i)], expected) << r.err.toStdString();
    }
    // Nothing else is said about the list server.
    EXPECT_EQ(r.err.count(QStringLiteral("list-server")), static_cast<qsizetype>(row.errLines.size())) << r.err.toStdString();
    if (row.exitCode == 1) {
      EXPECT_TRUE(r.err.contains(QStringLiteral("no display"))) << r.err.toStdString();
    }
  }
}

TEST(App, AnUnknownArgumentEndsTheProgramWithTwoWithOrWithoutADisplay) {
  for (const bool display : {true, false}) {
    for (const QStringList& args : {QStringList{QStringLiteral("--bogus")},
                                    QStringList{QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--bogus")}}) {
      SCOPED_TRACE(args.join(' ').toStdString() + (display ? " display" : ""));
      const ProgramRun r = RunProgram(args, QProcessEnvironment::systemEnvironment(), display);
      EXPECT_EQ(r.exitCode, 2);
      EXPECT_EQ(r.err, QStringLiteral("numira: unknown argument \"--bogus\"; see numira --help\n"));
      EXPECT_EQ(r.out, QString());
    }
  }
}

TEST(CommandLine, Parse) {
  const struct {
    std::vector<std::string> args;
    CommandLine::Action action;
    std::optional<std::string> server;
    std::vector<std::string> rest;
    bool purchases = false;
  } rows[] = {
      // --purchases: the purchases window opens with the main window.
      {{"numira", "--purchases"}, CommandLine::Action::Run, std::nullopt, {"numira"}, true},
      {{"numira", "--list-server", "a", "--purchases"}, CommandLine::Action::Run, "a", {"numira"}, true},
      {{"numira", "--purchases=yes"}, CommandLine::Action::Error, std::nullopt, {"numira"}},
      {{"numira"}, CommandLine::Action::Run, std::nullopt, {"numira"}},
      {{"numira", "--list-server", "a.example"}, CommandLine::Action::Run, "a.example", {"numira"}},
      {{"numira", "--list-server=b.example:81"}, CommandLine::Action::Run, "b.example:81", {"numira"}},
      {{"numira", "--list-server="}, CommandLine::Action::Run, "", {"numira"}},
      {{"numira", "--list-server", "a", "--list-server", "b"}, CommandLine::Action::Run, "b", {"numira"}},
      {{"numira", "-platform", "offscreen", "--list-server", "--help"}, CommandLine::Action::Error, std::nullopt,
       {"numira", "-platform", "offscreen"}},
      {{"numira", "--list-server=--help"}, CommandLine::Action::Error, std::nullopt, {"numira"}},
      {{"numira", "--list-server", "-platform", "offscreen"}, CommandLine::Action::Error, std::nullopt, {"numira"}},
      {{"numira", "--list-server", "-"}, CommandLine::Action::Error, std::nullopt, {"numira"}},
      {{"numira", "--list-server"}, CommandLine::Action::Error, std::nullopt, {"numira"}},
      {{"numira", "--version", "--help"}, CommandLine::Action::Version, std::nullopt, {"numira"}},
      {{"numira", "--list-servers", "x"}, CommandLine::Action::Error, std::nullopt, {"numira"}},
      {{"numira", "--bogus"}, CommandLine::Action::Error, std::nullopt, {"numira"}},
      {{"numira", "lists"}, CommandLine::Action::Error, std::nullopt, {"numira"}},
      {{"numira", "--bogus", "--help"}, CommandLine::Action::Help, std::nullopt, {"numira"}},
      // The toolkit's options are left for it, with their values.
      {{"numira", "--platform", "offscreen", "-style=fusion", "-reverse", "-qwindowtitle", "--bogus"},
       CommandLine::Action::Run, std::nullopt,
       {"numira", "--platform", "offscreen", "-style=fusion", "-reverse", "-qwindowtitle", "--bogus"}},
      {{"numira", "-stylesheet", "a.qss", "-platform"}, CommandLine::Action::Run, std::nullopt,
       {"numira", "-stylesheet", "a.qss", "-platform"}},
  };
  for (const auto& row : rows) {
    std::vector<std::string> copy = row.args;
    std::vector<char*> argv;
    for (std::string& a : copy) argv.push_back(a.data());
    const CommandLine cl = ParseCommandLine(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(cl.action, row.action) << row.args.size();
    EXPECT_EQ(cl.listServer, row.server);
    EXPECT_EQ(cl.purchases, row.purchases) << row.args.back();
    std::vector<std::string> rest;
    for (char* a : cl.rest) rest.emplace_back(a);
    EXPECT_EQ(rest, row.rest);
  }
}

TEST(CommandLine, ValuesAreShownQuotedEscapedAndCut) {
  EXPECT_EQ(UnknownArgumentText(std::string(300, 'x')),
            "numira: unknown argument \"" + std::string(200, 'x') + "...\"; see numira --help\n");
  EXPECT_EQ(UnknownArgumentText("\xff\tサーバー"), "numira: unknown argument \"\\xFF\\x09サーバー\"; see numira --help\n");
}

TEST(App, TheNoDisplayMessageNamesTheCommandAsStarted) {
  // An installed copy is started by its name on the PATH; no build tree is named.
  const std::string installed = NoDisplayMessage("numira");
  EXPECT_NE(installed.find("を使ってください:  xvfb-run -a numira\n"), std::string::npos) << installed;
  EXPECT_NE(installed.find("virtual display:  xvfb-run -a numira\n"), std::string::npos) << installed;
  EXPECT_EQ(installed.find("build/"), std::string::npos) << installed;
  EXPECT_EQ(installed.find("%1"), std::string::npos) << installed;
  EXPECT_NE(NoDisplayMessage("/opt/my apps/numira").find("xvfb-run -a '/opt/my apps/numira'\n"), std::string::npos);
  EXPECT_NE(NoDisplayMessage("./it's").find("xvfb-run -a './it'\\''s'\n"), std::string::npos);
}

// The libraries a program loads, as the dynamic linker resolves them.
QString LinkedLibraries(const char* program) {
  QProcess p;
  p.start(QStringLiteral("ldd"), {QString::fromUtf8(program)});
  EXPECT_TRUE(p.waitForFinished(30000));
  return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(App, TheWindowsProcessLoadsNoNetworkLibraryTheRefreshProgramDoes) {
  const QString window = LinkedLibraries(NUMIRA_EXE);
  ASSERT_TRUE(window.contains(QStringLiteral("libQt6Widgets"))) << window.toStdString();
  EXPECT_FALSE(window.contains(QStringLiteral("libcurl"))) << window.toStdString();
  EXPECT_FALSE(window.contains(QStringLiteral("libssl"))) << window.toStdString();
  const QString refresh = LinkedLibraries(NUMIRA_REFRESH_EXE);
  EXPECT_TRUE(refresh.contains(QStringLiteral("libcurl"))) << refresh.toStdString();
  EXPECT_FALSE(refresh.contains(QStringLiteral("libQt6"))) << refresh.toStdString();
}

// The shared libraries a program names itself (its ELF NEEDED entries): what its link
// line put there, whatever --as-needed would have dropped.
QString NeededLibraries(const char* program) {
  QProcess p;
  p.start(QStringLiteral("readelf"), {QStringLiteral("-d"), QString::fromUtf8(program)});
  EXPECT_TRUE(p.waitForFinished(30000));
  QStringList needed;
  for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n')))
    if (line.contains(QStringLiteral("(NEEDED)"))) needed << line.section(QLatin1Char('['), 1).section(QLatin1Char(']'), 0, 0);
  return needed.join(QLatin1Char(' '));
}

TEST(App, TheWindowsProgramNamesNoNetworkLibraryNorMapsOneWhileItRuns) {
  const QString needed = NeededLibraries(NUMIRA_EXE);
  ASSERT_TRUE(needed.contains(QStringLiteral("libQt6Widgets"))) << needed.toStdString();
  // Nor SQLite: 購入記録's file is opened through numira-ledger.so when first needed.
  for (const char* network : {"libcurl", "libssl", "libcrypto", "libnghttp2", "libsqlite3"})
    EXPECT_FALSE(needed.contains(QString::fromUtf8(network))) << network << " in " << needed.toStdString();
  EXPECT_TRUE(NeededLibraries(NUMIRA_REFRESH_EXE).contains(QStringLiteral("libcurl")));

  // The running window: what its process has mapped once the window is up.
  QTemporaryDir home;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  env.insert(QStringLiteral("HOME"), home.path());
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
  QProcess p;
  p.setProcessEnvironment(env);
  p.start(QStringLiteral(NUMIRA_EXE), {QStringLiteral("--list-server"), QStringLiteral("127.0.0.1:9")});
  ASSERT_TRUE(p.waitForStarted(30000));
  QString maps;
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 30000) {
    QFile f(QStringLiteral("/proc/%1/maps").arg(p.processId()));
    if (f.open(QIODevice::ReadOnly)) maps = QString::fromUtf8(f.readAll());
    // Up once the platform plugin is loaded and the dialog's face found.
    if (maps.contains(QStringLiteral("offscreen")) && maps.contains(QStringLiteral("libfontconfig"))) break;
    QThread::msleep(50);
  }
  QThread::msleep(300);
  QFile f(QStringLiteral("/proc/%1/maps").arg(p.processId()));
  if (f.open(QIODevice::ReadOnly)) maps = QString::fromUtf8(f.readAll());
  p.kill();
  p.waitForFinished(10000);
  ASSERT_TRUE(maps.contains(QStringLiteral("libQt6Widgets"))) << "the window never came up";
  EXPECT_FALSE(maps.contains(QStringLiteral("libcurl"))) << maps.toStdString();
  EXPECT_FALSE(maps.contains(QStringLiteral("libssl"))) << maps.toStdString();
  EXPECT_FALSE(maps.contains(QStringLiteral("libsqlite3"))) << maps.toStdString();
}

TEST(App, DisplayDetection) {
  const QByteArray saved[3] = {qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY"), qgetenv("QT_QPA_PLATFORM")};
  const char* names[3] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
  for (const char* n : names) qunsetenv(n);
  EXPECT_FALSE(HasDisplay());
  for (const char* n : names) {
    qputenv(n, "x");
    EXPECT_TRUE(HasDisplay()) << n;
    qunsetenv(n);
  }
  for (int i = 0; i < 3; ++i)
    if (!saved[i].isNull()) qputenv(names[i], saved[i]);
}

int RunCopyLists(const QString& dest) {
  return QProcess::execute(QStringLiteral(NUMIRA_CMAKE), {QStringLiteral("-DSOURCE=" NUMIRA_DATA_DIR),
                                                          QStringLiteral("-DDEST=") + dest,
                                                          QStringLiteral("-P"), QStringLiteral(NUMIRA_COPY_LISTS_SCRIPT)});
}

TEST(App, ListsArePlacedBesideTheProgramOnlyWhenNoneAreThere) {
  QTemporaryDir empty;
  ASSERT_EQ(RunCopyLists(empty.path()), 0);
  for (const ListFileRow& row : kListFiles) EXPECT_TRUE(QFile::exists(empty.filePath(row.fileName))) << row.fileName;

  // One downloaded list is there: nothing is copied and it is not overwritten.
  QTemporaryDir partial;
  QFile own(partial.filePath(QStringLiteral("Lot6Correct.txt")));
  ASSERT_TRUE(own.open(QIODevice::WriteOnly));
  own.write("#downloaded\r\n");
  own.close();
  ASSERT_EQ(RunCopyLists(partial.path()), 0);
  ASSERT_TRUE(own.open(QIODevice::ReadOnly));
  EXPECT_EQ(own.readAll(), QByteArray("#downloaded\r\n"));
  EXPECT_FALSE(QFile::exists(partial.filePath(QStringLiteral("Num3Correct.txt"))));
}

}  // namespace
}  // namespace numira
