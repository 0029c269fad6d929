// Reading an OpenSSH client config and its Include files into blocks.
#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>
#include <unordered_set>

#include "files/foreign_text.h"
#include "files/ssh_config.h"

namespace varnok {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kBlank = " \t";

bool HasWildcard(std::string_view s) { return s.find_first_of("*?") != std::string_view::npos; }

// Keyword and arguments of a line; false for a blank or comment line.
// `bad` is set when a quote is not closed.
bool SplitLine(std::string_view line, std::string& keyword, std::vector<std::string>& args, bool& bad) {
  bad = false;
  args.clear();
  const std::size_t start = line.find_first_not_of(" \t\f\v");
  if (start == std::string_view::npos || line[start] == '#') return false;
  line.remove_prefix(start);
  const std::size_t keyEnd = std::min(line.find_first_of(" \t="), line.size());
  keyword = AsciiLower(line.substr(0, keyEnd));
  line.remove_prefix(keyEnd);
  line.remove_prefix(std::min(line.find_first_not_of(kBlank), line.size()));
  if (!line.empty() && line.front() == '=') line.remove_prefix(1);
  while (true) {
    line.remove_prefix(std::min(line.find_first_not_of(kBlank), line.size()));
    if (line.empty()) break;
    if (line.front() == '"') {
      const std::size_t close = line.find('"', 1);
      if (close == std::string_view::npos) {
        bad = true;
        return true;
      }
      args.emplace_back(line.substr(1, close - 1));
      line.remove_prefix(close + 1);
    } else {
      const std::size_t end = std::min(line.find_first_of(kBlank), line.size());
      args.emplace_back(line.substr(0, end));
      line.remove_prefix(end);
    }
  }
  return true;
}

std::optional<SshKey> KeyOf(std::string_view keyword) {
  static const std::map<std::string_view, SshKey> keys{
      {"hostname", SshKey::HostName},   {"user", SshKey::User},
      {"port", SshKey::Port},           {"identityfile", SshKey::IdentityFile},
      {"proxyjump", SshKey::ProxyJump}, {"proxycommand", SshKey::ProxyCommand}};
  auto it = keys.find(keyword);
  if (it == keys.end()) return std::nullopt;
  return it->second;
}

class ConfigParser {
 public:
  ConfigParser(SshConfig& out, std::string home) : out_(out), home_(std::move(home)) {}

  void readTop(const std::string& path) {
    std::string text;
    if (std::string e = ReadForeignText(path, "an OpenSSH client config", text); !e.empty()) {
      out_.error = std::move(e);
      return;
    }
    readText(text, path);
  }

  void readText(std::string_view text, const std::string& path) {
    newBlock({"*"}, false);  // the lines before the first Host
    stack_.push_back(canonicalPath(path));
    parse(text, path, 0, 0);
  }

 private:
  static std::string canonicalPath(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(path, ec);
    return ec ? path : p.string();
  }

  void note(ImportNote::Kind kind, std::string where, std::string entry, std::string reason) {
    out_.notes.push_back({kind, std::move(where), std::move(entry), std::move(reason)});
  }

  bool newBlock(std::vector<std::string> patterns, bool skipped) {
    if (out_.blocks.size() >= kSshMaxBlocks) {
      out_.error = "The config has more than " + std::to_string(kSshMaxBlocks) + " Host and Match blocks.";
      return false;
    }
    SshBlock block;
    block.skipped = skipped;
    for (std::string& p : patterns) {
      if (p.find_first_of("*?!") != std::string::npos) block.matchesOnlyListed = false;
      block.patterns.push_back(AsciiLower(p));
    }
    out_.blocks.push_back(std::move(block));
    return true;
  }

  // Parses `text` with block `block` current; returns the block current at its end.
  std::size_t parse(std::string_view text, const std::string& file, int depth, std::size_t block) {
    LineWalk lines(text);
    std::string_view line;
    std::string keyword;
    std::vector<std::string> args;
    while (lines.next(line) && out_.error.empty()) {
      const std::string where = LinePlace(file, lines.number());
      if (line.size() > kForeignMaxLine) {
        note(ImportNote::Kind::Skipped, where, "", "the line is longer than 65536 bytes");
        continue;
      }
      bool bad = false;
      if (!SplitLine(line, keyword, args, bad)) continue;
      if (bad) {
        note(ImportNote::Kind::Skipped, where, std::string(line), "a double quote is not closed");
        continue;
      }
      if (keyword == "host") {
        if (!hostLine(args, where, std::string(line))) return block;
        block = out_.blocks.size() - 1;
      } else if (keyword == "match") {
        note(ImportNote::Kind::Skipped, where, std::string(line),
             "Match blocks are not evaluated; their settings are not imported");
        if (!newBlock({}, true)) return block;
        block = out_.blocks.size() - 1;
      } else if (keyword == "include") {
        if (out_.blocks[block].skipped) continue;
        for (const std::string& arg : args) include(arg, where, depth, block);
        // What follows belongs to the same block again, after the included blocks.
        if (block != out_.blocks.size() - 1) {
          SshBlock again;
          again.patterns = out_.blocks[block].patterns;
          again.matchesOnlyListed = out_.blocks[block].matchesOnlyListed;
          if (out_.blocks.size() >= kSshMaxBlocks) return block;
          out_.blocks.push_back(std::move(again));
          block = out_.blocks.size() - 1;
        }
      } else if (auto key = KeyOf(keyword); key && !args.empty() && !out_.blocks[block].skipped) {
        auto& slot = out_.blocks[block].values[static_cast<std::size_t>(*key)];
        if (!slot) slot = SshValue{args.front(), where, ++order_};
      }
    }
    return block;
  }

  bool hostLine(const std::vector<std::string>& patterns, const std::string& where, const std::string& line) {
    if (!newBlock(patterns, false)) return false;
    std::vector<std::string> wild;
    for (const std::string& p : patterns) {
      if (p.empty()) {
        note(ImportNote::Kind::Skipped, where, line, "an empty name (\"\")");
      } else if (p.find_first_of("*?!") != std::string::npos) {
        wild.push_back(p);
      } else if (p.front() == '-') {
        note(ImportNote::Kind::Skipped, where, "Host " + p,
             "a name beginning with \"-\" marks a separator line");
      } else if (seen_.insert(AsciiLower(p)).second) {
        out_.hosts.push_back({p, where});
      }
    }
    if (patterns.empty()) note(ImportNote::Kind::Skipped, where, line, "Host without a name");
    if (!wild.empty()) {
      std::string entry = "Host";
      for (const std::string& p : wild) entry += " " + p;
      note(ImportNote::Kind::Skipped, where, entry,
           "a pattern, not a connection: its settings apply to the hosts it matches");
    }
    return true;
  }

  std::string expandHome(const std::string& arg) const {
    if (arg == "~") return home_;
    if (arg.starts_with("~/")) return home_ + arg.substr(1);
    if (!arg.empty() && arg.front() == '/') return arg;
    return home_ + "/.ssh/" + arg;
  }

  // The files a glob names, sorted; "*" and "?" match no leading dot. A
  // pattern that names more files than an import reads stops early.
  static std::vector<std::string> expandGlob(const std::string& pattern) {
    std::vector<std::string> found{pattern.front() == '/' ? "/" : ""};
    std::string_view rest(pattern);
    while (!rest.empty() && !found.empty()) {
      const std::size_t slash = rest.find('/');
      const std::string part(rest.substr(0, slash));
      rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
      if (part.empty()) continue;
      std::vector<std::string> next;
      for (const std::string& dir : found) {
        const std::string base = dir.empty() || dir.back() == '/' ? dir : dir + "/";
        if (!HasWildcard(part)) {
          next.push_back(base + part);
          continue;
        }
        std::error_code ec;
        for (fs::directory_iterator it(base.empty() ? "." : base, ec), end;
             !ec && it != end && next.size() <= static_cast<std::size_t>(kSshMaxIncludeFiles);
             it.increment(ec)) {
          const std::string name = it->path().filename().string();
          if (name.front() != '.' && WildcardMatch(part, name)) next.push_back(base + name);
        }
      }
      std::sort(next.begin(), next.end());
      found = std::move(next);
    }
    std::error_code ec;
    std::erase_if(found, [&](const std::string& f) { return !fs::exists(f, ec); });
    return found;
  }

  void include(const std::string& arg, const std::string& where, int depth, std::size_t block) {
    const std::string entry = "Include " + arg;
    if (depth + 1 >= kSshMaxIncludeDepth) {
      note(ImportNote::Kind::Skipped, where, entry,
           "Include files nest deeper than " + std::to_string(kSshMaxIncludeDepth) + " levels");
      return;
    }
    const std::string pattern = expandHome(arg);
    const std::vector<std::string> files = expandGlob(pattern);
    if (files.empty()) note(ImportNote::Kind::Doubtful, where, entry, "no file matches " + pattern);
    for (const std::string& file : files) {
      if (++includesRead_ > kSshMaxIncludeFiles) {
        if (includesRead_ == kSshMaxIncludeFiles + 1)
          note(ImportNote::Kind::Skipped, where, entry,
               "more than " + std::to_string(kSshMaxIncludeFiles) + " Include files; the rest are not read");
        return;
      }
      const std::string canonical = canonicalPath(file);
      if (std::find(stack_.begin(), stack_.end(), canonical) != stack_.end()) {
        note(ImportNote::Kind::Skipped, where, entry, file + " includes itself");
        continue;
      }
      auto [cached, fresh] = texts_.try_emplace(canonical);
      if (fresh) {
        if (std::string e = ReadForeignText(file, "an OpenSSH client config", cached->second); !e.empty()) {
          note(ImportNote::Kind::Skipped, where, entry, e);
          continue;
        }
      }
      stack_.push_back(canonical);
      parse(cached->second, file, depth + 1, block);
      stack_.pop_back();
      if (!out_.error.empty()) return;
    }
  }

  SshConfig& out_;
  std::string home_;
  std::vector<std::string> stack_;            // the files being read, outermost first
  std::map<std::string, std::string> texts_;  // each Include file read once
  std::unordered_set<std::string> seen_;      // concrete names met, lower-cased
  int includesRead_ = 0;
  int order_ = 0;  // values in the order ssh meets them
};

}  // namespace

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  std::size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool BlockApplies(const SshBlock& block, std::string_view name) {
  if (block.skipped) return false;
  bool positive = false;
  for (const std::string& p : block.patterns) {
    if (!p.empty() && p.front() == '!') {
      if (WildcardMatch(std::string_view(p).substr(1), name)) return false;
    } else if (!positive && WildcardMatch(p, name)) {
      positive = true;
    }
  }
  return positive;
}

SshConfig ParseSshConfig(const std::string& path, const std::string& home) {
  SshConfig config;
  ConfigParser(config, home).readTop(path);
  return config;
}

SshConfig ParseSshConfigText(std::string_view text, const std::string& path, const std::string& home) {
  SshConfig config;
  ConfigParser(config, home).readText(text, path);
  return config;
}

}  // namespace varnok
