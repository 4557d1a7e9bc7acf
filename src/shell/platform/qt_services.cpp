#include "shell/platform/qt_services.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibrary>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <chrono>

#include <unistd.h>

namespace lk {
namespace {

QString toQString(std::u16string_view s) {
  return QString(reinterpret_cast<const QChar*>(s.data()), static_cast<qsizetype>(s.size()));
}

std::filesystem::path toPath(const QString& s) { return std::filesystem::path(s.toStdU16String()); }

QString fromPath(const std::filesystem::path& p) { return QString::fromStdU16String(p.u16string()); }

// Without a window set: the active window, else the window on top.
QWidget* windowOnTop() {
  if (QWidget* active = QApplication::activeWindow()) return active;
  const QWidgetList windows = QApplication::topLevelWidgets();
  for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
    QWidget* w = *it;
    if (w->isVisible() && w->isWindow() && !w->isModal() && w->windowType() != Qt::ToolTip &&
        w->windowType() != Qt::Popup)
      return w;
  }
  return nullptr;
}

}  // namespace

// --- dialog parent ----------------------------------------------------------

void DialogParent::setWindow(QWidget* window) { window_ = window; }

QWidget* DialogParent::dialogParent() const {
  if (!window_) return windowOnTop();
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return window_->isVisible() ? window_.data() : nullptr;
}

// --- program folder -------------------------------------------------------

QString QtProgramFolder::executableFolder() const {
  return executableFolder_.isEmpty() ? QCoreApplication::applicationDirPath() : executableFolder_;
}

std::filesystem::path QtProgramFolder::programFolder() { return toPath(executableFolder()); }

std::filesystem::path QtProgramFolder::dataFolder() {
  if (data_) return *data_;
  const QString dir = executableFolder();
  // An installed copy (sounds in share/, not beside the program) keeps its
  // files in the user's folder even when it could write to bin/ (root).
  // access() answers for this user, including read-only mounts.
  const bool installed = soundFolder() != toPath(dir);
  if (!installed && ::access(QFile::encodeName(dir).constData(), W_OK) == 0) {
    data_ = toPath(dir);
  } else {
    const QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(user);
    data_ = toPath(user);
  }
  return *data_;
}

std::filesystem::path QtProgramFolder::soundFolder() {
  const QString dir = executableFolder();
  if (QFileInfo::exists(dir + QStringLiteral("/key.wav"))) return toPath(dir);
  const QString shared = QDir::cleanPath(dir + QStringLiteral("/../share/luminakey"));
  if (QFileInfo::exists(shared + QStringLiteral("/key.wav"))) return toPath(shared);
  return toPath(dir);
}

// --- modules and sound effects ------------------------------------------

QFunctionPointer resolveModuleSymbol(const QString& module, const char* symbol) {
  if (!QFileInfo::exists(module)) return nullptr;
  auto* library = new QLibrary(module);  // kept loaded for the whole run
  library->setLoadHints(QLibrary::ResolveAllSymbolsHint);
  QFunctionPointer f = library->resolve(symbol);
  if (!f) delete library;
  return f;
}

QtSoundEffects::QtSoundEffects(std::filesystem::path folder, QString module)
    : folder_(std::move(folder)), module_(std::move(module)) {}

QtSoundEffects::~QtSoundEffects() { delete player_; }

PreloadingSoundEffects* QtSoundEffects::player() {
  if (!tried_) {
    tried_ = true;
    if (auto create = reinterpret_cast<CreateSoundEffectsFn>(resolveModuleSymbol(module_, kCreateSoundEffectsSymbol)))
      player_ = create(fromPath(folder_).toUtf8().constData());
  }
  return player_;
}

void QtSoundEffects::play(std::string_view relativePath) {
  if (PreloadingSoundEffects* p = player()) p->play(relativePath);
}

void QtSoundEffects::preload(std::initializer_list<std::string_view> relativePaths) {
  if (PreloadingSoundEffects* p = player())
    for (std::string_view path : relativePaths) p->preload(path);
}

// --- message boxes --------------------------------------------------------

void QtMessageBoxes::show(std::u16string_view text) {
  // Without a title the window manager would show the binary's name.
  QMessageBox box(QMessageBox::NoIcon, toQString(kProgramName), toQString(text), QMessageBox::Ok, dialogParent());
  box.exec();
}

bool QtMessageBoxes::askYesNo(std::u16string_view text, std::u16string_view title) {
  QMessageBox box(QMessageBox::Question, toQString(title.empty() ? kProgramName : title), toQString(text),
                  QMessageBox::Yes | QMessageBox::No,
                  dialogParent());
  box.setDefaultButton(QMessageBox::No);
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

// --- file dialogs ---------------------------------------------------------

std::optional<std::filesystem::path> QtFileDialogs::openProblemFile() {
  const QString all = QString::fromUtf8(kAllFilesOpenFilter);
  const QString text = QString::fromUtf8(kTextFilesOpenFilter);
  QString selected = text;
  const QString file = QFileDialog::getOpenFileName(dialogParent(), QString(), QString(), all + QStringLiteral(";;") + text,
                                                    &selected, QFileDialog::HideNameFilterDetails);
  if (file.isEmpty()) return std::nullopt;
  return toPath(file);
}

std::optional<std::filesystem::path> QtFileDialogs::saveProblemFile(const std::filesystem::path& suggested) {
  // QFileDialog asks before overwriting unless told not to.
  const QString start = suggested.empty() ? QString() : QString::fromStdU16String(suggested.u16string());
  const QString file =
      QFileDialog::getSaveFileName(dialogParent(), QString(), start, QString::fromUtf8(kTextFilesFilter));
  if (file.isEmpty()) return std::nullopt;
  return toPath(file);
}

std::optional<std::filesystem::path> QtFileDialogs::saveCsvFile() {
  QString file = QFileDialog::getSaveFileName(dialogParent(), QString(), QStringLiteral("luminakey.csv"),
                                              QStringLiteral("CSV ファイル (*.csv)"));
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

std::int64_t QtClock::monotonicMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

QtRandom::QtRandom() { reseed(); }

void QtRandom::reseed() {
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count() ^
                     std::chrono::system_clock::now().time_since_epoch().count();
  engine_.seed(static_cast<std::mt19937::result_type>(ticks ^ (ticks >> 32)));
}

double QtRandom::next() { return unit_(engine_); }

}  // namespace lk
