// The yardstick of bench_startup: the smallest Qt Widgets program with a
// Japanese text, built with the same flags and font choice as luminakey.

#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QFont font = QApplication::font();
  font.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("IPAPGothic")});
  font.setPointSize(10);
  QApplication::setFont(font);
  QLabel label(QStringLiteral("ルミナキー　ローマ字タイピング"));
  label.setWindowTitle(QStringLiteral("bare_window"));
  label.resize(560, 400);
  label.show();
  return app.exec();
}
