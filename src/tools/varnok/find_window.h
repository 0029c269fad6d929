#pragma once
// The companion's "Find..." window: the editor's find field over the
// connections of the tray menu, the matches listed by path with their count.
// Down and Up choose a match, Enter runs it as a click on it in the menu
// does (the first match when none is chosen), Esc closes the window.
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "model/find_index.h"

class QLabel;
class QLineEdit;
class QListWidget;

namespace varnok::tray {

class FindWindow : public QWidget {
  Q_OBJECT
 public:
  // At most this many matches are listed; the count names them all.
  static constexpr int kListed = 500;

  explicit FindWindow(std::function<void(int)> runConnection, QWidget* parent = nullptr);
  // The connections to look in (read again by the companion); null for none.
  void setTree(const ConnectionTree* tree);
  QLineEdit* field() const { return field_; }
  QListWidget* results() const { return results_; }
  QString countText() const;

 private:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void search();
  void runChosen();

  std::function<void(int)> runConnection_;
  const ConnectionTree* tree_ = nullptr;
  std::shared_ptr<const FindIndex> index_;  // until the tree is read again
  std::vector<int> listed_;                 // absolute index of each listed match
  QLineEdit* field_;
  QListWidget* results_;
  QLabel* count_;
};

}  // namespace varnok::tray
