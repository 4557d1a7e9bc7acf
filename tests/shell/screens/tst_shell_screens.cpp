// The shell's screens with fake services: start-up, the walk through the
// main menu and both settings pages, the copying rules of the pages, the
// editor choice, the version screen and the end of the program.

#include <QComboBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "engine/key_settings.h"
#include "engine/text.h"
#include "fakes/test_data.h"
#include "shell/screens/gui_test_support.h"
#include "shell/screens/program_look.h"
#include "records/settings_file.h"

using lk::ScreenId;
using lk::test::GuiHarness;

namespace {

QString q(std::u16string_view s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

// set.dat as written from the given settings (CR LF lines, as saved).
std::string settingsBytes(const lk::KeySettings& s) {
  std::string out;
  for (const auto& line : lk::settingsFileLines(s)) out += lk::toUtf8(line) + "\r\n";
  return out;
}

// A run that has already passed the start screen, on m_menu.
struct Started : GuiHarness {
  Started() {
    fakes.folder.write("set.dat", settingsBytes(lk::KeySettings()));
    open(ScreenId::start);
    fakes.messages.shown.clear();
    click("start_b");
  }
  QComboBox* list(const char* name) const { return find<QComboBox>(QString::fromLatin1(name)); }
};

}  // namespace

class ShellScreensTest : public QObject {
  Q_OBJECT

 private slots:
  void firstStartShowsBothLoadMessagesBeforeTheStartScreen() {
    GuiHarness h;
    QStringList order;
    h.fakes.messages.onShow = [&](std::u16string_view text) {
      // The start screen may not be visible yet while a message is up.
      order << q(text) + (h.current() && h.current()->isVisible() ? QStringLiteral(" (visible)") : QString());
    };
    h.state.settings.set("si", u"shi");
    h.state.settings.koukaon = 1;
    h.open(ScreenId::start);
    QCOMPARE(order, QStringList({QStringLiteral("設定の読み込みに失敗しました。設定はすべて初期化されます。"),
                                 QStringLiteral("ランキングの読み込みに失敗しました。")}));
    QCOMPARE(h.currentId(), ScreenId::start);
    QVERIFY(h.current()->isVisible());
    QCOMPARE(h.current()->windowTitle(), QStringLiteral("スタート画面"));
    QVERIFY(h.state.settings == lk::KeySettings());  // defaults, sound on
  }

  // The walk start → m_menu → settei → settei2 → 変 更 → m_menu, with
  // captions and the position carried at every step.
  void walkThroughTheSettingsAndStore() {
    GuiHarness h;
    h.open(ScreenId::start);
    const struct {
      const char* button;
      ScreenId to;
      const char* caption;
    } steps[] = {
        {"start_b", ScreenId::m_menu, "メニュー"},  {"set_b", ScreenId::settei, "セッティング"},
        {"next_b", ScreenId::settei2, "セッティング"}, {"set_b", ScreenId::m_menu, "メニュー"},
    };
    int x = 40;
    for (const auto& step : steps) {
      h.window()->move(x, x / 2);
      const QPoint left = h.window()->pos();
      QVERIFY2(h.click(QString::fromLatin1(step.button)), step.button);
      QCOMPARE(h.currentId(), step.to);
      QCOMPARE(h.current()->windowTitle(), QString::fromUtf8(step.caption));
      QCOMPARE(h.window()->pos(), left);
      QCOMPARE(h.state.position.left, float(left.x()));
      QCOMPARE(h.state.position.top, float(left.y()));
      x += 37;
    }
    QCOMPARE(h.fakes.folder.read("set.dat"), settingsBytes(lk::KeySettings()));
  }

  void pagesShowTheCurrentSettings() {
    Started h;
    h.state.settings.setDefaults();
    h.state.settings.set("ku", u"qu");
    h.state.settings.saidai = 50;
    h.state.settings.koukaon = 1;
    QVERIFY(h.click("set_b"));
    QCOMPARE(h.list("ku_c")->currentText(), QStringLiteral("qu"));
    QCOMPARE(h.list("ka_c")->currentText(), QStringLiteral("ka"));
    QCOMPARE(h.list("saidai_c")->currentText(), QStringLiteral("50"));
    QVERIFY(h.find<QRadioButton>("se_o_1")->isChecked());
    QVERIFY(!h.find<QRadioButton>("se_o_0")->isChecked());
    // Every list offers exactly its row's variants, in order.
    for (const lk::KeyOption& o : lk::keyOptionTable()) {
      const int row = lk::keyOptionIndex(o.field);
      if (row >= lk::kFirstPageKeySettingCount) continue;
      QComboBox* c = h.list((std::string(o.field) + "_c").c_str());
      QVERIFY2(c, o.field.data());
      QCOMPARE(c->count(), o.variantCount);
      for (int i = 0; i < o.variantCount; ++i) QCOMPARE(c->itemText(i), q(o.variants[i]));
    }
    QCOMPARE(h.list("saidai_c")->count(), 5);

    // にぇ lists "nye" first, yet the default "nixe" is what is selected.
    QVERIFY(h.click("next_b"));
    QComboBox* nye = h.list("nye_c");
    QCOMPARE(nye->itemText(0), QStringLiteral("nye"));
    QCOMPARE(nye->currentText(), QStringLiteral("nixe"));
    int lists = 0;
    for (auto* c : h.current()->findChildren<QComboBox*>()) lists += c->objectName().endsWith("_c") ? 1 : 0;
    QCOMPARE(lists, lk::kKeySettingCount - lk::kFirstPageKeySettingCount);
  }

  // The copying rules: what reaches KeySettings and set.dat, per way of leaving.
  void turningThePageCopiesButReturnDoesNotSave() {
    Started h;
    QVERIFY(h.click("set_b"));
    h.list("si_c")->setCurrentText(QStringLiteral("shi"));
    h.list("saidai_c")->setCurrentText(QStringLiteral("10"));
    QVERIFY(h.click("next_b"));
    QCOMPARE(h.state.settings.variant("si"), std::u16string(u"shi"));
    QCOMPARE(h.state.settings.saidai, 10);
    h.list("fa_c")->setCurrentText(QStringLiteral("fa"));
    QVERIFY(h.click("re_b"));
    QCOMPARE(h.currentId(), ScreenId::m_menu);
    QCOMPARE(h.state.settings.variant("si"), std::u16string(u"shi"));  // in force for drills
    QCOMPARE(h.state.settings.variant("fa"), std::u16string(u"huxa"));  // page 2 change dropped
    QCOMPARE(h.fakes.folder.read("set.dat"), settingsBytes(lk::KeySettings()));  // file untouched
  }

  void returnAtOnceDropsThePageChanges() {
    Started h;
    QVERIFY(h.click("set_b"));
    h.list("ka_c")->setCurrentText(QStringLiteral("ca"));
    h.list("saidai_c")->setCurrentText(QStringLiteral("40"));
    QVERIFY(h.click("re_b"));
    QVERIFY(h.state.settings == lk::KeySettings());
    // And the next visit shows the values in force, not the dropped ones.
    QVERIFY(h.click("set_b"));
    QCOMPARE(h.list("ka_c")->currentText(), QStringLiteral("ka"));
  }

  void soundSwitchTakesEffectAtOnceAndIsNotSaved() {
    Started h;
    QVERIFY(h.click("set_b"));
    QVERIFY(h.click("se_o_1"));
    QCOMPARE(h.state.settings.koukaon, 1);
    QVERIFY(h.click("re_b"));
    QCOMPARE(h.state.settings.koukaon, 1);
    const std::string saved = h.fakes.folder.read("set.dat");
    QCOMPARE(saved, settingsBytes(lk::KeySettings()));

    // After a restart the stored value applies again.
    GuiHarness again;
    again.fakes.folder.write("set.dat", saved);
    again.open(ScreenId::start);
    QCOMPARE(again.state.settings.koukaon, 0);
  }

  void storeOnEitherPageWritesBothPages() {
    Started h;
    QVERIFY(h.click("set_b"));
    h.list("tu_c")->setCurrentText(QStringLiteral("tsu"));
    QVERIFY(h.click("next_b"));
    h.list("je_c")->setCurrentText(QStringLiteral("je"));
    QVERIFY(h.click("prv_b"));
    QCOMPARE(h.list("tu_c")->currentText(), QStringLiteral("tsu"));
    h.list("x_c")->setCurrentText(QStringLiteral("l"));
    QVERIFY(h.click("set_b"));
    QCOMPARE(h.currentId(), ScreenId::m_menu);

    lk::KeySettings expected;
    expected.set("tu", u"tsu");
    expected.set("je", u"je");
    expected.set("x", u"l");
    QVERIFY(h.state.settings == expected);
    QCOMPARE(h.fakes.folder.read("set.dat"), settingsBytes(expected));

    // A second start reads the stored settings back, with no settings message.
    GuiHarness again;
    again.fakes.folder.write("set.dat", h.fakes.folder.read("set.dat"));
    again.open(ScreenId::start);
    QVERIFY(again.state.settings == expected);
    QCOMPARE(again.fakes.messages.shown, std::vector<std::u16string>{std::u16string(lk::kRankingLoadFailed)});
  }

  void readOnlyProgramFolderStartsFromItsFilesAndSavesToTheDataFolder() {
    GuiHarness h;
    lk::KeySettings shipped;
    shipped.set("si", u"shi");
    shipped.saidai = 10;
    h.fakes.folder.write("set.dat", settingsBytes(shipped));
    h.fakes.folder.write("rank.dat", lk::test::readBytes(lk::test::dataPath("records/data/rank_golden.dat")));
    h.fakes.folder.data = h.fakes.folder.root / "user";  // the data folder holds nothing yet
    std::filesystem::create_directories(*h.fakes.folder.data);
    h.open(ScreenId::start);
    QVERIFY(h.fakes.messages.shown.empty());  // "reset" would be untrue: the program's files were read
    QVERIFY(h.state.settings == shipped);
    QVERIFY(h.state.ranking.entries[0].sokudo.has_value());

    QVERIFY(h.click("start_b"));
    QVERIFY(h.click("set_b"));
    QVERIFY(h.click("set_b"));  // 変 更
    QCOMPARE(h.currentId(), ScreenId::m_menu);
    QCOMPARE(h.fakes.folder.read("user/set.dat"), settingsBytes(shipped));
    QCOMPARE(h.fakes.folder.read("set.dat"), settingsBytes(shipped));

    // Once the data folder has its own copy, that one counts.
    h.fakes.folder.write("user/set.dat", settingsBytes(lk::KeySettings()));
    GuiHarness again;
    again.fakes.folder.write("set.dat", settingsBytes(shipped));
    again.fakes.folder.data = again.fakes.folder.root / "user";
    again.fakes.folder.write("user/set.dat", settingsBytes(lk::KeySettings()));
    again.open(ScreenId::start);
    QVERIFY(again.state.settings == lk::KeySettings());
  }

  void failedStoreKeepsThePageOpenAndTheValuesInMemory() {
    Started h;
    h.fakes.folder.data = h.fakes.folder.root / "missing" / "folder";
    QVERIFY(h.click("set_b"));
    h.list("hu_c")->setCurrentText(QStringLiteral("fu"));
    QVERIFY(h.click("set_b"));
    QCOMPARE(h.currentId(), ScreenId::settei);
    QCOMPARE(h.fakes.messages.shown,
             std::vector<std::u16string>{std::u16string(lk::kMsgSettingsSaveFailed)});
    QCOMPARE(h.state.settings.variant("hu"), std::u16string(u"fu"));
    // Pressing again retries; with the folder back it succeeds.
    h.fakes.folder.data.reset();
    QVERIFY(h.click("set_b"));
    QCOMPARE(h.currentId(), ScreenId::m_menu);
  }

  void storeKeepsWhatAnotherCopySavedMeanwhile() {
    Started h;
    // Another copy of the program saves saidai 50 while this one is running.
    lk::KeySettings other;
    other.saidai = 50;
    h.fakes.folder.write("set.dat", settingsBytes(other));
    QVERIFY(h.click("set_b"));
    h.list("hu_c")->setCurrentText(QStringLiteral("fu"));
    QVERIFY(h.click("set_b"));
    QCOMPARE(h.currentId(), ScreenId::m_menu);
    lk::KeySettings both = other;
    both.set("hu", u"fu");
    QCOMPARE(h.fakes.folder.read("set.dat"), settingsBytes(both));
    QVERIFY(h.state.settings == both);
  }

  void startRemovesOldSaveTemporaries() {
    GuiHarness h;
    const auto now = std::filesystem::file_time_type::clock::now();
    h.fakes.folder.write(".rank.dat.tmpAb12Cd", "left by a kill");
    std::filesystem::last_write_time(h.fakes.folder.root / ".rank.dat.tmpAb12Cd", now - std::chrono::minutes(5));
    h.fakes.folder.write(".set.dat.tmpXy34Ef", "a save in progress");
    h.open(ScreenId::start);
    QVERIFY(!h.fakes.folder.exists(".rank.dat.tmpAb12Cd"));
    QVERIFY(h.fakes.folder.exists(".set.dat.tmpXy34Ef"));
  }

  void editorChoiceLeavesThePositionAlone_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("target");
    QTest::newRow("untouched → typing editor") << QString() << "Command1" << int(ScreenId::sakusei_a);
    QTest::newRow("Music → music editor") << "edselect_o_1" << "Command1" << int(ScreenId::sakuseib);
    QTest::newRow("Music then Training") << "edselect_o_1,edselect_o_0" << "Command1" << int(ScreenId::sakusei_a);
    QTest::newRow("戻る → main menu") << "edselect_o_1" << "Command2" << int(ScreenId::m_menu);
  }

  void editorChoiceLeavesThePositionAlone() {
    QFETCH(QString, option);
    QFETCH(QString, button);
    QFETCH(int, target);
    Started h;
    h.window()->move(210, 120);
    const QPoint menuPlace = h.window()->pos();
    QVERIFY(h.click("ed_b"));
    QCOMPARE(h.currentId(), ScreenId::ed_select);
    QCOMPARE(h.current()->windowTitle(), QStringLiteral("作成選択"));
    QVERIFY(h.find<QRadioButton>("edselect_o_0")->isChecked());
    h.window()->move(500, 400);
    for (const QString& o : option.split(',', Qt::SkipEmptyParts)) QVERIFY(h.click(o));
    QVERIFY(h.click(button));
    QCOMPARE(int(h.currentId()), target);
    QCOMPARE(h.window()->pos(), menuPlace);
    QCOMPARE(h.state.position.left, float(menuPlace.x()));
  }

  void mainMenuLeadsToEveryBranch_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("target");
    QTest::newRow("tra_b") << "tra_b" << int(ScreenId::t_menu);
    QTest::newRow("midimenu_b") << "midimenu_b" << int(ScreenId::midi_menu);
    QTest::newRow("set_b") << "set_b" << int(ScreenId::settei);
    QTest::newRow("ed_b") << "ed_b" << int(ScreenId::ed_select);
  }

  void mainMenuLeadsToEveryBranch() {
    QFETCH(QString, button);
    QFETCH(int, target);
    Started h;
    QCOMPARE(h.find<QLabel>("menu_l")->text(), QStringLiteral("M E N U"));
    QCOMPARE(h.find<QWidget>(button)->accessibleName().isEmpty(), false);
    QVERIFY(h.click(button));
    QCOMPARE(int(h.currentId()), target);
  }

  void versionScreenOnceAndQuitEndsTheProgram() {
    Started h;
    QVERIFY(h.triggerMenu("ver_m"));
    QVERIFY(h.triggerMenu("ver_m"));
    int versions = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) versions += (w->objectName() == "ver" && w->isVisible());
    QCOMPARE(versions, 1);
    QVERIFY(h.version()->findChild<QMenuBar*>() == nullptr || h.version()->findChild<QMenuBar*>()->actions().isEmpty());
    QTest::mouseClick(h.version()->findChild<QPushButton*>("close_b"), Qt::LeftButton);
    h.settle();
    QVERIFY(!h.version());
    QCOMPARE(h.finishedCount, 0);
    QVERIFY(h.triggerMenu("end_m"));
    QCOMPARE(h.finishedCount, 1);
  }

  // Runs last: the translation stays installed. Every window carries the
  // program's icon, and Qt's own buttons and dialogs speak Japanese.
  void programLookGivesIconAndJapaneseQtTexts() {
    QVERIFY(lk::applyProgramLook(*qApp));
    GuiHarness h;
    h.open(ScreenId::start);
    QTRY_VERIFY(!h.current()->windowIcon().isNull());
    const QIcon icon = h.current()->windowIcon();
    QVERIFY(icon.availableSizes().contains(QSize(32, 32)));
    QVERIFY(!icon.pixmap(48, 48).isNull());

    QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Yes | QMessageBox::No);
    QVERIFY(!box.windowIcon().isNull());
    // "はい(&Y)": the translation keeps a mnemonic.
    QVERIFY2(box.button(QMessageBox::Yes)->text().startsWith(QStringLiteral("はい")),
             qPrintable(box.button(QMessageBox::Yes)->text()));
    QVERIFY(box.button(QMessageBox::No)->text().startsWith(QStringLiteral("いいえ")));

    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QStringList texts;
    for (QPushButton* b : dialog.findChildren<QPushButton*>()) texts << b->text();
    QVERIFY2(texts.contains(QStringLiteral("キャンセル")), qPrintable(texts.join(QStringLiteral(", "))));
  }
};

QTEST_MAIN(ShellScreensTest)
#include "tst_shell_screens.moc"
