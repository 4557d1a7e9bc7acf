#pragma once

// One running copy per data folder. The first copy holds a lock file in the
// data folder and listens on a local socket named after that folder; a
// second start finds the lock, asks the first copy to come to the front and
// ends before it reads a single file. Two copies on one folder would each
// save their own stale ranking and settings over the other's.

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QWidget;

namespace lk {

class SingleInstance : public QObject {
  Q_OBJECT

 public:
  enum class Claim {
    // This is the copy for the folder: the lock is held, and the socket
    // listens once the event loop runs.
    first,
    // Another copy runs on the folder and was asked to come to the front.
    signalled,
    // Another copy holds the lock but did not answer (another user, another
    // machine on a shared folder, a hung copy), or the folder cannot hold a
    // lock: this copy runs too, unguarded.
    unguarded,
  };

  explicit SingleInstance(const QString& dataFolder, QObject* parent = nullptr);
  ~SingleInstance() override;

  // Takes the folder or signals its holder. Call once, before any file of
  // the folder is read.
  Claim claim();

  // SIGTERM, SIGINT and SIGHUP (a logout, `kill`, Ctrl+C in a terminal)
  // give up the lock and the socket before the program ends by the signal
  // as it would have, so the next start does not have to take over a stale
  // lock. Call once, after a successful claim().
  void releaseOnTermination();

  // Gives up the lock and the socket; later starts run as the first copy.
  void release();

  // The lock file and the socket name of a data folder.
  static QString lockFilePath(const QString& dataFolder);
  static QString serverName(const QString& dataFolder);

 signals:
  // A second start on the folder asked this copy to come to the front.
  void activationRequested();

 private:
  bool signalHolder();
  void listen();

  QString serverName_;
  QLockFile lock_;
  std::unique_ptr<QLocalServer> server_;
};

// Brings `window` (when shown) to the front, unminimized and activated,
// and over it the modal window that is open, if any.
void bringToFront(QWidget* window);

}  // namespace lk
