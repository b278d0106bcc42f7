#include "CColorSplitterWnd.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include "dcUiText.h"

CColorSplitterWnd::CColorSplitterWnd(Qt::Orientation orientation, QWidget* parent)
    : QSplitter(orientation, parent) {
  setHandleWidth(6);
  setChildrenCollapsible(false);
  setOpaqueResize(true);
}

QSplitterHandle* CColorSplitterWnd::createHandle() { return new CColorSplitterBar(orientation(), this); }

void CColorSplitterWnd::setLocked(bool lock) {
  locked = lock ? 1 : 0;
  for (int i = 0; i < count(); ++i)
    if (auto* bar = qobject_cast<CColorSplitterBar*>(handle(i))) bar->updateCursor();
}

void CColorSplitterWnd::OnDrawSplitter(QPainter* dc, ESplitType type, const QRect& rect) {
  if (!dc) {
    for (int i = 0; i < count(); ++i) handle(i)->update();
    update();
    return;
  }
  if (pfnDrawSplitter && !flatBars) {
    pfnDrawSplitter(this, dc, type, rect);
    return;
  }
  if (!flatBars) {
    drawStandardPart(dc, type, rect);
    return;
  }
  switch (type) {
    case splitBar: {
      QRect band = rect;
      // A bar between rows lies horizontally: shorten it at its left and
      // right ends; a bar between columns at its top and bottom.
      if (rowCount() > columnCount())
        band.adjust(barInset, 0, -barInset, 0);
      else
        band.adjust(0, barInset, 0, -barInset);
      dc->fillRect(band, dcUiColour(barColour));
      break;
    }
    case splitBorder:
      break;
    case splitBox:
    case splitIntersection:
      drawStandardPart(dc, type, rect);
      break;
  }
}

void CColorSplitterWnd::drawStandardPart(QPainter* dc, ESplitType type, const QRect& rect) {
  if (type != splitBar) return;
  QStyleOption option;
  option.initFrom(this);
  option.rect = rect;
  option.state = QStyle::State_Enabled;
  if (orientation() == Qt::Horizontal) option.state |= QStyle::State_Horizontal;
  style()->drawControl(QStyle::CE_Splitter, &option, dc, this);
}

CColorSplitterBar::CColorSplitterBar(Qt::Orientation orientation, CColorSplitterWnd* parent)
    : QSplitterHandle(orientation, parent) {
  updateCursor();
}

CColorSplitterWnd* CColorSplitterBar::owner() const { return static_cast<CColorSplitterWnd*>(splitter()); }

void CColorSplitterBar::updateCursor() {
  if (owner() && owner()->isLocked())
    setCursor(Qt::ArrowCursor);
  else
    setCursor(orientation() == Qt::Horizontal ? Qt::SplitHCursor : Qt::SplitVCursor);
}

void CColorSplitterBar::paintEvent(QPaintEvent* event) {
  CColorSplitterWnd* s = owner();
  if (!s->flatBars && !s->pfnDrawSplitter) {
    QSplitterHandle::paintEvent(event);
    return;
  }
  QPainter p(this);
  s->OnDrawSplitter(&p, CColorSplitterWnd::splitBar, rect());
}

void CColorSplitterBar::mouseMoveEvent(QMouseEvent* event) {
  if (owner()->isLocked()) {
    event->ignore();
    return;
  }
  QSplitterHandle::mouseMoveEvent(event);
}

void CColorSplitterBar::mousePressEvent(QMouseEvent* event) {
  if (owner()->isLocked() && event->button() == Qt::LeftButton) {
    event->accept();  // swallowed: no drag starts
    return;
  }
  QSplitterHandle::mousePressEvent(event);
}

void CColorSplitterBar::mouseReleaseEvent(QMouseEvent* event) {
  if (owner()->isLocked()) {
    event->accept();
    return;
  }
  QSplitterHandle::mouseReleaseEvent(event);
}
