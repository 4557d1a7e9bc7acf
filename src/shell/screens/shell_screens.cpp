#include "shell/screens/shell_screens.h"

#include <QApplication>

#include "shell/screens/screen_host.h"
#include "shell/screens/menu_screens.h"
#include "shell/screens/options_screen.h"
#include "shell/screens/settings_screens.h"
#include "shell/screens/version_screen.h"

namespace lk {

void registerShellScreens(ScreenRegistry& registry) {
  registry.add<StartScreen>(ScreenId::start);
  registry.add<MainMenuScreen>(ScreenId::m_menu);
  registry.add<EditorChoiceScreen>(ScreenId::ed_select);
  registry.add<SetteiScreen>(ScreenId::settei);
  registry.add<Settei2Screen>(ScreenId::settei2);
  registry.add<VersionScreen>(ScreenId::ver);
  registry.add<OptionsScreen>(ScreenId::options);
}

void applyJapaneseFont() {
  // Families in order of preference; fontconfig takes the first installed
  // one without the cost of listing every font at start-up.
  QFont font = QApplication::font();
  font.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP"),
                    QStringLiteral("VL Gothic"), QStringLiteral("TakaoGothic")});
  font.setPointSize(10);
  QApplication::setFont(font);
}

}  // namespace lk
