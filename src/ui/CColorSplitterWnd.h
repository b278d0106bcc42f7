// A splitter whose bars can be locked against dragging and painted as flat
// coloured bands; without either it looks and behaves like a plain splitter.
#pragma once

#include <QSplitter>
#include <QSplitterHandle>
#include <cstdint>

class QPainter;

class CColorSplitterWnd : public QSplitter {
  Q_OBJECT

 public:
  // The parts a splitter paints.
  enum ESplitType { splitBox, splitBar, splitIntersection, splitBorder };
  using DrawSplitterFn = void (*)(CColorSplitterWnd* splitter, QPainter* dc, ESplitType type,
                                  const QRect& rect);

  explicit CColorSplitterWnd(Qt::Orientation orientation, QWidget* parent = nullptr);

  // Paints one part. A null dc asks for the whole splitter to be redrawn.
  void OnDrawSplitter(QPainter* dc, ESplitType type, const QRect& rect);

  // Changes to the fields below take effect at the next paint; setLocked
  // also updates the bars' cursors.
  void setLocked(bool lock);
  bool isLocked() const { return locked != 0; }

  // Rows and columns of the pane grid.
  int rowCount() const { return orientation() == Qt::Vertical ? count() : 1; }
  int columnCount() const { return orientation() == Qt::Horizontal ? count() : 1; }

  DrawSplitterFn pfnDrawSplitter = nullptr;
  std::int32_t locked = 0;
  std::int32_t flatBars = 0;
  std::int32_t barInset = 2;
  std::uint32_t barColour = 0xFFFFFF;  // 0x00BBGGRR

 protected:
  QSplitterHandle* createHandle() override;

 private:
  // The platform's look of a part: bars as the style draws them; boxes,
  // intersections and borders do not exist on this platform.
  void drawStandardPart(QPainter* dc, ESplitType type, const QRect& rect);
};

// One bar of a CColorSplitterWnd: it asks its splitter to paint it and
// ignores the mouse while the splitter is locked.
class CColorSplitterBar : public QSplitterHandle {
  Q_OBJECT

 public:
  CColorSplitterBar(Qt::Orientation orientation, CColorSplitterWnd* parent);

  void updateCursor();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  CColorSplitterWnd* owner() const;
};
