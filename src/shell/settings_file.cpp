#include "shell/settings_file.h"

#include <algorithm>

#include "shell/field_reader.h"
#include "shell/text_file.h"

namespace lk {

SettingsFileResult loadSettings(KeySettings& settings, const std::filesystem::path& file) {
  settings.setDefaults();
  auto failed = [&settings]() {
    settings.setDefaults();
    return SettingsFileResult{false, std::u16string(kMsgSettingsLoadFailed)};
  };
  auto lines = readTextFileLines(file);
  if (!lines || lines->size() < static_cast<std::size_t>(kSettingsFileLines)) return failed();
  // One field per line: unlike the problem files, a comma is not a separator
  // here, so a damaged line cannot shift the lines after it.
  std::vector<std::u16string> fields;
  fields.reserve(kSettingsFileLines);
  for (int i = 0; i < kSettingsFileLines; ++i) fields.push_back(wholeLineField((*lines)[static_cast<std::size_t>(i)]));

  const auto koukaon = parseNumberField(fields[0]);
  if (koukaon && (*koukaon == 0 || *koukaon == 1)) settings.koukaon = static_cast<std::int16_t>(*koukaon);
  const auto saidai = parseNumberField(fields[1]);
  if (saidai && std::find(kSaidaiChoices.begin(), kSaidaiChoices.end(), *saidai) != kSaidaiChoices.end()) {
    settings.saidai = static_cast<std::int16_t>(*saidai);
  }
  const auto table = keyOptionTable();
  for (int row = 0; row < kKeySettingCount; ++row) {
    // set() refuses a variant the row does not offer, which leaves the default.
    settings.set(table[static_cast<std::size_t>(row)].field, fields[static_cast<std::size_t>(2 + row)]);
  }
  return {};
}

std::vector<std::u16string> settingsFileLines(const KeySettings& settings) {
  std::vector<std::u16string> lines;
  lines.reserve(kSettingsFileLines);
  lines.push_back(spacedNumberField(settings.koukaon));
  lines.push_back(spacedNumberField(settings.saidai));
  for (int row = 0; row < kKeySettingCount; ++row) lines.push_back(settings.variant(row));
  return lines;
}

SettingsFileResult saveSettings(const KeySettings& settings, const std::filesystem::path& file) {
  if (!writeTextFileLines(file, settingsFileLines(settings))) {
    return {false, std::u16string(kMsgSettingsSaveFailed)};
  }
  return {};
}

}  // namespace lk
