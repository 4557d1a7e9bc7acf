#include "tools/settings_args.h"

#include "engine/text.h"
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
  KeySettings settings;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--set") {
      if (i + 1 >= args.size()) throw UsageError{"--set needs FIELD=VARIANT"};
      applySettingAssignment(settings, args[++i]);
    } else if (a.starts_with("--set=")) {
      applySettingAssignment(settings, a.substr(6));
    } else if (rest) {
      rest->push_back(a);
    } else {
      throw UsageError{"unexpected argument '" + a + "'"};
    }
  }
  return settings;
}

}  // namespace lk::tool
