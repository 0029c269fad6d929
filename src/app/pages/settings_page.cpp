#include "pages/settings_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "widgets/wrapping_buttons.h"

namespace varnok::app {

namespace {

QString Q(const std::string& s) { return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size())); }
std::string S(const QString& s) { return s.toLocal8Bit().toStdString(); }

QCheckBox* Check(const char* name, const char* text, QWidget* parent) {
  auto* box = new WrappingCheckBox(QString::fromLatin1(text), parent);
  box->setObjectName(QString::fromLatin1(name));
  return box;
}

QLineEdit* Edit(const char* name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  return edit;
}

}  // namespace

DelaySpinBox::DelaySpinBox(QWidget* parent) : QSpinBox(parent) {
  setRange(2, 60);
  setSingleStep(1);
  setValue(5);
}

QValidator::State DelaySpinBox::validate(QString& input, int& /*pos*/) const {
  bool ok = false;
  int v = input.trimmed().toInt(&ok);
  return ok && v >= minimum() && v <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

void DelaySpinBox::fixup(QString& input) const { input = QString::number(RunDelaySeconds(S(input))); }

int DelaySpinBox::valueFromText(const QString& text) const { return RunDelaySeconds(S(text)); }

SettingsPage::SettingsPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("TabSheet1"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->setSpacing(4);
  addVariables(*layout);
  addColorOptions(*layout);
  addRunOptions(*layout);
  addStartOptions(*layout);
  layout->addStretch();

  connect(delaySpin_, &QSpinBox::editingFinished, this, [this] { emit delayEdited(delaySpin_->value()); });
  connect(associateBox_, &QCheckBox::clicked, this, &SettingsPage::associationClicked);
  connect(runAtLogOnBox_, &QCheckBox::clicked, this, &SettingsPage::runAtLogOnClicked);
  show(AppSettings{});
}

void SettingsPage::addVariables(QVBoxLayout& layout) {
  auto* vars = new QGroupBox(QStringLiteral(" User specific variables: "), this);
  vars->setObjectName(QStringLiteral("GroupBox1"));
  auto* form = new QFormLayout(vars);
  form->setContentsMargins(8, 4, 8, 6);
  form->setVerticalSpacing(3);
  nameField_ = Edit("Edit1", vars);
  emailField_ = Edit("Edit2", vars);
  phoneField_ = Edit("Edit3", vars);
  form->addRow(QStringLiteral("Name ($name$) :"), nameField_);
  form->addRow(QStringLiteral("E-mail ($email$) :"), emailField_);
  form->addRow(QStringLiteral("Phone ($phone$) :"), phoneField_);
  layout.addWidget(vars);
}

void SettingsPage::addColorOptions(QVBoxLayout& layout) {
  // "Disable color support" sits on the border of the group it governs.
  disableColorsBox_ = Check("cbNoColors", "Disable color support", this);
  auto* colors = new QGroupBox(this);
  colors->setObjectName(QStringLiteral("GroupBox2"));
  auto* colorsLayout = new QVBoxLayout(colors);
  colorsLayout->setContentsMargins(8, 2, 8, 4);
  colorsLayout->setSpacing(2);
  colorsLayout->addWidget(disableColorsBox_);
  colorsInEditorBox_ = Check("cbUseColorInEditor", "Connection colors in Macro editor", colors);
  sameBackgroundBox_ = Check("cbSameBackground", "The same background for Nomal, Bold and Blink", colors);
  auto* inner = new QVBoxLayout;
  inner->setContentsMargins(18, 0, 0, 0);
  inner->addWidget(colorsInEditorBox_);
  inner->addWidget(sameBackgroundBox_);
  colorsLayout->addLayout(inner);
  layout.addWidget(colors);
  connect(disableColorsBox_, &QCheckBox::toggled, this, [this] { updateColorOptions(); });
  connect(disableColorsBox_, &QCheckBox::clicked, this, [this](bool disabled) {
    if (disabled) {
      colorsInEditorBox_->setChecked(false);
      sameBackgroundBox_->setChecked(false);
    }
    emit colorSupportClicked();
  });
  connect(colorsInEditorBox_, &QCheckBox::clicked, this, &SettingsPage::colorsInEditorClicked);
}

void SettingsPage::addRunOptions(QVBoxLayout& layout) {
  auto* run = new QGroupBox(QStringLiteral(" 'Run all selected' startup options: "), this);
  run->setObjectName(QStringLiteral("GroupBox3"));
  auto* runLayout = new QHBoxLayout(run);
  runLayout->setContentsMargins(8, 2, 8, 4);
  runLayout->addWidget(new QLabel(QStringLiteral("Time delay"), run));
  delaySpin_ = new DelaySpinBox(run);
  delaySpin_->setObjectName(QStringLiteral("seDelay"));
  runLayout->addWidget(delaySpin_);
  runLayout->addWidget(new QLabel(QStringLiteral("sec."), run));
  runLayout->addSpacing(16);
  doNotTileBox_ = Check("cbDoNotTile", "Do not tile", run);
  runLayout->addWidget(doNotTileBox_);
  runLayout->addStretch();
  layout.addWidget(run);
}

void SettingsPage::addStartOptions(QVBoxLayout& layout) {
  auto* dbl = new QHBoxLayout;
  dbl->addWidget(new QLabel(QStringLiteral(" On double click at Tray Icon"), this));
  doubleClickList_ = new QComboBox(this);
  doubleClickList_->setObjectName(QStringLiteral("cbDblClick"));
  doubleClickList_->setEditable(false);
  doubleClickList_->addItems({QStringLiteral("open Configuration window"), QStringLiteral("start Corvane"),
                              QStringLiteral("start last executed macro"), QStringLiteral("show desktop"),
                              QStringLiteral("start screen saver"),
                              QStringLiteral("lock the screen (W2K and XP)")});
  doubleClickList_->setCurrentIndex(0);
  doubleClickList_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  doubleClickList_->setMinimumContentsLength(12);
  dbl->addWidget(doubleClickList_, 1);
  layout.addLayout(dbl);

  selectLastBox_ =
      Check("cbSelectLast", "Auto select last executed connection in Configuration window", this);
  autoSaveBox_ = Check("cbAutoSave", "Save changes on exit without prompting", this);
#ifdef _WIN32
  runAtLogOnBox_ = Check("cbRunAtLogOn", "Run at log on to Windows", this);
#else
  runAtLogOnBox_ = Check("cbRunAtLogOn", "Run at log on", this);
#endif
  associateBox_ = Check("cbAssociate", "Associate extention VNK with ", this);
  // A long caption wraps on a narrow page.
  for (auto* box : {selectLastBox_, autoSaveBox_, runAtLogOnBox_, associateBox_}) layout.addWidget(box);
}

void SettingsPage::appendToAssociationCaption(const QString& name) {
  associateBox_->setText(associateBox_->text() + name);
}

void SettingsPage::showRegistrations(bool associated, bool runAtLogOn) {
  associateBox_->setChecked(associated);
  runAtLogOnBox_->setChecked(runAtLogOn);
}

bool SettingsPage::colorSupportDisabled() const { return disableColorsBox_->isChecked(); }

bool SettingsPage::colorsInEditor() const { return colorsInEditorBox_->isChecked(); }

bool SettingsPage::sameBackground() const { return sameBackgroundBox_->isChecked(); }

bool SettingsPage::colorSupportHasFocus() const { return disableColorsBox_->hasFocus(); }

bool SettingsPage::saveWithoutPrompting() const { return autoSaveBox_->isChecked(); }

QList<QWidget*> SettingsPage::textFields() const { return {nameField_, emailField_, phoneField_}; }

void SettingsPage::updateColorOptions() {
  const bool on = !disableColorsBox_->isChecked();
  colorsInEditorBox_->setEnabled(on);
  sameBackgroundBox_->setEnabled(on);
}

void SettingsPage::show(const AppSettings& s) {
  nameField_->setText(Q(s.varName));
  emailField_->setText(Q(s.varEmail));
  phoneField_->setText(Q(s.varPhone));
  delaySpin_->setValue(RunDelaySeconds(s.multiStartInterval));
  selectLastBox_->setChecked(s.selectLast);
  disableColorsBox_->setChecked(s.noColors);
  colorsInEditorBox_->setChecked(s.useColorsInEditor);
  sameBackgroundBox_->setChecked(s.useSameBackground);
  autoSaveBox_->setChecked(s.autoSave);
  doNotTileBox_->setChecked(s.doNotTile);
  const int action = s.dblClickAction;
  doubleClickList_->setCurrentIndex(action >= 0 && action <= doubleClickList_->count() - 1 ? action : 0);
  updateColorOptions();
}

void SettingsPage::collect(AppSettings& s) const {
  s.varName = S(nameField_->text());
  s.varEmail = S(emailField_->text());
  s.varPhone = S(phoneField_->text());
  s.multiStartInterval = S(delaySpin_->text());
  s.selectLast = selectLastBox_->isChecked();
  s.noColors = disableColorsBox_->isChecked();
  s.useColorsInEditor = colorsInEditorBox_->isChecked();
  s.useSameBackground = sameBackgroundBox_->isChecked();
  s.autoSave = autoSaveBox_->isChecked();
  s.doNotTile = doNotTileBox_->isChecked();
  s.dblClickAction = doubleClickList_->currentIndex();
}

void SettingsPage::finishDoubleClickList(bool screenLockAvailable) {
  if (screenLockAvailable || doubleClickList_->count() < 6) return;
  const bool wasChosen = doubleClickList_->currentIndex() == 5;
  doubleClickList_->removeItem(5);
  if (wasChosen || doubleClickList_->currentIndex() < 0) doubleClickList_->setCurrentIndex(0);
}

}  // namespace varnok::app
