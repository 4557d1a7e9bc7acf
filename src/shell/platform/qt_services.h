#pragma once

// The real services of shell/services.h on Qt. The app creates one of each
// after the QApplication and keeps them for the whole run.

#include <QHash>
#include <QString>
#include <filesystem>
#include <optional>
#include <random>

#include "shell/services.h"

class QSoundEffect;

namespace lk {

// The executable's folder; set.dat and rank.dat go to the user's data
// folder (QStandardPaths::AppDataLocation) when that folder is not writable.
class QtProgramFolder : public ProgramFolder {
 public:
  std::filesystem::path programFolder() override;
  std::filesystem::path dataFolder() override;
  // Where the sound files are: the program folder in the build tree,
  // <prefix>/share/luminakey for an installed copy.
  std::filesystem::path soundFolder();

 private:
  std::optional<std::filesystem::path> data_;
};

// QSoundEffect per file, created on its first play and reused. Loading runs
// in the background, so no play() ever waits; a missing file or a missing
// audio device just stays silent.
class QtSoundEffects : public SoundEffects {
 public:
  explicit QtSoundEffects(std::filesystem::path folder);
  ~QtSoundEffects() override;
  QtSoundEffects(const QtSoundEffects&) = delete;
  QtSoundEffects& operator=(const QtSoundEffects&) = delete;

  void play(std::string_view relativePath) override;
  // Starts loading the files now so that their first play is not late.
  void preload(std::initializer_list<std::string_view> relativePaths);

 private:
  QSoundEffect* effect(std::string_view relativePath);

  std::filesystem::path folder_;
  QHash<QString, QSoundEffect*> effects_;
  QSoundEffect* playing_ = nullptr;
};

// QMessageBox over the active screen: OK only and no title, or the one
// Yes/No question with No as the default.
class QtMessageBoxes : public MessageBoxes {
 public:
  void show(std::u16string_view text) override;
  bool askYesNo(std::u16string_view text, std::u16string_view title) override;
};

class QtFileDialogs : public FileDialogs {
 public:
  std::optional<std::filesystem::path> openProblemFile() override;
  std::optional<std::filesystem::path> saveProblemFile() override;
};

class QtClock : public Clock {
 public:
  LocalDateTime now() override;
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

}  // namespace lk
