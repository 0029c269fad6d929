// vnk find FILE QUERY... [--json] [-n N]: the connections that match a query
// of the editor's find filter, by path.
#include <iostream>

#include "json_text.h"
#include "model/tree_search.h"
#include "terminal_text.h"
#include "vnk_command.h"
#include "vnk_config.h"
#include "vnk_files.h"

namespace {

struct FindArgs {
  std::string file;
  std::vector<std::string> words;
  bool json = false;
  int count = 0;  // 0: all
};

void PrintJsonMatch(const varnok::TreeNode* node, int index, bool first) {
  using varnok::vnk::WriteJsonString;
  std::ostream& out = std::cout;
  out << (first ? "[\n" : ",\n") << "  {\n    \"index\": " << index
      << ",\n    \"level\": " << node->data().Level << ",\n    \"name\": ";
  WriteJsonString(out, node->name());
  out << ",\n    \"path\": ";
  WriteJsonString(out, varnok::vnk::NodePath(node));
  out << "\n  }";
}

const varnok::vnk::Registration reg{
    "find", [](CLI::App& app) {
      auto* cmd = app.add_subcommand("find", "Print the connections that match a query, by path");
      auto a = std::make_shared<FindArgs>();
      cmd->add_option("FILE", a->file, "the configuration file (.vnk)")->required();
      cmd->add_option("QUERY", a->words, "the query's words (joined by blanks)")->required();
      cmd->add_flag("--json", a->json, "print a JSON array of {index, level, name, path}");
      cmd->add_option("-n", a->count, "print at most N matches")->check(CLI::Range(1, 1 << 30));
      cmd->footer(
          "The query, as in the editor's filter field: words that must all occur in the connection's "
          "name path (any letter case); host:, user:, macro:, popup: restrict a word to the host and user "
          "names of the macro's connect lines, the macro text or the popup; \"a phrase\"; a leading - "
          "excludes (put \"--\" before the query when a word begins with \"-\"). One path per line in tree "
          "order (as NODE of vnk run; control characters in names "
          "shown as \\xHH). Exit status 1 when nothing matches.");
      cmd->callback([a] {
        std::string text;
        for (const std::string& w : a->words) text += (text.empty() ? "" : " ") + w;
        const varnok::FindQuery query = varnok::ParseFindQuery(text);
        if (query.empty()) throw varnok::vnk::Failure("the query has no word to look for");
        varnok::ConnectionTree tree;
        varnok::vnk::LoadTree(tree, a->file);
        const varnok::FindResult r = varnok::SearchTree(tree, query);
        // The matches in tree order, with their absolute indexes.
        int printed = 0, index = 0;
        std::size_t entry = 1;
        for (const varnok::TreeNode* n = tree.top(); n && entry < r.shown.size() && std::cout;
             n = varnok::ConnectionTree::next(n), ++index) {
          if (n != r.shown[entry]) continue;
          if (r.matched[entry++] == 0) continue;
          if (a->count > 0 && printed == a->count) break;
          if (a->json)
            PrintJsonMatch(n, index, printed == 0);
          else
            std::cout << varnok::vnk::EscapeControls(varnok::vnk::NodePath(n)) << "\n";
          ++printed;
        }
        if (a->json) std::cout << (printed == 0 ? "[]\n" : "\n]\n");
        if (printed == 0) throw varnok::vnk::Failure("no connection matches");
      });
    }};

}  // namespace
