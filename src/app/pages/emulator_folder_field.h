#pragma once
// The emulator folder on the Settings page: where the emulator and its
// settings file "corvane.ini" are ("EmulatorDir"; empty: the program
// folder). A field with Browse and Default, and a line that tells whether
// the emulator is there.
#include <QGroupBox>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace varnok::app {

class FileDialogs;

class EmulatorFolderField : public QGroupBox {
  Q_OBJECT
 public:
  explicit EmulatorFolderField(QWidget* parent = nullptr);

  // `programDir`: the folder used while no value is set; Browse asks
  // `dialogs` for a folder.
  void setPlaces(const std::string& programDir, FileDialogs& dialogs);

  // The stored value as loaded ("" for the default); shown as it is.
  void setValue(const std::string& value);
  // The value as accepted: "" or an absolute path without a trailing "/".
  const std::string& value() const { return value_; }
  // The folder looked in: the value, else the program folder.
  std::string folder() const;

 private:
  // Takes typed or chosen text: empty is the default; a relative path is
  // refused and the field shows the value it had.
  void accept(const QString& text);
  void browse();
  void refresh();

  QLineEdit* field_;
  QPushButton* browse_;
  QPushButton* default_;
  QLabel* status_;
  std::string programDir_;
  std::string value_;
  QString refusal_;  // why the last text was not taken, until the next change
  FileDialogs* dialogs_ = nullptr;
};

}  // namespace varnok::app
