// vnk convert IN OUT: the whole tree of IN written to OUT, each file in the
// format its extension names (.plf: the text format, anything else: .VNK).
#include <iostream>

#include "vnk_command.h"
#include "vnk_files.h"

namespace {

const varnok::vnk::Registration reg{
    "convert", [](CLI::App& app) {
      auto* cmd =
          app.add_subcommand("convert", "Write the whole tree of a .vnk or .plf file to another file");
      auto in = std::make_shared<std::string>();
      auto out = std::make_shared<std::string>();
      cmd->add_option("IN", *in, "the file to read (.plf in any letter case: text format; otherwise .VNK)")
          ->required();
      cmd->add_option("OUT", *out,
                      "the file to write, replaced safely (.plf: text format; otherwise .VNK; \"-\": .VNK to "
                      "standard output)")
          ->required();
      cmd->footer("Prints the number of connections and separator lines written.");
      cmd->callback([in, out] {
        varnok::ConnectionTree tree;
        varnok::vnk::LoadAnyFormat(tree, *in);
        varnok::vnk::SaveAnyFormat(tree, *out);
        // With the file itself on standard output, the report goes to standard error.
        (*out == "-" ? std::cerr : std::cout) << tree.count() - 1 << " nodes written to " << *out << "\n";
      });
    }};

}  // namespace
