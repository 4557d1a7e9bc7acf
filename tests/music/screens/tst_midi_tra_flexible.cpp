// The music drill screen under the flexible judgement: the same song typed
// with two different spellings sends the same notes, and with no miss.

#include <QLabel>
#include <QtTest>
#include <memory>
#include <vector>

#include "fakes/fake_midi.h"
#include "music/screens/music_screens.h"
#include "shell/screens/gui_test_support.h"

using lk::ScreenId;
using lk::test::FakeMidi;
using lk::test::GuiHarness;

namespace {

// The song of m2_b, spelt as the default key settings expect and in Hepburn
// with x/l small kana and single n.
const char* const kKunrei[] = {
    "arupusuitimannzyaku", "koyarinouede", "arupennodoriwosaaodorimasyo",
    "rannrararararara",    "rannrararararara", "rannrararararararararararara",
};
const char* const kHepburn[] = {
    "arupusuichimanjaku", "koyarinouede", "arupennodoriwosaaodorimasho",
    "ranrararararara",    "ranrararararara", "ranrararararararararararara",
};

}  // namespace

class TstMidiTraFlexible : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<GuiHarness> h;
  FakeMidi midi;

  QString text(const char* name) const {
    auto* l = h->find<QLabel>(QString::fromLatin1(name));
    return l ? l->text() : QStringLiteral("<missing>");
  }

  std::vector<std::uint8_t> playThrough(const char* const (&lines)[6]) {
    h = std::make_unique<GuiHarness>(std::initializer_list<GuiHarness::Registration>{lk::registerMusicScreens});
    midi = FakeMidi{};
    h->fakes.midi = &midi;
    h->rewire();
    h->state.options.flexibleRomaji = true;
    h->open(ScreenId::midi_menu);
    if (!h->click(QStringLiteral("m2_b"))) return {};
    for (const char* line : lines) h->type(QString::fromLatin1(line));
    if (text("label_q4") != QStringLiteral("クリア！") || h->state.result.missCount != 0) return {};
    return midi.bytes();
  }

 private slots:
  void cleanup() { h.reset(); }

  void twoSpellingsSendTheSameNotes() {
    const auto kunrei = playThrough(kKunrei);
    QVERIFY(!kunrei.empty());
    const auto hepburn = playThrough(kHepburn);
    QVERIFY(!hepburn.empty());
    QCOMPARE(hepburn, kunrei);
  }

  void theLowerLineShowsTheGuide() {
    h = std::make_unique<GuiHarness>(std::initializer_list<GuiHarness::Registration>{lk::registerMusicScreens});
    midi = FakeMidi{};
    h->fakes.midi = &midi;
    h->rewire();
    h->state.options.flexibleRomaji = true;
    h->state.settings.set("ti", u"chi");
    h->open(ScreenId::midi_menu);
    QVERIFY(h->click(QStringLiteral("m2_b")));
    QCOMPARE(text("label_q"), QStringLiteral("arupusuichimannzyaku"));
    h->type(QStringLiteral("arupusuit"));
    QCOMPARE(text("label_q"), QStringLiteral("imannzyaku"));
    QCOMPARE(h->state.result.missCount, 0);
  }
};

QTEST_MAIN(TstMidiTraFlexible)
#include "tst_midi_tra_flexible.moc"
