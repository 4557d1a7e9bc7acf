#pragma once

// A "picture button" drawn in code: a rounded, shaded plate with its caption
// ([初 級], Return, Ranking …) painted on it. It takes the keyboard focus
// like any button (the drill screens turn that off for all their buttons).
// The accessible name is the caption.

#include <QColor>
#include <QPushButton>

namespace lk {

class PictureButton : public QPushButton {
  Q_OBJECT

 public:
  enum class Look {
    Plate,  // a coloured plate with the caption
    Back,   // the back button: a left arrow before the caption
  };

  PictureButton(const QString& caption, QWidget* parent = nullptr, Look look = Look::Plate);

  // Base colour of the plate (the default is a calm blue; Back is grey-green).
  void setColor(const QColor& color);
  QColor color() const { return color_; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Look look_;
  QColor color_;
};

// Creates the back button `re_b` ("Return" unless a caption is given).
PictureButton* makeBackButton(QWidget* parent, const QString& caption = QStringLiteral("Return"));

}  // namespace lk
