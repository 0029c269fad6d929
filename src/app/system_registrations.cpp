#include "system_registrations.h"

#include <QApplication>
#include <cctype>

#include "common/program_paths.h"
#include "platform/desktop_integration.h"
#include "prompts.h"
#include "settings_page.h"

namespace varnok::app {

namespace {

std::string CompanionPath() {
#ifdef _WIN32
  return ProgramFilePath("Varnok.exe");
#else
  return ProgramFilePath("varnok");
#endif
}

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

SystemRegistrations::SystemRegistrations(SettingsPage& page, Prompter& prompter, std::function<bool()> loading,
                                         QObject* parent)
    : QObject(parent), page_(page), prompter_(prompter), loading_(std::move(loading)) {
  connect(&page_, &SettingsPage::runAtLogOnClicked, this, &SystemRegistrations::setRunAtLogOn);
  connect(&page_, &SettingsPage::associationClicked, this, &SystemRegistrations::setAssociation);
}

void SystemRegistrations::show() {
  page_.showRegistrations(platform::IsVnkAssociated(EditorPath()), platform::IsRunAtLogOn(CompanionPath()));
}

void SystemRegistrations::setRunAtLogOn(bool on) {
  if (on == platform::IsRunAtLogOn(CompanionPath())) return;
  const std::string error = platform::SetRunAtLogOn(on, CompanionPath());
  if (error.empty()) return;
  prompter_.error(error);
  show();
}

void SystemRegistrations::setAssociation(bool on) {
  if (loading_()) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const std::string error = platform::SetVnkAssociation(on, EditorPath(), ApplicationTitle());
  QApplication::restoreOverrideCursor();
  if (error.empty()) return;
  prompter_.error(error);
  show();
}

}  // namespace varnok::app
