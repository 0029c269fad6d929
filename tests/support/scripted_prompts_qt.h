#pragma once
// Prompts and file dialogs answered from a script. Every prompt must match
// the next expected one (kind, buttons and text); an unexpected prompt, a
// mismatch or an answer left over is a problem the test reports.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/prompts.h"

namespace varnok::test {

struct AskedPrompt {
  app::PromptKind kind;
  app::PromptButtons buttons;
  std::string text;
  // The button Enter would have chosen (the first one unless the question named another).
  app::PromptAnswer defaultButton = app::PromptAnswer::OK;
};

class ScriptedPrompter : public app::Prompter {
 public:
  void expect(app::PromptKind kind, app::PromptButtons buttons, std::string text, app::PromptAnswer answer);
  app::PromptAnswer ask(app::PromptKind kind, app::PromptButtons buttons, const std::string& text) override;
  app::PromptAnswer askWithDefault(app::PromptKind kind, app::PromptButtons buttons, const std::string& text,
                                   app::PromptAnswer defaultButton) override;

  // Empty when every prompt was expected and every answer used.
  std::string problems() const;
  // Every prompt asked so far, in order, with its default button.
  const std::vector<AskedPrompt>& asked() const { return asked_; }
  void reset();

 private:
  struct Expected {
    AskedPrompt prompt;
    app::PromptAnswer answer;
  };
  app::PromptAnswer answer(AskedPrompt asked);
  std::deque<Expected> script_;
  std::vector<AskedPrompt> asked_;
  std::vector<std::string> failures_;
};

class ScriptedFileDialogs : public app::FileDialogs {
 public:
  // The next open (or save) dialog returns `answer` (nullopt: cancelled).
  void expectOpen(std::optional<std::string> answer);
  void expectSave(std::optional<std::string> answer);
  std::optional<std::string> openFile(const app::FileDialogRequest& request) override;
  std::optional<std::string> saveFile(const app::FileDialogRequest& request) override;

  std::string problems() const;
  const std::vector<app::FileDialogRequest>& requests() const { return requests_; }

 private:
  struct Expected {
    bool save;
    std::optional<std::string> answer;
  };
  std::optional<std::string> next(bool save, const app::FileDialogRequest& request);
  std::deque<Expected> script_;
  std::vector<app::FileDialogRequest> requests_;
  std::vector<std::string> failures_;
};

std::string Describe(app::PromptKind kind, app::PromptButtons buttons, const std::string& text);

}  // namespace varnok::test
