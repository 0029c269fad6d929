// vnk import FILE SOURCE [-o OUT]: imports SOURCE (.vnk or .plf) below the
// top node of FILE as "Import connection ..." does, and writes the result.
#include <iostream>

#include "files/import_export.h"
#include "vnk_command.h"
#include "vnk_config.h"
#include "vnk_files.h"

namespace {

struct ImportArgs {
  std::string file, source, out;
};

const varnok::vnk::Registration reg{
    "import", [](CLI::App& app) {
      auto* cmd =
          app.add_subcommand("import", "Import the connections of a .vnk or .plf file into a configuration");
      auto a = std::make_shared<ImportArgs>();
      cmd->add_option("FILE", a->file, "the configuration to import into (.plf: text format; otherwise .VNK)")
          ->required();
      cmd->add_option("SOURCE", a->source, "the file to import: .vnk or .plf (any letter case)")->required();
      cmd->add_option(
          "-o,--output", a->out,
          "where to write the result (default: FILE, replaced safely; \"-\": .VNK to standard output)");
      cmd->footer(
          "Imported connections whose names collide with siblings get \"Copy of \" names; the message "
          "saying how many is printed. Nothing is written when SOURCE cannot be read completely.");
      cmd->callback([a] {
        varnok::ConnectionTree tree;
        varnok::vnk::LoadAnyFormat(tree, a->file);
        varnok::ImportResult r =
            varnok::ImportConnections(tree, a->source, varnok::vnk::Places().emulatorDir);
        if (!r.supported || !r.load.ok()) {
          std::string text = r.supported ? r.load.message : std::string(varnok::kUnsupportedImportFormat);
          if (!r.load.reason.empty()) text += " (" + r.load.reason + ")";
          throw varnok::vnk::Failure(varnok::vnk::ForTerminal(text) + "\nNothing was written.");
        }
        if (std::string m = varnok::RenamedMessage(r.renamed); !m.empty())
          (a->out == "-" ? std::cerr : std::cout) << m << "\n";
        varnok::vnk::SaveAnyFormat(tree, a->out.empty() ? a->file : a->out);
      });
    }};

}  // namespace
