#include "records/settings_file.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "records/field_reader.h"
#include "records/text_file.h"

namespace lk {

namespace {

struct SettingsRead {
  bool complete = false;  // all 93 lines there: otherwise every field is a default
  bool intact = false;    // complete, and every line decoded
};

// Each line is decoded on its own: a damaged line gives its field the default,
// like a value the field does not allow, and the other fields keep the file's.
SettingsRead readSettingsBytes(KeySettings& settings, std::string_view bytes) {
  settings.setDefaults();
  const std::vector<DecodedLine> lines = decodeLinesCp932(bytes);
  if (lines.size() < static_cast<std::size_t>(kSettingsFileLines)) return {};
  // One field per line: unlike the problem files, a comma is not a separator
  // here, so a damaged line cannot shift the lines after it.
  auto field = [&lines](int i) -> std::optional<std::u16string> {
    const DecodedLine& l = lines[static_cast<std::size_t>(i)];
    if (!l) return std::nullopt;
    return wholeLineField(*l);
  };
  const auto f0 = field(0);
  const auto koukaon = f0 ? parseNumberField(*f0) : std::nullopt;
  if (koukaon && (*koukaon == 0 || *koukaon == 1)) settings.koukaon = static_cast<std::int16_t>(*koukaon);
  const auto f1 = field(1);
  const auto saidai = f1 ? parseNumberField(*f1) : std::nullopt;
  if (saidai && std::find(kSaidaiChoices.begin(), kSaidaiChoices.end(), *saidai) != kSaidaiChoices.end()) {
    settings.saidai = static_cast<std::int16_t>(*saidai);
  }
  const auto table = keyOptionTable();
  for (int row = 0; row < kKeySettingCount; ++row) {
    // set() refuses a variant the row does not offer, which leaves the default.
    if (const auto v = field(2 + row)) settings.set(table[static_cast<std::size_t>(row)].field, *v);
  }
  bool intact = true;
  for (int i = 0; i < kSettingsFileLines; ++i) intact = intact && lines[static_cast<std::size_t>(i)].has_value();
  return {true, intact};
}

// Under the file's lock: read what is on disk now, let `apply` put this
// copy's fields over it, write the result into `written`.
SettingsFileResult saveOver(const std::filesystem::path& file, KeySettings& written,
                            const std::function<void(KeySettings& onDisk, bool diskRead)>& apply) {
  const SettingsFileResult failed{false, std::u16string(kMsgSettingsSaveFailed)};
  FileLock lock(file);
  KeySettings result;
  bool diskRead = false;
  std::error_code ec;
  if (std::filesystem::exists(file, ec)) {
    if (isSpecialFile(file)) return failed;
    const std::optional<std::string> bytes = readFileBytes(file);
    if (!bytes) return failed;
    const SettingsRead disk = readSettingsBytes(result, *bytes);
    if (!disk.intact) {
      // A link is the user's own arrangement: not written through to
      // something that does not read as settings.
      if (isSymbolicLink(file)) return failed;
      if (!bytes->empty() && !keepBrokenCopy(file, *bytes)) return failed;
    }
    diskRead = disk.complete;
  }
  apply(result, diskRead);
  if (!writeTextFileLines(file, settingsFileLines(result))) return failed;
  written = result;
  return {};
}

}  // namespace

SettingsFileResult loadSettings(KeySettings& settings, const std::filesystem::path& file) {
  const std::optional<std::string> bytes = readFileBytes(file);
  settings.setDefaults();
  if (!bytes || !readSettingsBytes(settings, *bytes).complete) {
    return SettingsFileResult{false, std::u16string(kMsgSettingsLoadFailed)};
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
  KeySettings written;
  return saveOver(file, written, [&settings](KeySettings& onDisk, bool) { onDisk = settings; });
}

SettingsFileResult saveSettingsChanges(KeySettings& settings, KeySettings& onFile, const std::filesystem::path& file) {
  const SettingsFileResult r = saveOver(file, settings, [&](KeySettings& onDisk, bool diskRead) {
    if (!diskRead) {
      onDisk = settings;
      return;
    }
    if (settings.koukaon != onFile.koukaon) onDisk.koukaon = settings.koukaon;
    if (settings.saidai != onFile.saidai) onDisk.saidai = settings.saidai;
    for (std::size_t row = 0; row < settings.keys.size(); ++row) {
      if (settings.keys[row] != onFile.keys[row]) onDisk.keys[row] = settings.keys[row];
    }
  });
  if (r.ok) onFile = settings;
  return r;
}

}  // namespace lk
