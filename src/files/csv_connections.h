#pragma once
// A table of connections with a header row (RFC 4180: fields in double
// quotes may hold the separator, quotes doubled and line breaks). The
// separator is "," unless the header row holds more ";" or tabs. Columns,
// in any order and letter case: "path" (folders joined by "/"), "name",
// "host", "port", "user", "protocol" (ssh, telnet or serial; empty: ssh),
// "macro" (used as written instead of the template). A row without a name
// is named after its host. A folder of a path is the connection of that
// name at that place when there is one, so "bastion" and "bastion/web"
// make web a child of bastion; otherwise a connection without macro.
#include <string>
#include <string_view>
#include <vector>

#include "files/foreign_import.h"

namespace varnok {

// Splits a CSV text into rows; `lines` gets each row's first line number.
std::vector<std::vector<std::string>> ParseCsvRows(std::string_view text, char separator,
                                                   std::vector<int>& lines);

ForeignImport ReadCsvText(std::string_view text, const std::string& file, const ForeignOptions& options);
ForeignImport ReadCsvConnections(const std::string& path, const ForeignOptions& options);

}  // namespace varnok
