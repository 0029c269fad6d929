#pragma once
// The two registrations the Settings page offers: the .VNK file association
// and the companion's start at log-on. Shows the system's state on the page
// and changes it when the user clicks a box; a failure is reported and the box
// shows the system's state again.
#include <QObject>
#include <string>

namespace varnok::app {

class Prompter;
class SettingsPage;

class SystemRegistrations : public QObject {
  Q_OBJECT
 public:
  // `loading`: while true, a click on the association box changes nothing.
  // `programDir`: where the companion is.
  SystemRegistrations(SettingsPage& page, Prompter& prompter, std::string programDir, const bool& loading,
                      QObject* parent = nullptr);

  // Puts the system's current state on the page.
  void show();

 private:
  void setRunAtLogOn(bool on);
  void setAssociation(bool on);
  std::string companionPath() const;

  SettingsPage& page_;
  Prompter& prompter_;
  std::string programDir_;
  const bool& loading_;
};

}  // namespace varnok::app
