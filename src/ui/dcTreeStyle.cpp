#include "dcTreeStyle.h"

#include <QPainter>
#include <QStyleOption>
#include <QTreeView>

namespace {

// Every other pixel, counted in the view's coordinates, so that the pieces
// drawn for consecutive rows join into one dotted line.
void dottedVertical(QPainter* p, int x, int top, int bottom) {
  for (int y = top + ((top & 1) ? 1 : 0); y <= bottom; y += 2) p->drawPoint(x, y);
}

void dottedHorizontal(QPainter* p, int y, int left, int right) {
  for (int x = left + ((left & 1) ? 1 : 0); x <= right; x += 2) p->drawPoint(x, y);
}

// The first item at the top of the tree has nothing above it to join.
bool isFirstTopItem(const QTreeView* view, const QRect& branch) {
  if (!view) return false;
  const QModelIndex index = view->indexAt(QPoint(branch.right() + 1, branch.center().y()));
  return index.isValid() && !index.parent().isValid() && index.row() == 0;
}

}  // namespace

QColor dcTreeStyle_t::lineColour() { return QColor(0x8D, 0x9B, 0xB8); }
QColor dcTreeStyle_t::boxBorderColour() { return QColor(0x6F, 0x83, 0xAE); }
QColor dcTreeStyle_t::signColour() { return QColor(0x14, 0x35, 0x8A); }

dcTreeStyle_t::dcTreeStyle_t() = default;

void dcTreeStyle_t::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                  const QWidget* widget) const {
  if (element != PE_IndicatorBranch) {
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    return;
  }
  const QRect r = option->rect;
  // A deep tree asks for every ancestor's column, mostly scrolled away.
  const auto* view = qobject_cast<const QTreeView*>(widget);
  if (view && !view->viewport()->rect().intersects(r)) return;
  const int cx = r.left() + r.width() / 2;
  const int cy = r.top() + r.height() / 2;
  const State state = option->state;

  painter->save();
  painter->setRenderHint(QPainter::Antialiasing, false);
  painter->setPen(lineColour());
  if (state & State_Item) {
    // The item's own column: up to its parent or previous sibling, on to
    // the next sibling, and across to the item's picture.
    const int top = isFirstTopItem(view, r) ? cy : r.top();
    dottedVertical(painter, cx, top, (state & State_Sibling) ? r.bottom() : cy);
    dottedHorizontal(painter, cy, cx, r.right());
  } else if (state & State_Sibling) {
    // An ancestor's column: its later siblings are still to come.
    dottedVertical(painter, cx, r.top(), r.bottom());
  }

  if (state & State_Children) {
    const int half = BOX_SIZE / 2;
    const QRect box(cx - half, cy - half, BOX_SIZE, BOX_SIZE);
    QLinearGradient face(box.topLeft(), box.bottomRight());
    face.setColorAt(0, Qt::white);
    face.setColorAt(1, QColor(0xE3, 0xEA, 0xF7));
    painter->fillRect(box, face);
    painter->setPen(boxBorderColour());
    painter->drawRect(box.adjusted(0, 0, -1, -1));
    painter->setPen(signColour());
    painter->drawLine(cx - 2, cy, cx + 2, cy);
    if (!(state & State_Open)) painter->drawLine(cx, cy - 2, cx, cy + 2);
  }
  painter->restore();
}
