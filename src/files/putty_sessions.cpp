#include "files/putty_sessions.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "files/foreign_text.h"
#include "files/serial_line.h"
#include "platform/safe_write.h"

namespace varnok {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSessionsKey = "hkey_current_user\\software\\simontatham\\putty\\sessions\\";
constexpr std::uintmax_t kMaxSessionFile = 1 << 20;  // a session holds a few kilobytes

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A registry string value: "..." with \\ and \" escaped. False when it is not one.
bool RegistryString(std::string_view v, std::string& out) {
  if (v.size() < 2 || v.front() != '"' || v.back() != '"') return false;
  out.clear();
  for (std::size_t i = 1; i + 1 < v.size(); ++i) {
    if (v[i] == '\\' && i + 2 < v.size()) ++i;
    out += v[i];
  }
  return true;
}

std::string Get(const PuttySession& s, const char* key) {
  auto it = s.values.find(key);
  return it == s.values.end() ? "" : it->second;
}

}  // namespace

std::string DecodeSessionName(std::string_view encoded) {
  std::string name;
  for (std::size_t i = 0; i < encoded.size(); ++i) {
    if (encoded[i] == '%' && i + 2 < encoded.size() && HexDigit(encoded[i + 1]) >= 0 &&
        HexDigit(encoded[i + 2]) >= 0) {
      name += static_cast<char>(HexDigit(encoded[i + 1]) * 16 + HexDigit(encoded[i + 2]));
      i += 2;
    } else {
      name += encoded[i];
    }
  }
  return name;
}

PuttySession ParseSessionFile(std::string_view text, std::string name, std::string where) {
  PuttySession s{std::move(name), {}, std::move(where)};
  LineWalk lines(text);
  std::string_view line;
  while (lines.next(line)) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos || line.size() > kForeignMaxLine) continue;
    s.values.try_emplace(AsciiLower(line.substr(0, eq)), line.substr(eq + 1));
  }
  return s;
}

std::vector<PuttySession> ParseRegistryExport(std::string_view text, const std::string& file) {
  std::vector<PuttySession> sessions;
  PuttySession* current = nullptr;
  LineWalk lines(text);
  std::string_view line;
  bool continued = false;  // inside a hex value that goes on over lines ending in "\"
  while (lines.next(line)) {
    const bool wasContinued = continued;
    continued = !line.empty() && line.back() == '\\';
    if (wasContinued || line.empty() || line.size() > kForeignMaxLine) continue;
    if (line.front() == '[') {
      current = nullptr;
      const std::size_t close = line.rfind(']');
      if (close == std::string_view::npos) continue;
      const std::string key(line.substr(1, close - 1));
      const std::string lower = AsciiLower(key);
      if (!lower.starts_with(kSessionsKey)) continue;
      const std::string encoded = key.substr(kSessionsKey.size());
      if (encoded.empty() || encoded.find('\\') != std::string::npos) continue;
      sessions.push_back({DecodeSessionName(encoded), {}, LinePlace(file, lines.number())});
      current = &sessions.back();
      continue;
    }
    if (!current || line.front() != '"') continue;
    const std::size_t eq = line.find("\"=");
    if (eq == std::string_view::npos) continue;
    std::string name, value;
    if (!RegistryString(line.substr(0, eq + 1), name)) continue;
    const std::string_view raw = line.substr(eq + 2);
    if (raw.starts_with("dword:")) {
      try {
        value = std::to_string(std::stoul(std::string(raw.substr(6)), nullptr, 16));
      } catch (const std::exception&) {
        continue;
      }
    } else if (!RegistryString(raw, value)) {
      continue;
    }
    current->values.try_emplace(AsciiLower(name), std::move(value));
  }
  return sessions;
}

ForeignImport PuttyTree(const std::vector<PuttySession>& sessions, const ForeignOptions& options) {
  ForeignImport out;
  ForeignTreeBuilder builder(options.programDir);
  auto note = [&](ImportNote::Kind kind, const PuttySession& s, std::string reason) {
    out.notes.push_back({kind, s.where, "Session " + s.name, std::move(reason)});
  };
  for (const PuttySession& s : sessions) {
    if (s.name == "Default Settings") {
      note(ImportNote::Kind::Skipped, s, "PuTTY's default settings, not a connection");
      continue;
    }
    if (s.name.empty() || s.name.front() == '-') {
      note(ImportNote::Kind::Skipped, s, "a name that is empty or begins with \"-\" (a separator line)");
      continue;
    }
    ForeignHost h;
    h.name = s.name;
    h.origin = s.where;
    const std::string protocol = AsciiLower(Get(s, "protocol"));
    if (protocol.empty() || protocol == "ssh") {
      h.protocol = ForeignProtocol::Ssh;
    } else if (protocol == "telnet") {
      h.protocol = ForeignProtocol::Telnet;
    } else if (protocol == "serial") {
      h.protocol = ForeignProtocol::Serial;
    } else {
      note(ImportNote::Kind::Skipped, s, "the protocol \"" + protocol + "\" is not supported");
      continue;
    }
    h.host = Get(s, "hostname");
    h.user = Get(s, "username");
    if (const std::size_t at = h.host.rfind('@'); at != std::string::npos) {
      if (h.user.empty()) h.user = h.host.substr(0, at);
      h.host.erase(0, at + 1);
    }
    h.port = Get(s, "portnumber");
    if (h.port == "0") h.port.clear();
    h.keyFile = Get(s, "publickeyfile");
    h.serialLine = Get(s, "serialline");
    h.serialSpeed = Get(s, "serialspeed");
    if (h.protocol == ForeignProtocol::Serial && SerialPortNumber(h.serialLine).empty())
      note(ImportNote::Kind::Doubtful, s,
           "the serial line \"" + h.serialLine + "\" has no COM port number; the macro keeps <port_number>");
    else if (h.protocol != ForeignProtocol::Serial && h.host.empty())
      note(ImportNote::Kind::Doubtful, s, "no host name; the macro keeps <server_name_or_IP_address>");
    const std::string proxy = Get(s, "proxymethod");
    if (!proxy.empty() && proxy != "0")
      note(ImportNote::Kind::Doubtful, s,
           "goes through a proxy (" + Get(s, "proxyhost") +
               "), which is not imported; the connection is made directly");
    if (builder.count() >= options.maxConnections) {
      out.notes.push_back({ImportNote::Kind::Skipped, "", "",
                           "more than " + std::to_string(options.maxConnections) +
                               " connections; the rest are not imported"});
      break;
    }
    builder.add(nullptr, h);
  }
  out.connections = builder.count();
  out.roots = builder.finish();
  return out;
}

ForeignImport ReadPuttySessions(const std::string& path, const ForeignOptions& options) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) {
    std::vector<PuttySession> sessions;
    std::vector<ImportNote> notes;
    for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
      const std::string file = it->path().string();
      const std::string encoded = it->path().filename().string();
      std::error_code sizeError;
      if (!it->is_regular_file(sizeError)) continue;
      if (it->file_size(sizeError) > kMaxSessionFile) {
        notes.push_back({ImportNote::Kind::Skipped, file, "", "too large for a PuTTY session"});
        continue;
      }
      std::string text;
      if (std::string e = ReadForeignText(file, "a PuTTY session", text); !e.empty()) {
        notes.push_back({ImportNote::Kind::Skipped, file, "", e});
        continue;
      }
      sessions.push_back(ParseSessionFile(text, DecodeSessionName(encoded), file));
    }
    if (ec) return ForeignImport{{}, {}, 0, path + ": " + ec.message()};
    std::sort(sessions.begin(), sessions.end(),
              [](const PuttySession& a, const PuttySession& b) { return a.name < b.name; });
    ForeignImport out = PuttyTree(sessions, options);
    out.notes.insert(out.notes.begin(), notes.begin(), notes.end());
    return out;
  }
  std::string text;
  if (std::string e = ReadForeignText(path, "a PuTTY session or registry export", text); !e.empty())
    return ForeignImport{{}, {}, 0, e};
  const std::string_view head = std::string_view(text).substr(0, 64);
  if (head.starts_with("Windows Registry Editor") || head.starts_with("REGEDIT4")) {
    std::vector<PuttySession> sessions = ParseRegistryExport(text, path);
    if (sessions.empty())
      return ForeignImport{
          {},
          {},
          0,
          path + " holds no PuTTY sessions (HKEY_CURRENT_USER\\Software\\SimonTatham\\PuTTY\\Sessions)."};
    return PuttyTree(sessions, options);
  }
  return PuttyTree({ParseSessionFile(text, DecodeSessionName(fs::path(path).filename().string()), path)},
                   options);
}

}  // namespace varnok
