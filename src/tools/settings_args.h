#pragma once

// Command-line options that describe a KeySettings record, shared by every
// tool command that rewrites romaji.

#include <string>
#include <vector>

#include "engine/key_settings.h"

namespace lk::tool {

// Starts from the defaults, or from the set.dat named by "--settings FILE"
// (also "--settings=FILE"; one that cannot be read is a usage error), and
// then applies every "--set FIELD=VARIANT" (also
// written "--set=FIELD=VARIANT") in order. FIELD is a key setting's field
// name ("syo", "nn", "x"), VARIANT one that its row offers. An unknown field,
// a variant the row does not offer or a malformed option throws UsageError
// naming it. Arguments that are not settings options go to `rest`, or are a
// usage error when `rest` is null.
KeySettings parseSettingsArgs(const std::vector<std::string>& args, std::vector<std::string>* rest = nullptr);

// Applies one "FIELD=VARIANT" to `settings`; throws UsageError like above.
void applySettingAssignment(KeySettings& settings, const std::string& assignment);

}  // namespace lk::tool
