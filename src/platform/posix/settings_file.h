#pragma once
// The settings key as an INI file: section "[Varnok]", one "Name=value" line
// per value. Integers are written in decimal; strings with "\\", "\r", "\n"
// escaped, and blanks at either end as "\s" (the INI reader trims them).
#include <string>

#include "platform/settings_store.h"

namespace varnok::platform {

std::string EscapeSettingText(const std::string& text);
std::string UnescapeSettingText(const std::string& text);

// The store kept in the file at `path`; a lock file beside it serialises the
// writers of all processes.
std::unique_ptr<SettingsStore> OpenSettingsFile(const std::string& path);

}  // namespace varnok::platform
