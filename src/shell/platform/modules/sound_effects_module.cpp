// The sound module: QSoundEffect playback, loaded by QtSoundEffects on the
// first sound so that Qt Multimedia never slows the start-up.

#include <QFileInfo>
#include <QHash>
#include <QSoundEffect>
#include <QUrl>

#include "shell/platform/qt_services.h"

namespace lk {
namespace {

class SoundEffectPlayer : public PreloadingSoundEffects {
 public:
  explicit SoundEffectPlayer(QString folder) : folder_(std::move(folder)) {}
  ~SoundEffectPlayer() override { qDeleteAll(effects_); }

  void play(std::string_view relativePath) override {
    QSoundEffect* e = effect(relativePath);
    // A new sound replaces the one playing.
    if (playing_ && playing_ != e) playing_->stop();
    playing_ = e;
    if (!e) return;
    if (e->isPlaying()) e->stop();
    e->play();  // while the file is still loading, Qt starts it once loaded
  }

  void preload(std::string_view relativePath) override { effect(relativePath); }

 private:
  QSoundEffect* effect(std::string_view relativePath) {
    const QString key = QString::fromUtf8(relativePath.data(), static_cast<qsizetype>(relativePath.size()));
    if (auto it = effects_.constFind(key); it != effects_.cend()) return *it;
    QSoundEffect* e = nullptr;
    const QString file = folder_ + QLatin1Char('/') + key;
    if (QFileInfo::exists(file)) {
      e = new QSoundEffect;
      e->setSource(QUrl::fromLocalFile(file));
    }
    // A missing file is remembered as nullptr and looked up only once.
    effects_.insert(key, e);
    return e;
  }

  QString folder_;
  QHash<QString, QSoundEffect*> effects_;
  QSoundEffect* playing_ = nullptr;
};

}  // namespace
}  // namespace lk

extern "C" Q_DECL_EXPORT lk::PreloadingSoundEffects* lk_create_sound_effects(const char* folderUtf8) {
  return new lk::SoundEffectPlayer(QString::fromUtf8(folderUtf8));
}
