#include "find_window.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QVBoxLayout>

#include "model/tree_search.h"
#include "run/schedule_agenda.h"

namespace varnok::tray {

FindWindow::FindWindow(std::function<void(int)> runConnection, QWidget* parent)
    : QWidget(parent, Qt::Window), runConnection_(std::move(runConnection)) {
  setObjectName(QStringLiteral("FindWindow"));
  setWindowTitle(QStringLiteral("Varnok - Find"));
  auto* layout = new QVBoxLayout(this);
  field_ = new QLineEdit(this);
  field_->setObjectName(QStringLiteral("FindField"));
  field_->setClearButtonEnabled(true);
  field_->setPlaceholderText(QStringLiteral("Find a connection"));
  field_->setToolTip(
      QStringLiteral("Words that all occur in a connection's path: lab rtr\n"
                     "host:, user:, macro:, popup: look in the host and user names, the macro or the popup\n"
                     "\"a phrase\" with blanks; -word leaves out what it matches\n"
                     "Down/Up: choose; Enter: run; Esc: close"));
  results_ = new QListWidget(this);
  results_->setObjectName(QStringLiteral("FindResults"));
  count_ = new QLabel(this);
  count_->setObjectName(QStringLiteral("FindCount"));
  layout->addWidget(field_);
  layout->addWidget(results_);
  layout->addWidget(count_);
  resize(420, 320);
  field_->installEventFilter(this);
  connect(field_, &QLineEdit::textChanged, this, &FindWindow::search);
  connect(results_, &QListWidget::itemActivated, this, &FindWindow::runChosen);
}

void FindWindow::setTree(const ConnectionTree* tree) {
  tree_ = tree;
  index_.reset();
  search();
}

QString FindWindow::countText() const { return count_->text(); }

void FindWindow::search() {
  results_->clear();
  listed_.clear();
  count_->clear();
  const FindQuery query = ParseFindQuery(field_->text().toLocal8Bit().toStdString());
  if (!tree_ || query.empty()) return;
  if (!index_) index_ = std::make_shared<const FindIndex>(*tree_);
  TreeSearch search(index_, query);
  while (!search.step(1 << 20)) {
  }
  const FindResult& r = search.result();
  for (int e = 0; e < r.size() && static_cast<int>(listed_.size()) < kListed; ++e) {
    if (!r.matched[static_cast<std::size_t>(e)]) continue;
    const TreeNode* node = r.shown[static_cast<std::size_t>(e)];
    const std::string path = run::ConnectionPath(node);
    results_->addItem(QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size())));
    listed_.push_back(tree_->absoluteIndex(node));
  }
  const QLocale english(QLocale::English);
  count_->setText(
      QStringLiteral("%1 of %2").arg(english.toString(r.matchCount), english.toString(tree_->count() - 1)));
}

void FindWindow::runChosen() {
  if (listed_.empty()) return;
  const int row = std::max(results_->currentRow(), 0);
  const int index = listed_[static_cast<std::size_t>(row)];
  hide();
  if (runConnection_) runConnection_(index);
}

bool FindWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched != field_ || event->type() != QEvent::KeyPress) return false;
  const int rows = results_->count();
  switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Down:
      if (rows) results_->setCurrentRow((results_->currentRow() + 1) % rows);
      return true;
    case Qt::Key_Up:
      if (rows) results_->setCurrentRow(results_->currentRow() <= 0 ? rows - 1 : results_->currentRow() - 1);
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      runChosen();
      return true;
    case Qt::Key_Escape:
      hide();
      return true;
    default:
      return false;
  }
}

}  // namespace varnok::tray
