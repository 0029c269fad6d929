// vnk import-from ssh|putty|csv [SOURCE] (-o OUT | --into FILE): brings the
// connections of another tool in, as the editor's "Import from other tools"
// does; every skipped or doubtful entry is printed on standard error.
#include <iostream>

#include "files/foreign_import.h"
#include "files/import_export.h"
#include "platform/home_dir.h"
#include "vnk_command.h"
#include "vnk_config.h"
#include "vnk_files.h"

namespace {

struct ImportFromArgs {
  std::string format, source, out, into;
};

varnok::ForeignFormat FormatOf(const std::string& name) {
  if (name == "ssh") return varnok::ForeignFormat::OpenSsh;
  if (name == "putty") return varnok::ForeignFormat::Putty;
  return varnok::ForeignFormat::Csv;
}

const varnok::vnk::Registration reg{
    "import-from", [](CLI::App& app) {
      auto* cmd =
          app.add_subcommand("import-from", "Import the connections of OpenSSH, PuTTY or a CSV table");
      auto a = std::make_shared<ImportFromArgs>();
      cmd->add_option("FORMAT", a->format,
                      "ssh (an OpenSSH client config), putty (a sessions folder or .reg), csv")
          ->required()
          ->check(CLI::IsMember({"ssh", "putty", "csv"}));
      cmd->add_option("SOURCE", a->source,
                      "the file or folder to read (default: ~/.ssh/config, ~/.putty/sessions)");
      auto* out =
          cmd->add_option("-o,--output", a->out,
                          "write a new configuration of the imported connections (\"-\": standard output)");
      auto* into =
          cmd->add_option("--into", a->into, "import below the top node of this configuration and save it");
      out->excludes(into);
      cmd->footer(
          "Each connection gets the macro template of its protocol with host, port, user and key file filled "
          "in; "
          "a host reached through ProxyJump is its jump host's child. Nothing is written when the source "
          "cannot "
          "be read or holds no connection.");
      cmd->callback([a] {
        if (a->out.empty() && a->into.empty()) throw CLI::RequiredError("-o or --into");
        const varnok::ForeignFormat format = FormatOf(a->format);
        const std::string home = varnok::platform::HomeDirectory();
        std::string source = a->source.empty() ? varnok::DefaultForeignSource(format, home) : a->source;
        if (source.empty()) throw CLI::RequiredError("SOURCE");
        varnok::ForeignImport found =
            varnok::ReadForeignSource(format, source, {varnok::vnk::ProgramDirectory(), home});
        for (const varnok::ImportNote& n : found.notes)
          std::cerr << (n.kind == varnok::ImportNote::Kind::Skipped ? "skipped: " : "doubtful: ")
                    << varnok::vnk::ForTerminal(varnok::NoteText(n)) << "\n";
        if (!found.ok())
          throw varnok::vnk::Failure(varnok::vnk::ForTerminal(found.error) + "\nNothing was written.");
        if (found.connections == 0)
          throw varnok::vnk::Failure(varnok::vnk::ForTerminal(source) +
                                     " holds no connections to import.\n"
                                     "Nothing was written.");
        varnok::ConnectionTree tree;
        if (!a->into.empty()) varnok::vnk::LoadAnyFormat(tree, a->into);
        const int connections = found.connections;
        const varnok::ImportResult r = varnok::AppendImported(tree, std::move(found.roots));
        std::ostream& report = a->out == "-" ? std::cerr : std::cout;
        report << "Imported " << connections << (connections == 1 ? " connection" : " connections");
        if (!found.notes.empty()) report << "; " << found.notes.size() << " entries skipped or doubtful";
        report << ".\n";
        if (std::string m = varnok::RenamedMessage(r.renamed); !m.empty()) report << m << "\n";
        varnok::vnk::SaveAnyFormat(tree, a->into.empty() ? a->out : a->into);
      });
    }};

}  // namespace
