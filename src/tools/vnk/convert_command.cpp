// vnk convert IN OUT: the whole tree of IN written to OUT, each file in the
// format its extension names (.plf: the text format, anything else: .VNK).
#include <iostream>

#include "files/import_export.h"
#include "files/vnk_stream.h"
#include "vnk_command.h"
#include "vnk_config.h"
#include "vnk_files.h"

namespace {

// .VNK to .VNK record by record, without a tree: memory stays at the size of
// the largest record. Returns the number of nodes written.
int CopyVnk(const std::string& in, const std::string& out) {
  varnok::LoadResult read;
  auto inputFailure = [&read] {
    std::string text = read.message;
    if (!read.reason.empty()) text += " (" + read.reason + ")";
    return varnok::vnk::Failure(varnok::vnk::ForTerminal(text));
  };
  if (out == "-") {
    const bool done = varnok::ProduceNormalisedConfiguration(in, read, [](std::string_view piece) {
      std::cout.write(piece.data(), static_cast<std::streamsize>(piece.size()));
      return static_cast<bool>(std::cout);
    });
    if (!read.ok()) throw inputFailure();
    (void)done;  // a failed write is reported with the output's other errors
    return read.nodesAdded;
  }
  varnok::platform::WriteResult w =
      varnok::platform::SafeWriteFile(out, [&](const varnok::platform::ChunkSink& sink) {
        return varnok::ProduceNormalisedConfiguration(in, read, sink);
      });
  if (!read.ok()) throw inputFailure();
  if (!w) {
    std::string text = varnok::vnk::ForTerminal(w.error);
    if (!varnok::platform::CheckRegularFile(out).empty()) text += " (\"-\" writes to standard output)";
    throw varnok::vnk::Failure(text);
  }
  return read.nodesAdded;
}

bool IsVnk(const std::string& path) {
  return path == "-" || varnok::FileFormatOf(path) == varnok::ConnectionFileFormat::Vnk;
}

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
        int written = 0;
        if (*in != "-" && IsVnk(*in) && IsVnk(*out)) {
          written = CopyVnk(*in, *out);
        } else {
          varnok::ConnectionTree tree;
          varnok::vnk::LoadAnyFormat(tree, *in);
          varnok::vnk::SaveAnyFormat(tree, *out);
          written = tree.count() - 1;
        }
        // With the file itself on standard output, the report goes to standard error.
        (*out == "-" ? std::cerr : std::cout) << written << " nodes written to " << *out << "\n";
      });
    }};

}  // namespace
