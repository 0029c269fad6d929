#pragma once
// Shared by the vnk subcommands that read a configuration file: loading it,
// finding a node by index or path, and the run inputs taken from the settings.
#include <memory>
#include <string>
#include <vector>

#include "model/connection_tree.h"
#include "platform/program_places.h"
#include "run/execute_macro.h"

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace varnok::vnk {

// Where vnk's subcommands find the emulator and corvane.ini and write
// Temp_CVL and Logs: vnk's own directory when it is a portable program
// folder, else the user's folders; the emulator folder from "EmulatorDir".
const platform::ProgramPlaces& Places();

// Loads `path` into `tree`; throws Failure with the reader's message.
void LoadTree(ConnectionTree& tree, const std::string& path);

// NODE: an absolute index (top node 0), or a path of names starting at a
// child of the top node, joined by "/" ("\/" stands for a "/" inside a name;
// a leading "/" forces a path, for a top-level name made of digits only).
// Throws Failure when there is no such node.
TreeNode* FindNode(const ConnectionTree& tree, const std::string& spec);
// FindNode, refusing the top node and separator lines.
TreeNode* FindConnection(const ConnectionTree& tree, const std::string& spec);

// "--var name=V", "--var email=V", "--var phone=V".
CLI::Option* AddVarOption(CLI::App* cmd, std::vector<std::string>& vars);

// The user variables from the settings, then the --var values over them.
void ApplyUserVariables(run::MacroRequest& request, const std::vector<std::string>& vars);

// A message text for the terminal: carriage returns become line breaks.
std::string ForTerminal(const std::string& text);

// Prints warnings to standard error; throws Failure with the first error.
void ReportMessages(const std::vector<run::RunMessage>& messages);

}  // namespace varnok::vnk
