#pragma once

// Options beyond the key settings. They live in luminakey.ini beside set.dat
// so that set.dat keeps its fixed 93 lines; the defaults are the behaviour a
// program without these options would have.

namespace lk {

enum class KeyboardLayout { Jis, Us };

struct AppOptions {
  // false: the drills expect exactly the key settings' spelling;
  // true: any spelling an input method accepts is a hit.
  bool flexibleRomaji = false;
  // On-screen keyboard under the word and one-character drills.
  bool keyboardGuide = false;
  // Layout of the keyboard guide and of the analysis screen's keyboard.
  KeyboardLayout layout = KeyboardLayout::Jis;
  // A miss flashes the next expected key in the word drill.
  bool missCue = true;

  bool operator==(const AppOptions&) const = default;
};

}  // namespace lk
