#include "dcBitmapButton.h"

#include <QMouseEvent>
#include <QPainter>

#include "cp949.h"
#include "dcArtwork.h"
#include "dcUiText.h"

namespace {
bool validIndex(int index) { return index >= 0 && index < dcBitmapButton_t::STATE_COUNT; }
}  // namespace

dcBitmapButton_t::dcBitmapButton_t(QWidget* parent) : QAbstractButton(parent) {
  for (Caption& c : captions) c = Caption{};
  setMouseTracking(true);  // mouse moves arrive without a button held
  setFocusPolicy(Qt::TabFocus);
  setFont(dcUiFont(13, 400));
  hoverTimer_.setInterval(HOVER_PERIOD_MS);
  connect(&hoverTimer_, &QTimer::timeout, this, &dcBitmapButton_t::onHoverTick);
}

dcBitmapButton_t::~dcBitmapButton_t() = default;

std::uint32_t dcBitmapButton_t::loadImage(int index, int resourceId) {
  if (!validIndex(index)) return 1;
  ownedImages[index] = dcLoadBitmap(resourceId);
  return setImage(index, ownedImages[index]);
}

std::uint32_t dcBitmapButton_t::setImage(int index, const QPixmap& picture) {
  if (!validIndex(index)) return 1;
  images[index] = picture;
  imageWidth = picture.width();
  imageHeight = picture.height();
  setGeometry(x(), y(), imageWidth, imageHeight);
  updateGeometry();
  return 0;
}

std::uint32_t dcBitmapButton_t::setCaption(int index, const char* text, std::uint32_t colour, std::int32_t x,
                                           std::int32_t y) {
  if (!validIndex(index)) return 1;
  Caption& c = captions[index];
  mb::copyBounded(c.text, text ? text : "");
  c.colour = colour;
  c.x = x;
  c.y = y;
  return 0;
}

std::uint32_t dcBitmapButton_t::activate(bool flag) {
  inactive = flag ? 0 : 1;
  update();
  return 0;
}

int dcBitmapButton_t::computeState() const {
  int s = NORMAL;
  if (isEnabled()) {
    // Later rules win: an inactive button still shows hover and press.
    if (inactive) s = INACTIVE;
    if (hover) s = HOVER;
    if (pressed) s = PRESSED;
  } else {
    s = INACTIVE;
  }
  if (toggled) s += TOGGLED;
  return s;
}

QSize dcBitmapButton_t::sizeHint() const { return QSize(imageWidth, imageHeight); }

void dcBitmapButton_t::paintEvent(QPaintEvent*) {
  state = computeState();
  QPainter p(this);
  const QPixmap& picture = images[state];
  if (!picture.isNull()) p.drawPixmap(0, 0, picture, 0, 0, imageWidth, imageHeight);
  const Caption& c = captions[state];
  if (c.text[0] == '\0') return;
  p.setPen(dcUiColour(c.colour));
  p.setFont(font());
  const QRect area = rect().adjusted(c.x, c.y, 0, 0);
  p.drawText(area, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, dcUiString(c.text));
}

void dcBitmapButton_t::mouseMoveEvent(QMouseEvent* event) {
  if (!tracking) {
    tracking = 1;
    hoverTimer_.start();
  }
  QAbstractButton::mouseMoveEvent(event);
}

QPoint dcBitmapButton_t::cursorPosition() const { return QCursor::pos(); }

void dcBitmapButton_t::onHoverTick() {
  if (!tracking) return;
  const QRect windowRect(mapToGlobal(QPoint(0, 0)), size());
  if (windowRect.contains(cursorPosition())) {
    if (!hover) {
      hover = 1;
      update();
    }
    return;
  }
  tracking = 0;
  hoverTimer_.stop();
  hover = 0;
  pressed = 0;
  update();
}

void dcBitmapButton_t::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    pressed = 1;
    if (toggleMode) toggled = !toggled;
  }
  QAbstractButton::mousePressEvent(event);
}

void dcBitmapButton_t::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    pressed = 1;
    doubleClickLatch = 1;
    if (toggleMode) toggled = !toggled;
    update();
  }
  // The second click of a double click presses the button again, so its
  // release clicks it a second time; not through mousePressEvent, which
  // would flip the toggle twice.
  QAbstractButton::mousePressEvent(event);
}

void dcBitmapButton_t::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    pressed = 0;
    if (doubleClickLatch) {
      doubleClickLatch = 0;
      update();
    }
  }
  QAbstractButton::mouseReleaseEvent(event);
}
