#include "dialogs/import_preview_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "dialogs/import_preview_model.h"

namespace varnok::app {
namespace {

QString Local(const std::string& text) {
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

// Opening every branch of a very large import would take longer than reading it.
constexpr int kExpandAllUpTo = 5000;

}  // namespace

ImportPreviewDialog::ImportPreviewDialog(const ForeignImport& found, const std::string& source,
                                         QWidget* parent)
    : QDialog(parent), found_(found), model_(new ImportPreviewModel(found.roots, this)) {
  setObjectName(QStringLiteral("ImportPreview"));
  setWindowTitle(tr("Import from other tools"));
  auto* layout = new QVBoxLayout(this);

  auto* sourceLabel = new QLabel(tr("Connections found in %1:").arg(Local(source)), this);
  sourceLabel->setObjectName(QStringLiteral("ImportSource"));
  sourceLabel->setWordWrap(true);
  sourceLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(sourceLabel);

  tree_ = new QTreeView(this);
  tree_->setObjectName(QStringLiteral("ImportTree"));
  tree_->setModel(model_);
  tree_->setHeaderHidden(true);
  tree_->setUniformRowHeights(true);
  tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  if (model_->total() <= kExpandAllUpTo)
    tree_->expandAll();
  else
    tree_->expandToDepth(0);
  layout->addWidget(tree_, 3);

  auto* checks = new QHBoxLayout;
  auto* checkAll = new QPushButton(tr("Check all"), this);
  checkAll->setObjectName(QStringLiteral("ImportCheckAll"));
  auto* uncheckAll = new QPushButton(tr("Uncheck all"), this);
  uncheckAll->setObjectName(QStringLiteral("ImportUncheckAll"));
  counts_ = new QLabel(this);
  counts_->setObjectName(QStringLiteral("ImportCounts"));
  checks->addWidget(checkAll);
  checks->addWidget(uncheckAll);
  checks->addWidget(counts_, 1);
  layout->addLayout(checks);

  auto* notesLabel = new QLabel(tr("Skipped or doubtful entries:"), this);
  auto* notes = new QPlainTextEdit(this);
  notes->setObjectName(QStringLiteral("ImportNotes"));
  notes->setReadOnly(true);
  QStringList lines;
  for (ImportNote n : found.notes) {
    // The source is named above: its own lines need no path.
    if (n.where.starts_with(source + ", ")) n.where.erase(0, source.size() + 2);
    lines << (n.kind == ImportNote::Kind::Skipped ? tr("Skipped: ") : tr("Doubtful: ")) + Local(NoteText(n));
  }
  notes->setPlainText(lines.isEmpty() ? tr("None.") : lines.join(QLatin1Char('\n')));
  notesLabel->setBuddy(notes);
  layout->addWidget(notesLabel);
  layout->addWidget(notes, 2);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  importButton_ = buttons->button(QDialogButtonBox::Ok);
  importButton_->setText(tr("Import"));
  importButton_->setObjectName(QStringLiteral("ImportOk"));
  QPushButton* another = buttons->addButton(tr("Choose another file ..."), QDialogButtonBox::ActionRole);
  another->setObjectName(QStringLiteral("ImportChooseSource"));
  layout->addWidget(buttons);

  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(another, &QPushButton::clicked, this, [this] { done(kChooseAnother); });
  connect(checkAll, &QPushButton::clicked, this, [this] { model_->setAllChecked(true); });
  connect(uncheckAll, &QPushButton::clicked, this, [this] { model_->setAllChecked(false); });
  connect(model_, &ImportPreviewModel::checksChanged, this, &ImportPreviewDialog::updateCounts);
  connect(model_, &QAbstractItemModel::modelReset, this, [this] {
    if (model_->total() <= kExpandAllUpTo) tree_->expandAll();
  });
  updateCounts();
  resize(640, 520);
}

bool ImportPreviewDialog::isChecked(const TreeNode* node) const { return model_->isChecked(node); }

void ImportPreviewDialog::updateCounts() {
  const int checked = model_->checkedCount();
  const auto notes = static_cast<int>(found_.notes.size());
  counts_->setText(tr("%1 of %2 connections checked; %3 entries skipped or doubtful")
                       .arg(checked)
                       .arg(model_->total())
                       .arg(notes));
  importButton_->setEnabled(checked > 0);
}

}  // namespace varnok::app
