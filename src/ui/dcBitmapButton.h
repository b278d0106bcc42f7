// A push button drawn from pictures: eight visual states (normal, cursor
// over, pressed, inactive, and the same four while toggled), each with its
// own image and caption. Hover is followed by a 10 ms timer that watches
// the cursor, so leaving the button is noticed even while it is pressed.
#pragma once

#include <QAbstractButton>
#include <QPixmap>
#include <QTimer>
#include <cstdint>

class dcBitmapButton_t : public QAbstractButton {
  Q_OBJECT

 public:
  static constexpr int STATE_COUNT = 9;  // index 0 exists but is never drawn
  static constexpr std::size_t CAPTION_SIZE = 256;
  static constexpr int HOVER_PERIOD_MS = 10;

  // State indexes.
  static constexpr int NORMAL = 1;
  static constexpr int HOVER = 2;
  static constexpr int PRESSED = 3;
  static constexpr int INACTIVE = 4;
  static constexpr int TOGGLED = 4;  // added to 1-4 while toggled

  struct Caption {
    char text[CAPTION_SIZE];
    std::uint32_t colour;  // 0x00BBGGRR
    std::int32_t x;
    std::int32_t y;
  };

  explicit dcBitmapButton_t(QWidget* parent = nullptr);
  ~dcBitmapButton_t() override;

  // Paints the picture with that number into the owned image of the state
  // and makes it the state's image. 1 for an index outside 0 to 8.
  std::uint32_t loadImage(int index, int resourceId);
  // Makes picture the state's image and resizes the button to it, its
  // top-left corner staying in place. 1 for an index outside 0 to 8.
  std::uint32_t setImage(int index, const QPixmap& picture);
  // Sets the state's caption (CP949 text, cut to 255 bytes at a character
  // boundary). 1 for an index outside 0 to 8, nothing changed.
  std::uint32_t setCaption(int index, const char* text, std::uint32_t colour, std::int32_t x, std::int32_t y);
  // activate(false) draws the button as inactive while it stays enabled.
  std::uint32_t activate(bool flag);

  // The state the next paint draws, from the flags and the enabled state.
  int computeState() const;

  QSize sizeHint() const override;

  Caption captions[STATE_COUNT];
  QPixmap images[STATE_COUNT];
  QPixmap ownedImages[STATE_COUNT];
  int imageWidth = 0;
  int imageHeight = 0;
  int toggleMode = 0;
  int toggled = 0;
  int inactive = 0;
  int pressed = 0;
  int tracking = 0;
  int hover = 0;
  int doubleClickLatch = 0;
  int state = NORMAL;  // the state painted last

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  // Where the cursor is, in global coordinates (tests steer it).
  virtual QPoint cursorPosition() const;

 private:
  void onHoverTick();

  QTimer hoverTimer_;
};
