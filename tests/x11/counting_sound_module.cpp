// A stand-in for the sound module that counts what the program asks of it,
// so a test can see how often the module is set up in one run.

#include "shell/platform/qt_services.h"

namespace {

int creations = 0;
int plays = 0;
int preloads = 0;

class CountingEffects : public lk::PreloadingSoundEffects {
 public:
  void play(std::string_view) override { ++plays; }
  void preload(std::string_view) override { ++preloads; }
};

}  // namespace

extern "C" Q_DECL_EXPORT lk::PreloadingSoundEffects* lk_create_sound_effects(const char*) {
  ++creations;
  return new CountingEffects;
}

extern "C" Q_DECL_EXPORT void lk_test_sound_module_counts(int* created, int* played, int* preloaded) {
  *created = creations;
  *played = plays;
  *preloaded = preloads;
}
