#pragma once
// The emulator folder on the Settings page: where the emulator and its
// settings file "corvane.ini" are ("EmulatorDir"; empty: the program
// folder). A field with Browse and Default, and a line that tells whether
// the emulator is there.
#include <QGroupBox>
#include <functional>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace varnok::app {

class EmulatorFolderField : public QGroupBox {
  Q_OBJECT
 public:
  // Asks the user for a folder, starting at the given one; nullopt: cancelled.
  using Chooser = std::function<std::optional<std::string>(const std::string& start)>;

  explicit EmulatorFolderField(QWidget* parent = nullptr);

  // The folder used while no value is set.
  void setProgramDir(const std::string& dir);
  void setChooser(Chooser chooser) { chooser_ = std::move(chooser); }

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
  Chooser chooser_;
};

}  // namespace varnok::app
