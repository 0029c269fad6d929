#pragma once
// The pages' unapplied edits as the document's questions see them: the
// connection they belong to, and Apply or discard when New, Open or Close
// decides about them.
#include <optional>
#include <string>

#include "document/document.h"

namespace varnok::app {

class CommandActions;
class ConnectionPages;
class PageCycle;
class TreeSelection;

class PageEdits final : public UnappliedEdits {
 public:
  struct Context {
    PageCycle& cycle;
    ConnectionPages& pages;
    CommandActions& commands;  // Apply's button disables itself first
    const TreeSelection& selection;
  };
  // The document is made before the pages, so they come once they exist;
  // until then there are no unapplied edits.
  void attach(Context context) { context_.emplace(context); }

  std::optional<std::string> connectionName() const override;
  void apply() override;
  void discard() override;

 private:
  TreeNode* node() const;

  std::optional<Context> context_;
};

}  // namespace varnok::app
