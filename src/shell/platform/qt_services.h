#pragma once

// The real services of shell/services.h on Qt. The app creates one of each
// after the QApplication and keeps them for the whole run.

#include <QPointer>
#include <QString>
#include <filesystem>
#include <optional>
#include <random>

#include "shell/services.h"

class QWidget;

namespace lk {

// The executable's folder; set.dat and rank.dat go to the user's data
// folder (QStandardPaths::AppDataLocation) when that folder is not writable
// or the program is an installed copy (its sounds in <prefix>/share).
class QtProgramFolder : public ProgramFolder {
 public:
  // `executableFolder` stands in for the executable's folder (tests); empty
  // means QCoreApplication::applicationDirPath().
  explicit QtProgramFolder(QString executableFolder = {}) : executableFolder_(std::move(executableFolder)) {}

  std::filesystem::path programFolder() override;
  std::filesystem::path dataFolder() override;
  // Where the sound files are: the program folder in the build tree,
  // <prefix>/share/luminakey for an installed copy.
  std::filesystem::path soundFolder();

 private:
  QString executableFolder() const;

  QString executableFolder_;
  std::optional<std::filesystem::path> data_;
};

// Sound effects with a preload, the form the sound module implements.
class PreloadingSoundEffects : public SoundEffects {
 public:
  // Starts loading a file now so that its first play is not late.
  virtual void preload(std::string_view relativePath) = 0;
};

// Entry point of the sound module (the effect player of shell/effect_player.h
// on one audio stream kept open for the run; play() never waits).
using CreateSoundEffectsFn = PreloadingSoundEffects* (*)(const char* folderUtf8);
inline constexpr const char* kCreateSoundEffectsSymbol = "lk_create_sound_effects";

// The sound effects of the program. The audio libraries live in a module
// loaded once per run, on the first preload() or play(), so they cost the
// start-up nothing. Without the module, or without an audio device, every
// sound is silent.
class QtSoundEffects : public SoundEffects {
 public:
  // `folder`: where the WAV files are; `module`: the sound module file.
  QtSoundEffects(std::filesystem::path folder, QString module);
  ~QtSoundEffects() override;
  QtSoundEffects(const QtSoundEffects&) = delete;
  QtSoundEffects& operator=(const QtSoundEffects&) = delete;

  void play(std::string_view relativePath) override;
  void preload(std::initializer_list<std::string_view> relativePaths);

 private:
  PreloadingSoundEffects* player();

  std::filesystem::path folder_;
  QString module_;
  bool tried_ = false;
  PreloadingSoundEffects* player_ = nullptr;
};

// Resolves `symbol` in the module file, loading it once; nullptr when the
// module or the symbol is missing. The module stays loaded until exit.
QFunctionPointer resolveModuleSymbol(const QString& module, const char* symbol);

// Where the dialogs come up: over the program's window (ScreenHost::window()),
// modal to it, and never children of a screen, so leaving a screen cannot
// delete a dialog that is still running. Over a modal window of the
// program (the options) while one is open; alone on the desktop while the
// window is not yet shown (the first start's load messages).
class DialogParent {
 public:
  void setWindow(QWidget* window);

 protected:
  QWidget* dialogParent() const;

 private:
  QPointer<QWidget> window_;
};

// QMessageBox over the program's window: OK only and no title, or the one
// Yes/No question with No as the default.
class QtMessageBoxes : public MessageBoxes, public DialogParent {
 public:
  void show(std::u16string_view text) override;
  bool askYesNo(std::u16string_view text, std::u16string_view title) override;
};

class QtFileDialogs : public FileDialogs, public DialogParent {
 public:
  std::optional<std::filesystem::path> openProblemFile() override;
  std::optional<std::filesystem::path> saveProblemFile(const std::filesystem::path& suggested = {}) override;
  std::optional<std::filesystem::path> saveCsvFile() override;
};

class QtClock : public Clock {
 public:
  LocalDateTime now() override;
  std::int64_t monotonicMs() override;
};

class QtRandom : public Random {
 public:
  QtRandom();
  void reseed() override;
  double next() override;

 private:
  std::mt19937 engine_;
  std::uniform_real_distribution<double> unit_{0.0, 1.0};
};

// Filter strings of the problem-file dialogs.
inline constexpr const char* kAllFilesFilter = "すべてのファイル (*.*)";
inline constexpr const char* kTextFilesFilter = "テキスト ファイル (*.txt)";
// The open dialog's filters as Qt takes them: Qt reads the patterns from the
// last parentheses, so each caption stays as shown and gets its real pattern
// after it, hidden from view. "*.*" would hide files without an extension.
inline constexpr const char* kAllFilesOpenFilter = "すべてのファイル (*.*) (*)";
inline constexpr const char* kTextFilesOpenFilter = "テキスト ファイル (*.txt) (*.txt)";

}  // namespace lk
