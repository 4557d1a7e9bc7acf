#pragma once

// The problems of the next drill. A menu fills it right before it hands over
// to a drill screen; the word drill rewrites and consumes `romaji` in place.
// The editors use the same arrays as their working set.

#include <string>
#include <vector>

namespace lk {

struct ProblemSet {
  int count = 0;
  std::u16string title;
  std::vector<std::u16string> text;
  std::vector<std::u16string> romaji;   // canonical romaji (editors: kana readings while editing)
  std::vector<std::u16string> reading;  // music: reading with note groups separated by spaces
  std::vector<std::u16string> melody;   // music: melody string of each line
  // The next word drill asks the problems in list order, all of them (up to
  // its 50 markers), instead of drawing saidai at random. The drill clears
  // it when it starts, so a set filled afterwards is drawn at random again.
  bool askInOrder = false;
};

}  // namespace lk
