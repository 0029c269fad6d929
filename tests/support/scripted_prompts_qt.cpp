#include "scripted_prompts_qt.h"

namespace varnok::test {

std::string Describe(app::PromptKind kind, app::PromptButtons buttons, const std::string& text) {
  return std::string(app::ToString(kind)) + "/" + app::ToString(buttons) + " \"" + text + "\"";
}

void ScriptedPrompter::expect(app::PromptKind kind, app::PromptButtons buttons, std::string text,
                              app::PromptAnswer answer) {
  script_.push_back({{kind, buttons, std::move(text)}, answer});
}

app::PromptAnswer ScriptedPrompter::ask(app::PromptKind kind, app::PromptButtons buttons,
                                        const std::string& text) {
  return answer({kind, buttons, text, app::FirstButton(buttons)});
}

app::PromptAnswer ScriptedPrompter::askWithDefault(app::PromptKind kind, app::PromptButtons buttons,
                                                   const std::string& text, app::PromptAnswer defaultButton) {
  return answer({kind, buttons, text, app::DefaultButton(buttons, defaultButton)});
}

app::PromptAnswer ScriptedPrompter::answer(AskedPrompt asked) {
  asked_.push_back(asked);
  const app::PromptKind kind = asked.kind;
  const app::PromptButtons buttons = asked.buttons;
  const std::string& text = asked.text;
  if (script_.empty()) {
    failures_.push_back("unexpected prompt " + Describe(kind, buttons, text));
    return buttons == app::PromptButtons::OK ? app::PromptAnswer::OK : app::PromptAnswer::Cancel;
  }
  Expected e = script_.front();
  script_.pop_front();
  if (e.prompt.kind != kind || e.prompt.buttons != buttons || e.prompt.text != text)
    failures_.push_back("expected " + Describe(e.prompt.kind, e.prompt.buttons, e.prompt.text) + " but got " +
                        Describe(kind, buttons, text));
  return e.answer;
}

std::string ScriptedPrompter::problems() const {
  std::string out;
  for (const auto& f : failures_) out += f + "\n";
  for (const auto& e : script_)
    out += "prompt never asked: " + Describe(e.prompt.kind, e.prompt.buttons, e.prompt.text) + "\n";
  return out;
}

void ScriptedPrompter::reset() {
  script_.clear();
  asked_.clear();
  failures_.clear();
}

void ScriptedFileDialogs::expectOpen(std::optional<std::string> answer) {
  script_.push_back({Kind::Open, std::move(answer)});
}
void ScriptedFileDialogs::expectSave(std::optional<std::string> answer) {
  script_.push_back({Kind::Save, std::move(answer)});
}
void ScriptedFileDialogs::expectFolder(std::optional<std::string> answer) {
  script_.push_back({Kind::Folder, std::move(answer)});
}

std::optional<std::string> ScriptedFileDialogs::openFile(const app::FileDialogRequest& request) {
  return next(Kind::Open, request);
}
std::optional<std::string> ScriptedFileDialogs::saveFile(const app::FileDialogRequest& request) {
  return next(Kind::Save, request);
}
std::optional<std::string> ScriptedFileDialogs::chooseFolder(const app::FileDialogRequest& request) {
  return next(Kind::Folder, request);
}

std::optional<std::string> ScriptedFileDialogs::next(Kind kind, const app::FileDialogRequest& request) {
  requests_.push_back(request);
  const char* name = kind == Kind::Save ? "save" : kind == Kind::Open ? "open" : "folder";
  if (script_.empty() || script_.front().kind != kind) {
    failures_.push_back(std::string("unexpected ") + name + " dialog \"" + request.title + "\"");
    return std::nullopt;
  }
  auto answer = script_.front().answer;
  script_.pop_front();
  return answer;
}

std::string ScriptedFileDialogs::problems() const {
  std::string out;
  for (const auto& f : failures_) out += f + "\n";
  for (const auto& e : script_)
    out += std::string(e.kind == Kind::Save   ? "save"
                       : e.kind == Kind::Open ? "open"
                                              : "folder") +
           " dialog never shown\n";
  return out;
}

}  // namespace varnok::test
