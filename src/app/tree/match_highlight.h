#pragma once
// Marks, in a row of the filtered tree, the parts of the name that the find
// filter's words matched.
#include <QList>
#include <QPair>
#include <QString>

#include "model/find_query.h"

class QPainter;
class QStyleOptionViewItem;

namespace varnok::app {

// The matched parts of `name` (8-bit, as stored) as positions and lengths
// in its shown text.
QList<QPair<int, int>> MatchedParts(const FindQuery& query, const std::string& name);

// Paints `parts` of the row's text (as `option` lays the text out) in the
// highlight colour, translucent, over the painted row.
void PaintMatchedParts(QPainter* painter, const QStyleOptionViewItem& option,
                       const QList<QPair<int, int>>& parts);

}  // namespace varnok::app
