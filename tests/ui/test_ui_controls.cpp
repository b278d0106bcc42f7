// The drawn controls: button states from hover, press, toggle and inactive;
// captions; the caption label; banners and the pictures by number.
#include <QSignalSpy>
#include <QtTest>
#include <cstring>

#include "dcArtwork.h"
#include "dcBanner.h"
#include "dcBitmapButton.h"
#include "dcCaptionLabel.h"

namespace {

// A button whose cursor the test places.
class SteeredButton : public dcBitmapButton_t {
 public:
  QPoint cursor{-1000, -1000};
  void cursorInside() { cursor = mapToGlobal(QPoint(5, 5)); }
  void cursorOutside() { cursor = mapToGlobal(QPoint(-50, -50)); }

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
  void button_states_hoverPressToggleInactive();
  void button_captionsAndImages();
  void label_defaults();
  void banner_andArtwork();
};

void ControlsTest::button_states_hoverPressToggleInactive() {
  SteeredButton b;
  for (int s = 1; s <= 8; ++s) {
    QPixmap picture(40, 20);
    picture.fill(stateColour(s));
    b.setImage(s, picture);
  }
  b.move(30, 30);
  b.show();
  QVERIFY(QTest::qWaitForWindowExposed(&b));
  auto drawn = [&b] {
    const QImage shot = b.grab().toImage();
    return shot.pixel(2, 2) == stateColour(b.state) ? b.state : -1;
  };
  QCOMPARE(drawn(), 1);

  // The cursor arrives: the 10 ms timer sets hover.
  b.cursorInside();
  QTest::mouseMove(&b, QPoint(5, 5));
  QCOMPARE(b.tracking, 1);
  QTRY_COMPARE_WITH_TIMEOUT(b.hover, 1, 200);
  QCOMPARE(drawn(), 2);
  sendMouse(&b, QEvent::MouseButtonPress);
  QCOMPARE(drawn(), 3);
  sendMouse(&b, QEvent::MouseButtonRelease);
  QCOMPARE(drawn(), 2);
  QCOMPARE(b.toggled, 0);  // toggle mode off: a click never toggles

  // Pressed and dragged out: the next tick clears pressed and hover.
  sendMouse(&b, QEvent::MouseButtonPress);
  b.cursorOutside();
  QTRY_COMPARE_WITH_TIMEOUT(b.pressed, 0, 100);
  QCOMPARE(b.hover, 0);
  QCOMPARE(b.tracking, 0);
  QCOMPARE(drawn(), 1);
  sendMouse(&b, QEvent::MouseButtonRelease);

  // Inactive shows state 4, yet hover and press still win over it.
  b.activate(false);
  QCOMPARE(drawn(), 4);
  b.hover = 1;
  QCOMPARE(drawn(), 2);
  b.pressed = 1;
  QCOMPARE(drawn(), 3);
  b.setEnabled(false);  // disabled always draws 4
  QCOMPARE(drawn(), 4);
  b.setEnabled(true);
  b.hover = b.pressed = 0;
  b.activate(true);

  // Toggle mode: a click flips toggled, and 1-4 become 5-8.
  b.toggleMode = 1;
  QSignalSpy clicks(&b, &QAbstractButton::clicked);
  sendMouse(&b, QEvent::MouseButtonPress);
  QCOMPARE(b.toggled, 1);
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
  QCOMPARE(b.toggled, 0);
  QCOMPARE(b.doubleClickLatch, 1);
  QCOMPARE(b.pressed, 1);
  sendMouse(&b, QEvent::MouseButtonRelease);
  QCOMPARE(b.doubleClickLatch, 0);
  QCOMPARE(b.pressed, 0);
  QCOMPARE(clicks.count(), 2);
  QCOMPARE(drawn(), 1);
}

void ControlsTest::button_captionsAndImages() {
  dcBitmapButton_t b;
  QCOMPARE(b.state, 1);
  QCOMPARE(b.setCaption(9, "x", 0, 0, 0), 1u);
  QCOMPARE(b.setCaption(-1, "x", 0, 0, 0), 1u);

  // A long Korean caption is cut at a character boundary within 255 bytes.
  std::string longText;
  for (int i = 0; i < 200; ++i) longText += "\xB0\xCB";  // 검
  QCOMPARE(b.setCaption(1, longText.c_str(), 0xFF, 1, 2), 0u);
  QCOMPARE(std::strlen(b.captions[1].text), std::size_t(254));
  QCOMPARE(b.captions[1].x, 1);

  // Setting an image sizes the button to it and keeps its corner.
  b.move(7, 9);
  QCOMPARE(b.loadImage(1, dcArt::SEARCH_NORMAL), 0u);
  QCOMPARE(b.geometry(), QRect(7, 9, 54, 22));

  // The caption is drawn in its colour; an empty caption leaves the image.
  QPixmap black(60, 20);
  black.fill(Qt::black);
  b.setImage(1, black);
  b.setCaption(1, "\xB0\xCB\xBB\xF6", 0x0000FF, 0, 0);  // 검색, red
  auto redPixels = [&b] {
    const QImage shot = b.grab().toImage();
    int n = 0;
    for (int y = 0; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x) n += shot.pixelColor(x, y).red() > 128;
    return n;
  };
  QVERIFY(redPixels() > 10);
  b.setCaption(1, "", 0x0000FF, 0, 0);
  QCOMPARE(redPixels(), 0);
}

void ControlsTest::label_defaults() {
  dcCaptionLabel_t label(QStringLiteral("~"), nullptr);
  QCOMPARE(label.backgroundColour, 0x581D08u);
  QCOMPARE(label.textColour, 0xFFFFFFu);
  QCOMPARE(label.captionFont.pixelSize(), 13);
  label.resize(30, 16);
  const QImage shot = label.grab().toImage();
  QCOMPARE(shot.pixelColor(29, 0), QColor(8, 29, 88));
}

void ControlsTest::banner_andArtwork() {
  dcBanner_t banner("\xC1\xA4\xBA\xB8");  // 정보
  QCOMPARE(banner.className, "dcBanner_t");
  QCOMPARE(banner.id, 0);
  QCOMPARE(banner.load(dcArt::BANNER_HARDWARE), 0u);
  QCOMPARE(QSize(banner.width, banner.height), QSize(960, 72));
  QCOMPARE(banner.load(999), 0u);  // no such picture: empty
  QCOMPARE(banner.width, 0);
  QCOMPARE(dcBanner_t(nullptr).name, "dcObject_t");

  const std::pair<int, QSize> sizes[] = {{151, {200, 70}}, {152, {960, 72}}, {157, {120, 26}},
                                         {160, {16, 16}},  {165, {54, 22}},  {172, {80, 22}}};
  for (const auto& [id, size] : sizes) QCOMPARE(dcLoadBitmap(id).size(), size);
  for (int id = 151; id <= 173; ++id) QCOMPARE(dcLoadBitmap(id).isNull(), id == 156);
  // Tree images: the white background turns transparent, the drawing stays.
  const QImage client = dcWhiteTransparent(dcLoadBitmap(dcArt::TREE_CLIENT)).toImage();
  QCOMPARE(client.pixelColor(0, 0).alpha(), 0);
  QCOMPARE(client.pixelColor(8, 6).alpha(), 255);
}

QTEST_MAIN(ControlsTest)
#include "test_ui_controls.moc"
