// The desktop program: one QApplication, one AppState, the real services,
// every subsystem's screens, and the start screen. The program ends when
// the last screen closes.

#include <QApplication>

#include "app/font_warmup.h"
#include "editors/platform/mecab_lookup.h"
#include "app/lazy_midi_output.h"
#include "shell/app_state.h"
#include "shell/platform/qt_services.h"
#include "shell/platform/single_instance.h"
#include "shell/screens/program_look.h"
#include "shell/screens/screen.h"
#include "shell/screens/screen_host.h"
#include "shell/screens/shell_screens.h"

// --- screen registrations of the other subsystems (one include each) ---
#include "editors/screens/editor_screens.h"
#include "music/screens/music_screens.h"
#include "practice/screens/practice_screens.h"
#include "progress/screens/progress_screens.h"
// --- end of screen registrations ---

int main(int argc, char* argv[]) {
  const std::jthread fonts = lk::warmUpFonts();
  // The common menu stays inside each screen; asking the desktop for a
  // global menu bar costs a D-Bus round trip at the first screen.
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
  QApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("luminakey"));
  // The host decides when the program ends: a hand-over closes the last
  // visible screen for a moment, which must not quit.
  QApplication::setQuitOnLastWindowClosed(false);
  lk::applyJapaneseFont();
  lk::applyProgramLook(app);

  // Sound and MIDI libraries are modules loaded on first use.
  const QString modules = QCoreApplication::applicationDirPath() + QStringLiteral("/" LK_MODULE_DIR "/");
  lk::QtProgramFolder folder;
  // A second start on the same data folder brings the open window to the
  // front and ends here, before it reads a file or shows a message.
  lk::SingleInstance instance(QString::fromStdU16String(folder.dataFolder().u16string()));
  const lk::SingleInstance::Claim claim = instance.claim();
  if (claim == lk::SingleInstance::Claim::signalled) return 0;
  if (claim == lk::SingleInstance::Claim::first) instance.releaseOnTermination();
  lk::QtSoundEffects sound(folder.soundFolder(), modules + QStringLiteral("libluminakey_sound.so"));
  lk::QtMessageBoxes messages;
  lk::QtFileDialogs files;
  lk::QtClock clock;
  lk::QtRandom random;

  lk::AppState state;
  state.services.sound = &sound;
  state.services.messages = &messages;
  state.services.files = &files;
  state.services.folder = &folder;
  state.services.clock = &clock;
  state.services.random = &random;
  // --- MIDI output and reading lookup: created here, both load lazily ---
  // The synthesizer (and its SoundFont) loads on the first music drill, not here.
  lk::LazyMidiOutput midi(modules + QStringLiteral("libluminakey_midi.so"));
  state.services.midi = &midi;
  // The reading dictionary opens on the first ふりがな lookup.
  lk::MecabLookup reading;
  state.services.reading = &reading;
  // --- end of MIDI output and reading lookup ---

  lk::ScreenRegistry registry;
  lk::registerShellScreens(registry);
  // --- register the other subsystems' screens here ---
  lk::registerEditorScreens(registry);
  lk::registerMusicScreens(registry);
  lk::registerPracticeScreens(registry);
  lk::registerProgressScreens(registry);
  // --- end of screen registrations ---

  lk::ScreenHost host(state, registry);
  messages.setWindow(host.window());
  files.setWindow(host.window());
  QObject::connect(&host, &lk::ScreenHost::finished, &app, &QCoreApplication::quit, Qt::QueuedConnection);
  // Sound effects load when the first drill opens, not at start-up: the
  // countdown hides the loading and the start screen stays light.
  QObject::connect(&host, &lk::ScreenHost::screenShown, &app, [&sound](lk::Screen* screen) {
    if (qobject_cast<lk::DrillScreen*>(screen))
      sound.preload({"music/key.wav", "music/miss.wav", "music/clear.wav", "key.wav", "miss.wav"});
  });

  QObject::connect(&instance, &lk::SingleInstance::activationRequested, &host, [&host] {
    if (lk::Screen* screen = host.current()) lk::bringToFront(screen->window());
  });

  host.open(lk::ScreenId::start);
  if (!host.running()) return 0;
  return app.exec();
}
