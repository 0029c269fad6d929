#include "pages/connection_page.h"

#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace varnok::app {

ConnectionPage::ConnectionPage(const char* tabName, const char* coverName, QWidget* parent)
    : QWidget(parent) {
  setObjectName(QString::fromLatin1(tabName));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  stack_ = new QStackedWidget(this);
  cover_ = new QLabel(QStringLiteral("N/A"), stack_);
  cover_->setObjectName(QString::fromLatin1(coverName));
  cover_->setAlignment(Qt::AlignCenter);
  cover_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  stack_->addWidget(cover_);
  layout->addWidget(stack_);
}

void ConnectionPage::setContent(QWidget* content) {
  stack_->insertWidget(0, content);
  stack_->setCurrentIndex(0);
}

void ConnectionPage::cover(const QString& caption) {
  cover_->setText(caption);
  stack_->setCurrentWidget(cover_);
}

void ConnectionPage::uncover() { stack_->setCurrentIndex(0); }

bool ConnectionPage::showsConnection() const { return stack_->currentWidget() != cover_; }

void ConnectionPage::userEdited() {
  if (loading_) return;
  edited_ = true;
  emit edited();
}

}  // namespace varnok::app
