#pragma once
// Profile (INI) files read and written whole: the text rules are those of
// common/ini_file.h; writing goes through the safe writer (all or nothing).
#include <string>
#include <string_view>

#include "common/ini_file.h"
#include "platform/safe_write.h"

namespace varnok::platform {

// Reads a whole profile file into `ini`. A failure names the path and the
// system's reason; `ini` is then empty.
WriteResult ReadIniFile(const std::string& path, IniFile& ini);

// Writes `ini` over the file at `path` (SafeWriteFile: all or nothing).
WriteResult WriteIniFile(const std::string& path, const IniFile& ini, const WriteOptions& options = {});

// The value of a key of a profile file; `fallback` when the file, section or
// key is missing or the file cannot be read.
std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key,
                              std::string_view fallback = {});

// Writes one key into a profile file with the rules above: reads the file
// (a missing file counts as empty and is created), changes the one line,
// writes it back. Fails with a message naming the file, and changes nothing,
// when the file cannot be read or written or the names or value are invalid.
WriteResult WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                               std::string_view value);

}  // namespace varnok::platform
