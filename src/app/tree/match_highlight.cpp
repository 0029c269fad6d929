#include "tree/match_highlight.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionViewItem>

#include "model/tree_search.h"

namespace varnok::app {

QList<QPair<int, int>> MatchedParts(const FindQuery& query, const std::string& name) {
  QList<QPair<int, int>> parts;
  auto shownLength = [&](std::size_t bytes) {
    return static_cast<int>(QString::fromLocal8Bit(name.data(), static_cast<qsizetype>(bytes)).size());
  };
  for (const TextRange& r : MatchRanges(query, FindField::Path, name)) {
    const int start = shownLength(r.start);
    parts.append({start, shownLength(r.start + r.length) - start});
  }
  return parts;
}

void PaintMatchedParts(QPainter* painter, const QStyleOptionViewItem& option,
                       const QList<QPair<int, int>>& parts) {
  if (parts.isEmpty()) return;
  const QWidget* widget = option.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &option, widget);
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
  const QFontMetrics metrics(option.font);
  QColor mark(255, 200, 0, 110);
  painter->save();
  painter->setClipRect(text);
  for (const auto& [start, length] : parts) {
    const int left = text.left() + margin + metrics.horizontalAdvance(option.text.left(start));
    const int width = metrics.horizontalAdvance(option.text.mid(start, length));
    painter->fillRect(QRect(left, text.top() + 1, width, text.height() - 2), mark);
  }
  painter->restore();
}

}  // namespace varnok::app
