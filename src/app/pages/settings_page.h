#pragma once
// The "Settings" page: user variables, colour options, the options of "Run
// all selected", the companion's double-click action and the check boxes
// for auto-save, log-on start and the file association.
#include <QSpinBox>
#include <QWidget>

#include "pages/app_settings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QVBoxLayout;

namespace varnok::app {

class EmulatorFolderField;

// "Time delay": 2..60 seconds. Any text may be typed; when the editor loses
// the focus a text that is no whole number becomes 5, others are clamped.
class DelaySpinBox : public QSpinBox {
  Q_OBJECT
 public:
  explicit DelaySpinBox(QWidget* parent = nullptr);

 protected:
  QValidator::State validate(QString& input, int& pos) const override;
  void fixup(QString& input) const override;
  int valueFromText(const QString& text) const override;
};

class SettingsPage : public QWidget {
  Q_OBJECT
 public:
  explicit SettingsPage(QWidget* parent = nullptr);

  // Puts the values on the controls / reads them back (geometry aside).
  void show(const AppSettings& settings);
  void collect(AppSettings& settings) const;

  // The six double-click actions; the sixth only on platforms that can lock
  // the screen. After removing it an out-of-range choice falls back to 0.
  void finishDoubleClickList(bool screenLockAvailable);
  // Completes "Associate extention VNK with " with the program's name.
  void appendToAssociationCaption(const QString& name);
  // The registrations as the system has them.
  void showRegistrations(bool associated, bool runAtLogOn);

  bool colorSupportDisabled() const;
  // "Connection colors in Macro editor" and "The same background for Nomal,
  // Bold and Blink" as they stand.
  bool colorsInEditor() const;
  bool sameBackground() const;
  bool colorSupportHasFocus() const;
  bool saveWithoutPrompting() const;
  // Name, E-mail and Phone.
  QList<QWidget*> textFields() const;
  // "EmulatorDir": the window gives it the program folder and a folder dialog.
  EmulatorFolderField& emulatorFolder() const { return *emulatorFolder_; }
  // The value of "EmulatorDir" as the field holds it ("": the program folder).
  std::string emulatorDir() const;

 signals:
  // The user left the delay field: its value in seconds.
  void delayEdited(int seconds);
  void associationClicked(bool on);
  void runAtLogOnClicked(bool on);
  // The user switched "Disable color support" (switching it on has already
  // unticked the two options below it) or "Connection colors in Macro editor".
  void colorSupportClicked();
  void colorsInEditorClicked();

 private:
  void addVariables(QVBoxLayout& layout);
  void addColorOptions(QVBoxLayout& layout);
  void addRunOptions(QVBoxLayout& layout);
  void addStartOptions(QVBoxLayout& layout);
  void updateColorOptions();

  QLineEdit *nameField_, *emailField_, *phoneField_;
  QCheckBox *disableColorsBox_, *colorsInEditorBox_, *sameBackgroundBox_;
  DelaySpinBox* delaySpin_;
  QCheckBox* doNotTileBox_;
  QComboBox* doubleClickList_;
  QCheckBox *selectLastBox_, *autoSaveBox_, *runAtLogOnBox_, *associateBox_;
  EmulatorFolderField* emulatorFolder_;
};

}  // namespace varnok::app
