#include "dcCaptionLabel.h"

#include <QPainter>

#include "dcUiText.h"

dcCaptionLabel_t::dcCaptionLabel_t(QWidget* parent) : dcCaptionLabel_t(QString(), parent) {}

dcCaptionLabel_t::dcCaptionLabel_t(const QString& text, QWidget* parent)
    : QLabel(text, parent), captionFont(dcUiFont(13, 400)) {}

void dcCaptionLabel_t::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), dcUiColour(backgroundColour));
  p.setPen(dcUiColour(textColour));
  p.setFont(captionFont);
  p.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
}
