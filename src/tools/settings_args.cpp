#include "tools/settings_args.h"

#include <optional>

#include "engine/text.h"
#include "records/settings_file.h"
#include "tools/command.h"

namespace lk::tool {

void applySettingAssignment(KeySettings& settings, const std::string& assignment) {
  const auto eq = assignment.find('=');
  if (eq == std::string::npos || eq == 0)
    throw UsageError{"--set expects FIELD=VARIANT, got '" + assignment + "'"};
  const std::string field = assignment.substr(0, eq);
  const std::string variant = assignment.substr(eq + 1);
  const int row = keyOptionIndex(field);
  if (row < 0) throw UsageError{"unknown key setting '" + field + "'"};
  if (!settings.set(field, fromUtf8(variant))) {
    std::string offered;
    for (auto v : keyOptionTable()[static_cast<std::size_t>(row)].offered()) {
      if (!offered.empty()) offered += ", ";
      offered += toUtf8(v);
    }
    throw UsageError{"key setting '" + field + "' does not offer '" + variant + "' (offers " + offered + ")"};
  }
}

KeySettings parseSettingsArgs(const std::vector<std::string>& args, std::vector<std::string>* rest) {
  // A settings file is the starting point wherever it stands; every --set applies on top of it.
  std::optional<std::string> file;
  std::vector<std::string> assignments;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--settings" || a.starts_with("--settings=")) {
      if (file) throw UsageError{"--settings given twice"};
      if (a == "--settings" && i + 1 >= args.size()) throw UsageError{"--settings needs a set.dat file"};
      file = a == "--settings" ? args[++i] : a.substr(11);
    } else if (a == "--set") {
      if (i + 1 >= args.size()) throw UsageError{"--set needs FIELD=VARIANT"};
      assignments.push_back(args[++i]);
    } else if (a.starts_with("--set=")) {
      assignments.push_back(a.substr(6));
    } else if (rest) {
      rest->push_back(a);
    } else {
      throw UsageError{"unexpected argument '" + a + "'"};
    }
  }
  KeySettings settings;
  if (file) {
    requireRegularFile(*file);
    const auto loaded = loadSettings(settings, *file);
    if (!loaded.ok) throw UsageError{"--settings " + *file + ": " + toUtf8(loaded.message)};
  }
  for (const auto& assignment : assignments) applySettingAssignment(settings, assignment);
  return settings;
}

}  // namespace lk::tool
