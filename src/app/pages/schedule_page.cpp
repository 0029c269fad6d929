#include "pages/schedule_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/prompts.h"

namespace varnok::app {

namespace {

QString Q(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// A character typed into a field that the filter turns away: printable
// characters other than digits, "," and "*". Keys without text (arrows,
// Delete) and control characters (shortcuts, backspace) pass.
bool Refused(const QKeyEvent& key) {
  const QString text = key.text();
  if (text.isEmpty()) return false;
  const QChar ch = text.front();
  if (ch.unicode() < 0x20 || ch.unicode() == 0x7f) return false;
  return ch.unicode() > 0x7f || !properties::ScheduleKeyAccepted(static_cast<char>(ch.unicode()));
}

}  // namespace

SchedulePage::SchedulePage(QWidget* parent) : ConnectionPage("TS4", "TS4Panel", parent) {
  auto* content = new QWidget;
  auto* layout = new QVBoxLayout(content);
  layout->setContentsMargins(8, 8, 8, 8);
  scheduleBox_ = new QCheckBox(Q(properties::kScheduleCheckCaption));
  scheduleBox_->setObjectName(QStringLiteral("cbSchedule"));
  layout->addWidget(scheduleBox_);

  auto* grid = new QGridLayout;
  grid->setContentsMargins(18, 4, 0, 4);
  int row = 0;
  for (const properties::ScheduleFieldInfo& info : properties::ScheduleFieldInfos()) {
    auto* field = new QLineEdit;
    field->setObjectName(Q(info.control));
    field->setMaximumWidth(field->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 34);
    field->installEventFilter(this);
    auto* label = new QLabel(Q(info.label));
    label->setBuddy(field);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
    fields_[static_cast<std::size_t>(row)] = field;
    connect(field, &QLineEdit::textEdited, this, [this, field] { fieldEdited(*field); });
    ++row;
  }
  grid->setColumnStretch(2, 1);
  layout->addLayout(grid);

  for (std::string_view line : properties::kScheduleHelpLines) layout->addWidget(new QLabel(Q(line)));
  verifyButton_ = new QPushButton(Q(properties::kVerifyButtonCaption));
  verifyButton_->setObjectName(QStringLiteral("bValidate"));
  layout->addWidget(verifyButton_, 0, Qt::AlignLeft);
  auto* line = new QFrame;
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  layout->addWidget(line);
#ifdef _WIN32
  auto* note = new QLabel(Q(properties::kScheduleNote));
#else
  auto* note = new QLabel(Q(properties::kScheduleNote)
                              .replace(QStringLiteral("Windows system tray"), QStringLiteral("system tray")));
#endif
  note->setObjectName(QStringLiteral("lNote"));
  note->setWordWrap(true);
  layout->addWidget(note);
  layout->addStretch(1);
  setContent(content);

  connect(scheduleBox_, &QCheckBox::clicked, this, &SchedulePage::scheduleClicked);
  connect(verifyButton_, &QPushButton::clicked, this, &SchedulePage::verifyClicked);
  switchFields();
}

properties::ScheduleFields SchedulePage::texts() const {
  properties::ScheduleFields out;
  for (std::size_t i = 0; i < fields_.size(); ++i) out[i] = fields_[i]->text().toStdString();
  return out;
}

void SchedulePage::setTexts(const properties::ScheduleFields& texts) const {
  for (std::size_t i = 0; i < fields_.size(); ++i) fields_[i]->setText(QString::fromStdString(texts[i]));
}

bool SchedulePage::isField(const QWidget* widget) const {
  return std::find(fields_.begin(), fields_.end(), widget) != fields_.end();
}

void SchedulePage::switchFields() {
  const bool on = scheduleBox_->isChecked();
  properties::ScheduleFields values = texts();
  properties::SwitchSchedule(on, values);
  setTexts(values);
  for (QLineEdit* field : fields_) field->setEnabled(on);
  verifyButton_->setEnabled(on);
}

void SchedulePage::scheduleClicked() {
  switchFields();
  userEdited();
}

void SchedulePage::fieldEdited(QLineEdit& field) {
  std::string text = field.text().toStdString();
  if (properties::CollapseStar(text)) {
    field.setText(QStringLiteral("*"));
    field.setCursorPosition(1);
  }
  verifyButton_->setEnabled(scheduleBox_->isChecked());
  userEdited();
}

int SchedulePage::verifyFields() const {
  properties::ScheduleFields values = texts();
  const int corrections = properties::VerifyScheduleFields(values);
  setTexts(values);
  return corrections;
}

void SchedulePage::verifyClicked() {
  const int corrections = verifyFields();
  if (prompter_) prompter_->information(properties::VerificationMessage(corrections));
  verifyButton_->setEnabled(false);
  emit refreshRequested();
}

void SchedulePage::pasteInto(QLineEdit& field) {
  const std::size_t at =
      static_cast<std::size_t>(std::find(fields_.begin(), fields_.end(), &field) - fields_.begin());
  if (at >= fields_.size()) return;
  field.paste();
  int ignored = 0;
  const auto which = static_cast<properties::ScheduleField>(at + 1);
  field.setText(
      QString::fromStdString(properties::VerifyScheduleField(which, field.text().toStdString(), ignored)));
  verifyButton_->setEnabled(scheduleBox_->isChecked());
  userEdited();
}

bool SchedulePage::eventFilter(QObject* watched, QEvent* event) {
  auto* field = qobject_cast<QLineEdit*>(watched);
  if (!field || !isField(field)) return ConnectionPage::eventFilter(watched, event);
  if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Paste)) {
      // Every paste, by key or by command, ends with the field verified.
      if (event->type() == QEvent::KeyPress) pasteInto(*field);
      event->accept();
      return event->type() == QEvent::KeyPress;
    }
    if (event->type() == QEvent::KeyPress && Refused(*key)) return true;
  } else if (event->type() == QEvent::FocusOut && field->isEnabled()) {
    const QString after = QString::fromStdString(properties::FieldAfterExit(field->text().toStdString()));
    if (after != field->text()) field->setText(after);
  }
  return ConnectionPage::eventFilter(watched, event);
}

void SchedulePage::load(const rVTNodeData& record) {
  ScopedFlag scope(loadingFlag());
  const bool on = !record.Schedule.empty() && record.Schedule.front() == '=';
  scheduleBox_->setChecked(on);
  switchFields();
  if (on) setTexts(properties::LoadScheduleFields(record.Schedule));
  verifyButton_->setEnabled(false);
  setEdited(false);
}

void SchedulePage::commit(rVTNodeData& record) const {
  properties::ScheduleFields values = texts();
  record.Schedule = properties::CommitSchedule(scheduleBox_->isChecked(), values);
  if (scheduleBox_->isChecked()) setTexts(values);
}

void SchedulePage::clear() {
  ScopedFlag scope(loadingFlag());
  scheduleBox_->setChecked(false);
  switchFields();
  setEdited(false);
}

QVariant SchedulePage::state() const {
  QVariantList out{scheduleBox_->isChecked(), verifyButton_->isEnabled()};
  for (QLineEdit* field : fields_) out.append(field->text());
  return out;
}

void SchedulePage::restoreState(const QVariant& state) {
  const QVariantList values = state.toList();
  if (values.size() != 2 + static_cast<qsizetype>(fields_.size())) return;
  ScopedFlag scope(loadingFlag());
  scheduleBox_->setChecked(values[0].toBool());
  for (QLineEdit* field : fields_) field->setEnabled(values[0].toBool());
  for (std::size_t i = 0; i < fields_.size(); ++i)
    fields_[i]->setText(values[static_cast<qsizetype>(2 + i)].toString());
  verifyButton_->setEnabled(values[1].toBool());
}

}  // namespace varnok::app
