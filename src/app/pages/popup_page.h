#pragma once
// The "Popup" page: the popup text editor.
#include "pages/connection_page.h"

class QsciScintilla;

namespace varnok::app {

class PopupPage : public ConnectionPage {
  Q_OBJECT
 public:
  explicit PopupPage(int editorPointSize, QWidget* parent = nullptr);

  void load(const rVTNodeData& record) override;
  void commit(rVTNodeData& record) const override;
  void clear() override;
  QVariant state() const override;
  void restoreState(const QVariant& state) override;

  QsciScintilla& editor() const { return *popupEditor_; }
  bool isPopupEmpty() const;

 private:
  QsciScintilla* popupEditor_ = nullptr;
};

}  // namespace varnok::app
