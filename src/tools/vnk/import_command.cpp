// vnk import FILE SOURCE [-o OUT]: imports SOURCE (.vnk or .plf) below the
// top node of FILE as "Import connection ..." does, and writes the result.
#include <cctype>
#include <iostream>

#include "files/import_export.h"
#include "files/vnk_import_stream.h"
#include "vnk_command.h"
#include "vnk_config.h"
#include "vnk_files.h"

namespace {

struct ImportArgs {
  std::string file, source, out;
};

bool IsVnk(const std::string& path) {
  return path == "-" || varnok::FileFormatOf(path) == varnok::ConnectionFileFormat::Vnk;
}

// What ImportConnections reads as a .VNK file: the extension ".vnk" in any letter case.
bool HasVnkExtension(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\"), dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  std::string ext = path.substr(dot);
  for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return ext == ".VNK";
}

std::string ReadFailure(const varnok::LoadResult& r) {
  std::string text = r.message;
  if (!r.reason.empty()) text += " (" + r.reason + ")";
  return varnok::vnk::ForTerminal(text);
}

// .VNK into .VNK record by record, without a tree (see
// ProduceImportedConfiguration); the same result, messages and failures as
// the way through a tree.
void ImportVnk(const ImportArgs& a) {
  const std::string out = a.out.empty() ? a.file : a.out;
  varnok::StreamedImport r;
  varnok::platform::WriteResult w;
  if (out == "-") {
    varnok::ProduceImportedConfiguration(a.file, a.source, r, [](std::string_view piece) {
      std::cout.write(piece.data(), static_cast<std::streamsize>(piece.size()));
      return static_cast<bool>(std::cout);
    });
  } else {
    w = varnok::platform::SafeWriteFile(out, [&](const varnok::platform::ChunkSink& sink) {
      return varnok::ProduceImportedConfiguration(a.file, a.source, r, sink);
    });
  }
  if (!r.file.ok()) throw varnok::vnk::Failure(ReadFailure(r.file));
  if (!r.source.ok()) throw varnok::vnk::Failure(ReadFailure(r.source) + "\nNothing was written.");
  if (!w) {
    std::string text = varnok::vnk::ForTerminal(w.error);
    if (!varnok::platform::CheckRegularFile(out).empty()) text += " (\"-\" writes to standard output)";
    throw varnok::vnk::Failure(text);
  }
  if (std::string m = varnok::RenamedMessage(r.renamed); !m.empty())
    (out == "-" ? std::cerr : std::cout) << m << "\n";
}

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
        if (IsVnk(a->file) && a->file != "-" && HasVnkExtension(a->source) &&
            IsVnk(a->out.empty() ? a->file : a->out)) {
          ImportVnk(*a);
          return;
        }
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
