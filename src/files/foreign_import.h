#pragma once
// Connections brought in from other tools: an OpenSSH client config, PuTTY's
// saved sessions (a sessions folder or a registry export) and CSV tables.
// A reader turns its source into detached subtrees ready to be appended
// below the top node, plus notes on every entry it skipped or doubts.
//
//   ForeignImport found = ReadForeignSource(ForeignFormat::OpenSsh, path, options);
//   if (!found.ok()) { show found.error; stop; }          // nothing to import
//   show found.notes; let the user uncheck nodes;
//   found.roots = KeepChecked(std::move(found.roots), isChecked);
//   ImportResult r = AppendImported(tree, std::move(found.roots));   // files/import_export.h
//
// Each connection gets the built-in macro template of its protocol (SSH2,
// Telnet, serial) with host, port, user and key file filled in, unless the
// source gives a macro of its own (CSV). Its popup note says where it came
// from. A host reached through a jump host is that jump host's child, so a
// branch run plays the jump host's macro first.
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/connection_tree.h"

namespace varnok {

enum class ForeignFormat { OpenSsh, Putty, Csv };
enum class ForeignProtocol { Ssh, Telnet, Serial };

// One connection as a source describes it; empty texts were not given.
struct ForeignHost {
  std::string name;
  ForeignProtocol protocol = ForeignProtocol::Ssh;
  std::string host, user, port, keyFile;
  std::string serialLine, serialSpeed;
  std::optional<std::string> macro;  // used as written instead of a template
  std::string origin;                // "<file>, line <n>", for the popup note
};

struct ImportNote {
  enum class Kind { Skipped, Doubtful };
  Kind kind = Kind::Skipped;
  std::string where;   // "<file>, line <n>", or the file alone
  std::string entry;   // what the source says: "Host *.corp", "Match all"
  std::string reason;  // why it is skipped, or what is doubtful about it
};
// "<where>: <entry>: <reason>" (parts that are empty left out).
std::string NoteText(const ImportNote& note);

struct ForeignImport {
  std::vector<std::unique_ptr<TreeNode>> roots;  // to go below the top node, in order
  std::vector<ImportNote> notes;                 // in the order met
  int connections = 0;                           // nodes in `roots`, all levels
  // Why the source could not be read at all (then nothing is imported).
  std::string error;
  bool ok() const { return error.empty(); }
};

struct ForeignOptions {
  // The program directory: its emulator settings give the default colours.
  std::string programDir;
  // The user's home folder: "~" in paths, and OpenSSH's "~/.ssh" for
  // relative Include paths.
  std::string home;
  // The most connections one import creates; entries beyond are skipped
  // with one note. Each carries a macro of about a kilobyte.
  int maxConnections = 50000;
};

// Limits against hostile sources.
inline constexpr std::size_t kForeignMaxLine = 64 * 1024;  // longer lines are skipped

// Reads `path`: for OpenSsh a config file; for Putty a sessions folder, one
// session file or a registry export (.reg, UTF-16 or ANSI); for Csv a table
// with a header row.
ForeignImport ReadForeignSource(ForeignFormat format, const std::string& path, const ForeignOptions& options);

// The default source of each format below `home`: "~/.ssh/config",
// "~/.putty/sessions", and nothing for CSV.
std::string DefaultForeignSource(ForeignFormat format, const std::string& home);

// The forest without the nodes `keep` refuses, and without their subtrees.
std::vector<std::unique_ptr<TreeNode>> KeepChecked(std::vector<std::unique_ptr<TreeNode>> roots,
                                                   const std::function<bool(const TreeNode*)>& keep);

// The macro text of `host`: its own macro, or its protocol's template with
// the placeholders it has values for filled in (CR LF line breaks).
std::string ForeignMacro(const ForeignHost& host);

// Builds the detached forest of an import: records as "Add child" makes
// them (default colours, logging on), with the macro and popup note of each
// host.
class ForeignTreeBuilder {
 public:
  explicit ForeignTreeBuilder(const std::string& programDir);
  // Appends `host` below `parent` (nullptr: a new root).
  TreeNode* add(TreeNode* parent, const ForeignHost& host);
  // A node without macro that only groups others (a CSV folder).
  TreeNode* addFolder(TreeNode* parent, const std::string& name, const std::string& origin);
  int count() const { return builder_.nodeCount(); }
  std::vector<std::unique_ptr<TreeNode>> finish() { return builder_.finish(); }

 private:
  TreeNode* append(TreeNode* parent, rVTNodeData data);

  SubtreeBuilder builder_;
  std::string colors_;
};

}  // namespace varnok
