// The typing problem editor sakusei_a driven through its widgets: paging,
// save and load through fake dialogs, the refusals, the cancelled save,
// clear, the reading fill and its undo, the status line, and a saved file
// typed through in the word drill.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <memory>

#include "editors/screens/editor_screens.h"
#include "editors/screens/editor_widgets.h"
#include "fakes/fake_reading.h"
#include "practice/screens/practice_screens.h"
#include "practice/screens/t_original.h"
#include "shell/screens/gui_test_support.h"
#include "records/text_file.h"

using lk::ScreenId;
using lk::test::GuiHarness;
using Lines = std::vector<std::u16string>;

class TstTypingEditor : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<GuiHarness> h;
  lk::test::FakeReading reading;

  QLineEdit* box(const QString& name) const { return h->find<QLineEdit>(name); }
  QString text(const QString& name) const { return h->textOf(name); }
  void typeInto(const QString& name, const QString& s) { QVERIFY2(h->commitInto(name, s), qPrintable(name)); }
  // Row `number` as shown (1..100): goes to its page and types both boxes.
  void typeRow(int number, const QString& problem, const QString& yomi) {
    const int page = (number - 1) / 10;
    while (text("p_n").toInt() - 1 < page) QVERIFY(h->click("pagen_b"));
    while (text("p_n").toInt() - 1 > page) QVERIFY(h->click("pager_b"));
    const int p = (number - 1) % 10;
    typeInto(QStringLiteral("q_n_%1").arg(p), problem);
    typeInto(QStringLiteral("q2_n_%1").arg(p), yomi);
  }
  // The next control that Tab moves to.
  static QWidget* nextTabStop(QWidget* w) {
    for (QWidget* n = w->nextInFocusChain(); n && n != w; n = n->nextInFocusChain()) {
      if (n->focusPolicy() & Qt::TabFocus) return n;
    }
    return nullptr;
  }
  std::filesystem::path file(const char* name) const { return h->fakes.folder.root / name; }
  Lines fileLines(const std::filesystem::path& p) const { return lk::readTextFileLines(p).value_or(Lines{}); }

  void openEditor() {
    h->open(ScreenId::sakusei_a);
    QCOMPARE(h->currentId(), ScreenId::sakusei_a);
  }
  // Leaves the editor and comes back through the main menu and the editor choice.
  void reopenEditor() {
    QVERIFY(h->click("re_b"));
    QCOMPARE(h->currentId(), ScreenId::m_menu);
    QVERIFY(h->click("ed_b"));
    QVERIFY(h->click("Command1"));
    QCOMPARE(h->currentId(), ScreenId::sakusei_a);
  }

 private slots:
  void init() {
    h = std::make_unique<GuiHarness>(
        std::initializer_list<GuiHarness::Registration>{lk::registerEditorScreens, lk::registerPracticeScreens});
    reading = {};
    h->fakes.reading = &reading;
    h->rewire();
  }
  void cleanup() { h.reset(); }

  void opensWithItsControlsAndTexts() {
    openEditor();
    QCOMPARE(h->current()->windowTitle(), QStringLiteral("トレーニング問題作成"));
    const std::pair<const char*, const char*> texts[] = {
        {"p_n", "1"}, {"title_n", "<no title>"}, {"Label1", "TITLE:"}, {"pager_b", "←"}, {"pagen_b", "→"},
        {"hurigana_b", "ふりがな入力"}, {"yomikomi_b", "読み込み"}, {"sakusei_b", "作成"}, {"cl_b", "クリア"},
        {"re_b", "戻る"}, {"num_l_0", "1"}, {"num_l_9", "10"},
        {"Label2", "＊上段には問題を、下段にはその読みを入力して下さい。"},
        {"Label3", "＊下段にアルファベットで入力した場合、その文字列は英単語と認識します。(ローマ字変換の対象となりません。)"},
        {"Label4", "＊ダブルクォーテーション「\"」やアスタリスク「*」は使用できません。"},
    };
    for (const auto& [name, expected] : texts) QCOMPARE(text(QString::fromLatin1(name)), QString::fromUtf8(expected));

    // Two columns of five; each reading box directly below its problem box.
    QVERIFY(box("q_n_5")->x() > box("q_n_4")->x());
    QCOMPARE(box("q_n_5")->y(), box("q_n_0")->y());
    QVERIFY(box("q_n_1")->y() > box("q2_n_0")->y());
    QCOMPARE(box("q2_n_3")->x(), box("q_n_3")->x());
    QVERIFY(box("q2_n_3")->y() > box("q_n_3")->y());
    // The input method stays on; focus runs through the problem boxes, then the readings.
    for (int p = 0; p < 10; ++p) {
      QVERIFY(box(QStringLiteral("q_n_%1").arg(p))->testAttribute(Qt::WA_InputMethodEnabled));
      QVERIFY(box(QStringLiteral("q2_n_%1").arg(p))->testAttribute(Qt::WA_InputMethodEnabled));
    }
    for (int p = 0; p < 9; ++p) {
      QCOMPARE(nextTabStop(box(QStringLiteral("q_n_%1").arg(p))), box(QStringLiteral("q_n_%1").arg(p + 1)));
      QCOMPARE(nextTabStop(box(QStringLiteral("q2_n_%1").arg(p))), box(QStringLiteral("q2_n_%1").arg(p + 1)));
    }
    QCOMPARE(nextTabStop(box("q_n_9")), box("q2_n_0"));
  }

  void pagingKeepsRowsAndStopsAtBothEnds() {
    openEditor();
    typeRow(1, QStringLiteral("犬"), QStringLiteral("いぬ"));
    typeRow(10, QStringLiteral("猫"), QStringLiteral("ねこ"));
    QVERIFY(h->click("pager_b"));
    QCOMPARE(text("p_n"), QStringLiteral("1"));
    QCOMPARE(text("q_n_0"), QStringLiteral("犬"));
    QVERIFY(h->click("pagen_b"));
    QCOMPARE(text("p_n"), QStringLiteral("2"));
    QCOMPARE(text("num_l_0"), QStringLiteral("11"));
    QCOMPARE(text("num_l_9"), QStringLiteral("20"));
    QCOMPARE(text("q_n_0"), QString());
    QVERIFY(h->click("pager_b"));
    QCOMPARE(text("q_n_0"), QStringLiteral("犬"));
    QCOMPARE(text("q2_n_0"), QStringLiteral("いぬ"));
    QCOMPARE(text("q_n_9"), QStringLiteral("猫"));

    for (int i = 0; i < 12; ++i) QVERIFY(h->click("pagen_b"));
    QCOMPARE(text("p_n"), QStringLiteral("10"));
    QCOMPARE(text("num_l_9"), QStringLiteral("100"));
    typeInto("q_n_9", QStringLiteral("百"));
    QVERIFY(h->click("pagen_b"));
    QCOMPARE(text("p_n"), QStringLiteral("10"));
    QCOMPARE(text("q_n_9"), QStringLiteral("百"));
  }

  void rowsOneTwoAndFiftyLoadBackAsRowsOneToThree() {
    openEditor();
    typeRow(1, QStringLiteral("りんご"), QStringLiteral("りんご"));
    typeRow(2, QStringLiteral("学校"), QStringLiteral("がっこう"));
    typeRow(50, QStringLiteral("駅"), QStringLiteral("えき"));
    typeInto("title_n", QStringLiteral("三つ"));
    h->fakes.files.saveAnswers.push_back(file("three.txt"));
    QVERIFY(h->click("sakusei_b"));
    QVERIFY(h->fakes.messages.shown.empty());
    QCOMPARE(fileLines(file("three.txt")),
             (Lines{u"\"ntrafile\"", u"3", u"\"三つ\"", u"\"りんご\"", u"\"rinngo\"", u"\"学校\"", u"\"gakkou\"",
                    u"\"駅\"", u"\"eki\""}));
    QCOMPARE(text("q_n_9"), QStringLiteral("駅"));  // the screen still shows what was typed

    reopenEditor();
    QVERIFY(h->click("pagen_b"));
    h->fakes.files.openAnswers.push_back(file("three.txt"));
    QVERIFY(h->click("yomikomi_b"));
    QVERIFY(h->fakes.messages.shown.empty());
    QCOMPARE(text("p_n"), QStringLiteral("1"));
    QCOMPARE(text("num_l_0"), QStringLiteral("1"));
    QCOMPARE(text("title_n"), QStringLiteral("三つ"));
    const char* rows[][2] = {{"りんご", "りんご"}, {"学校", "がっこう"}, {"駅", "えき"}, {"", ""}};
    for (int p = 0; p < 4; ++p) {
      QCOMPARE(text(QStringLiteral("q_n_%1").arg(p)), QString::fromUtf8(rows[p][0]));
      QCOMPARE(text(QStringLiteral("q2_n_%1").arg(p)), QString::fromUtf8(rows[p][1]));
    }
    for (int i = 0; i < 4; ++i) QVERIFY(h->click("pagen_b"));
    QCOMPARE(text("q_n_9"), QString());
  }

  void unfinishedSetIsSavedAsPrentrafileAndRefusedByTheMenu() {
    openEditor();
    typeRow(1, QStringLiteral("駅"), QStringLiteral("えき"));
    typeRow(5, QStringLiteral("机"), QString());
    h->fakes.files.saveAnswers.push_back(file("half.txt"));
    QVERIFY(h->click("sakusei_b"));
    const Lines lines = fileLines(file("half.txt"));
    QVERIFY(!lines.empty());
    QCOMPARE(lines[0], std::u16string(u"\"prentrafile\""));
    QCOMPARE(lines[1], std::u16string(u"2"));

    // The editor loads it back ...
    reopenEditor();
    h->fakes.files.openAnswers.push_back(file("half.txt"));
    QVERIFY(h->click("yomikomi_b"));
    QVERIFY(h->fakes.messages.shown.empty());
    QCOMPARE(text("q_n_1"), QStringLiteral("机"));
    // ... the training menu does not.
    QVERIFY(h->click("re_b"));
    QVERIFY(h->click("tra_b"));
    QCOMPARE(h->currentId(), ScreenId::t_menu);
    h->fakes.files.openAnswers.push_back(file("half.txt"));
    QVERIFY(h->click("ori_b"));
    QCOMPARE(h->fakes.messages.shown, Lines{u"このファイルは作成途中です。"});
  }

  void readingWithAnAsteriskIsRefused() {
    const char* refused[] = {"ほ*し", "＊ほし"};
    for (const char* r : refused) {
      init();
      openEditor();
      typeRow(1, QStringLiteral("星"), QString::fromUtf8(r));
      typeRow(12, QStringLiteral("月*"), QStringLiteral("つき"));  // a text may hold one
      h->fakes.files.saveAnswers.push_back(file("star.txt"));
      QVERIFY(h->click("sakusei_b"));
      QCOMPARE(h->fakes.messages.shown, Lines{u"使用できない文字が含まれています。（1番）"});
      QCOMPARE(h->fakes.files.saveCalls, 0);
      QVERIFY(!std::filesystem::exists(file("star.txt")));
      QVERIFY(h->click("pager_b"));
      QCOMPARE(text("q2_n_0"), QString::fromUtf8(r));
    }
  }

  void untypeableReadingIsRefusedWithItsNumber() {
    openEditor();
    typeRow(1, QStringLiteral("星"), QStringLiteral("ほし"));
    typeRow(14, QStringLiteral("憂鬱"), QStringLiteral("ゆう鬱"));  // a kanji left in the reading
    h->fakes.files.saveAnswers.push_back(file("kanji.txt"));
    QVERIFY(h->click("sakusei_b"));
    QCOMPARE(h->fakes.messages.shown, Lines{u"読みに入力できない文字があります。（14番）"});
    QCOMPARE(h->fakes.files.saveCalls, 0);
    QVERIFY(!std::filesystem::exists(file("kanji.txt")));
  }

  void linuxInputMethodTextIsSavedAsItsCodePage932Form() {
    openEditor();
    // fcitx and ibus type 〜 as U+301C and "vu" as ゔ; full-width letters stay letters.
    typeRow(1, QStringLiteral("神戸〜大阪"), QString::fromUtf16(u"ＫＯＢＥ\u301Cおおさか"));
    typeRow(2, QStringLiteral("ゔぁいおりん"), QStringLiteral("ゔぁいおりん"));
    h->fakes.files.saveAnswers.push_back(file("linux.txt"));
    QVERIFY(h->click("sakusei_b"));
    QVERIFY(h->fakes.messages.shown.empty());
    const Lines lines = fileLines(file("linux.txt"));
    QCOMPARE(lines.size(), std::size_t(7));
    QCOMPARE(lines[3], std::u16string(u"\"神戸～大阪\""));
    QCOMPARE(lines[4], std::u16string(u"\"*k**o**b**e*~oosaka\""));
    QCOMPARE(lines[5], std::u16string(u"\"ヴぁいおりん\""));
    QCOMPARE(lines[6], std::u16string(u"\"vuxaiorinn\""));
  }

  void cancelledSaveGivesTheKanaBack() {
    openEditor();
    typeRow(3, QStringLiteral("日本"), QStringLiteral("にっぽん"));
    typeRow(25, QStringLiteral("近所"), QStringLiteral("きんじょ"));
    QVERIFY(h->click("sakusei_b"));  // no answer scripted: cancelled
    QCOMPARE(h->fakes.files.saveCalls, 1);
    QVERIFY(h->fakes.messages.shown.empty());
    QCOMPARE(h->state.problems.romaji[2], std::u16string(u"にっぽん"));
    QCOMPARE(h->state.problems.romaji[24], std::u16string(u"きんじょ"));
    QVERIFY(h->click("pager_b"));
    QVERIFY(h->click("pager_b"));
    QCOMPARE(text("q2_n_2"), QStringLiteral("にっぽん"));
  }

  void clearOnPageFourShowsAnEmptyPageOne() {
    openEditor();
    typeRow(1, QStringLiteral("一"), QStringLiteral("いち"));
    typeRow(35, QStringLiteral("三十五"), QStringLiteral("さんじゅうご"));
    typeInto("title_n", QStringLiteral("数"));
    QCOMPARE(text("p_n"), QStringLiteral("4"));

    QVERIFY(h->click("cl_b"));  // answered No
    QCOMPARE(h->fakes.messages.asked.size(), std::size_t(1));
    QCOMPARE(h->fakes.messages.asked[0].text, std::u16string(u"本当に消去しますか？"));
    QCOMPARE(h->fakes.messages.asked[0].title, std::u16string(u"問題のクリア"));
    QCOMPARE(text("p_n"), QStringLiteral("4"));
    QCOMPARE(text("q_n_4"), QStringLiteral("三十五"));

    h->fakes.messages.answers.push_back(true);
    QVERIFY(h->click("cl_b"));
    QCOMPARE(text("p_n"), QStringLiteral("1"));
    QCOMPARE(text("title_n"), QStringLiteral("<no title>"));
    for (int p = 0; p < 10; ++p) {
      QCOMPARE(text(QStringLiteral("num_l_%1").arg(p)), QString::number(p + 1));
      QCOMPARE(text(QStringLiteral("q_n_%1").arg(p)), QString());
      QCOMPARE(text(QStringLiteral("q2_n_%1").arg(p)), QString());
    }
    for (int i = 0; i < 3; ++i) QVERIFY(h->click("pagen_b"));
    QCOMPARE(text("q_n_4"), QString());
  }

  void fillReadingsAsksTheLookupForEachRow() {
    reading.set(u"漢字", u"かんじ");
    reading.set(u"学校", u"がっこう");
    openEditor();
    typeRow(1, QStringLiteral("漢字"), QStringLiteral("古い"));
    typeRow(7, QStringLiteral("学校"), QString());
    typeInto("q2_n_3", QStringLiteral("消える"));
    QVERIFY(h->click("hurigana_b"));
    QCOMPARE(text("q2_n_0"), QStringLiteral("かんじ"));
    QCOMPARE(text("q2_n_6"), QStringLiteral("がっこう"));
    QCOMPARE(text("q2_n_3"), QString());
    // Each box takes its own fill back with Ctrl+Z.
    for (auto [name, before] : {std::pair{"q2_n_0", "古い"}, std::pair{"q2_n_3", "消える"}}) {
      box(name)->setFocus();
      QTest::keyClick(box(name), Qt::Key_Z, Qt::ControlModifier);
      QCOMPARE(text(name), QString::fromUtf8(before));
    }
  }

  void statusLineNamesTheFileAndTheSaveDialogOpensOnIt() {
    openEditor();
    auto* notice = h->find<lk::editors::ScreenTimer>(QStringLiteral("noticeTimer"));
    QVERIFY(notice);
    notice->setManual(true);
    QCOMPARE(text("status_l"), QString());
    typeRow(1, QStringLiteral("山"), QStringLiteral("やま"));
    h->fakes.files.saveAnswers.push_back(file("set.txt"));
    QVERIFY(h->click("sakusei_b"));
    QVERIFY(h->fakes.messages.shown.empty());
    QCOMPARE(text("status_l"), QStringLiteral("保存しました"));
    notice->fire();
    QCOMPARE(text("status_l"), QStringLiteral("set.txt"));
    h->fakes.files.saveAnswers.push_back(h->fakes.folder.root / "missing" / "set.txt");
    QVERIFY(h->click("sakusei_b"));  // fails: the message, no notice
    QCOMPARE(h->fakes.messages.shown, Lines{u"問題の保存に失敗しました。"});
    QCOMPARE(text("status_l"), QStringLiteral("set.txt"));
    QCOMPARE(h->fakes.files.saveSuggestions, (std::vector<std::filesystem::path>{{}, file("set.txt")}));

    std::filesystem::copy_file(file("set.txt"), file("copy.txt"));
    h->fakes.files.openAnswers.push_back(file("copy.txt"));
    QVERIFY(h->click("yomikomi_b"));
    QCOMPARE(text("status_l"), QStringLiteral("copy.txt"));
    QVERIFY(h->click("yomikomi_b"));  // cancelled: still the file loaded last
    QCOMPARE(text("status_l"), QStringLiteral("copy.txt"));
  }

  void failedLoadKeepsTheRowsOnEveryPage() {
    openEditor();
    typeRow(1, QStringLiteral("山"), QStringLiteral("やま"));
    typeRow(11, QStringLiteral("川"), QStringLiteral("かわ"));
    h->fakes.folder.write("short.txt", "\"ntrafile\"\r\n4\r\n\"t\"\r\n\"a\"\r\n\"a\"\r\n");
    h->fakes.files.openAnswers.push_back(file("short.txt"));
    QVERIFY(h->click("yomikomi_b"));
    QCOMPARE(h->fakes.messages.shown, Lines{u"問題の読み込みに失敗しました。"});
    QVERIFY(h->click("pager_b"));
    QCOMPARE(text("q_n_0"), QStringLiteral("山"));
    QCOMPARE(text("q2_n_0"), QStringLiteral("やま"));
    QVERIFY(h->click("yomikomi_b"));  // cancelled
    QVERIFY(h->click("pagen_b"));
    QCOMPARE(text("q_n_0"), QStringLiteral("川"));
  }

  // Leaving with work no file has asks first, whichever way the editor is
  // left; No (the default) stays with the work, Yes leaves.
  void leavingWithUnsavedWorkAsksFirst() {
    enum class Way { Back, Quit, Close };
    const std::u16string question = u"保存されていない変更があります。破棄しますか？";
    for (Way way : {Way::Back, Way::Quit, Way::Close}) {
      for (bool yes : {false, true}) {
        init();
        openEditor();
        typeRow(12, QStringLiteral("犬"), QStringLiteral("いぬ"));
        h->fakes.messages.answers = {yes};
        switch (way) {
          case Way::Back: QVERIFY(h->click("re_b")); break;
          case Way::Quit: QVERIFY(h->triggerMenu("end_m")); break;
          case Way::Close: h->current()->close(); GuiHarness::settle(); break;
        }
        QCOMPARE(h->fakes.messages.asked.size(), std::size_t(1));
        QCOMPARE(h->fakes.messages.asked[0].text, question);
        QCOMPARE(h->fakes.messages.asked[0].title, std::u16string(u"ルミナキー"));
        if (!yes) {
          QCOMPARE(h->currentId(), ScreenId::sakusei_a);
          QCOMPARE(h->finishedCount, 0);
          QCOMPARE(text("q_n_1"), QStringLiteral("犬"));
        } else if (way == Way::Back) {
          QCOMPARE(h->currentId(), ScreenId::m_menu);
        } else {
          QCOMPARE(h->finishedCount, 1);
        }
      }
    }
  }

  // Nothing to lose: untouched, saved, loaded or cleared work leaves at once;
  // a changed title alone is work.
  void leavingWithoutUnsavedWorkDoesNotAsk() {
    struct Case {
      const char* name;
      std::function<void()> before;
      bool asks;
    } cases[] = {
        {"untouched", [] {}, false},
        {"typed then saved",
         [this] {
           typeRow(1, QStringLiteral("柿"), QStringLiteral("かき"));
           h->fakes.files.saveAnswers.push_back(file("s.txt"));
           QVERIFY(h->click("sakusei_b"));
         },
         false},
        {"saved then typed again",
         [this] {
           typeRow(1, QStringLiteral("柿"), QStringLiteral("かき"));
           h->fakes.files.saveAnswers.push_back(file("s.txt"));
           QVERIFY(h->click("sakusei_b"));
           typeRow(2, QStringLiteral("梨"), QStringLiteral("なし"));
         },
         true},
        {"save cancelled", [this] { typeRow(1, QStringLiteral("柿"), QStringLiteral("かき")); QVERIFY(h->click("sakusei_b")); },
         true},
        {"typed then cleared",
         [this] {
           typeRow(1, QStringLiteral("柿"), QStringLiteral("かき"));
           h->fakes.messages.answers = {true};
           QVERIFY(h->click("cl_b"));
           h->fakes.messages.asked.clear();
         },
         false},
        {"title only", [this] { typeInto("title_n", QStringLiteral("果物")); }, true},
        {"typed then loaded",
         [this] {
           h->fakes.folder.write("l.txt", "\"ntrafile\"\r\n1\r\n\"t\"\r\n\"kaki\"\r\n\"kaki\"\r\n");
           typeRow(1, QStringLiteral("梨"), QStringLiteral("なし"));
           h->fakes.files.openAnswers.push_back(file("l.txt"));
           QVERIFY(h->click("yomikomi_b"));
         },
         false},
    };
    for (const Case& c : cases) {
      init();
      openEditor();
      c.before();
      QVERIFY2(h->fakes.messages.asked.empty(), c.name);
      QVERIFY(h->click("re_b"));
      QVERIFY2(h->fakes.messages.asked.size() == (c.asks ? 1u : 0u), c.name);
      QVERIFY2((h->currentId() == ScreenId::m_menu) != c.asks, c.name);
    }
  }

  void savedFileIsTypedThroughInTheWordDrill() {
    openEditor();
    typeRow(1, QStringLiteral("柿"), QStringLiteral("かき"));
    typeRow(2, QStringLiteral("パン"), QStringLiteral("パン"));
    typeInto("title_n", QStringLiteral("果物"));
    h->fakes.files.saveAnswers.push_back(file("fruit.txt"));
    QVERIFY(h->click("sakusei_b"));
    QVERIFY(h->fakes.messages.shown.empty());

    QVERIFY(h->click("re_b"));
    QVERIFY(h->click("tra_b"));
    QCOMPARE(h->currentId(), ScreenId::t_menu);
    h->fakes.files.openAnswers.push_back(file("fruit.txt"));
    QVERIFY(h->click("ori_b"));
    QVERIFY(h->fakes.messages.shown.empty());
    QCOMPARE(text("title_l"), QStringLiteral("果物"));
    QCOMPARE(text("mkazu_l"), QStringLiteral("2問"));
    QVERIFY(h->click("orikaisi_b"));
    QCOMPARE(h->currentId(), ScreenId::t_original);
    auto* drill = qobject_cast<lk::WordDrillScreen*>(h->current());
    QVERIFY(drill);
    for (int i = 0; i < 4; ++i) drill->countdownTick();
    // The fake random numbers are all 0: which problem comes first is the drill's
    // business, so type whichever is shown.
    for (int q = 0; q < 2; ++q) {
      const QString shown = text("label_q2");
      h->type(shown == QStringLiteral("柿") ? QStringLiteral("kaki") : QStringLiteral("pann"));
    }
    QCOMPARE(h->state.result.missCount, 0);
    QVERIFY(h->find<QWidget>("kekka_b")->isVisible());
  }
};

QTEST_MAIN(TstTypingEditor)
#include "tst_typing_editor.moc"
