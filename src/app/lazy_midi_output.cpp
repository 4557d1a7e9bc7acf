#include "app/lazy_midi_output.h"

#include "shell/platform/qt_services.h"

namespace lk {

MidiOutput* LazyMidiOutput::output() {
  if (!tried_) {
    tried_ = true;
    if (auto create = reinterpret_cast<CreateMidiOutputFn>(resolveModuleSymbol(module_, kCreateMidiOutputSymbol)))
      output_.reset(create());
  }
  return output_.get();
}

}  // namespace lk
