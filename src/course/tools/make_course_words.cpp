// Build step: the course's word list from the IPADIC dictionary sources.
// make_course_words OUT DICT.csv... writes the most common words to OUT.
#include <cstdio>
#include <fstream>

#include "course/word_list.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_course_words OUT DICT.csv...\n");
    return 2;
  }
  lk::WordListBuilder builder;
  for (int i = 2; i < argc; ++i) {
    if (!builder.addEucJpFile(argv[i])) {
      std::fprintf(stderr, "%s: cannot read as EUC-JP\n", argv[i]);
      return 1;
    }
  }
  const auto words = builder.take(lk::kCourseWordCount);
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out << lk::formatWordList(words);
  if (!out.flush()) {
    std::fprintf(stderr, "%s: cannot write\n", argv[1]);
    return 1;
  }
  std::printf("%zu course words\n", words.size());
  return 0;
}
