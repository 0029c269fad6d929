#include "system/system_registrations.h"

#include <QApplication>
#include <cctype>

#include "common/program_paths.h"
#include "dialogs/prompts.h"
#include "pages/settings_page.h"
#include "platform/desktop_integration.h"
#include "platform/program_names.h"

namespace varnok::app {

namespace {

std::string EditorPath() { return QCoreApplication::applicationFilePath().toLocal8Bit().toStdString(); }

// The executable's name without extension, the first letter kept, the rest lower case.
std::string ApplicationTitle() {
  std::string name = FileNameOf(EditorPath());
  if (const auto dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.erase(dot);
  for (std::size_t i = 1; i < name.size(); ++i)
    name[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
  return name;
}

}  // namespace

SystemRegistrations::SystemRegistrations(SettingsPage& page, Prompter& prompter, std::string programDir,
                                         const bool& loading, QObject* parent)
    : QObject(parent),
      page_(page),
      prompter_(prompter),
      programDir_(std::move(programDir)),
      loading_(loading) {
  connect(&page_, &SettingsPage::runAtLogOnClicked, this, &SystemRegistrations::setRunAtLogOn);
  connect(&page_, &SettingsPage::associationClicked, this, &SystemRegistrations::setAssociation);
}

std::string SystemRegistrations::companionPath() const {
  return ProgramFilePath(programDir_, platform::kCompanionFile);
}

void SystemRegistrations::show() {
  page_.showRegistrations(platform::IsVnkAssociated(EditorPath()), platform::IsRunAtLogOn(companionPath()));
}

void SystemRegistrations::setRunAtLogOn(bool on) {
  if (on == platform::IsRunAtLogOn(companionPath())) return;
  const std::string error = platform::SetRunAtLogOn(on, companionPath());
  if (error.empty()) return;
  prompter_.error(error);
  show();
}

void SystemRegistrations::setAssociation(bool on) {
  if (loading_) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const std::string error = platform::SetVnkAssociation(on, EditorPath(), ApplicationTitle());
  QApplication::restoreOverrideCursor();
  if (error.empty()) return;
  prompter_.error(error);
  show();
}

}  // namespace varnok::app
