#include "shell/screens/options_store.h"

#include <QSettings>
#include <QString>

namespace lk {

namespace {

QString iniPath(const std::filesystem::path& folder) {
  return QString::fromStdString((folder / kOptionsFileName).string());
}

}  // namespace

AppOptions loadOptions(const std::filesystem::path& folder) {
  AppOptions o;
  QSettings ini(iniPath(folder), QSettings::IniFormat);
  o.flexibleRomaji = ini.value(QStringLiteral("drill/flexibleRomaji"), o.flexibleRomaji).toBool();
  o.keyboardGuide = ini.value(QStringLiteral("drill/keyboardGuide"), o.keyboardGuide).toBool();
  o.missCue = ini.value(QStringLiteral("drill/missCue"), o.missCue).toBool();
  o.ghost = ini.value(QStringLiteral("drill/ghost"), o.ghost).toBool();
  const QString layout = ini.value(QStringLiteral("keyboard/layout")).toString();
  if (layout == QStringLiteral("us")) o.layout = KeyboardLayout::Us;
  return o;
}

bool saveOptions(const AppOptions& o, const std::filesystem::path& folder) {
  QSettings ini(iniPath(folder), QSettings::IniFormat);
  ini.setValue(QStringLiteral("drill/flexibleRomaji"), o.flexibleRomaji);
  ini.setValue(QStringLiteral("drill/keyboardGuide"), o.keyboardGuide);
  ini.setValue(QStringLiteral("drill/missCue"), o.missCue);
  ini.setValue(QStringLiteral("drill/ghost"), o.ghost);
  ini.setValue(QStringLiteral("keyboard/layout"),
               o.layout == KeyboardLayout::Us ? QStringLiteral("us") : QStringLiteral("jis"));
  ini.sync();
  return ini.status() == QSettings::NoError;
}

}  // namespace lk
