#include "settings_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace varnok::app {

namespace {

QString Q(const std::string& s) { return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size())); }
std::string S(const QString& s) { return s.toLocal8Bit().toStdString(); }

QCheckBox* Check(const char* name, const char* text, QWidget* parent) {
  auto* box = new QCheckBox(QString::fromLatin1(text), parent);
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

  auto* vars = new QGroupBox(QStringLiteral(" User specific variables: "), this);
  vars->setObjectName(QStringLiteral("GroupBox1"));
  auto* form = new QFormLayout(vars);
  form->setContentsMargins(8, 4, 8, 6);
  form->setVerticalSpacing(3);
  edit1 = Edit("Edit1", vars);
  edit2 = Edit("Edit2", vars);
  edit3 = Edit("Edit3", vars);
  form->addRow(QStringLiteral("Name ($name$) :"), edit1);
  form->addRow(QStringLiteral("E-mail ($email$) :"), edit2);
  form->addRow(QStringLiteral("Phone ($phone$) :"), edit3);
  layout->addWidget(vars);

  // "Disable color support" sits on the border of the group it governs.
  cbNoColors = Check("cbNoColors", "Disable color support", this);
  auto* colors = new QGroupBox(this);
  colors->setObjectName(QStringLiteral("GroupBox2"));
  auto* colorsLayout = new QVBoxLayout(colors);
  colorsLayout->setContentsMargins(8, 2, 8, 4);
  colorsLayout->setSpacing(2);
  colorsLayout->addWidget(cbNoColors);
  cbUseColorInEditor = Check("cbUseColorInEditor", "Connection colors in Macro editor", colors);
  cbSameBackground = Check("cbSameBackground", "The same background for Nomal, Bold and Blink", colors);
  auto* inner = new QVBoxLayout;
  inner->setContentsMargins(18, 0, 0, 0);
  inner->addWidget(cbUseColorInEditor);
  inner->addWidget(cbSameBackground);
  colorsLayout->addLayout(inner);
  layout->addWidget(colors);
  connect(cbNoColors, &QCheckBox::toggled, this, [this] { updateColorOptions(); });

  auto* run = new QGroupBox(QStringLiteral(" 'Run all selected' startup options: "), this);
  run->setObjectName(QStringLiteral("GroupBox3"));
  auto* runLayout = new QHBoxLayout(run);
  runLayout->setContentsMargins(8, 2, 8, 4);
  runLayout->addWidget(new QLabel(QStringLiteral("Time delay"), run));
  seDelay = new DelaySpinBox(run);
  seDelay->setObjectName(QStringLiteral("seDelay"));
  runLayout->addWidget(seDelay);
  runLayout->addWidget(new QLabel(QStringLiteral("sec."), run));
  runLayout->addSpacing(16);
  cbDoNotTile = Check("cbDoNotTile", "Do not tile", run);
  runLayout->addWidget(cbDoNotTile);
  runLayout->addStretch();
  layout->addWidget(run);

  auto* dbl = new QHBoxLayout;
  dbl->addWidget(new QLabel(QStringLiteral(" On double click at Tray Icon"), this));
  cbDblClick = new QComboBox(this);
  cbDblClick->setObjectName(QStringLiteral("cbDblClick"));
  cbDblClick->setEditable(false);
  cbDblClick->addItems({QStringLiteral("open Configuration window"), QStringLiteral("start Corvane"),
                        QStringLiteral("start last executed macro"), QStringLiteral("show desktop"),
                        QStringLiteral("start screen saver"), QStringLiteral("lock the screen (W2K and XP)")});
  cbDblClick->setCurrentIndex(0);
  dbl->addWidget(cbDblClick, 1);
  layout->addLayout(dbl);

  cbSelectLast = Check("cbSelectLast", "Auto select last executed connection in Configuration window", this);
  cbAutoSave = Check("cbAutoSave", "Save changes on exit without prompting", this);
  cbRunAtLogOn = Check("cbRunAtLogOn", "Run at log on to Windows", this);
  cbAssociate = Check("cbAssociate", "Associate extention VNK with ", this);
  for (auto* box : {cbSelectLast, cbAutoSave, cbRunAtLogOn, cbAssociate}) {
    box->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);  // a long caption is cut, not scrolled
    layout->addWidget(box);
  }
  cbSameBackground->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  cbDblClick->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  cbDblClick->setMinimumContentsLength(12);
  layout->addStretch();

  show(AppSettings{});
}

void SettingsPage::updateColorOptions() {
  const bool on = !cbNoColors->isChecked();
  cbUseColorInEditor->setEnabled(on);
  cbSameBackground->setEnabled(on);
}

void SettingsPage::show(const AppSettings& s) {
  edit1->setText(Q(s.varName));
  edit2->setText(Q(s.varEmail));
  edit3->setText(Q(s.varPhone));
  seDelay->setValue(RunDelaySeconds(s.multiStartInterval));
  cbSelectLast->setChecked(s.selectLast);
  cbNoColors->setChecked(s.noColors);
  cbUseColorInEditor->setChecked(s.useColorsInEditor);
  cbSameBackground->setChecked(s.useSameBackground);
  cbAutoSave->setChecked(s.autoSave);
  cbDoNotTile->setChecked(s.doNotTile);
  const int action = s.dblClickAction;
  cbDblClick->setCurrentIndex(action >= 0 && action <= cbDblClick->count() - 1 ? action : 0);
  updateColorOptions();
}

void SettingsPage::collect(AppSettings& s) const {
  s.varName = S(edit1->text());
  s.varEmail = S(edit2->text());
  s.varPhone = S(edit3->text());
  s.multiStartInterval = S(seDelay->text());
  s.selectLast = cbSelectLast->isChecked();
  s.noColors = cbNoColors->isChecked();
  s.useColorsInEditor = cbUseColorInEditor->isChecked();
  s.useSameBackground = cbSameBackground->isChecked();
  s.autoSave = cbAutoSave->isChecked();
  s.doNotTile = cbDoNotTile->isChecked();
  s.dblClickAction = cbDblClick->currentIndex();
}

void SettingsPage::finishDoubleClickList(bool screenLockAvailable) {
  if (screenLockAvailable || cbDblClick->count() < 6) return;
  const bool wasChosen = cbDblClick->currentIndex() == 5;
  cbDblClick->removeItem(5);
  if (wasChosen || cbDblClick->currentIndex() < 0) cbDblClick->setCurrentIndex(0);
}

}  // namespace varnok::app
