#include "shell/platform/single_instance.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QSysInfo>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <csignal>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace lk {
namespace {

// A copy that has just taken the lock listens a moment later; a second
// start in that moment keeps knocking instead of opening a second window.
constexpr int kKnockForMs = 2000;
constexpr int kConnectMs = 300;
constexpr int kAnswerMs = 1000;

// sockaddr_un holds 108 bytes; a longer socket path cannot be bound.
constexpr qsizetype kMaxSocketPath = 100;

QString canonicalFolder(const QString& folder) {
  const QString canonical = QDir(folder).canonicalPath();
  return canonical.isEmpty() ? QDir(folder).absolutePath() : canonical;
}

}  // namespace

QString SingleInstance::lockFilePath(const QString& dataFolder) {
  return QDir(dataFolder).filePath(QStringLiteral("luminakey.lock"));
}

QString SingleInstance::serverName(const QString& dataFolder) {
  // The folder's path can be far longer than a socket path may be, so the
  // name is a hash of it; the user id keeps two accounts apart when the
  // socket falls back to the shared temporary folder.
  const QByteArray key = canonicalFolder(dataFolder).toUtf8() + '\0' + QByteArray::number(::getuid());
  const QString name = QStringLiteral("luminakey-") +
                       QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(20));
  // The user's runtime folder is private to the user; Qt puts a bare name
  // in the temporary folder. Without a session's runtime folder Qt would
  // make one up in /tmp and warn on every start, so that case takes the
  // bare name too.
  if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) return name;
  const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (!runtime.isEmpty() && runtime.size() + 1 + name.size() <= kMaxSocketPath)
    return runtime + QLatin1Char('/') + name;
  return name;
}

SingleInstance::SingleInstance(const QString& dataFolder, QObject* parent)
    : QObject(parent), serverName_(serverName(dataFolder)), lock_(lockFilePath(dataFolder)) {
  // The lock is held for the whole run: only a dead holder makes it stale,
  // never its age (where flock does not guard it, e.g. on a network folder).
  lock_.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

namespace {

// A signal handler may only write to a pipe; the event loop reads it. The
// pipe is process-wide because signal dispositions are.
int signalPipe[2] = {-1, -1};

void onTerminationSignal(int sig) {
  const unsigned char byte = static_cast<unsigned char>(sig);
  const ssize_t written = ::write(signalPipe[1], &byte, 1);
  (void)written;
}

}  // namespace

void SingleInstance::releaseOnTermination() {
  if (signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
  connect(notifier, &QSocketNotifier::activated, this, [this] {
    unsigned char sig = 0;
    if (::read(signalPipe[0], &sig, 1) != 1) return;
    release();
    // The program still ends by the signal, as without this handler.
    std::signal(sig, SIG_DFL);
    std::raise(sig);
  });
  struct sigaction action {};
  action.sa_handler = onTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &action, nullptr);
}

void SingleInstance::release() {
  server_.reset();  // closes the socket and removes its file
  if (lock_.isLocked()) lock_.unlock();
}

SingleInstance::Claim SingleInstance::claim() {
  QDeadlineTimer knocking(kKnockForMs);
  for (;;) {
    // A lock whose holder has died is removed and taken here.
    if (lock_.tryLock(0)) {
      // Listening waits for the event loop, off the way to the first screen:
      // a second start in between keeps knocking until the socket is there.
      QTimer::singleShot(0, this, &SingleInstance::listen);
      return Claim::first;
    }
    if (lock_.error() != QLockFile::LockFailedError) return Claim::unguarded;
    qint64 pid = 0;
    QString host, app;
    // Held from another machine (a shared folder): no socket reaches it.
    if (lock_.getLockInfo(&pid, &host, &app) && !host.isEmpty() && host != QSysInfo::machineHostName())
      return Claim::unguarded;
    if (signalHolder()) return Claim::signalled;
    if (knocking.hasExpired()) return Claim::unguarded;
    QThread::msleep(50);
  }
}

bool SingleInstance::signalHolder() {
  QLocalSocket socket;
  socket.connectToServer(serverName_);
  if (!socket.waitForConnected(kConnectMs)) return false;
  // The connection itself is the request; the answer only tells that it was
  // taken before this copy ends. A busy holder still reads it later.
  socket.write("raise\n");
  socket.waitForBytesWritten(kAnswerMs);
  socket.waitForReadyRead(kAnswerMs);
  return true;
}

void SingleInstance::listen() {
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(serverName_)) {
    // A killed copy leaves its socket behind; holding the lock makes it ours.
    // (Qt's private-socket listen usually replaces it already.)
    QLocalServer::removeServer(serverName_);
    server_->listen(serverName_);
  }
  connect(server_.get(), &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* peer = server_->nextPendingConnection()) {
      connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
      peer->write("ok\n");
      peer->flush();
      peer->disconnectFromServer();
      emit activationRequested();
    }
  });
}

void bringToFront(QWidget* window) {
  // A screen still loading (its first-run messages up) is not shown yet and
  // must not be shown early: then only the message comes forward.
  if (window && window->isVisible()) {
    window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->raise();
    window->activateWindow();
  }
  // A message box or the options screen stays over the screen it belongs to.
  if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != window) {
    modal->raise();
    modal->activateWindow();
  }
}

}  // namespace lk
