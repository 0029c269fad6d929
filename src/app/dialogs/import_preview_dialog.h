#pragma once
// "Import from other tools": what a source would add, before it is added.
// The tree of connections with check boxes, how many are checked, and every
// entry the reader skipped or doubts with its reason. OK ("Import") is
// offered while at least one connection is checked; "Choose another file
// ..." ends the dialog with kChooseAnother.
#include <QDialog>
#include <string>

#include "files/foreign_import.h"

class QLabel;
class QPushButton;
class QTreeView;

namespace varnok::app {

class ImportPreviewModel;

class ImportPreviewDialog : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kChooseAnother = 2;

  // `found` must outlive the dialog; `source` is the file or folder read.
  ImportPreviewDialog(const ForeignImport& found, const std::string& source, QWidget* parent = nullptr);

  ImportPreviewModel& model() { return *model_; }
  bool isChecked(const TreeNode* node) const;

 private:
  void updateCounts();

  const ForeignImport& found_;
  ImportPreviewModel* model_;
  QTreeView* tree_;
  QLabel* counts_;
  QPushButton* importButton_;
};

}  // namespace varnok::app
