#include "preview_window.h"

#include <Qsci/qsciscintilla.h>

#include <QVBoxLayout>

#include "editor_setup.h"

namespace varnok::app {

PreviewWindow::PreviewWindow(std::function<std::string()> text, int pointSize, QWidget* parent)
    : QDialog(parent), text_(std::move(text)) {
  setObjectName(QStringLiteral("PreviewWindow"));
  setWindowTitle(QStringLiteral("Preview branch macro"));
  editor_ = new QsciScintilla(this);
  editor_->setObjectName(QStringLiteral("PreviewEditor"));
  ConfigureMacroEditor(*editor_, pointSize);
  editor_->setReadOnly(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(editor_);
  resize(640, 420);
}

void PreviewWindow::refresh() {
  if (!isVisible()) return;
  const std::string text = text_();
  const QString shown = QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
  if (editor_->text() != shown) editor_->setText(shown);
}

}  // namespace varnok::app
