#include "dcArtwork.h"

#include <QBitmap>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QRadialGradient>
#include <QString>

namespace {

// The console's blues: the deep blue of the title caption and the bars,
// the medium blue of inactive tab texts, and the lighter tones around them.
const QColor kDeep(0x08, 0x1D, 0x58);
const QColor kNavy(0x14, 0x35, 0x8A);
const QColor kRoyal(0x2A, 0x54, 0xB0);
const QColor kBright(0x4C, 0x7B, 0xD8);
const QColor kMedium(0x49, 0x61, 0xA4);
const QColor kPale(0xE3, 0xEA, 0xF7);
const QColor kLine(0xA9, 0xB8, 0xD6);
const QColor kGlyph(0xF4, 0xF7, 0xFF);  // near white, so a white mask leaves it

QLinearGradient vertical(int top, int bottom, const QColor& from, const QColor& to) {
  QLinearGradient g(0, top, 0, bottom);
  g.setColorAt(0, from);
  g.setColorAt(1, to);
  return g;
}

QImage canvas(int w, int h, const QColor& fill) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(fill);
  return image;
}

// A small PC monitor with its stand, top-left at (x, y), 14 x 12.
void paintMonitor(QPainter& p, qreal x, qreal y, const QColor& frame, const QColor& screen) {
  p.setPen(Qt::NoPen);
  p.setBrush(frame);
  p.drawRoundedRect(QRectF(x, y, 14, 10), 1.5, 1.5);
  p.setBrush(screen);
  p.drawRect(QRectF(x + 1.5, y + 1.5, 11, 7));
  p.setBrush(frame);
  p.drawRect(QRectF(x + 6, y + 10, 2, 1.5));
  p.drawRoundedRect(QRectF(x + 3.5, y + 11, 7, 1.5), 0.7, 0.7);
}

QImage treePicture() {
  using namespace dcArt;
  QImage image = canvas(TREE_PICTURE_WIDTH, TREE_PICTURE_HEIGHT, kDeep);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(image.rect(), vertical(0, TREE_PICTURE_HEIGHT, QColor(0x1A, 0x3F, 0x95), kDeep));

  // Soft rings on the right, for depth.
  p.setBrush(Qt::NoBrush);
  for (int r = 40; r <= 100; r += 20) {
    p.setPen(QPen(QColor(255, 255, 255, 18), 6));
    p.drawEllipse(QPointF(196, 78), r, r);
  }

  // A root node feeding three PCs: what the pane below lists.
  const QColor wire(0xC8, 0xD6, 0xF5, 200);
  p.setPen(QPen(wire, 1.4));
  p.drawLine(QPointF(35, 24), QPointF(35, 32));
  p.drawLine(QPointF(15, 32), QPointF(55, 32));
  for (qreal x : {15.0, 35.0, 55.0}) p.drawLine(QPointF(x, 32), QPointF(x, 40));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xF2, 0xB8, 0x3C));
  p.drawRoundedRect(QRectF(27, 12, 16, 12), 2.5, 2.5);
  p.setBrush(QColor(0xFF, 0xD8, 0x7A));
  p.drawRect(QRectF(29, 14, 12, 2));
  for (qreal x : {8.0, 28.0, 48.0})
    paintMonitor(p, x, 41, QColor(0xDD, 0xE6, 0xFA), QColor(0x5E, 0x8E, 0xE6));

  // The product's name.
  QFont title(QStringLiteral("DejaVu Sans"));
  title.setStyleHint(QFont::SansSerif);
  title.setPixelSize(19);
  title.setBold(true);
  p.setFont(title);
  p.setPen(Qt::white);
  p.drawText(QRectF(74, 12, 124, 26), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("DeskTally"));
  QFont sub = title;
  sub.setPixelSize(11);
  sub.setBold(false);
  sub.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
  p.setFont(sub);
  p.setPen(QColor(0xA8, 0xBE, 0xEE));
  p.drawText(QRectF(75, 38, 124, 16), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("PC INVENTORY"));

  QLinearGradient accent(0, 0, TREE_PICTURE_WIDTH, 0);
  accent.setColorAt(0, kBright);
  accent.setColorAt(1, QColor(0x7F, 0xA6, 0xF0));
  p.fillRect(QRect(0, TREE_PICTURE_HEIGHT - 3, TREE_PICTURE_WIDTH, 3), accent);
  return image;
}

// The glyphs of the four views, drawn inside the banner's emblem square
// whose centre is (cx, cy).
void paintWindowsGlyph(QPainter& p, qreal cx, qreal cy) {
  const QRectF frame(cx - 21, cy - 16, 42, 32);
  p.setPen(QPen(kGlyph, 2.2));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(frame, 3, 3);
  p.setPen(Qt::NoPen);
  p.setBrush(kGlyph);
  p.drawRect(QRectF(frame.left(), frame.top(), frame.width(), 7));
  p.setBrush(kNavy);
  for (int i = 0; i < 3; ++i) p.drawEllipse(QPointF(frame.left() + 5 + i * 5, frame.top() + 3.5), 1.4, 1.4);
  p.setBrush(kGlyph);
  const qreal widths[] = {28, 20, 24};
  for (int i = 0; i < 3; ++i)
    p.drawRoundedRect(QRectF(frame.left() + 6, cy - 1 + i * 5.5, widths[i], 2.4), 1, 1);
}

void paintHardwareGlyph(QPainter& p, qreal cx, qreal cy) {
  p.setPen(Qt::NoPen);
  p.setBrush(kGlyph);
  for (int i = 0; i < 4; ++i) {
    const qreal o = -10.5 + i * 7;
    p.drawRect(QRectF(cx + o - 1.2, cy - 22, 2.4, 6));  // pins on all four sides
    p.drawRect(QRectF(cx + o - 1.2, cy + 16, 2.4, 6));
    p.drawRect(QRectF(cx - 22, cy + o - 1.2, 6, 2.4));
    p.drawRect(QRectF(cx + 16, cy + o - 1.2, 6, 2.4));
  }
  p.drawRoundedRect(QRectF(cx - 16, cy - 16, 32, 32), 4, 4);
  p.setBrush(kRoyal);
  p.drawRoundedRect(QRectF(cx - 9, cy - 9, 18, 18), 2, 2);
  p.setBrush(kGlyph);
  p.drawEllipse(QPointF(cx - 11.5, cy - 11.5), 1.6, 1.6);
}

void paintSoftwareGlyph(QPainter& p, qreal cx, qreal cy) {
  // An installation disc with its light reflection.
  QRadialGradient disc(QPointF(cx - 6, cy - 6), 26);
  disc.setColorAt(0, kGlyph);
  disc.setColorAt(1, QColor(0xB8, 0xCA, 0xF2));
  p.setPen(Qt::NoPen);
  p.setBrush(disc);
  p.drawEllipse(QPointF(cx, cy), 21, 21);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0x7F, 0xA6, 0xF0), 2, Qt::SolidLine, Qt::RoundCap));
  p.drawArc(QRectF(cx - 15, cy - 15, 30, 30), 100 * 16, 70 * 16);
  p.drawArc(QRectF(cx - 15, cy - 15, 30, 30), 280 * 16, 70 * 16);
  p.setPen(QPen(kNavy, 1.5));
  p.setBrush(QColor(0xDD, 0xE6, 0xFA));
  p.drawEllipse(QPointF(cx, cy), 7.5, 7.5);
  p.setPen(Qt::NoPen);
  p.setBrush(kDeep);
  p.drawEllipse(QPointF(cx, cy), 3.2, 3.2);
}

void paintUsageGlyph(QPainter& p, qreal cx, qreal cy) {
  // A clock over a short bar chart: minutes of use over a period.
  p.setPen(Qt::NoPen);
  p.setBrush(kGlyph);
  const qreal bars[] = {8, 14, 10, 18};
  for (int i = 0; i < 4; ++i) p.drawRoundedRect(QRectF(cx - 20 + i * 6, cy + 20 - bars[i], 4, bars[i]), 1, 1);
  const QPointF c(cx + 6, cy - 4);
  p.setPen(QPen(kGlyph, 2.4));
  p.setBrush(kRoyal);
  p.drawEllipse(c, 15, 15);
  for (int i = 0; i < 12; ++i) {
    p.save();
    p.translate(c);
    p.rotate(i * 30);
    p.setPen(QPen(kGlyph, i % 3 == 0 ? 2 : 1));
    p.drawLine(QPointF(0, -12), QPointF(0, i % 3 == 0 ? -9 : -10.5));
    p.restore();
  }
  p.setPen(QPen(kGlyph, 2.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(c, c + QPointF(0, -8));
  p.drawLine(c, c + QPointF(6, 3));
}

QImage banner(void (*glyph)(QPainter&, qreal, qreal)) {
  using namespace dcArt;
  QImage image = canvas(BANNER_WIDTH, BANNER_HEIGHT, Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  // Pale blue on the left fading into the white of the pane, so the banner
  // ends without an edge however wide the pane is.
  QLinearGradient wash(0, 0, BANNER_WIDTH, 0);
  wash.setColorAt(0, kPale);
  wash.setColorAt(0.55, QColor(0xF5, 0xF8, 0xFD));
  wash.setColorAt(1, Qt::white);
  p.fillRect(image.rect(), wash);
  QLinearGradient rule(0, 0, BANNER_WIDTH * 0.8, 0);
  rule.setColorAt(0, kDeep);
  rule.setColorAt(1, QColor(0x08, 0x1D, 0x58, 0));
  p.fillRect(QRect(0, BANNER_HEIGHT - 3, BANNER_WIDTH, 2), rule);

  const QRectF emblem(14, 8, 72, 54);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x08, 0x1D, 0x58, 40));
  p.drawRoundedRect(emblem.translated(1.5, 2), 10, 10);  // soft shadow
  p.setBrush(vertical(8, 62, kRoyal, kDeep));
  p.drawRoundedRect(emblem, 10, 10);
  p.setPen(QPen(QColor(255, 255, 255, 50), 1));
  p.drawLine(QPointF(emblem.left() + 9, emblem.top() + 1.5), QPointF(emblem.right() - 9, emblem.top() + 1.5));
  glyph(p, emblem.center().x(), emblem.center().y());
  return image;
}

QPainterPath tabShape(qreal w, qreal h) {
  const qreal r = 6;
  QPainterPath path;
  path.moveTo(0.5, h);
  path.lineTo(0.5, r);
  path.quadTo(0.5, 0.5, r, 0.5);
  path.lineTo(w - 2 - r, 0.5);
  path.quadTo(w - 2, 0.5, w - 2, r);
  path.lineTo(w - 2, h);
  path.closeSubpath();
  return path;
}

QImage tab(const QColor& top, const QColor& bottom, const QColor& border, const QColor& shine) {
  using namespace dcArt;
  QImage image = canvas(TAB_WIDTH, TAB_HEIGHT, Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QPainterPath shape = tabShape(TAB_WIDTH, TAB_HEIGHT);
  p.fillPath(shape, vertical(0, TAB_HEIGHT, top, bottom));
  p.setPen(QPen(shine, 1));
  p.drawLine(QPointF(6, 1.5), QPointF(TAB_WIDTH - 8, 1.5));
  p.setPen(QPen(border, 1));
  p.setBrush(Qt::NoBrush);
  p.drawPath(shape);
  return image;
}

// A push button on the list pane's dark blue band: a rounded face, and for
// the period button a check box at the left that shows the toggled state.
enum class Face { Normal, Hover, Pressed, Disabled };

QImage button(int width, Face face, int checkBox) {
  using namespace dcArt;
  QImage image = canvas(width, BUTTON_HEIGHT, kDeep);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QColor top = QColor(0x3D, 0x68, 0xC6), bottom = kNavy, edge(0x5C, 0x86, 0xE0);
  switch (face) {
    case Face::Normal:
      break;
    case Face::Hover:
      top = QColor(0x5A, 0x8A, 0xE6), bottom = QColor(0x25, 0x4C, 0xAE), edge = QColor(0x9C, 0xBC, 0xF6);
      break;
    case Face::Pressed:
      top = QColor(0x0E, 0x27, 0x6C), bottom = QColor(0x23, 0x49, 0xA4), edge = QColor(0x3A, 0x5E, 0xB8);
      break;
    case Face::Disabled:
      top = QColor(0x8A, 0x95, 0xB0), bottom = QColor(0x6B, 0x76, 0x92), edge = QColor(0x9A, 0xA4, 0xBC);
      break;
  }
  const QRectF face_(0.5, 0.5, width - 1, BUTTON_HEIGHT - 1);
  p.setPen(QPen(edge, 1));
  p.setBrush(vertical(0, BUTTON_HEIGHT, top, bottom));
  p.drawRoundedRect(face_, 4, 4);
  if (face != Face::Pressed) {
    p.setPen(QPen(QColor(255, 255, 255, 60), 1));
    p.drawLine(QPointF(4, 1.5), QPointF(width - 4, 1.5));
  }
  if (checkBox >= 0) {
    const qreal shift = face == Face::Pressed ? 1 : 0;
    const QRectF box(6 + shift, 6 + shift, 10, 10);
    p.setPen(QPen(kGlyph, 1.2));
    p.setBrush(QColor(0x08, 0x1D, 0x58, 120));
    p.drawRoundedRect(box, 2, 2);
    if (checkBox > 0) {
      p.setPen(QPen(QColor(0xFF, 0xD8, 0x7A), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      QPainterPath tick;
      tick.moveTo(box.left() + 2, box.top() + 5);
      tick.lineTo(box.left() + 4.3, box.top() + 7.5);
      tick.lineTo(box.left() + 8.5, box.top() + 2.5);
      p.setBrush(Qt::NoBrush);
      p.drawPath(tick);
    }
  }
  return image;
}

QImage treeImage(int which) {
  using namespace dcArt;
  QImage image = canvas(TREE_IMAGE_SIZE, TREE_IMAGE_SIZE, Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  if (which == TREE_ROOT) {
    // A globe: every group of the site.
    QRadialGradient g(QPointF(6, 5), 10);
    g.setColorAt(0, QColor(0x7F, 0xA6, 0xF0));
    g.setColorAt(1, kNavy);
    p.setBrush(g);
    p.drawEllipse(QRectF(1, 1, 14, 14));
    p.setPen(QPen(QColor(0xDD, 0xE6, 0xFA), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(5, 1.5, 6, 13));
    p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
    p.drawLine(QPointF(3, 4.5), QPointF(13, 4.5));
    p.drawLine(QPointF(3, 11.5), QPointF(13, 11.5));
  } else if (which == TREE_GROUP) {
    // A folder.
    p.setBrush(QColor(0xC9, 0x93, 0x2C));
    p.drawRoundedRect(QRectF(1, 3, 7, 4), 1, 1);
    p.setBrush(vertical(4, 14, QColor(0xF7, 0xD3, 0x74), QColor(0xE0, 0xA8, 0x3A)));
    p.setPen(QPen(QColor(0xB0, 0x80, 0x25), 1));
    p.drawRoundedRect(QRectF(1.5, 5.5, 13, 8.5), 1.2, 1.2);
  } else {
    paintMonitor(p, 1, 2, QColor(0x23, 0x39, 0x6E), QColor(0x5E, 0x8E, 0xE6));
  }
  return image;
}

// The console's icon: a PC whose screen shows a small tree beside the lines
// of a list, and a tally mark on an amber badge. Drawn without smoothing,
// so every pixel sits on the grid of its size.
QImage mainIcon(int size) {
  using namespace dcArt;
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, false);
  const QColor amber(0xF2, 0xB8, 0x3C), amberDark(0xB0, 0x78, 0x10);
  if (size == ICON_LARGE) {
    p.fillRect(2, 3, 28, 20, kDeep);  // bezel
    p.fillRect(3, 4, 26, 18, kNavy);
    p.fillRect(4, 5, 24, 15, vertical(5, 20, kBright, kRoyal));  // screen
    p.fillRect(6, 7, 3, 3, amber);                               // the tree: a root,
    p.fillRect(7, 10, 1, 7, kGlyph);                             // its stem
    p.fillRect(8, 12, 3, 1, kGlyph);                             // and two branches
    p.fillRect(8, 16, 3, 1, kGlyph);
    p.fillRect(11, 7, 13, 2, kPale);  // the list's lines
    p.fillRect(12, 11, 10, 2, kPale);
    p.fillRect(12, 15, 8, 2, kPale);
    p.fillRect(13, 23, 6, 3, kNavy);  // stand
    p.fillRect(8, 26, 16, 2, kDeep);
    p.fillRect(9, 26, 14, 1, kMedium);
    p.fillRect(20, 18, 11, 11, amberDark);  // badge with its tally mark
    p.fillRect(21, 19, 9, 9, amber);
    p.setPen(QPen(kDeep, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawLine(23, 23, 24, 24);
    p.drawLine(24, 24, 27, 21);
  } else if (size == ICON_SMALL) {
    p.fillRect(0, 1, 16, 11, kDeep);
    p.fillRect(1, 2, 14, 9, vertical(2, 11, kBright, kRoyal));
    p.fillRect(2, 3, 2, 2, amber);
    p.fillRect(5, 3, 7, 1, kPale);
    p.fillRect(5, 6, 5, 1, kPale);
    p.fillRect(5, 9, 4, 1, kPale);
    p.fillRect(6, 12, 4, 1, kNavy);
    p.fillRect(3, 13, 10, 2, kDeep);
    p.fillRect(10, 9, 6, 6, amberDark);
    p.fillRect(11, 10, 4, 4, amber);
    p.fillRect(12, 12, 1, 1, kDeep);
    p.fillRect(13, 11, 1, 1, kDeep);
  } else {
    return QImage();
  }
  return image;
}

QImage paint(int id) {
  using namespace dcArt;
  switch (id) {
    case TREE_PICTURE:
      return treePicture();
    case BANNER_WINDOWS:
      return banner(paintWindowsGlyph);
    case BANNER_HARDWARE:
      return banner(paintHardwareGlyph);
    case BANNER_SOFTWARE:
      return banner(paintSoftwareGlyph);
    case BANNER_USAGE:
      return banner(paintUsageGlyph);
    case TAB_NORMAL:
      return tab(kRoyal, kDeep, kDeep, QColor(255, 255, 255, 70));
    case TAB_HOVER:
      return tab(kBright, QColor(0x1D, 0x43, 0xA0), kNavy, QColor(255, 255, 255, 90));
    case TAB_INACTIVE:
      return tab(QColor(0xF5, 0xF7, 0xFC), QColor(0xD6, 0xDF, 0xF0), kLine, QColor(255, 255, 255, 0));
    case TREE_ROOT:
    case TREE_GROUP:
    case TREE_CLIENT:
      return treeImage(id);
    case SEARCH_PRESSED:
      return button(SEARCH_WIDTH, Face::Pressed, -1);
    case SEARCH_DISABLED:
      return button(SEARCH_WIDTH, Face::Disabled, -1);
    case SEARCH_NORMAL:
      return button(SEARCH_WIDTH, Face::Normal, -1);
    case SEARCH_HOVER:
      return button(SEARCH_WIDTH, Face::Hover, -1);
    case PERIOD_ON_PRESSED:
      return button(PERIOD_WIDTH, Face::Pressed, 1);
    case PERIOD_ON:
      return button(PERIOD_WIDTH, Face::Normal, 1);
    case PERIOD_ON_HOVER:
      return button(PERIOD_WIDTH, Face::Hover, 1);
    case PERIOD_OFF_PRESSED:
      return button(PERIOD_WIDTH, Face::Pressed, 0);
    case PERIOD_DISABLED:
      return button(PERIOD_WIDTH, Face::Disabled, 0);
    case PERIOD_OFF:
      return button(PERIOD_WIDTH, Face::Normal, 0);
    case PERIOD_OFF_HOVER:
      return button(PERIOD_WIDTH, Face::Hover, 0);
    default:
      return QImage();
  }
}

// The picture cached under key, painted and cached on first use; nothing
// (and nothing cached) when the painter gives no image.
template <class Painter>
QPixmap cached(const QString& key, Painter paintImage) {
  QPixmap picture;
  if (QPixmapCache::find(key, &picture)) return picture;
  const QImage image = paintImage();
  if (image.isNull()) return QPixmap();
  picture = QPixmap::fromImage(image);
  QPixmapCache::insert(key, picture);
  return picture;
}

}  // namespace

QPixmap dcLoadBitmap(int resourceId) {
  return cached(QStringLiteral("dcArt%1").arg(resourceId), [resourceId] { return paint(resourceId); });
}

QPixmap dcLoadIcon(int resourceId, int size) {
  if (resourceId != dcArt::MAIN_ICON) return QPixmap();
  return cached(QStringLiteral("dcIcon%1_%2").arg(resourceId).arg(size), [size] { return mainIcon(size); });
}

QPixmap dcWhiteTransparent(const QPixmap& picture) {
  if (picture.isNull()) return picture;
  QPixmap result = picture;
  result.setMask(picture.createMaskFromColor(Qt::white, Qt::MaskInColor));
  return result;
}
