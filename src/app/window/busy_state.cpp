#include "window/busy_state.h"

#include <QApplication>

#include "document/document.h"
#include "tree/tree_model.h"
#include "tree/tree_view.h"

namespace varnok::app {

BusyState::BusyState(Context context, QObject* parent) : QObject(parent), context_(context) {
  connect(&context_.document, &Document::busyBegan, this, &BusyState::begin);
  connect(&context_.document, &Document::busyEnded, this, &BusyState::end);
}

void BusyState::begin() {
  if (depth_++ > 0) return;
  wasLoading_ = context_.loading;
  context_.loading = true;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  context_.view.setUpdatesEnabled(false);
}

void BusyState::end() {
  if (--depth_ > 0) return;
  context_.view.expand(context_.model.indexOf(context_.model.tree().top()));
  context_.view.setUpdatesEnabled(true);
  QApplication::restoreOverrideCursor();
  context_.loading = wasLoading_;
}

}  // namespace varnok::app
