#include "vnk_config.h"

#include <iostream>

#include "files/vnk_file.h"
#include "platform/executable_path.h"
#include "platform/settings_names.h"
#include "vnk_command.h"

namespace varnok::vnk {
namespace {

bool AllDigits(const std::string& s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

std::vector<std::string> SplitPath(const std::string& spec) {
  std::vector<std::string> names(1);
  for (std::size_t i = 0; i < spec.size(); ++i) {
    if (spec[i] == '\\' && i + 1 < spec.size() && spec[i + 1] == '/') {
      names.back() += '/';
      ++i;
    } else if (spec[i] == '/') {
      names.emplace_back();
    } else {
      names.back() += spec[i];
    }
  }
  return names;
}

std::string VarKey(const std::string& var) {
  std::string key = var.substr(0, var.find('='));
  for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key;
}

}  // namespace

const platform::ProgramPlaces& Places() {
  static const platform::ProgramPlaces places = platform::ThisProgramPlaces(
      platform::ExecutableDir(), platform::EmulatorDir.read(*platform::OpenVarnokSettings()));
  return places;
}

void LoadTree(ConnectionTree& tree, const std::string& path) {
  LoadResult r = LoadConfiguration(tree, path, false);
  if (r.ok()) return;
  std::string text = r.message;
  if (!r.reason.empty()) text += " (" + r.reason + ")";
  throw Failure(ForTerminal(text));
}

TreeNode* FindNode(const ConnectionTree& tree, const std::string& spec) {
  if (AllDigits(spec)) {
    TreeNode* node = spec.size() < 10 ? tree.nodeAt(std::stoi(spec)) : nullptr;
    if (!node)
      throw Failure("no node with index " + spec + ": the indexes run from 0 to " +
                    std::to_string(tree.count() - 1));
    return node;
  }
  std::string path = (!spec.empty() && spec.front() == '/') ? spec.substr(1) : spec;
  TreeNode* node = tree.top();
  std::string walked;
  for (const std::string& name : SplitPath(path)) {
    TreeNode* found = nullptr;
    for (TreeNode* c = node->firstChild(); c && !found; c = c->nextSibling())
      if (std::string_view(c->name()) == name) found = c;
    if (!found)
      throw Failure("no node named \"" + name + "\"" +
                    (walked.empty() ? " below the top node" : " below \"" + walked + "\""));
    walked += (walked.empty() ? "" : "/") + name;
    node = found;
  }
  return node;
}

TreeNode* FindConnection(const ConnectionTree& tree, const std::string& spec) {
  TreeNode* node = FindNode(tree, spec);
  if (node == tree.top()) throw Failure("node 0 is the top node; it has no macro");
  if (node->isSeparator()) throw Failure("node " + spec + " is a separator line; it has no macro");
  return node;
}

CLI::Option* AddVarOption(CLI::App* cmd, std::vector<std::string>& vars) {
  return cmd
      ->add_option(
          "--var", vars,
          "name=V, email=V or phone=V: the value of $NAME$, $EMAIL$ or $PHONE$ instead of the one in the "
          "settings")
      ->check([](const std::string& v) -> std::string {
        if (v.find('=') == std::string::npos) return "expected name=V, email=V or phone=V";
        std::string key = VarKey(v);
        if (key != "name" && key != "email" && key != "phone") return "unknown variable '" + key + "'";
        return {};
      });
}

void ApplyUserVariables(run::MacroRequest& request, const std::vector<std::string>& vars) {
  auto settings = platform::OpenVarnokSettings();
  request.userName = platform::VarName.read(*settings);
  request.userEmail = platform::VarEmail.read(*settings);
  request.userPhone = platform::VarPhone.read(*settings);
  for (const std::string& v : vars) {
    std::string key = VarKey(v);
    std::string value = v.substr(v.find('=') + 1);
    if (key == "name") request.userName = value;
    if (key == "email") request.userEmail = value;
    if (key == "phone") request.userPhone = value;
  }
}

std::string ForTerminal(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

void ReportMessages(const std::vector<run::RunMessage>& messages) {
  for (const run::RunMessage& m : messages) {
    if (m.kind != run::MessageKind::Warning) throw Failure(ForTerminal(m.text));
    std::cerr << "vnk: warning: " << ForTerminal(m.text) << "\n";
  }
}

}  // namespace varnok::vnk
