// vnk macro FILE NODE: the macro file that "Export macro ..." writes for a
// connection, to standard output or a file.
#include <iostream>

#include "common/stored_text.h"
#include "common/trim_text.h"
#include "run/execute_macro.h"
#include "run/node_request.h"
#include "vnk_command.h"
#include "vnk_config.h"

namespace {

struct MacroArgs {
  std::string file, node, user, out;
  bool branch = false;
  int toLine = 0;
  std::vector<std::string> vars;
};

const varnok::vnk::Registration reg{
    "macro", [](CLI::App& app) {
      auto* cmd =
          app.add_subcommand("macro", "Write the assembled macro of a connection, as \"Export macro\" does");
      auto a = std::make_shared<MacroArgs>();
      cmd->add_option("FILE", a->file, "the configuration file (.vnk)")->required();
      cmd->add_option(
             "NODE", a->node,
             "absolute index (top node 0), or path of names from a child of the top node joined by \"/\" "
             "(\"\\/\" for a \"/\" inside a name)")
          ->required();
      cmd->add_flag("--branch", a->branch,
                    "put the macros of the connection's ancestors first, top-most first");
      cmd->add_option("--to-line", a->toLine,
                      "take the connection's own macro only through line N (\"Run to cursor\")")
          ->check(CLI::PositiveNumber);
      varnok::vnk::AddVarOption(cmd, a->vars);
      cmd->add_option("--user", a->user, "logon name for $USER$, $user$ and $User$ instead of the system's");
      cmd->add_option("-o,--output", a->out,
                      "write to this file instead of standard output (\"-\": standard output)");
      cmd->footer(
          "Logging follows the connection's stored flag; the user variables come from the settings unless "
          "--var gives them. The emulator must be in the emulator folder (the setting EmulatorDir, else "
          "vnk's "
          "directory).");
      cmd->callback([a] {
        varnok::ConnectionTree tree;
        varnok::vnk::LoadTree(tree, a->file);
        const varnok::TreeNode* node = varnok::vnk::FindConnection(tree, a->node);
        varnok::run::MacroRequest request =
            varnok::run::RequestForNode(node, a->branch, varnok::vnk::Places().emulatorDir);
        if (a->toLine > 0)  // the editor holds the trimmed text; the cut takes whole lines of it
          request.own.text = varnok::run::CutToCaretLine(varnok::TrimText(request.own.text), a->toLine);
        varnok::vnk::ApplyUserVariables(request, a->vars);
        if (!a->user.empty()) request.logonName = a->user;

        if (a->out.empty() || a->out == "-") {
          std::vector<varnok::run::RunMessage> messages;
          std::optional<std::string> text =
              varnok::run::ExportMacroText(request, varnok::vnk::Places(), messages);
          varnok::vnk::ReportMessages(messages);
          if (text) std::cout << *text << std::flush;
          return;
        }
        request.exportFile = a->out;
        varnok::run::RunEnvironment env;
        env.places = varnok::vnk::Places();
        varnok::run::RunResult result = varnok::run::ExecuteMacro(request, env);
        varnok::vnk::ReportMessages(result.messages);
      });
    }};

}  // namespace
