// A one-line text on a coloured band: dark blue under white text by default,
// in the console's face at 13 pixels.
#pragma once

#include <QFont>
#include <QLabel>
#include <cstdint>

class dcCaptionLabel_t : public QLabel {
  Q_OBJECT

 public:
  explicit dcCaptionLabel_t(QWidget* parent = nullptr);
  dcCaptionLabel_t(const QString& text, QWidget* parent);

  QFont captionFont;
  std::uint32_t backgroundColour = 0x581D08;  // 0x00BBGGRR
  std::uint32_t textColour = 0xFFFFFF;

 protected:
  void paintEvent(QPaintEvent* event) override;
};
