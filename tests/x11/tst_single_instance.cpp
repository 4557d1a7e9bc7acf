// One running copy per data folder, with real processes: this program run
// as `tst_single_instance --claim <folder>` is a second copy that claims the
// folder, prints how it came out and, when it holds the folder, stays until
// it is killed.

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>
#include <cstdio>
#include <cstring>
#include <signal.h>

#include "shell/platform/single_instance.h"

using lk::SingleInstance;

namespace {

const char* claimName(SingleInstance::Claim claim) {
  switch (claim) {
    case SingleInstance::Claim::first:
      return "first";
    case SingleInstance::Claim::signalled:
      return "signalled";
    case SingleInstance::Claim::unguarded:
      return "unguarded";
  }
  return "?";
}

int runCopy(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  SingleInstance instance(QString::fromLocal8Bit(argv[2]));
  const SingleInstance::Claim claim = instance.claim();
  // As the program does, before the copy says it runs (a test may signal it then).
  if (claim == SingleInstance::Claim::first) instance.releaseOnTermination();
  std::printf("%s\n", claimName(claim));
  std::fflush(stdout);
  if (claim != SingleInstance::Claim::first) return 0;
  QObject::connect(&instance, &SingleInstance::activationRequested, [] {
    std::printf("raised\n");
    std::fflush(stdout);
  });
  return app.exec();
}

// A copy in its own process, started on `folder`.
struct Copy {
  explicit Copy(const QString& folder) : folder(folder) {
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--claim"), folder});
  }
  ~Copy() {
    if (process.state() != QProcess::NotRunning) {
      process.kill();
      process.waitForFinished();
      // A killed copy leaves its socket; the test cleans up after itself.
      QLocalServer::removeServer(SingleInstance::serverName(folder));
    }
  }
  QString nextLine(int ms = 5000) {
    QDeadlineTimer deadline(ms);
    while (!process.canReadLine() && !deadline.hasExpired()) process.waitForReadyRead(50);
    return QString::fromLatin1(process.readLine()).trimmed();
  }
  QString folder;
  QProcess process;
};

// A second copy ends on its own, with status 0, and says how it came out.
QString secondCopy(const QString& folder, SingleInstance* holderToServe = nullptr) {
  Copy copy(folder);
  // The holder lives in this process: its event loop must run to answer.
  QDeadlineTimer deadline(10000);
  while (copy.process.state() != QProcess::NotRunning && !deadline.hasExpired()) {
    if (holderToServe) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    copy.process.waitForFinished(20);
  }
  if (copy.process.state() != QProcess::NotRunning || copy.process.exitStatus() != QProcess::NormalExit ||
      copy.process.exitCode() != 0)
    return QStringLiteral("did not end with status 0");
  return QString::fromLatin1(copy.process.readAllStandardOutput()).trimmed();
}

}  // namespace

class SingleInstanceTest : public QObject {
  Q_OBJECT

 private slots:
  void secondStartSignalsTheFirstAndEnds() {
    QTemporaryDir folder;
    SingleInstance first(folder.path());
    QCOMPARE(first.claim(), SingleInstance::Claim::first);
    QVERIFY(QFile::exists(SingleInstance::lockFilePath(folder.path())));
    QSignalSpy raised(&first, &SingleInstance::activationRequested);

    QCOMPARE(secondCopy(folder.path(), &first), QStringLiteral("signalled"));
    QTRY_COMPARE(raised.count(), 1);
    // Each further start knocks again.
    QCOMPARE(secondCopy(folder.path(), &first), QStringLiteral("signalled"));
    QTRY_COMPARE(raised.count(), 2);
  }

  void theLockOfAKilledCopyIsTakenOver() {
    QTemporaryDir folder;
    {
      Copy killed(folder.path());
      QCOMPARE(killed.nextLine(), QStringLiteral("first"));
      killed.process.kill();  // SIGKILL: no chance to remove the lock or the socket
      QVERIFY(killed.process.waitForFinished());
    }
    QVERIFY(QFile::exists(SingleInstance::lockFilePath(folder.path())));

    SingleInstance next(folder.path());
    QCOMPARE(next.claim(), SingleInstance::Claim::first);
    // The dead copy's socket was replaced: a later start reaches this copy.
    QSignalSpy raised(&next, &SingleInstance::activationRequested);
    QCOMPARE(secondCopy(folder.path(), &next), QStringLiteral("signalled"));
    QTRY_COMPARE(raised.count(), 1);
  }

  // kill, a logout or Ctrl+C: the copy still ends by the signal, but leaves
  // no lock or socket for the next start to take over.
  void aCopyEndedByASignalLeavesNothingBehind() {
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
      QTemporaryDir folder;
      Copy ended(folder.path());
      QCOMPARE(ended.nextLine(), QStringLiteral("first"));
      ::kill(static_cast<pid_t>(ended.process.processId()), sig);
      QVERIFY(ended.process.waitForFinished());
      QCOMPARE(ended.process.exitStatus(), QProcess::CrashExit);
      QVERIFY2(!QFile::exists(SingleInstance::lockFilePath(folder.path())), qPrintable(QString::number(sig)));
      QLocalSocket probe;
      probe.connectToServer(SingleInstance::serverName(folder.path()));
      QVERIFY(!probe.waitForConnected(200));
    }
  }

  void theCopyThatEndsLetsTheNextStartRun() {
    QTemporaryDir folder;
    {
      SingleInstance gone(folder.path());
      QCOMPARE(gone.claim(), SingleInstance::Claim::first);
    }
    QVERIFY(!QFile::exists(SingleInstance::lockFilePath(folder.path())));
    Copy next(folder.path());
    QCOMPARE(next.nextLine(), QStringLiteral("first"));
  }

  void differentDataFoldersDoNotInterfere() {
    QTemporaryDir root;
    const QString near = root.filePath(QStringLiteral("a"));
    // Far longer than a socket path may be: the name must not grow with it.
    const QString leaf(60, QLatin1Char('e'));
    const QString deep = root.filePath(QStringLiteral("x/") + QString(60, QLatin1Char('d')) + QLatin1Char('/') + leaf);
    QVERIFY(QDir().mkpath(near));
    QVERIFY(QDir().mkpath(deep));
    QVERIFY(SingleInstance::serverName(near) != SingleInstance::serverName(deep));
    QVERIFY(SingleInstance::serverName(deep).size() < 100);
    // The same folder by another spelling is the same folder.
    QCOMPARE(SingleInstance::serverName(deep + QStringLiteral("/../") + leaf), SingleInstance::serverName(deep));

    SingleInstance onNear(near);
    QCOMPARE(onNear.claim(), SingleInstance::Claim::first);
    QSignalSpy nearRaised(&onNear, &SingleInstance::activationRequested);
    // A copy on another folder runs as the first there, untouched by this one.
    Copy onDeep(deep);
    QCOMPARE(onDeep.nextLine(), QStringLiteral("first"));
    QCOMPARE(secondCopy(deep), QStringLiteral("signalled"));
    QCOMPARE(onDeep.nextLine(), QStringLiteral("raised"));
    QCoreApplication::processEvents();
    QCOMPARE(nearRaised.count(), 0);
  }

  void bringToFrontRaisesOnlyAShownWindow() {
    QWidget shown;
    shown.show();
    shown.setWindowState(Qt::WindowMinimized);
    lk::bringToFront(&shown);
    QVERIFY(!(shown.windowState() & Qt::WindowMinimized));

    // A screen still loading (its messages up) is not shown early.
    QWidget loading;
    lk::bringToFront(&loading);
    QVERIFY(!loading.isVisible());
    lk::bringToFront(nullptr);
  }
};

int main(int argc, char* argv[]) {
  if (argc == 3 && std::strcmp(argv[1], "--claim") == 0) return runCopy(argc, argv);
  QApplication app(argc, argv);
  SingleInstanceTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "tst_single_instance.moc"
