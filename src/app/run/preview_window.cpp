#include "run/preview_window.h"

#include <Qsci/qsciscintilla.h>

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "editor/cvl_highlighter.h"
#include "editor/editor_setup.h"
#include "run/run_commands.h"

namespace varnok::app {

namespace {

QString Local8(const std::string& text) {
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

PreviewWindow::PreviewWindow(const RunCommands& runs, int pointSize, QWidget* parent)
    : QDialog(parent), runs_(runs) {
  setObjectName(QStringLiteral("PreviewWindow"));
  setWindowTitle(QStringLiteral("Preview branch macro"));
  note_ = new QLabel(this);
  note_->setObjectName(QStringLiteral("PreviewNote"));
  note_->setTextFormat(Qt::PlainText);
  note_->setWordWrap(true);
  note_->hide();
  editor_ = new QsciScintilla(this);
  editor_->setObjectName(QStringLiteral("PreviewEditor"));
  GutterWidthFollower* gutter = ConfigureMacroEditor(*editor_, pointSize);
  editor_->setReadOnly(true);
  auto* highlighter = new CvlHighlighter(editor_->font(), this);
  highlighter->setBackground(editor_->paper());
  editor_->setLexer(highlighter);
  gutter->apply();
  // The editor takes Esc for itself; here it closes the window.
  editor_->installEventFilter(this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  QPushButton* close = buttons->button(QDialogButtonBox::Close);
  close->setObjectName(QStringLiteral("PreviewClose"));
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(note_);
  layout->addWidget(editor_, 1);
  layout->addWidget(buttons);
  resize(640, 440);
}

bool PreviewWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == editor_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
      static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
    reject();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void PreviewWindow::refresh() {
  if (!isVisible()) return;
  const PreviewContent content = runs_.preview();
  const QString path = Local8(content.path);
  setWindowTitle(path.isEmpty() ? QStringLiteral("Preview branch macro")
                                : QStringLiteral("Preview \u2013 ") + path);
  const bool several = content.selectedCount > 1 && !path.isEmpty();
  note_->setVisible(several);
  if (several)
    note_->setText(QStringLiteral("%1 connections are selected; this is the macro of the focused one, %2.")
                       .arg(content.selectedCount)
                       .arg(path));
  const QString shown = Local8(content.text);
  if (editor_->text() == shown) return;
  editor_->setText(shown);
  editor_->SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTH, 1);  // follows the new text's lines
}

}  // namespace varnok::app
