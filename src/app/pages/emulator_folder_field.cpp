#include "pages/emulator_folder_field.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "common/program_paths.h"
#include "dialogs/prompts.h"
#include "platform/program_places.h"
#include "run/emulator.h"

namespace varnok::app {
namespace {

QString Q(const std::string& s) { return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size())); }
std::string S(const QString& s) { return s.toLocal8Bit().toStdString(); }

}  // namespace

EmulatorFolderField::EmulatorFolderField(QWidget* parent)
    : QGroupBox(QStringLiteral(" Emulator folder (corvmain, corvane.ini): "), parent) {
  setObjectName(QStringLiteral("GroupEmulatorDir"));
  field_ = new QLineEdit(this);
  field_->setObjectName(QStringLiteral("EditEmulatorDir"));
  browse_ = new QPushButton(QStringLiteral("Browse..."), this);
  browse_->setObjectName(QStringLiteral("BtnEmulatorDir"));
  default_ = new QPushButton(QStringLiteral("Default"), this);
  default_->setObjectName(QStringLiteral("BtnEmulatorDirDefault"));
  default_->setToolTip(QStringLiteral("Look for the emulator in the program folder"));
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("LblEmulatorDir"));
  status_->setWordWrap(true);
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(8, 2, 8, 4);
  grid->setVerticalSpacing(2);
  grid->addWidget(field_, 0, 0);
  grid->addWidget(browse_, 0, 1);
  grid->addWidget(default_, 0, 2);
  grid->addWidget(status_, 1, 0, 1, 3);
  grid->setColumnStretch(0, 1);

  connect(field_, &QLineEdit::editingFinished, this, [this] {
    if (field_->text().trimmed() == Q(value_)) return;
    accept(field_->text());
  });
  connect(browse_, &QPushButton::clicked, this, &EmulatorFolderField::browse);
  connect(default_, &QPushButton::clicked, this, [this] { accept(QString()); });
  refresh();
}

void EmulatorFolderField::setPlaces(const std::string& dir, FileDialogs& dialogs) {
  programDir_ = dir;
  dialogs_ = &dialogs;
  // Short enough for a narrow page; the line below names the whole path.
  field_->setPlaceholderText(QStringLiteral("(the program folder)"));
  field_->setToolTip(QStringLiteral("Empty: the program folder, ") + Q(dir));
  refresh();
}

void EmulatorFolderField::setValue(const std::string& value) {
  value_ = value;
  refusal_.clear();
  field_->setText(Q(value));
  refresh();
}

std::string EmulatorFolderField::folder() const { return platform::EmulatorDirFor(programDir_, value_); }

void EmulatorFolderField::accept(const QString& text) {
  const std::string typed = S(text.trimmed());
  if (!typed.empty() && typed.front() != '/') {
    refusal_ = QStringLiteral("'%1' is not a full path: enter one that begins with '/'.").arg(text.trimmed());
  } else {
    refusal_.clear();
    value_ = typed.empty() ? std::string() : platform::EmulatorDirFor(programDir_, typed);
  }
  field_->setText(Q(value_));
  refresh();
}

void EmulatorFolderField::browse() {
  if (!dialogs_) return;
  if (std::optional<std::string> chosen = dialogs_->chooseFolder({"Emulator folder", "", "", folder()}))
    accept(Q(*chosen));
}

void EmulatorFolderField::refresh() {
  default_->setEnabled(!value_.empty());
  const std::string dir = folder();
  const std::string emulator = run::EmulatorExePath(dir);
  QString text;
  if (!refusal_.isEmpty())
    text = refusal_;
  else if (FileExists(emulator))
    text = QStringLiteral("Emulator found: ") + Q(emulator);
  else
    text = QStringLiteral("No %1 in %2: runs cannot start.").arg(Q(run::EmulatorExeName()), Q(dir));
  status_->setText(text);
}

}  // namespace varnok::app
