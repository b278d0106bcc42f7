// The about box of the Help menu: the console's icon, its name and version
// and an OK button, laid out in dialog units of its 9-point face.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class dcAboutDialog_t : public QDialog {
  Q_OBJECT

 public:
  static constexpr int RESOURCE_ID = 100;
  static constexpr int WIDTH_DLU = 235;
  static constexpr int HEIGHT_DLU = 55;

  explicit dcAboutDialog_t(QWidget* parent = nullptr);

  // Dialog units of the dialog's face, in pixels.
  QRect dluRect(int x, int y, int width, int height) const;

  QLabel* icon = nullptr;
  QLabel* versionText = nullptr;
  QPushButton* okButton = nullptr;

 private:
  int baseX_ = 6;   // pixels per 4 horizontal dialog units
  int baseY_ = 12;  // pixels per 8 vertical dialog units
};

// The console's main icon, at 16 and 32 pixels.
QIcon dcMainIcon();
