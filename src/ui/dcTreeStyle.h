// The tree control's branch drawing: dotted lines joining every item to its
// parent and siblings, lines at the root, and a plus box on a collapsed
// item with children, a minus box on an expanded one. Everything else is
// left to the application's style.
#pragma once

#include <QColor>
#include <QProxyStyle>

class dcTreeStyle_t : public QProxyStyle {
  Q_OBJECT

 public:
  static constexpr int BOX_SIZE = 9;  // the plus and minus boxes, outline included

  // Line and box colours.
  static QColor lineColour();
  static QColor boxBorderColour();
  static QColor signColour();

  dcTreeStyle_t();

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};
