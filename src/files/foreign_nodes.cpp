// The records of imported connections: template macros, popup notes, and
// the pruning of unchecked nodes.
#include <string_view>

#include "common/stored_text.h"
#include "common/trim_text.h"
#include "files/csv_connections.h"
#include "files/foreign_import.h"
#include "files/putty_sessions.h"
#include "files/serial_line.h"
#include "files/ssh_config.h"
#include "properties/color_set.h"
#include "properties/macro_templates.h"

namespace varnok {
namespace {

// Template tags of properties/macro_templates.h.
constexpr int kTelnetTemplate = 1;
constexpr int kSsh2Template = 5;
constexpr int kSsh2CredentialsTemplate = 6;
constexpr int kSsh2PublicKeyTemplate = 7;
constexpr int kSerialTemplate = 8;

constexpr std::string_view kHostPlaceholder = "<server_name_or_IP_address>";

void ReplaceAll(std::string& text, std::string_view what, std::string_view with) {
  if (with.empty()) return;  // a placeholder without a value stays as written
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
    text.replace(at, what.size(), with);
}

int TemplateTag(const ForeignHost& host) {
  switch (host.protocol) {
    case ForeignProtocol::Telnet:
      return kTelnetTemplate;
    case ForeignProtocol::Serial:
      return kSerialTemplate;
    case ForeignProtocol::Ssh:
      break;
  }
  if (!host.keyFile.empty()) return kSsh2PublicKeyTemplate;
  if (!host.user.empty()) return kSsh2CredentialsTemplate;
  return kSsh2Template;
}

std::string PopupNote(const ForeignHost& host) {
  std::string note = "Imported from " + host.origin + ".";
  if (host.protocol == ForeignProtocol::Serial) {
    note += "\r\nSerial line " + (host.serialLine.empty() ? std::string("(not given)") : host.serialLine);
    if (!host.serialSpeed.empty()) note += ", " + host.serialSpeed + " baud";
    note += ".";
  }
  return note;
}

}  // namespace

std::string NoteText(const ImportNote& note) {
  std::string text;
  for (const std::string* part : {&note.where, &note.entry, &note.reason}) {
    if (part->empty()) continue;
    if (!text.empty()) text += ": ";
    text += *part;
  }
  return text;
}

std::string ForeignMacro(const ForeignHost& host) {
  if (host.macro) return *host.macro;
  std::string text(properties::MacroTemplateText(TemplateTag(host)));
  switch (host.protocol) {
    case ForeignProtocol::Telnet:
      if (!host.port.empty()) ReplaceAll(text, ":23 /nossh", ":" + host.port + " /nossh");
      ReplaceAll(text, kHostPlaceholder, host.host);
      break;
    case ForeignProtocol::Ssh: {
      const bool otherPort = !host.port.empty() && host.port != "22";
      const std::string address = host.host.empty() ? std::string(kHostPlaceholder) : host.host;
      ReplaceAll(text, kHostPlaceholder, otherPort ? address + ":" + host.port : address);
      break;
    }
    case ForeignProtocol::Serial:
      ReplaceAll(text, "<port_number>", SerialPortNumber(host.serialLine));
      break;
  }
  ReplaceAll(text, "<Server_name_or_site_name>", host.name);
  ReplaceAll(text, "<user_name>", host.user);
  ReplaceAll(text, "<username>", host.user);
  ReplaceAll(text, "<private-key-file>", host.keyFile);
  return text;
}

ForeignTreeBuilder::ForeignTreeBuilder(const std::string& programDir)
    : colors_(properties::DefaultColorString(programDir)) {}

TreeNode* ForeignTreeBuilder::append(TreeNode* parent, rVTNodeData data) {
  data.Colors = colors_;
  data.StartLogging = true;  // as "Add child" makes a connection, and deeper ones copy it
  return builder_.append(parent ? parent : builder_.root(), std::move(data));
}

TreeNode* ForeignTreeBuilder::add(TreeNode* parent, const ForeignHost& host) {
  rVTNodeData data;
  data.Name = host.name;
  data.Macro = EncodeText(TrimTextView(ForeignMacro(host)));
  data.PopupText = EncodeText(PopupNote(host));
  return append(parent, std::move(data));
}

TreeNode* ForeignTreeBuilder::addFolder(TreeNode* parent, const std::string& name,
                                        const std::string& origin) {
  rVTNodeData data;
  data.Name = name;
  data.PopupText = EncodeText("Folder of the connections imported from " + origin + ".");
  return append(parent, std::move(data));
}

std::vector<std::unique_ptr<TreeNode>> KeepChecked(std::vector<std::unique_ptr<TreeNode>> roots,
                                                   const std::function<bool(const TreeNode*)>& keep) {
  SubtreeBuilder kept;
  // Pre-order, with each kept node's copy beside it, so a child finds its parent's copy.
  std::vector<std::pair<const TreeNode*, TreeNode*>> pending;
  for (auto it = roots.rbegin(); it != roots.rend(); ++it) pending.emplace_back(it->get(), kept.root());
  while (!pending.empty()) {
    auto [node, parentCopy] = pending.back();
    pending.pop_back();
    if (!keep(node)) continue;
    TreeNode* copy = kept.append(parentCopy, rVTNodeData(node->data()));
    for (int row = node->childCount() - 1; row >= 0; --row) pending.emplace_back(node->child(row), copy);
  }
  return kept.finish();
}

std::string DefaultForeignSource(ForeignFormat format, const std::string& home) {
  switch (format) {
    case ForeignFormat::OpenSsh:
      return home + "/.ssh/config";
    case ForeignFormat::Putty:
      return home + "/.putty/sessions";
    case ForeignFormat::Csv:
      break;
  }
  return "";
}

ForeignImport ReadForeignSource(ForeignFormat format, const std::string& path,
                                const ForeignOptions& options) {
  switch (format) {
    case ForeignFormat::OpenSsh:
      return SshConfigTree(ParseSshConfig(path, options.home), options);
    case ForeignFormat::Putty:
      return ReadPuttySessions(path, options);
    case ForeignFormat::Csv:
      break;
  }
  return ReadCsvConnections(path, options);
}

}  // namespace varnok
