#include "files/csv_connections.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>

#include "common/trim_text.h"
#include "files/foreign_text.h"

namespace varnok {
namespace {

constexpr std::size_t kMaxRow = 1 << 20;  // bytes of one row; longer rows are skipped

char GuessSeparator(std::string_view text) {
  std::map<char, int> counts;
  bool quoted = false;
  for (char c : text.substr(0, std::min(text.size(), kForeignMaxLine))) {
    if (c == '"') quoted = !quoted;
    if (!quoted && c == '\n') break;
    if (!quoted && (c == ',' || c == ';' || c == '\t')) ++counts[c];
  }
  char best = ',';
  for (char c : {';', '\t'})
    if (counts[c] > counts[best]) best = c;
  return best;
}

enum Column { kPath, kName, kHost, kPort, kUser, kProtocol, kMacro, kColumnCount };
constexpr std::array<std::string_view, kColumnCount> kColumnNames{"path", "name",     "host", "port",
                                                                  "user", "protocol", "macro"};

std::string WithCrLf(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

// The tree of the table before it becomes nodes: folders may be named by a
// row only after the rows below them.
struct Entry {
  std::string name;
  std::optional<ForeignHost> host;  // none: a folder
  std::string origin;
  std::vector<std::size_t> children;
};

}  // namespace

std::vector<std::vector<std::string>> ParseCsvRows(std::string_view text, char separator,
                                                   std::vector<int>& lines) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> row;
  std::string field;
  bool quoted = false, tooLong = false;
  int line = 1, rowLine = 1;
  std::size_t rowStart = 0;
  auto endRow = [&](std::size_t at) {
    row.push_back(std::move(field));
    field.clear();
    if (!tooLong && !(row.size() == 1 && row[0].empty())) {
      rows.push_back(std::move(row));
      lines.push_back(rowLine);
    } else if (tooLong) {
      rows.push_back({});  // an empty row marks one that was too long
      lines.push_back(-rowLine);
    }
    row.clear();
    tooLong = false;
    rowStart = at + 1;
    rowLine = line;
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\n') ++line;
    if (i - rowStart > kMaxRow) {
      tooLong = true;
      field.clear();
    }
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        if (!tooLong) field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else if (!tooLong) {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == separator) {
      if (!tooLong) row.push_back(std::move(field));
      field.clear();
    } else if (c == '\n') {
      if (!field.empty() && field.back() == '\r') field.pop_back();
      endRow(i);
    } else if (!tooLong) {
      field += c;
    }
  }
  if (!field.empty() || !row.empty()) endRow(text.size());
  return rows;
}

ForeignImport ReadCsvText(std::string_view text, const std::string& file, const ForeignOptions& options) {
  ForeignImport out;
  std::vector<int> lines;
  const std::vector<std::vector<std::string>> rows = ParseCsvRows(text, GuessSeparator(text), lines);
  if (rows.empty() || lines.front() < 0) {
    out.error = file + " has no header row.";
    return out;
  }
  std::array<int, kColumnCount> column;
  column.fill(-1);
  for (std::size_t i = 0; i < rows[0].size(); ++i) {
    const std::string name = AsciiLower(TrimTextView(rows[0][i]));
    bool known = false;
    for (int c = 0; c < kColumnCount; ++c)
      if (name == kColumnNames[static_cast<std::size_t>(c)] && column[static_cast<std::size_t>(c)] < 0) {
        column[static_cast<std::size_t>(c)] = static_cast<int>(i);
        known = true;
      }
    if (!known && !name.empty())
      out.notes.push_back({ImportNote::Kind::Skipped, LinePlace(file, lines[0]), "column " + name,
                           "not a known column (path, name, host, port, user, protocol, macro); ignored"});
  }
  if (column[kName] < 0 && column[kHost] < 0) {
    out.error =
        file + " is no table of connections: its header row names neither a \"name\" nor a \"host\" column.";
    return out;
  }
  std::vector<Entry> entries(1);  // entries[0]: the stand-in for the top node
  // The first child of each name below each entry.
  std::map<std::pair<std::size_t, std::string>, std::size_t> byName;
  auto addEntry = [&](std::size_t parent, Entry entry) {
    const std::size_t index = entries.size();
    byName.try_emplace({parent, entry.name}, index);
    entries.push_back(std::move(entry));
    entries[parent].children.push_back(index);
    return index;
  };
  for (std::size_t r = 1; r < rows.size(); ++r) {
    const std::vector<std::string>& row = rows[r];
    const std::string where = LinePlace(file, std::abs(lines[r]));
    auto skip = [&](ImportNote::Kind kind, std::string entry, std::string reason) {
      out.notes.push_back({kind, where, std::move(entry), std::move(reason)});
    };
    if (lines[r] < 0) {
      skip(ImportNote::Kind::Skipped, "", "the row is longer than 1 MiB");
      continue;
    }
    auto field = [&](Column c) -> std::string {
      const int i = column[c];
      if (i < 0 || static_cast<std::size_t>(i) >= row.size()) return "";
      return c == kMacro ? row[static_cast<std::size_t>(i)] : TrimText(row[static_cast<std::size_t>(i)]);
    };
    ForeignHost h;
    h.host = field(kHost);
    h.name = field(kName).empty() ? h.host : field(kName);
    h.user = field(kUser);
    h.origin = where;
    if (h.name.empty()) {
      skip(ImportNote::Kind::Skipped, "", "no name and no host");
      continue;
    }
    if (h.name.front() == '-') {
      skip(ImportNote::Kind::Skipped, h.name, "a name beginning with \"-\" marks a separator line");
      continue;
    }
    const std::string protocol = AsciiLower(field(kProtocol));
    if (protocol == "telnet") {
      h.protocol = ForeignProtocol::Telnet;
    } else if (protocol == "serial") {
      h.protocol = ForeignProtocol::Serial;
      h.serialLine = h.host;
    } else if (!protocol.empty() && protocol != "ssh" && protocol != "ssh2") {
      skip(ImportNote::Kind::Skipped, h.name, "the protocol \"" + protocol + "\" is not supported");
      continue;
    }
    if (const std::string port = field(kPort); IsPortNumber(port)) {
      h.port = port;
    } else if (!port.empty()) {
      skip(ImportNote::Kind::Doubtful, h.name,
           "the port \"" + port + "\" is not a number from 1 to 65535; left out");
    }
    if (std::string macro = field(kMacro); !TrimTextView(macro).empty()) h.macro = WithCrLf(macro);
    if (static_cast<int>(entries.size()) > options.maxConnections) {
      skip(ImportNote::Kind::Skipped, "",
           "more than " + std::to_string(options.maxConnections) + " connections; the rest are not imported");
      break;
    }
    std::vector<std::string> folders;
    const std::string path = field(kPath);
    for (std::size_t start = 0; start <= path.size();) {
      const std::size_t slash = std::min(path.find('/', start), path.size());
      std::string folder = TrimText(std::string_view(path).substr(start, slash - start));
      start = slash + 1;
      if (!folder.empty()) folders.push_back(std::move(folder));
    }
    if (std::any_of(folders.begin(), folders.end(), [](const std::string& f) { return f.front() == '-'; })) {
      skip(ImportNote::Kind::Skipped, path, "a folder name beginning with \"-\" marks a separator line");
      continue;
    }
    // Down the path, making the folders that are missing.
    std::size_t parent = 0;
    for (const std::string& folder : folders) {
      auto found = byName.find({parent, folder});
      parent = found != byName.end() ? found->second : addEntry(parent, {folder, std::nullopt, where, {}});
    }
    // A folder made for earlier rows that this row names becomes this connection.
    if (auto self = byName.find({parent, h.name}); self != byName.end() && !entries[self->second].host) {
      entries[self->second].host = std::move(h);
    } else {
      addEntry(parent, {h.name, std::move(h), where, {}});
    }
  }
  ForeignTreeBuilder builder(options.programDir);
  std::vector<std::pair<std::size_t, TreeNode*>> pending;
  for (auto it = entries[0].children.rbegin(); it != entries[0].children.rend(); ++it)
    pending.emplace_back(*it, nullptr);
  while (!pending.empty()) {
    auto [e, parentNode] = pending.back();
    pending.pop_back();
    const Entry& entry = entries[e];
    TreeNode* node = entry.host ? builder.add(parentNode, *entry.host)
                                : builder.addFolder(parentNode, entry.name, entry.origin);
    for (auto it = entry.children.rbegin(); it != entry.children.rend(); ++it)
      pending.emplace_back(*it, node);
  }
  out.connections = builder.count();
  out.roots = builder.finish();
  return out;
}

ForeignImport ReadCsvConnections(const std::string& path, const ForeignOptions& options) {
  std::string text;
  if (std::string e = ReadForeignText(path, "a CSV table", text); !e.empty())
    return ForeignImport{{}, {}, 0, e};
  return ReadCsvText(text, path, options);
}

}  // namespace varnok
