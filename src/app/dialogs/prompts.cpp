#include "dialogs/prompts.h"

#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <vector>

namespace varnok::app {

const char* ToString(PromptKind kind) {
  switch (kind) {
    case PromptKind::Warning:
      return "warning";
    case PromptKind::Error:
      return "error";
    case PromptKind::Information:
      return "information";
    case PromptKind::Confirmation:
      return "confirmation";
  }
  return "";
}

const char* ToString(PromptButtons buttons) {
  switch (buttons) {
    case PromptButtons::OK:
      return "OK";
    case PromptButtons::YesNo:
      return "YesNo";
    case PromptButtons::YesNoCancel:
      return "YesNoCancel";
    case PromptButtons::OKCancel:
      return "OKCancel";
    case PromptButtons::ReloadOverwriteSaveAsCancel:
      return "ReloadOverwriteSaveAsCancel";
  }
  return "";
}

const char* ToString(PromptAnswer answer) {
  switch (answer) {
    case PromptAnswer::OK:
      return "OK";
    case PromptAnswer::Yes:
      return "Yes";
    case PromptAnswer::No:
      return "No";
    case PromptAnswer::Cancel:
      return "Cancel";
    case PromptAnswer::Reload:
      return "Reload";
    case PromptAnswer::Overwrite:
      return "Overwrite";
    case PromptAnswer::SaveAs:
      return "SaveAs";
  }
  return "";
}

std::optional<PromptAnswer> AnswerFromString(const std::string& text) {
  for (auto a : {PromptAnswer::OK, PromptAnswer::Yes, PromptAnswer::No, PromptAnswer::Cancel,
                 PromptAnswer::Reload, PromptAnswer::Overwrite, PromptAnswer::SaveAs})
    if (text == ToString(a)) return a;
  return std::nullopt;
}

PromptAnswer FirstButton(PromptButtons buttons) {
  switch (buttons) {
    case PromptButtons::YesNo:
    case PromptButtons::YesNoCancel:
      return PromptAnswer::Yes;
    case PromptButtons::ReloadOverwriteSaveAsCancel:
      return PromptAnswer::Cancel;  // each of the others loses something
    default:
      return PromptAnswer::OK;
  }
}

PromptAnswer DefaultButton(PromptButtons buttons, PromptAnswer defaultButton) {
  bool offered = false;
  switch (buttons) {
    case PromptButtons::OK:
      offered = defaultButton == PromptAnswer::OK;
      break;
    case PromptButtons::YesNo:
      offered = defaultButton == PromptAnswer::Yes || defaultButton == PromptAnswer::No;
      break;
    case PromptButtons::YesNoCancel:
      offered = defaultButton != PromptAnswer::OK;
      break;
    case PromptButtons::OKCancel:
      offered = defaultButton == PromptAnswer::OK || defaultButton == PromptAnswer::Cancel;
      break;
    case PromptButtons::ReloadOverwriteSaveAsCancel:
      offered = defaultButton == PromptAnswer::Cancel;  // each of the others loses something
      break;
  }
  return offered ? defaultButton : FirstButton(buttons);
}

namespace {

// "\r", "\n" and "\r\n" each become one line break on screen.
QString ShownText(const std::string& text) {
  QString s = QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QChar('\r'), QChar('\n'));
  return s;
}

QMessageBox::StandardButton StandardButton(PromptAnswer answer) {
  switch (answer) {
    case PromptAnswer::OK:
      return QMessageBox::Ok;
    case PromptAnswer::Yes:
      return QMessageBox::Yes;
    case PromptAnswer::No:
      return QMessageBox::No;
    case PromptAnswer::Cancel:
      return QMessageBox::Cancel;
    default:  // the answers of buttons with captions of their own
      return QMessageBox::NoButton;
  }
}

QMessageBox::Icon IconOf(PromptKind kind) {
  switch (kind) {
    case PromptKind::Warning:
      return QMessageBox::Warning;
    case PromptKind::Error:
      return QMessageBox::Critical;
    case PromptKind::Information:
      return QMessageBox::Information;
    case PromptKind::Confirmation:
      return QMessageBox::Question;
  }
  return QMessageBox::Information;
}

QString TitleOf(PromptKind kind) {
  switch (kind) {
    case PromptKind::Warning:
      return QStringLiteral("Warning");
    case PromptKind::Error:
      return QStringLiteral("Error");
    case PromptKind::Information:
      return QStringLiteral("Information");
    case PromptKind::Confirmation:
      return QStringLiteral("Confirm");
  }
  return QStringLiteral("Information");
}

class MessageBoxPrompter : public Prompter {
 public:
  explicit MessageBoxPrompter(QWidget* parent) : parent_(parent) {}

  PromptAnswer ask(PromptKind kind, PromptButtons buttons, const std::string& text) override {
    if (buttons == PromptButtons::ReloadOverwriteSaveAsCancel) return askAboutChangedFile(kind, text);
    return show(kind, buttons, text, FirstButton(buttons));
  }
  PromptAnswer askWithDefault(PromptKind kind, PromptButtons buttons, const std::string& text,
                              PromptAnswer defaultButton) override {
    if (buttons == PromptButtons::ReloadOverwriteSaveAsCancel) return askAboutChangedFile(kind, text);
    return show(kind, buttons, text, DefaultButton(buttons, defaultButton));
  }

 private:
  PromptAnswer show(PromptKind kind, PromptButtons buttons, const std::string& text, PromptAnswer preset) {
    QMessageBox::StandardButtons qb;
    switch (buttons) {
      case PromptButtons::OK:
        qb = QMessageBox::Ok;
        break;
      case PromptButtons::YesNo:
        qb = QMessageBox::Yes | QMessageBox::No;
        break;
      case PromptButtons::YesNoCancel:
        qb = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
      case PromptButtons::OKCancel:
        qb = QMessageBox::Ok | QMessageBox::Cancel;
        break;
      case PromptButtons::ReloadOverwriteSaveAsCancel:
        break;  // asked above
    }
    QMessageBox box(IconOf(kind), TitleOf(kind), ShownText(text), qb, parent_);
    box.setDefaultButton(StandardButton(preset));
    switch (box.exec()) {
      case QMessageBox::Yes:
        return PromptAnswer::Yes;
      case QMessageBox::No:
        return PromptAnswer::No;
      case QMessageBox::Cancel:
        return PromptAnswer::Cancel;
      case QMessageBox::Ok:
        return PromptAnswer::OK;
      default:  // closed with Escape or the title bar
        return buttons == PromptButtons::YesNo ? PromptAnswer::No
               : buttons == PromptButtons::OK  ? PromptAnswer::OK
                                               : PromptAnswer::Cancel;
    }
  }

  // Buttons with captions of their own; Cancel is the default and the Escape key.
  PromptAnswer askAboutChangedFile(PromptKind kind, const std::string& text) {
    QMessageBox box(IconOf(kind), TitleOf(kind), ShownText(text), QMessageBox::NoButton, parent_);
    QPushButton* reload = box.addButton(QStringLiteral("Reload"), QMessageBox::DestructiveRole);
    QPushButton* overwrite = box.addButton(QStringLiteral("Overwrite"), QMessageBox::DestructiveRole);
    QPushButton* saveAs = box.addButton(QStringLiteral("Save as ..."), QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == reload) return PromptAnswer::Reload;
    if (box.clickedButton() == overwrite) return PromptAnswer::Overwrite;
    if (box.clickedButton() == saveAs) return PromptAnswer::SaveAs;
    return PromptAnswer::Cancel;
  }

  QWidget* parent_;
};

class LoggingPrompter : public Prompter {
 public:
  LoggingPrompter(std::string logPath, const std::string& answers) : logPath_(std::move(logPath)) {
    std::stringstream in(answers);
    std::string item;
    while (std::getline(in, item, ','))
      if (auto a = AnswerFromString(item)) answers_.push_back(*a);
  }

  PromptAnswer ask(PromptKind kind, PromptButtons buttons, const std::string& text) override {
    return log(kind, buttons, text, FirstButton(buttons));
  }
  PromptAnswer askWithDefault(PromptKind kind, PromptButtons buttons, const std::string& text,
                              PromptAnswer defaultButton) override {
    return log(kind, buttons, text, DefaultButton(buttons, defaultButton));
  }

 private:
  PromptAnswer log(PromptKind kind, PromptButtons buttons, const std::string& text, PromptAnswer preset) {
    nlohmann::json line = {
        {"kind", ToString(kind)},
        {"buttons", ToString(buttons)},
        {"default", ToString(preset)},
        {"text", QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())).toStdString()}};
    std::ofstream(logPath_, std::ios::app) << line.dump() << "\n";
    if (next_ < answers_.size()) return answers_[next_++];
    // Outside test suites rely on the first button (Yes to a delete) whatever
    // the box would offer as its default.
    return FirstButton(buttons);
  }

  std::string logPath_;
  std::vector<PromptAnswer> answers_;
  std::size_t next_ = 0;
};

}  // namespace

std::unique_ptr<Prompter> MakeMessageBoxPrompter(QWidget* parent) {
  return std::make_unique<MessageBoxPrompter>(parent);
}

std::unique_ptr<Prompter> MakeLoggingPrompter(const std::string& logPath, const std::string& answers) {
  return std::make_unique<LoggingPrompter>(logPath, answers);
}

std::unique_ptr<Prompter> MakeProgramPrompter(QWidget* parent) {
  const char* log = std::getenv("VARNOKC_PROMPT_LOG");
  if (log && *log) {
    // A user who finds the variable set must be able to tell why nothing is asked.
    std::cerr << "test hook active: questions are answered automatically" << std::endl;
    const char* answers = std::getenv("VARNOKC_PROMPT_ANSWERS");
    return MakeLoggingPrompter(log, answers ? answers : "");
  }
  return MakeMessageBoxPrompter(parent);
}

}  // namespace varnok::app
