// The connections of a parsed OpenSSH config, each below its jump host.
//
// ssh reaches a host with "ProxyJump a,b,c" through a, then b, then c: a
// is reached as its own config says (its own ProxyJump included), b and c
// through the hops before them. So the target's parent is the node of c,
// whose parent is b's, whose parent is a's home. A jump host that is a Host
// of its own is that connection; any other is a connection of its own, named
// as the hop is written. A host whose chain loops or names a hop that cannot
// be resolved is imported without its jump host, with a note.
#include <array>
#include <map>
#include <unordered_map>
#include <unordered_set>

#include "files/foreign_text.h"
#include "files/ssh_config.h"

namespace varnok {
namespace {

constexpr std::size_t kMaxWildcardBlocks = 2000;  // applied to every host: bounded
constexpr std::size_t kMaxJumpDepth = 64;

struct JumpError {
  std::string reason;
};
struct LimitReached {};

struct Hop {
  std::string text, user, host, port;  // text: as written, without "ssh://"
};

Hop ParseHop(std::string_view text) {
  Hop hop;
  if (text.starts_with("ssh://")) text.remove_prefix(6);
  hop.text = std::string(text);
  const auto bad = [&](const std::string& why) {
    return JumpError{"the jump host \"" + hop.text + "\" cannot be resolved (" + why + ")"};
  };
  if (const std::size_t at = text.rfind('@'); at != std::string_view::npos) {
    hop.user = std::string(text.substr(0, at));
    text.remove_prefix(at + 1);
  }
  std::string_view port;
  bool hasPort = false;
  if (!text.empty() && text.front() == '[') {
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos) throw bad("no closing \"]\"");
    hop.host = std::string(text.substr(1, close - 1));
    const std::string_view after = text.substr(close + 1);
    if (!after.empty() && after.front() != ':') throw bad("unexpected text after \"]\"");
    hasPort = !after.empty();
    if (hasPort) port = after.substr(1);
  } else if (const std::size_t colon = text.find(':');
             colon != std::string_view::npos && text.find(':', colon + 1) == std::string_view::npos) {
    hop.host = std::string(text.substr(0, colon));
    port = text.substr(colon + 1);
    hasPort = true;
  } else {
    hop.host = std::string(text);
  }
  if (hop.host.empty()) throw bad("no host name");
  if (hop.text.front() == '-') throw bad("a name beginning with \"-\" marks a separator line");
  if (hop.host.find_first_of("*?!%") != std::string::npos) throw bad("a pattern, not a host");
  if (hasPort && !IsPortNumber(port)) throw bad("the port is not a number from 1 to 65535");
  hop.port = std::string(port);
  return hop;
}

// "%h" and friends of ssh's tokens; unknown ones stay as written.
std::string ExpandTokens(std::string_view text, const std::map<char, std::string>& values) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size()) {
      if (text[i + 1] == '%') {
        out += '%';
        ++i;
        continue;
      }
      if (auto it = values.find(text[i + 1]); it != values.end()) {
        out += it->second;
        ++i;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

using Settings = std::array<const SshValue*, kSshKeyCount>;

class JumpResolver {
 public:
  JumpResolver(const SshConfig& config, const ForeignOptions& options, ForeignImport& out)
      : config_(config), options_(options), out_(out), builder_(options.programDir) {
    for (std::size_t b = 0; b < config.blocks.size(); ++b) {
      const SshBlock& block = config.blocks[b];
      if (block.skipped) continue;
      if (block.matchesOnlyListed) {
        for (const std::string& p : block.patterns) listed_[p].push_back(b);
      } else if (wildcards_.size() < kMaxWildcardBlocks) {
        wildcards_.push_back(b);
      } else if (!wildcardsCut_) {
        wildcardsCut_ = true;
        note(ImportNote::Kind::Skipped, "", "Host blocks with patterns",
             "more than " + std::to_string(kMaxWildcardBlocks) + "; the rest are not applied");
      }
    }
    for (const SshHostName& h : config.hosts) names_.emplace(AsciiLower(h.name), &h);
  }

  void run() {
    try {
      for (const SshHostName& h : config_.hosts) {
        const std::string key = AsciiLower(h.name);
        try {
          homeOf(key);
        } catch (const JumpError& e) {
          // Without its jump host: its own data is still worth keeping.
          note(ImportNote::Kind::Doubtful, h.where, "Host " + h.name,
               e.reason + "; imported without its jump host");
          home_[key] =
              nodeAt(nullptr, key, [&] { return hostFrom(h.name, key, settingsFor(key), {}, h.where); });
        }
      }
    } catch (const LimitReached&) {
      note(
          ImportNote::Kind::Skipped, "", "",
          "more than " + std::to_string(options_.maxConnections) + " connections; the rest are not imported");
    }
    out_.connections = builder_.count();
    out_.roots = builder_.finish();
  }

 private:
  void note(ImportNote::Kind kind, std::string where, std::string entry, std::string reason) {
    out_.notes.push_back({kind, std::move(where), std::move(entry), std::move(reason)});
  }

  const Settings& settingsFor(const std::string& name) {
    auto [it, fresh] = settings_.try_emplace(name);
    if (!fresh) return it->second;
    Settings& s = it->second;
    s.fill(nullptr);
    static const std::vector<std::size_t> kNone;
    auto listed = listed_.find(name);
    const std::vector<std::size_t>& own = listed == listed_.end() ? kNone : listed->second;
    // Both lists are in block order: merge them, first value wins.
    std::size_t i = 0, j = 0;
    while (i < own.size() || j < wildcards_.size()) {
      std::size_t b;
      if (j == wildcards_.size() || (i < own.size() && own[i] < wildcards_[j])) {
        b = own[i++];
      } else {
        b = wildcards_[j++];
        if (!BlockApplies(config_.blocks[b], name)) continue;
      }
      for (std::size_t k = 0; k < kSshKeyCount; ++k)
        if (!s[k] && config_.blocks[b].values[k]) s[k] = &*config_.blocks[b].values[k];
    }
    return s;
  }

  static const SshValue* get(const Settings& s, SshKey key) { return s[static_cast<std::size_t>(key)]; }

  // The ProxyJump that takes effect: not "none", and not behind a ProxyCommand met first.
  const SshValue* jumpOf(const Settings& s, const std::string& where, const std::string& name) {
    const SshValue* jump = get(s, SshKey::ProxyJump);
    const SshValue* command = get(s, SshKey::ProxyCommand);
    if (command && EqualsIgnoringCase(command->text, "none")) command = nullptr;
    if (command && (!jump || command->order < jump->order)) {
      if (noted_.insert(name).second)
        note(ImportNote::Kind::Doubtful, where, "Host " + name,
             "ProxyCommand (" + command->where + ") is not imported; the connection is made directly");
      return nullptr;
    }
    if (jump && EqualsIgnoringCase(jump->text, "none")) return nullptr;
    return jump;
  }

  ForeignHost hostFrom(const std::string& display, const std::string& name, const Settings& s, const Hop& hop,
                       const std::string& origin) {
    ForeignHost h;
    h.name = display;
    h.origin = origin;
    const SshValue* hostName = get(s, SshKey::HostName);
    h.host = hostName ? ExpandTokens(hostName->text, {{'h', name}}) : name;
    h.user = !hop.user.empty() ? hop.user : get(s, SshKey::User) ? get(s, SshKey::User)->text : "";
    if (!hop.port.empty()) {
      h.port = hop.port;
    } else if (const SshValue* port = get(s, SshKey::Port)) {
      if (IsPortNumber(port->text))
        h.port = port->text;
      else if (noted_.insert("port " + name).second)
        note(ImportNote::Kind::Doubtful, port->where, "Port " + port->text,
             "not a port number; " + display + " uses the default port");
    }
    if (const SshValue* key = get(s, SshKey::IdentityFile)) {
      std::string file = key->text;
      if (file == "~" || file.starts_with("~/")) file = options_.home + file.substr(1);
      h.keyFile = ExpandTokens(file, {{'d', options_.home}, {'h', h.host}, {'r', h.user}});
    }
    return h;
  }

  template <typename MakeHost>
  TreeNode* nodeAt(TreeNode* parent, const std::string& key, MakeHost make) {
    auto [it, fresh] = nodes_.try_emplace({parent, key}, nullptr);
    if (!fresh) return it->second;
    if (builder_.count() >= options_.maxConnections) throw LimitReached{};
    it->second = builder_.add(parent, make());
    return it->second;
  }

  // Keeps the path of hosts being resolved, for loops.
  struct OnPath {
    OnPath(std::vector<std::string>& path, const std::string& name) : path_(path) {
      for (const std::string& p : path)
        if (p == name) {
          std::string loop;
          bool in = false;
          for (const std::string& q : path) {
            in = in || q == name;
            if (in) loop += q + " -> ";
          }
          throw JumpError{"a loop of jumps: " + loop + name};
        }
      if (path.size() >= kMaxJumpDepth)
        throw JumpError{"the jump chain is longer than " + std::to_string(kMaxJumpDepth) + " hosts"};
      path.push_back(name);
    }
    ~OnPath() { path_.pop_back(); }
    std::vector<std::string>& path_;
  };

  TreeNode* homeOf(const std::string& key) {
    if (auto f = failed_.find(key); f != failed_.end()) throw JumpError{f->second};
    if (auto h = home_.find(key); h != home_.end()) return h->second;
    const SshHostName& host = *names_.at(key);
    try {
      OnPath guard(path_, key);
      const Settings& s = settingsFor(key);
      TreeNode* parent = chainEnd(s, host.where, host.name);
      TreeNode* node = nodeAt(parent, key, [&] { return hostFrom(host.name, key, s, {}, host.where); });
      home_[key] = node;
      return node;
    } catch (const JumpError& e) {
      failed_[key] = e.reason;
      throw;
    }
  }

  // Whether `hop` is the Host of its name as configured (no other user or port).
  bool isOwnHost(const Hop& hop, const Settings& s) const {
    if (!names_.count(AsciiLower(hop.host))) return false;
    const SshValue* user = get(s, SshKey::User);
    const SshValue* port = get(s, SshKey::Port);
    const bool sameUser = hop.user.empty() || (user && user->text == hop.user);
    const bool samePort = hop.port.empty() || (port ? port->text == hop.port : hop.port == "22");
    return sameUser && samePort;
  }

  // The node the host of settings `s` is reached through (nullptr: directly).
  TreeNode* chainEnd(const Settings& s, const std::string& where, const std::string& name) {
    const SshValue* jump = jumpOf(s, where, name);
    if (!jump) return nullptr;
    std::vector<Hop> hops;
    std::string_view rest(jump->text);
    while (true) {
      const std::size_t comma = rest.find(',');
      hops.push_back(ParseHop(rest.substr(0, comma)));
      if (comma == std::string_view::npos) break;
      rest.remove_prefix(comma + 1);
    }
    const std::string origin = jump->where + " (ProxyJump " + jump->text + ")";
    TreeNode* previous = nullptr;
    for (std::size_t i = 0; i < hops.size(); ++i) {
      const Hop& hop = hops[i];
      const std::string hostKey = AsciiLower(hop.host);
      const Settings& hs = settingsFor(hostKey);
      const bool own = isOwnHost(hop, hs);
      if (i == 0 && own) {
        previous = homeOf(hostKey);
        continue;
      }
      if (i == 0) {
        // Reached as its own config says, through its own jump hosts.
        OnPath guard(path_, hostKey);
        previous = chainEnd(hs, jump->where, hop.host);
      }
      const std::string display = own ? names_.at(hostKey)->name : hop.text;
      previous = nodeAt(previous, own ? hostKey : AsciiLower(hop.text), [&] {
        return hostFrom(display, hostKey, hs, hop, own ? names_.at(hostKey)->where : origin);
      });
    }
    return previous;
  }

  const SshConfig& config_;
  const ForeignOptions& options_;
  ForeignImport& out_;
  ForeignTreeBuilder builder_;
  std::unordered_map<std::string, std::vector<std::size_t>> listed_;  // name -> blocks naming it
  std::vector<std::size_t> wildcards_;                                // blocks with patterns
  bool wildcardsCut_ = false;
  std::unordered_map<std::string, const SshHostName*> names_;  // concrete hosts by lower-cased name
  std::unordered_map<std::string, Settings> settings_;
  std::map<std::pair<TreeNode*, std::string>, TreeNode*> nodes_;
  std::unordered_map<std::string, TreeNode*> home_;
  std::unordered_map<std::string, std::string> failed_;
  std::vector<std::string> path_;
  std::unordered_set<std::string> noted_;
};

}  // namespace

ForeignImport SshConfigTree(const SshConfig& config, const ForeignOptions& options) {
  ForeignImport out;
  out.notes = config.notes;
  if (!config.error.empty()) {
    out.error = config.error;
    return out;
  }
  JumpResolver(config, options, out).run();
  return out;
}

}  // namespace varnok
