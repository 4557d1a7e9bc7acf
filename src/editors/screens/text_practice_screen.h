#pragma once

// "テキスト練習": a pasted or opened text becomes questions with readings
// (editors/text_practice.h), to type at once in an ordered word drill or to
// save as a typing problem file. The reading runs on a worker thread with
// the lookup, so a long text never freezes the screen; the lookup is used by
// that one worker only while it runs.

#include <atomic>
#include <memory>
#include <vector>

#include "editors/text_practice.h"
#include "shell/screens/screen.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QThread;

namespace lk {

class TextPracticeScreen : public Screen {
  Q_OBJECT

 public:
  explicit TextPracticeScreen(ScreenHost& host);
  ~TextPracticeScreen() override;
  void load() override;

  // True while the worker reads the text.
  bool reading() const { return worker_ != nullptr; }
  const std::vector<TextQuestion>& questions() const { return questions_; }

 protected:
  void unload() override;

 private:
  void openFile();
  void startReading();
  void readingDone();
  void showQuestions();
  void markRow(int row);
  void readingEdited(int row, int column);
  void removeRow();
  // The title box, or the start of the text when it is empty.
  std::u16string title() const;
  // False (after the message, with the row selected) when a question blocks.
  bool checkQuestions();
  void start();
  void save();
  void stopWorker();

  struct Job {
    std::atomic<bool> cancel{false};
    std::u16string text;
    std::vector<TextQuestion> questions;
  };

  QPlainTextEdit* honbun_n_ = nullptr;
  QPushButton* yomi_b_ = nullptr;
  QProgressBar* shinkou_p_ = nullptr;
  QTableWidget* mondai_l_ = nullptr;
  QLineEdit* title_n_ = nullptr;
  QLabel* status_l_ = nullptr;
  QThread* worker_ = nullptr;
  std::shared_ptr<Job> job_;
  std::vector<TextQuestion> questions_;
  std::u16string readText_;  // the text the questions came from
  bool filling_ = false;     // the table is being filled, not edited
};

}  // namespace lk
