#pragma once
// Every message box and question of the program goes through one Prompter,
// and every open/save dialog through one FileDialogs. Tests and the prompt log
// replace them with scripted ones.
#include <memory>
#include <optional>
#include <string>

class QWidget;

namespace varnok::app {

enum class PromptKind { Warning, Error, Information, Confirmation };
// ReloadOverwriteSaveAsCancel: the question before saving over a file that
// another program changed; its buttons read "Reload", "Overwrite",
// "Save as ..." and "Cancel", and Cancel is the default.
enum class PromptButtons { OK, YesNo, YesNoCancel, OKCancel, ReloadOverwriteSaveAsCancel };
enum class PromptAnswer { OK, Yes, No, Cancel, Reload, Overwrite, SaveAs };

const char* ToString(PromptKind kind);
const char* ToString(PromptButtons buttons);
const char* ToString(PromptAnswer answer);
std::optional<PromptAnswer> AnswerFromString(const std::string& text);
PromptAnswer FirstButton(PromptButtons buttons);
// `defaultButton` when the buttons hold it, else the first button.
PromptAnswer DefaultButton(PromptButtons buttons, PromptAnswer defaultButton);

class Prompter {
 public:
  virtual ~Prompter() = default;
  // `text` is 8-bit as built by the program; a "\r" in it is a line break.
  // The first button is the default one, the one Enter chooses.
  virtual PromptAnswer ask(PromptKind kind, PromptButtons buttons, const std::string& text) = 0;
  // The same question with `defaultButton` as the default one (No before a
  // delete that loses much). A prompter that shows no default asks as `ask`.
  virtual PromptAnswer askWithDefault(PromptKind kind, PromptButtons buttons, const std::string& text,
                                      [[maybe_unused]] PromptAnswer defaultButton) {
    return ask(kind, buttons, text);
  }

  void warning(const std::string& text) { ask(PromptKind::Warning, PromptButtons::OK, text); }
  void error(const std::string& text) { ask(PromptKind::Error, PromptButtons::OK, text); }
  void information(const std::string& text) { ask(PromptKind::Information, PromptButtons::OK, text); }
};

struct FileDialogRequest {
  std::string title;
  std::string filter;            // "Varnok file (*.VNK)|*.VNK|All files (*.*)|*.*"
  std::string defaultExtension;  // "vnk"
  std::string fileName;          // preset name, may be empty
};

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // The chosen path, or nullopt when cancelled.
  virtual std::optional<std::string> openFile(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> saveFile(const FileDialogRequest& request) = 0;
};

// Message boxes on screen.
std::unique_ptr<Prompter> MakeMessageBoxPrompter(QWidget* parent);
// Appends each prompt to `logPath` as a JSON line and answers from
// `answers` (comma-separated OK, Yes, No, Cancel; the default button when used up).
std::unique_ptr<Prompter> MakeLoggingPrompter(const std::string& logPath, const std::string& answers);
// The prompter of the running program: the logging one when VARNOKC_PROMPT_LOG
// is set (it says so on standard error), else message boxes.
std::unique_ptr<Prompter> MakeProgramPrompter(QWidget* parent);

}  // namespace varnok::app
