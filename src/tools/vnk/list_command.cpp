// vnk list FILE: the tree of a configuration file as an outline, or with
// --json every stored node with its fields.
#include <iostream>

#include "files/vnk_stream.h"
#include "json_text.h"
#include "terminal_text.h"
#include "vnk_command.h"
#include "vnk_config.h"

namespace {

using varnok::vnk::EscapeControls;

// Deeper levels than this are not indented further; their level is shown as
// a number, so that a deep chain cannot fill a disk with blanks.
constexpr int kMaxIndentedLevel = 32;

void PrintOutlineLine(const varnok::RecordView& d) {
  int level = d.Level < 1 ? 1 : d.Level;
  if (level <= kMaxIndentedLevel) {
    std::cout << std::string(2 * static_cast<std::size_t>(level - 1), ' ') << EscapeControls(d.Name) << "\n";
  } else {
    std::cout << std::string(2 * static_cast<std::size_t>(kMaxIndentedLevel - 1), ' ') << "(level " << level
              << ") " << EscapeControls(d.Name) << "\n";
  }
}

// One array element, laid out as nlohmann's dump(2) of the whole array (keys
// in order), its strings written in pieces.
void PrintJsonElement(int index, const varnok::RecordView& d, bool first) {
  using varnok::vnk::WriteJsonString;
  std::ostream& out = std::cout;
  out << (first ? "[\n" : ",\n") << "  {\n    \"colors\": ";
  WriteJsonString(out, d.Colors);
  out << ",\n    \"index\": " << index << ",\n    \"lastUpdated\": ";
  WriteJsonString(out, d.LastUpdated);
  out << ",\n    \"level\": " << d.Level << ",\n    \"macro\": ";
  WriteJsonString(out, d.Macro, /*stored=*/true);
  out << ",\n    \"name\": ";
  WriteJsonString(out, d.Name);
  out << ",\n    \"nodeType\": " << static_cast<std::int32_t>(d.NodeType) << ",\n    \"popup\": ";
  WriteJsonString(out, d.PopupText, /*stored=*/true);
  out << ",\n    \"schedule\": ";
  WriteJsonString(out, d.Schedule);
  out << ",\n    \"startLogging\": " << (d.StartLogging ? "true" : "false") << "\n  }";
}

const varnok::vnk::Registration reg{
    "list", [](CLI::App& app) {
      auto* cmd = app.add_subcommand("list", "Print the tree of a configuration file");
      auto file = std::make_shared<std::string>();
      auto json = std::make_shared<bool>(false);
      cmd->add_option("FILE", *file, "the configuration file (.vnk)")->required();
      cmd->add_flag(
          "--json", *json,
          "print a JSON array with one object per stored node in tree order: index (absolute, top node 0), "
          "level, name, nodeType, startLogging, macro, popup, schedule, lastUpdated, colors");
      cmd->footer(
          "Without --json: one line per node below the top node, its name indented by two blanks per level "
          "below the first; below level 32 the indent stays and \"(level N) \" precedes the name. Control "
          "characters in names are shown as \\xHH.");
      cmd->callback([file, json] {
        auto fail = [](const varnok::LoadResult& r) {
          std::string text = r.message;
          if (!r.reason.empty()) text += " (" + r.reason + ")";
          throw varnok::vnk::Failure(varnok::vnk::ForTerminal(text));
        };
        // Record by record as the file is read: no tree. A first pass finds
        // any damage, so that a damaged file prints nothing.
        varnok::LoadResult r =
            varnok::StreamConfiguration(*file, [](const varnok::RecordView&, int) { return true; });
        if (!r.ok()) fail(r);
        bool first = true;
        r = varnok::StreamConfiguration(*file, [&](const varnok::RecordView& d, int index) {
          if (*json) {
            PrintJsonElement(index, d, first);
            first = false;
          } else {
            PrintOutlineLine(d);
          }
          return static_cast<bool>(std::cout);  // stopped once the output fails
        });
        if (!r.ok()) fail(r);
        if (*json) std::cout << (first ? "[]\n" : "\n]\n");
      });
    }};

}  // namespace
