// The Qt implementations of the platform services: folders, the sound and
// MIDI modules, the message boxes and the file dialogs.

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <fstream>

#include "app/lazy_midi_output.h"
#include "shell/platform/qt_services.h"

using lk::QtProgramFolder;

namespace {

// Runs `inspect` on the modal dialog once it is up, then closes it with `finish`.
template <class Dialog>
void whenModal(std::function<void(Dialog*)> inspect, std::function<void(Dialog*)> finish, bool* seen) {
  QTimer::singleShot(0, [=] {
    auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    if (!d) {
      whenModal<Dialog>(inspect, finish, seen);  // not shown yet: look again
      return;
    }
    *seen = true;
    inspect(d);
    finish(d);
  });
}

void touch(const QString& file) {
  QDir().mkpath(QFileInfo(file).path());
  std::ofstream(file.toStdString()) << "RIFF";
}

}  // namespace

class QtServicesTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QCoreApplication::setApplicationName(QStringLiteral("luminakey"));
    QStandardPaths::setTestModeEnabled(true);
  }

  void dataFolderIsTheProgramFolderWhenWritable() {
    QTemporaryDir dir;
    QtProgramFolder folder(dir.path());
    QCOMPARE(QString::fromStdString(folder.dataFolder().string()), dir.path());
    QCOMPARE(QString::fromStdString(folder.programFolder().string()), dir.path());
  }

  // An installed copy cannot write beside itself: set.dat goes to the user's data folder.
  void dataFolderFallsBackToTheUserFolder() {
    QtProgramFolder folder(QStringLiteral("/nonexistent/luminakey/bin"));
    const QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QCOMPARE(QString::fromStdString(folder.dataFolder().string()), user);
    QVERIFY(QFileInfo(user).isDir());
    QVERIFY(QFileInfo(user).isWritable());
  }

  void soundFolderFindsTheInstalledSounds() {
    QTemporaryDir prefix;
    QDir().mkpath(prefix.path() + "/bin");
    touch(prefix.path() + "/share/luminakey/key.wav");
    QtProgramFolder installed(prefix.path() + "/bin");
    QCOMPARE(QString::fromStdString(installed.soundFolder().string()), prefix.path() + "/share/luminakey");
    // Even a writable bin/ (root) does not receive set.dat in an installed copy.
    QCOMPARE(QString::fromStdString(installed.dataFolder().string()),
             QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));

    QtProgramFolder buildTree(QStringLiteral(LK_PROGRAM_DIR));
    QCOMPARE(QString::fromStdString(buildTree.soundFolder().string()), QStringLiteral(LK_PROGRAM_DIR));
  }

  void buildPutsTheSoundFilesInTheProgramFolder() {
    for (const char* f : {"music/key.wav", "music/miss.wav", "music/clear.wav", "key.wav", "miss.wav"}) {
      QFile file(QStringLiteral(LK_PROGRAM_DIR "/") + QString::fromLatin1(f));
      QVERIFY2(file.open(QIODevice::ReadOnly), f);
      const QByteArray head = file.read(12);
      QVERIFY2(head.startsWith("RIFF") && head.endsWith("WAVE"), f);
      QVERIFY2(file.size() > 1000, f);
    }
  }

  // Playing never fails: real files, a missing file, and a missing module.
  void soundEffectsPlayOrStaySilent() {
    QVERIFY(lk::resolveModuleSymbol(QStringLiteral(LK_SOUND_MODULE), lk::kCreateSoundEffectsSymbol));
    lk::QtSoundEffects sound(LK_PROGRAM_DIR, QStringLiteral(LK_SOUND_MODULE));
    sound.preload({"music/key.wav", "music/miss.wav"});
    sound.play("music/key.wav");
    sound.play("music/key.wav");  // the same file again, reused
    sound.play("no/such.wav");
    sound.play("music/miss.wav");
    QTest::qWait(50);

    lk::QtSoundEffects noModule(LK_PROGRAM_DIR, QStringLiteral("/nonexistent/libluminakey_sound.so"));
    noModule.preload({"key.wav"});
    noModule.play("key.wav");
  }

  // However often the drills preload and play, the module is loaded and its
  // player created once in a run; each call still reaches that one player.
  void soundModuleLoadsOncePerRun() {
    const QString module = QStringLiteral(LK_COUNTING_SOUND_MODULE);
    {
      lk::QtSoundEffects sound(LK_PROGRAM_DIR, module);
      sound.play("key.wav");
      sound.preload({"key.wav", "miss.wav"});
      sound.preload({"music/key.wav"});
      sound.play("miss.wav");
      sound.play("key.wav");
    }
    auto counts = reinterpret_cast<void (*)(int*, int*, int*)>(
        lk::resolveModuleSymbol(module, "lk_test_sound_module_counts"));
    QVERIFY(counts);
    int created = 0, played = 0, preloaded = 0;
    counts(&created, &played, &preloaded);
    QCOMPARE(created, 1);
    QCOMPARE(played, 3);
    QCOMPARE(preloaded, 3);
  }

  void midiWithoutItsModuleHasNoDevice() {
    lk::LazyMidiOutput midi(QStringLiteral("/nonexistent/libluminakey_midi.so"));
    QCOMPARE(midi.deviceCount(), 0);
    midi.open();
    midi.send(lk::ShortMessage{0x90, 60, 127});
    midi.reset();
    midi.close();
#ifdef LK_MIDI_MODULE
    QVERIFY(lk::resolveModuleSymbol(QStringLiteral(LK_MIDI_MODULE), lk::kCreateMidiOutputSymbol));
#endif
  }

  // Titled with the program's name: left empty, the window manager shows the binary's.
  void messageBoxHasOnlyOkAndTheProgramsName() {
    bool seen = false;
    whenModal<QMessageBox>(
        [](QMessageBox* box) {
          QCOMPARE(box->text(), QStringLiteral("ランキングの保存に失敗しました。"));
          QCOMPARE(box->windowTitle(), QStringLiteral("ルミナキー"));
          QCOMPARE(box->buttons().size(), 1);
          QCOMPARE(box->standardButton(box->buttons()[0]), QMessageBox::Ok);
        },
        [](QMessageBox* box) { box->button(QMessageBox::Ok)->click(); }, &seen);
    lk::QtMessageBoxes().show(u"ランキングの保存に失敗しました。");
    QVERIFY(seen);
  }

  void questionDefaultsToNo() {
    lk::QtMessageBoxes boxes;
    bool seen = false;
    whenModal<QMessageBox>(
        [](QMessageBox* box) {
          QCOMPARE(box->windowTitle(), QStringLiteral("問題のクリア"));
          QCOMPARE(box->text(), QStringLiteral("本当に消去しますか？"));
          QCOMPARE(box->defaultButton(), box->button(QMessageBox::No));
        },
        [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); }, &seen);
    QCOMPARE(boxes.askYesNo(u"本当に消去しますか？", u"問題のクリア"), false);  // Enter takes the default
    QVERIFY(seen);

    seen = false;
    whenModal<QMessageBox>([](QMessageBox*) {}, [](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); },
                           &seen);
    QCOMPARE(boxes.askYesNo(u"本当に消去しますか？", u"問題のクリア"), true);
  }

  void openDialogOffersBothFiltersWithTextFilesSelected() {
    QTemporaryDir dir;
    touch(dir.path() + "/mondai.txt");
    bool seen = false;
    whenModal<QFileDialog>(
        [](QFileDialog* d) {
          // What the user sees: the two captions, text files chosen.
          auto* types = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
          QVERIFY(types);
          QStringList shown;
          for (int i = 0; i < types->count(); ++i) shown << types->itemText(i);
          QCOMPARE(shown, QStringList({QStringLiteral("すべてのファイル (*.*)"), QStringLiteral("テキスト ファイル (*.txt)")}));
          QCOMPARE(types->currentText(), QStringLiteral("テキスト ファイル (*.txt)"));
          QCOMPARE(d->acceptMode(), QFileDialog::AcceptOpen);
          // What the filters let through: "all files" really means all, also
          // files without an extension, which Qt's "*.*" would hide.
          auto* model = d->findChild<QFileSystemModel*>();
          QVERIFY(model);
          QCOMPARE(model->nameFilters(), QStringList({QStringLiteral("*.txt")}));
          d->selectNameFilter(d->nameFilters().at(0));
          QCOMPARE(model->nameFilters(), QStringList({QStringLiteral("*")}));
        },
        [](QFileDialog* d) { d->reject(); }, &seen);
    QVERIFY(!lk::QtFileDialogs().openProblemFile());  // cancelled: nothing
    QVERIFY(seen);

    seen = false;
    const QString chosen = dir.path() + "/mondai.txt";
    whenModal<QFileDialog>([](QFileDialog*) {}, [chosen](QFileDialog* d) {
      d->selectFile(chosen);
      static_cast<QDialog*>(d)->accept();
    }, &seen);
    const auto path = lk::QtFileDialogs().openProblemFile();
    QVERIFY(path);
    QCOMPARE(QString::fromStdString(path->string()), chosen);
  }

  void saveDialogOffersTextFilesAndConfirmsOverwriting() {
    bool seen = false;
    whenModal<QFileDialog>(
        [](QFileDialog* d) {
          QCOMPARE(d->nameFilters(), QStringList({QStringLiteral("テキスト ファイル (*.txt)")}));
          QCOMPARE(d->acceptMode(), QFileDialog::AcceptSave);
          QVERIFY(!d->testOption(QFileDialog::DontConfirmOverwrite));
        },
        [](QFileDialog* d) { d->reject(); }, &seen);
    QVERIFY(!lk::QtFileDialogs().saveProblemFile());
    QVERIFY(seen);
  }

  void clockAndRandom() {
    lk::QtClock clock;
    const lk::LocalDateTime t = clock.now();
    const QDate today = QDate::currentDate();
    QVERIFY(t.year == today.year() || t.year == today.addDays(-1).year());
    QVERIFY(t.month >= 1 && t.month <= 12 && t.hour >= 0 && t.hour < 24);

    lk::QtRandom random;
    double lo = 1, hi = 0;
    for (int i = 0; i < 2000; ++i) {
      const double v = random.next();
      QVERIFY(v >= 0.0 && v < 1.0);
      lo = std::min(lo, v);
      hi = std::max(hi, v);
    }
    QVERIFY(lo < 0.01 && hi > 0.99);  // spread over the whole range
  }
};

QTEST_MAIN(QtServicesTest)
#include "tst_qt_services.moc"
