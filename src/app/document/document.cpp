#include "document/document.h"

#include <new>

#include "common/program_paths.h"
#include "common/time_stamp.h"
#include "files/import_export.h"
#include "files/prepared_nodes.h"
#include "files/vnk_file.h"

namespace varnok::app {

namespace {

const char* const kVnkFilter = "Varnok file (*.VNK)|*.VNK|All files (*.*)|*.*";

// Keeps the window busy (hourglass, no tracking) for its lifetime.
class BusyScope {
 public:
  explicit BusyScope(Document& document) : document_(document) { emit document_.busyBegan(); }
  ~BusyScope() { emit document_.busyEnded(); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  Document& document_;
};

}  // namespace

Document::Document(Context context, std::string programDir, QObject* parent)
    : QObject(parent),
      prompter_(context.prompter),
      dialogs_(context.dialogs),
      clock_(context.clock),
      edits_(context.edits),
      programDir_(std::move(programDir)) {
  history_.changed = [this] { setModified(true); };
}

std::string Document::caption() const {
  const std::string name = currentFile_.empty() ? std::string("Noname.VNK") : DisplayName(currentFile_);
  return "Varnokc Configuration - [" + name + (modified_ ? "*" : "") + "]";
}

void Document::setModified(bool modified) {
  if (modified_ == modified) return;
  modified_ = modified;
  emit captionChanged();
}

PromptAnswer Document::confirmDiscard() {
  if (const auto name = edits_.connectionName()) {
    const PromptAnswer a =
        prompter_.ask(PromptKind::Warning, PromptButtons::YesNoCancel,
                      "Do you want to apply the changes you made to " + std::string(" '") + *name + "' ?");
    if (a == PromptAnswer::Cancel) return PromptAnswer::Cancel;
    if (a == PromptAnswer::Yes)
      edits_.apply();
    else
      edits_.discard();
  }
  if (!modified_) return PromptAnswer::No;
  const std::string name = currentFile_.empty() ? std::string("Noname.VNK") : FileNameOf(currentFile_);
  return prompter_.ask(PromptKind::Warning, PromptButtons::YesNoCancel,
                       "Do you want to save the changes you made to " + name + "?");
}

bool Document::newDocument() {
  const PromptAnswer r = confirmDiscard();
  if (r == PromptAnswer::Cancel) return false;
  if (r == PromptAnswer::Yes)
    save();
  else
    setModified(false);
  // A save that failed or was cancelled keeps the document.
  if (modified_) return false;
  {
    BusyScope busy(*this);
    tree_.clear();
    currentFile_.clear();
  }
  emit replaced(nullptr);
  modified_ = false;
  emit captionChanged();
  return true;
}

void Document::reportLoadFailure(const LoadResult& result) {
  std::string text = result.message;
  if (!result.reason.empty()) text += "\r" + result.reason;
  prompter_.warning(text);
}

bool Document::load(const std::string& path) {
  LoadResult result;
  {
    BusyScope busy(*this);
    try {
      result = LoadConfiguration(tree_, path, /*import=*/false, focusIndex_);
    } catch (const std::bad_alloc&) {
      // The reader adds its nodes only once all are read: the tree is as it was.
      result = {};
      result.status = LoadStatus::CannotOpen;
      result.message = "Cannot open the file.";
      result.reason = path + ": not enough memory to read it";
    }
    history_.clear();  // the nodes read are where the history starts
    if (result.nameDocument) {
      currentFile_ = path;
      fileIdentity_ = result.file;
    }
  }
  modified_ = false;
  emit replaced(result.focusNode);
  emit captionChanged();
  if (!result.focusNode && result.ok()) focusIndex_ = 0;
  if (!result.ok()) reportLoadFailure(result);
  return result.ok();
}

void Document::openChosen(const std::string& path) {
  if (!newDocument()) return;
  if (load(path)) {
    emit companionNoticeDue();
    recent_.putOnTop(path);
    emit recentFilesChanged();
  }
  setModified(false);
}

void Document::open() {
  const auto path = dialogs_.openFile({"Open Varnok file", kVnkFilter, "vnk", ""});
  if (path) openChosen(*path);
}

void Document::openRecent(const std::string& path) {
  if (!FileExists(path)) {
    recent_.remove(path);
    emit recentFilesChanged();
    prompter_.warning("File '" + DisplayName(path) + "' does not exist any more.");
    return;
  }
  recent_.putOnTop(path);
  emit recentFilesChanged();
  openChosen(path);
}

platform::WriteResult Document::writeFile(const platform::FileIdentity* onlyOver) {
  platform::WriteResult result;
  platform::FileIdentity written;
  platform::WriteOptions options;
  options.written = &written;
  options.onlyOver = onlyOver;
  {
    BusyScope busy(*this);
    result = SaveConfiguration(tree_, currentFile_, {}, options);
  }
  if (result) fileIdentity_ = written;
  return result;
}

// A file deleted (or moved away) since counts as unchanged: nothing on disk
// can be lost, there is nothing to reload, and Save writes it anew.
bool Document::changedOnDisk() const {
  const platform::FileIdentity now = platform::IdentifyFile(currentFile_);
  return now.exists && now != fileIdentity_;
}

PromptAnswer Document::askAboutChangedFile() {
  return prompter_.ask(PromptKind::Warning, PromptButtons::ReloadOverwriteSaveAsCancel,
                       "The file '" + currentFile_ +
                           "' was changed by another program since it was opened or last saved.\r\r"
                           "Reload: read it again; the changes made here are lost.\r"
                           "Overwrite: replace it; the other program's changes are lost.\r"
                           "Save as ...: save under another name; the file stays as it is.");
}

bool Document::writeCurrentFile() {
  for (;;) {
    bool overwrite = false;
    if (changedOnDisk()) {
      switch (askAboutChangedFile()) {
        case PromptAnswer::Reload:
          reload();
          return false;  // nothing was saved
        case PromptAnswer::SaveAs:
          return saveAs();
        case PromptAnswer::Overwrite:
          overwrite = true;
          break;
        default:
          return false;
      }
    }
    const platform::FileIdentity expected = fileIdentity_;
    const platform::WriteResult result = writeFile(overwrite ? nullptr : &expected);
    // Another program wrote the file while it was being saved: nothing was
    // replaced, and the question comes (again).
    if (!result && !overwrite && changedOnDisk()) continue;
    // Every write of the file ends with the companion's notification.
    emit companionNoticeDue();
    if (!result) {
      prompter_.error(result.error);
      return false;
    }
    setModified(false);
    return true;
  }
}

bool Document::reload() {
  // Read once and check the whole file before the tree is touched: a file
  // that cannot be read, or is damaged, keeps the document as it is.
  std::string bytes;
  platform::FileIdentity opened;
  LoadResult result;
  try {
    if (const platform::WriteResult read = platform::ReadWholeFile(currentFile_, bytes, &opened); !read) {
      prompter_.warning("Cannot open the file.\r" + read.error);
      return false;
    }
    ConnectionTree check;
    result = ReadConfiguration(check, bytes, /*import=*/false);
  } catch (const std::bad_alloc&) {
    prompter_.warning("Cannot open the file.\r" + currentFile_ + ": not enough memory to read it");
    return false;
  }
  if (!result.ok()) {
    reportLoadFailure(result);
    return false;
  }
  bool read = true;
  std::string path;
  {
    BusyScope busy(*this);
    tree_.clear();
    history_.clear();
    try {
      result = ReadConfiguration(tree_, bytes, /*import=*/false, focusIndex_);
      fileIdentity_ = opened;
    } catch (const std::bad_alloc&) {
      // The tree no longer holds the file: unnamed, no save can overwrite it.
      path = currentFile_;
      result = {};
      currentFile_.clear();
      fileIdentity_ = {};
      read = false;
    }
  }
  modified_ = false;
  emit replaced(result.focusNode);
  emit captionChanged();
  if (!read) prompter_.warning("Cannot open the file.\r" + path + ": not enough memory to read it");
  return read;
}

bool Document::save() {
  const bool saved = currentFile_.empty() ? saveAs() : writeCurrentFile();
  emit saveFinished();
  return saved;
}

bool Document::saveAs() {
  const auto path = dialogs_.saveFile({"Save Varnok file as", kVnkFilter, "vnk", currentFile_});
  if (!path) return false;
  currentFile_ = *path;
  // The user chose this file and agreed to replace it as it is now.
  fileIdentity_ = platform::IdentifyFile(*path);
  if (!save()) return false;
  recent_.putOnTop(*path);
  emit captionChanged();
  emit recentFilesChanged();
  return true;
}

bool Document::mayClose(bool saveWithoutPrompting) {
  bool closing = true;
  const bool unapplied = edits_.connectionName().has_value();
  if (saveWithoutPrompting && (modified_ || unapplied)) {
    // The setting asks for changes to be kept, and unapplied edits are changes.
    if (unapplied) edits_.apply();
    closing = save();
  } else {
    const PromptAnswer r = confirmDiscard();
    if (r == PromptAnswer::Cancel)
      closing = false;
    else if (r == PromptAnswer::Yes)
      closing = save();
  }
  // A close never drops unsaved work: a cancelled or failed save keeps the window.
  if (closing) emit companionNoticeDue();
  return closing;
}

void Document::importFile(const std::string& path) {
  ImportResult result;
  try {
    // Read and named beside the tree, which changes only once all is ready.
    const ChildNames siblings = CopyChildNames(tree_.top());
    PreparedNodes prepared;
    const bool finished = longWork_->run("Importing connections ...", [&](WorkControl& control) {
      prepared = PrepareImport(path, programDir_, clock_, siblings, control);
    });
    if (!finished) return;  // cancelled: the document stays as it was
    BusyScope busy(*this);
    result = PutImported(tree_, std::move(prepared));
  } catch (const std::bad_alloc&) {
    prompter_.warning("Cannot import the file " + path + ": not enough memory to read it.");
    return;
  }
  if (!result.supported) {
    prompter_.warning(std::string(kUnsupportedImportFormat));
    return;
  }
  // The nodes appended mark the document (through the history); the pages
  // keep their unapplied-edits mark: those edits stay offered.
  for (const std::string& warning : result.warnings) prompter_.warning(warning);
}

void Document::importNodes(std::vector<std::unique_ptr<TreeNode>> roots) {
  ImportResult result;
  {
    BusyScope busy(*this);
    result = AppendImported(tree_, std::move(roots));
  }
  for (const std::string& warning : result.warnings) prompter_.warning(warning);
}

}  // namespace varnok::app
