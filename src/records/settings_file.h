#pragma once

// set.dat: the sound switch, the question limit and the 91 key settings, one
// per line (93 lines). Operations return the message to show; they never show it.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "engine/key_settings.h"

namespace lk {

inline constexpr int kSettingsFileLines = 2 + kKeySettingCount;
inline constexpr std::u16string_view kMsgSettingsLoadFailed = u"設定の読み込みに失敗しました。設定はすべて初期化されます。";
inline constexpr std::u16string_view kMsgSettingsSaveFailed =
    u"設定の保存に失敗しました。現在の設定はアプリケーションを終了させると失われます。";

struct SettingsFileResult {
  bool ok = true;
  std::u16string message;  // empty on success
};

// Fills `settings` from the file. A missing, unreadable or short file (or
// not a regular file) gives every field its default and the load message. A
// single value its field does not allow (a variant the row does not offer,
// koukaon not 0/1, saidai not a choice, a line whose bytes are not 932) takes
// that field's default silently; the others keep the file's.
SettingsFileResult loadSettings(KeySettings& settings, const std::filesystem::path& file);

// Replaces the file atomically with all of `settings`, under a lock on
// "set.dat.lock". A file there that does not read whole is first kept as
// "set.dat.broken" (or ".broken.N"); a symbolic link to one, or to anything
// that is not a regular file, is never written through. On failure the old
// file stays as it was and the message says the settings live only until
// the program ends.
SettingsFileResult saveSettings(const KeySettings& settings, const std::filesystem::path& file);

// The settings screens' save: writes only the fields where `settings`
// differs from `onFile` (what this copy last read or wrote) over what the
// file holds now, so a field another copy of the program saved meanwhile is
// not undone. A file that cannot be read takes all of `settings`. On success
// both become what was written; otherwise they are unchanged.
SettingsFileResult saveSettingsChanges(KeySettings& settings, KeySettings& onFile, const std::filesystem::path& file);

// The 93 lines as saved (without line ends).
std::vector<std::u16string> settingsFileLines(const KeySettings& settings);

}  // namespace lk
