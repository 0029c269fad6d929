#pragma once
// The open configuration: its tree, its file, whether it was changed since it
// was loaded or saved, and the recent-file list; and the decisions of New,
// Open, Save, Save as, the recent files, Close and the import of a handed-over
// file (which question, which write, which notification). No widgets: the
// window presents the document and follows its signals.
#include <QObject>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/long_work.h"
#include "dialogs/prompts.h"
#include "document/recent_files.h"
#include "model/connection_tree.h"
#include "model/tree_history.h"
#include "platform/file_identity.h"
#include "platform/safe_write.h"

namespace varnok {
class Clock;
struct LoadResult;
}  // namespace varnok

namespace varnok::app {

// The connection whose page edits are not yet applied, as the document's
// questions (New, Open, Close) see it; the pages' owner answers.
class UnappliedEdits {
 public:
  virtual ~UnappliedEdits() = default;
  // The name of the connection whose unapplied page edits a discard would
  // lose; nullopt when there are none (or they belong to the top node).
  virtual std::optional<std::string> connectionName() const = 0;
  virtual void apply() = 0;
  virtual void discard() = 0;
};

class Document : public QObject {
  Q_OBJECT
 public:
  struct Context {
    Prompter& prompter;
    FileDialogs& dialogs;
    const Clock& clock;
    UnappliedEdits& edits;
  };
  // `programDir`: where an imported .PLF file finds the emulator's settings.
  Document(Context context, std::string programDir, QObject* parent = nullptr);

  ConnectionTree& tree() { return tree_; }
  const ConnectionTree& tree() const { return tree_; }
  // The undo history of tree changes; New and Open empty it, Save keeps it.
  TreeHistory& history() { return history_; }
  const TreeHistory& history() const { return history_; }
  const std::string& currentFile() const { return currentFile_; }
  bool isModified() const { return modified_; }
  // "Varnokc Configuration - [" + name or "Noname.VNK" + "*" when modified + "]".
  std::string caption() const;
  // Marks or clears the document's change mark (the caption's "*"). Every
  // change the history records marks it by itself.
  void setModified(bool modified);

  RecentFiles& recentFiles() { return recent_; }
  const RecentFiles& recentFiles() const { return recent_; }

  // The stored "SelectedNodeIndex": the node focused after the next load.
  void setNodeIndexToFocus(std::int32_t index) { focusIndex_ = index; }
  std::int32_t nodeIndexToFocus() const { return focusIndex_; }

  // The apply question, then the save question: Yes, No or Cancel.
  PromptAnswer confirmDiscard();

  // New: true when the document was replaced by an empty one.
  bool newDocument();
  // Open with its dialog; a recent file; a file named at start (no questions).
  void open();
  void openRecent(const std::string& path);
  bool load(const std::string& path);
  // True once the document is written. Save first checks that the file is
  // still the one loaded or last saved; when another program changed it, it
  // asks: Reload (the file read again, nothing saved), Overwrite, Save as or
  // Cancel. Save as writes the file the user chose without that question:
  // its dialog asked before replacing it.
  bool save();
  bool saveAs();
  // Close: true when the window may close (saved, or the user agreed).
  bool mayClose(bool saveWithoutPrompting);
  // Where an import's reading runs (in place until the window sets its own).
  void setLongWork(LongWork& work) { longWork_ = &work; }
  // Appends the connections of a handed-over .VNK or .PLF file. The file is
  // read and named through the long-work runner; a cancelled import leaves
  // the document as it was.
  void importFile(const std::string& path);
  // Appends connections read from another tool below the top node, as
  // importFile appends a file's: sibling names resolved, document modified.
  void importNodes(std::vector<std::unique_ptr<TreeNode>> roots);

 signals:
  // Around reading or writing the tree: the hourglass, no tracking, no repaint.
  void busyBegan();
  void busyEnded();
  // After the tree was emptied (New) or a file was read into it; `focus` is
  // the node to focus and select (the stored node index), or null.
  void replaced(TreeNode* focus);
  // The caption changed: the file's name or the change mark.
  void captionChanged();
  void recentFilesChanged();
  // Save gives the tree the focus and refreshes the commands.
  void saveFinished();
  // The file was read or written, or the window closes: settings to be
  // written, then the companion told.
  void companionNoticeDue();

 private:
  void openChosen(const std::string& path);
  // Writes the current file; `onlyOver`: see WriteOptions.
  platform::WriteResult writeFile(const platform::FileIdentity* onlyOver);
  bool writeCurrentFile();
  bool changedOnDisk() const;
  PromptAnswer askAboutChangedFile();
  // Reads the current file again; on any failure the document stays as it was.
  bool reload();
  void reportLoadFailure(const LoadResult& result);

  Prompter& prompter_;
  FileDialogs& dialogs_;
  const Clock& clock_;
  UnappliedEdits& edits_;
  std::string programDir_;
  ConnectionTree tree_;
  TreeHistory history_{tree_};
  std::string currentFile_;
  // The current file as it was loaded or last saved (or, after Save as, as
  // the user agreed to replace it).
  platform::FileIdentity fileIdentity_;
  bool modified_ = false;
  RecentFiles recent_;
  std::int32_t focusIndex_ = 0;
  WorkInPlace workInPlace_;
  LongWork* longWork_ = &workInPlace_;
};

}  // namespace varnok::app
