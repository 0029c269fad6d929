#pragma once
// PuTTY's saved sessions: the files of a sessions folder (~/.putty/sessions,
// one "Key=value" file per session, its name percent-encoded) or a Windows
// registry export of HKEY_CURRENT_USER\Software\SimonTatham\PuTTY\Sessions
// (UTF-16 or ANSI). Read: HostName ("user@host" too), UserName, PortNumber,
// Protocol (ssh, telnet, serial; other protocols are skipped), SerialLine,
// SerialSpeed, PublicKeyFile. "Default Settings" is no connection.
#include <map>
#include <string>
#include <vector>

#include "files/foreign_import.h"

namespace varnok {

struct PuttySession {
  std::string name;                           // decoded
  std::map<std::string, std::string> values;  // keys lower-cased
  std::string where;                          // the file, or the registry key's line
};

// "My%20Server" -> "My Server"; a "%" without two hex digits stays.
std::string DecodeSessionName(std::string_view encoded);

// The "Key=value" lines of a session file.
PuttySession ParseSessionFile(std::string_view text, std::string name, std::string where);

// The sessions of a registry export's text (already UTF-8); `file` names it
// in notes. Keys outside PuTTY's Sessions are ignored.
std::vector<PuttySession> ParseRegistryExport(std::string_view text, const std::string& file);

// The connections of `sessions`, in their order.
ForeignImport PuttyTree(const std::vector<PuttySession>& sessions, const ForeignOptions& options);

// A sessions folder, one session file or a registry export.
ForeignImport ReadPuttySessions(const std::string& path, const ForeignOptions& options);

}  // namespace varnok
