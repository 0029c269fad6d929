#include "connection_pages.h"

#include <Qsci/qsciscintilla.h>

#include <QCheckBox>
#include <QLabel>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

#include "common/stored_text.h"
#include "common/trim_text.h"
#include "editor_setup.h"

namespace varnok::app {

namespace {

QString FromStored(const std::string& stored) {
  std::string text = DecodeText(stored);
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToStored(const QString& text) { return EncodeText(TrimText(text.toLocal8Bit().toStdString())); }

QString Trimmed(const QString& text) {
  const QByteArray bytes = text.toLocal8Bit();
  const std::string_view t = TrimTextView(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  return QString::fromLocal8Bit(t.data(), static_cast<qsizetype>(t.size()));
}

void SetTextIfDifferent(QsciScintilla& editor, const QString& text) {
  if (editor.text() != text) editor.setText(text);
}

}  // namespace

QStackedWidget* ConnectionPages::addCoveredTab(QTabWidget& pg, const char* tabName, const char* title,
                                               const char* coverName, QWidget* content) {
  auto* tab = new QWidget;
  tab->setObjectName(QString::fromLatin1(tabName));
  auto* layout = new QVBoxLayout(tab);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* stack = new QStackedWidget(tab);
  stack->addWidget(content);
  auto* cover = new QLabel(QStringLiteral("N/A"), stack);
  cover->setObjectName(QString::fromLatin1(coverName));
  cover->setAlignment(Qt::AlignCenter);
  cover->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  stack->addWidget(cover);
  layout->addWidget(stack);
  pg.addTab(tab, QString::fromLatin1(title));
  return stack;
}

ConnectionPages::ConnectionPages(QTabWidget& pg, int editorPointSize) : QObject(&pg) {
  // Macro: the editor, and below it the logging box in its own panel.
  auto* macroContent = new QWidget;
  auto* macroLayout = new QVBoxLayout(macroContent);
  macroLayout->setContentsMargins(0, 0, 0, 0);
  macroLayout->setSpacing(2);
  memo1 = new QsciScintilla(macroContent);
  memo1->setObjectName(QStringLiteral("Memo1"));
  ConfigureMacroEditor(*memo1, editorPointSize);
  macroLayout->addWidget(memo1, 1);
  logPanel_ = new QWidget(macroContent);
  logPanel_->setObjectName(QStringLiteral("TS1bPanel"));
  auto* logLayout = new QVBoxLayout(logPanel_);
  logLayout->setContentsMargins(4, 2, 4, 2);
  cbLogSession = new QCheckBox(QStringLiteral("Start logging when connection established"), logPanel_);
  cbLogSession->setObjectName(QStringLiteral("cbLogSession"));
  cbLogSession->setChecked(true);
  logLayout->addWidget(cbLogSession);
  macroLayout->addWidget(logPanel_);
  stack1_ = addCoveredTab(pg, "TS1", "Macro", "TS1Panel", macroContent);
  ts1 = pg.widget(pg.count() - 1);

  memo2 = new QsciScintilla;
  memo2->setObjectName(QStringLiteral("Memo2"));
  ConfigurePopupEditor(*memo2, editorPointSize);
  stack2_ = addCoveredTab(pg, "TS2", "Popup", "TS2Panel", memo2);
  ts2 = pg.widget(pg.count() - 1);

  // The colour and schedule editors are separate pages still to come; until
  // then these tabs show what the connection holds.
  auto* colorsContent = new QLabel;
  colorsContent->setObjectName(QStringLiteral("ColorsPlaceholder"));
  colorsContent->setAlignment(Qt::AlignCenter);
  stack3_ = addCoveredTab(pg, "TS3", "Colors", "TS3Panel", colorsContent);
  ts3 = pg.widget(pg.count() - 1);

  auto* scheduleContent = new QLabel;
  scheduleContent->setObjectName(QStringLiteral("SchedulePlaceholder"));
  scheduleContent->setAlignment(Qt::AlignCenter);
  stack4_ = addCoveredTab(pg, "TS4", "Schedule", "TS4Panel", scheduleContent);
  ts4 = pg.widget(pg.count() - 1);

  cover1_ = qobject_cast<QLabel*>(stack1_->widget(1));
  cover2_ = qobject_cast<QLabel*>(stack2_->widget(1));
  cover3_ = qobject_cast<QLabel*>(stack3_->widget(1));
  cover4_ = qobject_cast<QLabel*>(stack4_->widget(1));
}

void ConnectionPages::cover(const QString& caption) {
  for (auto* label : {cover1_, cover2_, cover3_, cover4_}) label->setText(caption);
  for (auto* stack : {stack1_, stack2_, stack3_, stack4_}) stack->setCurrentIndex(1);
  logPanel_->hide();
}

void ConnectionPages::coverColors(const QString& caption) {
  cover3_->setText(caption);
  stack3_->setCurrentIndex(1);
}

void ConnectionPages::uncover() {
  for (auto* stack : {stack1_, stack2_, stack3_, stack4_}) stack->setCurrentIndex(0);
  logPanel_->show();
}

bool ConnectionPages::macroPageShowsConnection() const { return stack1_->currentIndex() == 0; }

void ConnectionPages::load(const rVTNodeData& record) {
  SetTextIfDifferent(*memo1, Trimmed(FromStored(record.Macro)));
  cbLogSession->setChecked(record.StartLogging);
  SetTextIfDifferent(*memo2, FromStored(record.PopupText));
  colors_ = record.Colors;
  schedule_ = record.Schedule;
  if (auto* c = qobject_cast<QLabel*>(stack3_->widget(0)))
    c->setText(QStringLiteral("Colors: %1").arg(QString::fromLocal8Bit(colors_.c_str())));
  if (auto* s = qobject_cast<QLabel*>(stack4_->widget(0)))
    s->setText(schedule_.empty() ? QStringLiteral("No schedule")
                                 : QStringLiteral("Schedule: %1").arg(QString::fromLocal8Bit(schedule_.c_str() + 1)));
}

void ConnectionPages::store(rVTNodeData& record) const {
  record.Colors = colors_;
  record.Macro = ToStored(EditorText(*memo1));
  record.PopupText = ToStored(EditorText(*memo2));
  record.Schedule = schedule_;
  record.StartLogging = cbLogSession->isChecked();
}

void ConnectionPages::clear() {
  memo1->clear();
  memo2->clear();
  cbLogSession->setChecked(true);
}

PageContents ConnectionPages::capture() const {
  return {memo1->text(), memo2->text(), cbLogSession->isChecked(), colors_, schedule_};
}

void ConnectionPages::restore(const PageContents& c) {
  SetTextIfDifferent(*memo1, c.macro);
  SetTextIfDifferent(*memo2, c.popup);
  cbLogSession->setChecked(c.logging);
  colors_ = c.colors;
  schedule_ = c.schedule;
}

}  // namespace varnok::app
