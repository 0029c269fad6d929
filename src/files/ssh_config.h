#pragma once
// The OpenSSH client config as the import reads it: Host blocks in file
// order (Include files read where they stand), each with the first value of
// the keywords that make a connection. Within one block only the first value
// of a keyword can ever win, so later ones are not kept.
//
// Rules, as ssh applies them:
// - "Keyword value" or "Keyword=value"; keywords in any letter case; values
//   in double quotes may hold blanks; "#" starts a comment line.
// - Lines before the first Host apply to every host (a block "Host *").
// - "Host a b *.corp !c": each pattern without "*", "?" or "!" names one
//   connection; a block applies to a host when one of its patterns matches
//   the host's name (letter case ignored) and none of its "!" patterns does.
// - "Include": paths relative to ~/.ssh, "~" for the home folder, globs;
//   nested 16 deep at most; a file that includes itself is reported.
//   Include inside a Host block belongs to that block.
// - "Match" blocks are skipped (and reported) up to the next Host or Match.
// - Unknown keywords are ignored.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "files/foreign_import.h"

namespace varnok {

enum class SshKey { HostName, User, Port, IdentityFile, ProxyJump, ProxyCommand };
inline constexpr std::size_t kSshKeyCount = 6;

struct SshValue {
  std::string text;
  std::string where;  // "<file>, line <n>"
  int order = 0;      // position among all values, as ssh meets them
};

struct SshBlock {
  std::vector<std::string> patterns;  // lower-cased; "!" kept in front of a negated one
  bool matchesOnlyListed = true;      // no "*", "?" or "!": applies to the listed names alone
  bool skipped = false;               // a Match block
  std::array<std::optional<SshValue>, kSshKeyCount> values;
  const std::optional<SshValue>& value(SshKey key) const { return values[static_cast<std::size_t>(key)]; }
};

struct SshHostName {
  std::string name;   // as first written
  std::string where;  // its first Host line
};

struct SshConfig {
  std::vector<SshBlock> blocks;
  std::vector<SshHostName> hosts;  // concrete names, in order of first appearance, each once
  std::vector<ImportNote> notes;
  std::string error;  // the config could not be read: nothing to import
};

// Limits against hostile configs.
inline constexpr int kSshMaxIncludeDepth = 16;
inline constexpr int kSshMaxIncludeFiles = 1024;      // files read through Include, repeats counted
inline constexpr std::size_t kSshMaxBlocks = 200000;  // Host and Match blocks

SshConfig ParseSshConfig(const std::string& path, const std::string& home);
// The same for a config's text; `path` names it in notes (Include files are read).
SshConfig ParseSshConfigText(std::string_view text, const std::string& path, const std::string& home);

// ssh's pattern match: "*" any run of characters, "?" one; `name` and
// `pattern` compared as given (the caller lower-cases both).
bool WildcardMatch(std::string_view pattern, std::string_view name);
// Whether `block` applies to the lower-cased host name `name`.
bool BlockApplies(const SshBlock& block, std::string_view name);

// Builds the connection tree of a parsed config (the jump chains resolved).
ForeignImport SshConfigTree(const SshConfig& config, const ForeignOptions& options);

}  // namespace varnok
