#include "fakes/fake_services.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <random>

#include <unistd.h>

namespace lk::test {

void FakeMessageBoxes::show(std::u16string_view text) {
  shown.emplace_back(text);
  if (onShow) onShow(text);
}

bool FakeMessageBoxes::askYesNo(std::u16string_view text, std::u16string_view title) {
  asked.push_back({std::u16string(text), std::u16string(title)});
  if (answers.empty()) return false;
  const bool yes = answers.front();
  answers.pop_front();
  return yes;
}

namespace {

std::optional<std::filesystem::path> takeAnswer(std::deque<std::optional<std::filesystem::path>>& script) {
  if (script.empty()) return std::nullopt;
  auto answer = std::move(script.front());
  script.pop_front();
  return answer;
}

}  // namespace

std::optional<std::filesystem::path> FakeFileDialogs::openProblemFile() {
  ++openCalls;
  return takeAnswer(openAnswers);
}

std::optional<std::filesystem::path> FakeFileDialogs::saveProblemFile(const std::filesystem::path& suggested) {
  ++saveCalls;
  saveSuggestions.push_back(suggested);
  return takeAnswer(saveAnswers);
}

FakeProgramFolder::FakeProgramFolder() {
  static std::atomic<int> serial{0};
  std::random_device rd;
  for (;;) {
    root = std::filesystem::temp_directory_path() /
           ("luminakey-test-" + std::to_string(::getpid()) + "-" + std::to_string(serial++) + "-" +
            std::to_string(rd() % 100000));
    std::error_code ec;
    if (std::filesystem::create_directory(root, ec)) break;
  }
}

FakeProgramFolder::~FakeProgramFolder() {
  std::error_code ec;
  std::filesystem::remove_all(root, ec);
}

void FakeProgramFolder::write(const std::string& relative, const std::string& bytes) const {
  const auto path = root / relative;
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string FakeProgramFolder::read(const std::string& relative) const {
  std::ifstream in(root / relative, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FakeProgramFolder::exists(const std::string& relative) const { return std::filesystem::exists(root / relative); }

double FakeRandom::next() {
  if (sequence.empty()) return 0.0;
  if (nextIndex >= sequence.size()) nextIndex = 0;
  return sequence[nextIndex++];
}

}  // namespace lk::test
