#include "shell/platform/qt_services.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSoundEffect>
#include <QStandardPaths>
#include <QUrl>
#include <chrono>

#include <unistd.h>

namespace lk {
namespace {

QString toQString(std::u16string_view s) {
  return QString(reinterpret_cast<const QChar*>(s.data()), static_cast<qsizetype>(s.size()));
}

std::filesystem::path toPath(const QString& s) { return std::filesystem::path(s.toStdU16String()); }

QString fromPath(const std::filesystem::path& p) { return QString::fromStdU16String(p.u16string()); }

QWidget* dialogParent() { return QApplication::activeWindow(); }

}  // namespace

// --- program folder -------------------------------------------------------

std::filesystem::path QtProgramFolder::programFolder() { return toPath(QCoreApplication::applicationDirPath()); }

std::filesystem::path QtProgramFolder::dataFolder() {
  if (data_) return *data_;
  const QString dir = QCoreApplication::applicationDirPath();
  // access() answers for this user, including read-only mounts.
  if (::access(QFile::encodeName(dir).constData(), W_OK) == 0) {
    data_ = toPath(dir);
  } else {
    const QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(user);
    data_ = toPath(user);
  }
  return *data_;
}

std::filesystem::path QtProgramFolder::soundFolder() {
  const QString dir = QCoreApplication::applicationDirPath();
  if (QFileInfo::exists(dir + QStringLiteral("/key.wav"))) return toPath(dir);
  const QString shared = QDir::cleanPath(dir + QStringLiteral("/../share/luminakey"));
  if (QFileInfo::exists(shared + QStringLiteral("/key.wav"))) return toPath(shared);
  return toPath(dir);
}

// --- sound effects --------------------------------------------------------

QtSoundEffects::QtSoundEffects(std::filesystem::path folder) : folder_(std::move(folder)) {}

QtSoundEffects::~QtSoundEffects() { qDeleteAll(effects_); }

QSoundEffect* QtSoundEffects::effect(std::string_view relativePath) {
  const QString key = QString::fromUtf8(relativePath.data(), static_cast<qsizetype>(relativePath.size()));
  if (auto it = effects_.constFind(key); it != effects_.cend()) return *it;
  QSoundEffect* e = nullptr;
  const QString file = fromPath(folder_) + QLatin1Char('/') + key;
  if (QFileInfo::exists(file)) {
    e = new QSoundEffect;
    e->setSource(QUrl::fromLocalFile(file));
  }
  // A missing file is remembered as nullptr, so it is looked up only once.
  effects_.insert(key, e);
  return e;
}

void QtSoundEffects::play(std::string_view relativePath) {
  QSoundEffect* e = effect(relativePath);
  if (playing_ && playing_ != e) playing_->stop();
  playing_ = e;
  if (!e) return;
  if (e->isPlaying()) e->stop();
  e->play();  // queued until loaded when loading is still under way
}

void QtSoundEffects::preload(std::initializer_list<std::string_view> relativePaths) {
  for (std::string_view p : relativePaths) effect(p);
}

// --- message boxes --------------------------------------------------------

void QtMessageBoxes::show(std::u16string_view text) {
  QMessageBox box(QMessageBox::NoIcon, QString(), toQString(text), QMessageBox::Ok, dialogParent());
  box.exec();
}

bool QtMessageBoxes::askYesNo(std::u16string_view text, std::u16string_view title) {
  QMessageBox box(QMessageBox::Question, toQString(title), toQString(text), QMessageBox::Yes | QMessageBox::No,
                  dialogParent());
  box.setDefaultButton(QMessageBox::No);
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

// --- file dialogs ---------------------------------------------------------

std::optional<std::filesystem::path> QtFileDialogs::openProblemFile() {
  const QString all = QString::fromUtf8(kAllFilesFilter);
  const QString text = QString::fromUtf8(kTextFilesFilter);
  QString selected = text;
  const QString file =
      QFileDialog::getOpenFileName(dialogParent(), QString(), QString(), all + QStringLiteral(";;") + text, &selected);
  if (file.isEmpty()) return std::nullopt;
  return toPath(file);
}

std::optional<std::filesystem::path> QtFileDialogs::saveProblemFile() {
  // QFileDialog asks before overwriting unless told not to.
  const QString file =
      QFileDialog::getSaveFileName(dialogParent(), QString(), QString(), QString::fromUtf8(kTextFilesFilter));
  if (file.isEmpty()) return std::nullopt;
  return toPath(file);
}

// --- clock and random numbers ---------------------------------------------

LocalDateTime QtClock::now() {
  const QDateTime t = QDateTime::currentDateTime();
  const QDate d = t.date();
  const QTime c = t.time();
  return LocalDateTime{d.year(), d.month(), d.day(), c.hour(), c.minute(), c.second()};
}

QtRandom::QtRandom() { reseed(); }

void QtRandom::reseed() {
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count() ^
                     std::chrono::system_clock::now().time_since_epoch().count();
  engine_.seed(static_cast<std::mt19937::result_type>(ticks ^ (ticks >> 32)));
}

double QtRandom::next() { return unit_(engine_); }

}  // namespace lk
