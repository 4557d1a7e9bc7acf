#include "records/run_record.h"

#include <array>

namespace lk {

namespace {

constexpr std::array<std::string_view, 4> kModeNames = {"word", "char", "music", "course"};

}  // namespace

std::string_view drillModeName(DrillMode mode) { return kModeNames[static_cast<std::size_t>(mode)]; }

bool parseDrillMode(std::string_view name, DrillMode& mode) {
  for (std::size_t i = 0; i < kModeNames.size(); ++i) {
    if (kModeNames[i] == name) {
      mode = static_cast<DrillMode>(i);
      return true;
    }
  }
  return false;
}

std::string describeKeySettings(const KeySettings& settings) {
  std::string out;
  const auto options = keyOptionTable();
  for (std::size_t i = 0; i < options.size(); ++i) {
    const std::u16string& v = settings.keys[i];
    if (v == options[i].token) continue;
    out.append(options[i].field);
    out.push_back('=');
    for (char16_t c : v) out.push_back(static_cast<char>(c));  // variants are ASCII
    out.push_back(' ');
  }
  out += "saidai=" + std::to_string(settings.saidai) + " koukaon=" + std::to_string(settings.koukaon);
  return out;
}

}  // namespace lk
