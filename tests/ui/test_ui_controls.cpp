// The drawn controls: button states from hover, press, toggle and inactive;
// captions; banners and the pictures by number; the about box's icon.
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>
#include <cstring>

#include "dcAboutDialog.h"
#include "dcArtwork.h"
#include "dcBanner.h"
#include "dcBitmapButton.h"

namespace {

// A button whose cursor the test places.
class SteeredButton : public dcBitmapButton_t {
 public:
  QPoint cursor{-1000, -1000};

 protected:
  QPoint cursorPosition() const override { return cursor; }
};

QRgb stateColour(int state) { return QColor::fromHsv(state * 40, 200, 200).rgb(); }

void sendMouse(QWidget* w, QEvent::Type type) {
  const QPointF at(5, 5);
  QMouseEvent event(type, at, w->mapToGlobal(at), Qt::LeftButton,
                    type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w, &event);
}

}  // namespace

class ControlsTest : public QObject {
  Q_OBJECT

 private slots:
  void button_statesOneToEight();
  void button_captionsBannersAndArtwork();
  void about_iconDrawnAtItsSize();
};

void ControlsTest::button_statesOneToEight() {
  SteeredButton b;
  for (int s = 1; s <= 8; ++s) {
    QPixmap picture(40, 20);
    picture.fill(stateColour(s));
    b.setImage(s, picture);
  }
  b.move(30, 30);
  b.show();
  QVERIFY(QTest::qWaitForWindowExposed(&b));
  auto drawn = [&b] { return b.grab().toImage().pixel(2, 2) == stateColour(b.state) ? b.state : -1; };
  QCOMPARE(drawn(), 1);

  // The cursor arrives: the 10 ms timer sets hover; press and release.
  b.cursor = b.mapToGlobal(QPoint(5, 5));
  QTest::mouseMove(&b, QPoint(5, 5));
  QTRY_COMPARE_WITH_TIMEOUT(b.hover, 1, 200);
  QCOMPARE(drawn(), 2);
  sendMouse(&b, QEvent::MouseButtonPress);
  QCOMPARE(drawn(), 3);
  sendMouse(&b, QEvent::MouseButtonRelease);
  QCOMPARE(drawn(), 2);
  QCOMPARE(b.toggled, 0);  // toggle mode off: a click never toggles

  // Pressed and dragged out: the next tick clears pressed and hover.
  sendMouse(&b, QEvent::MouseButtonPress);
  b.cursor = b.mapToGlobal(QPoint(-50, -50));
  QTRY_COMPARE_WITH_TIMEOUT(b.pressed, 0, 100);
  QCOMPARE(drawn(), 1);
  sendMouse(&b, QEvent::MouseButtonRelease);

  // Inactive shows state 4, yet hover and press still win; disabled is 4.
  b.activate(false);
  QCOMPARE(drawn(), 4);
  b.hover = 1;
  QCOMPARE(drawn(), 2);
  b.pressed = 1;
  QCOMPARE(drawn(), 3);
  b.setEnabled(false);
  QCOMPARE(drawn(), 4);
  b.setEnabled(true);
  b.hover = b.pressed = 0;
  b.activate(true);

  // Toggle mode: a click flips toggled, and 1-4 become 5-8.
  b.toggleMode = 1;
  QSignalSpy clicks(&b, &QAbstractButton::clicked);
  sendMouse(&b, QEvent::MouseButtonPress);
  QCOMPARE(drawn(), 7);
  sendMouse(&b, QEvent::MouseButtonRelease);
  QCOMPARE(drawn(), 5);
  b.hover = 1;
  QCOMPARE(drawn(), 6);
  b.hover = 0;
  b.activate(false);
  QCOMPARE(drawn(), 8);
  b.activate(true);

  // A double click flips once more and latches until the release.
  sendMouse(&b, QEvent::MouseButtonDblClick);
  QVERIFY(b.toggled == 0 && b.doubleClickLatch == 1);
  sendMouse(&b, QEvent::MouseButtonRelease);
  QVERIFY(b.doubleClickLatch == 0 && b.pressed == 0);
  QCOMPARE(clicks.count(), 2);
  QCOMPARE(drawn(), 1);
}

void ControlsTest::button_captionsBannersAndArtwork() {
  dcBitmapButton_t b;
  QCOMPARE(b.setCaption(9, "x", 0, 0, 0), 1u);
  // A long Korean caption is cut at a character boundary within 255 bytes.
  std::string longText;
  for (int i = 0; i < 200; ++i) longText += "\xB0\xCB";  // 검
  QCOMPARE(b.setCaption(1, longText.c_str(), 0xFF, 1, 2), 0u);
  QCOMPARE(std::strlen(b.captions[1].text), std::size_t(254));

  // Setting an image sizes the button to it and keeps its corner.
  b.move(7, 9);
  QCOMPARE(b.loadImage(1, dcArt::SEARCH_NORMAL), 0u);
  QCOMPARE(b.geometry(), QRect(7, 9, 54, 22));

  dcBanner_t banner("\xC1\xA4\xBA\xB8");  // 정보
  QCOMPARE(banner.load(999), 0u);         // no such picture: empty
  QCOMPARE(banner.width, 0);
  for (int id = 151; id <= 173; ++id) QCOMPARE(dcLoadBitmap(id).isNull(), id == 156);
  // Tree images: the white background turns transparent, the drawing stays.
  const QImage client = dcWhiteTransparent(dcLoadBitmap(dcArt::TREE_CLIENT)).toImage();
  QCOMPARE(client.pixelColor(0, 0).alpha(), 0);
  QCOMPARE(client.pixelColor(8, 6).alpha(), 255);
}

void ControlsTest::about_iconDrawnAtItsSize() {
  dcAboutDialog_t about;
  const QImage icon = about.icon->pixmap().toImage();
  QCOMPARE(icon.size(), QSize(32, 32));
  QCOMPARE(about.icon->size(), QSize(32, 32));
  // Every pixel on the grid: a smaller picture scaled up would leave
  // half-transparent edges and 2 x 2 cells of one colour.
  int opaque = 0;
  bool finerThanDoubled = false;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const int alpha = qAlpha(icon.pixel(x, y));
      QVERIFY2(alpha == 0 || alpha == 255, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
      opaque += alpha == 255;
      if (x % 2 == 0 && y % 2 == 0)
        finerThanDoubled |=
            icon.pixel(x, y) != icon.pixel(x + 1, y) || icon.pixel(x, y) != icon.pixel(x, y + 1);
    }
  QVERIFY(opaque > 32 * 32 / 2 && finerThanDoubled);
  // The window's icon has its own 16 x 16 drawing beside it.
  QCOMPARE(dcMainIcon().availableSizes(), (QList<QSize>{QSize(16, 16), QSize(32, 32)}));
  QCOMPARE(dcMainIcon().pixmap(16, 16).toImage(), dcLoadIcon(dcArt::MAIN_ICON, 16).toImage());
}

QTEST_MAIN(ControlsTest)
#include "test_ui_controls.moc"
