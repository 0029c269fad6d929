// vnk run FILE NODE: runs a connection as "Run" (or "Run branch") does:
// writes the numbered macro and settings files and starts the emulator.
#include <iostream>

#include "platform/settings_names.h"
#include "run/execute_macro.h"
#include "run/node_request.h"
#include "vnk_command.h"
#include "vnk_config.h"

namespace {

struct RunArgs {
  std::string file, node;
  bool branch = false;
  std::vector<std::string> vars;
};

const varnok::vnk::Registration reg{
    "run", [](CLI::App& app) {
      auto* cmd = app.add_subcommand(
          "run", "Run a connection: write its macro and settings files, start the emulator");
      auto a = std::make_shared<RunArgs>();
      cmd->add_option("FILE", a->file, "the configuration file (.vnk)")->required();
      cmd->add_option(
             "NODE", a->node,
             "absolute index (top node 0), or path of names from a child of the top node joined by \"/\" "
             "(\"\\/\" for a \"/\" inside a name)")
          ->required();
      cmd->add_flag("--branch", a->branch, "run the branch: the ancestors' macros first (\"Run branch\")");
      varnok::vnk::AddVarOption(cmd, a->vars);
      cmd->footer(
          "The emulator and corvane.ini are taken from the folder the setting EmulatorDir names, else from "
          "vnk's directory. Temp_CVL and Logs are in vnk's directory when the user owns and may write it, "
          "else in $XDG_RUNTIME_DIR/varnok and $XDG_STATE_HOME/varnok. Every run "
          "writes the pair of files numbered 1, Temp_CVL/~macroC1.cvl and Temp_CVL/~CViniC1.ini, as the "
          "first run after a start of the editor does, replacing the pair an earlier run left there (the "
          "editor counts its runs from 1 to 128 and then starts again at 1). The user variables and "
          "\"Disable color support\" come from the settings (--var overrides a variable). Prints the "
          "emulator's two arguments.");
      cmd->callback([a] {
        varnok::ConnectionTree tree;
        varnok::vnk::LoadTree(tree, a->file);
        const varnok::TreeNode* node = varnok::vnk::FindConnection(tree, a->node);
        varnok::run::MacroRequest request =
            varnok::run::RequestForNode(node, a->branch, varnok::vnk::Places().emulatorDir);
        varnok::vnk::ApplyUserVariables(request, a->vars);
        request.disableColors = varnok::platform::NoColors.readFlag(*varnok::platform::OpenVarnokSettings());

        varnok::run::TempFileNumbering numbering(1);
        varnok::run::RunEnvironment env;
        env.places = varnok::vnk::Places();
        env.numbering = &numbering;
        varnok::run::RunResult result = varnok::run::ExecuteMacro(request, env);
        std::vector<varnok::run::RunMessage> messages = result.messages;
        if (!result.started && !messages.empty() &&
            messages.back().kind == varnok::run::MessageKind::Warning) {
          std::string failed = messages.back().text;  // the failed start
          messages.pop_back();
          varnok::vnk::ReportMessages(messages);
          throw varnok::vnk::Failure(varnok::vnk::ForTerminal(failed));
        }
        varnok::vnk::ReportMessages(messages);
        if (!result.started) throw varnok::vnk::Failure("the emulator was not started");
        std::cout << "/F=" << result.files.settingsFile << "\n/M=" << result.files.macroFile << "\n";
      });
    }};

}  // namespace
