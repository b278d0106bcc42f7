#include "dcAboutDialog.h"

#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "dcArtwork.h"
#include "dcUiText.h"

namespace {
constexpr const char* kCaption = "DeskTally Support \xC1\xA4\xBA\xB8";      // DeskTally Support 정보
constexpr const char* kVersion = "DeskTally Support \xB9\xF6\xC0\xFC 1.0";  // DeskTally Support 버전 1.0
constexpr const char* kOk = "\xC8\xAE\xC0\xCE";                             // 확인
constexpr int kFontHeight = 12;                                             // 9 points
constexpr int kIconSize = dcArt::ICON_LARGE;
}  // namespace

QIcon dcMainIcon() {
  QIcon icon;
  icon.addPixmap(dcLoadIcon(dcArt::MAIN_ICON, dcArt::ICON_SMALL));
  icon.addPixmap(dcLoadIcon(dcArt::MAIN_ICON, dcArt::ICON_LARGE));
  return icon;
}

dcAboutDialog_t::dcAboutDialog_t(QWidget* parent) : QDialog(parent) {
  setObjectName(QString::number(RESOURCE_ID));
  setModal(true);
  setWindowTitle(dcUiString(kCaption));
  setFont(dcUiFont(kFontHeight, 400));
  const QFontMetrics metrics(font());
  baseX_ = std::max(1, metrics.averageCharWidth());
  baseY_ = std::max(1, metrics.height());

  icon = new QLabel(this);
  icon->setPixmap(dcLoadIcon(dcArt::MAIN_ICON, kIconSize));
  const QRect iconAt = dluRect(11, 17, 0, 0);
  icon->setGeometry(iconAt.x(), iconAt.y(), kIconSize, kIconSize);

  versionText = new QLabel(dcUiString(kVersion), this);
  versionText->setGeometry(dluRect(40, 10, 119, 8).adjusted(0, 0, 0, 4));

  okButton = new QPushButton(dcUiString(kOk), this);
  okButton->setGeometry(dluRect(178, 7, 50, 14));
  okButton->setDefault(true);
  connect(okButton, &QPushButton::clicked, this, &QDialog::accept);

  setFixedSize(dluRect(0, 0, WIDTH_DLU, HEIGHT_DLU).size());
}

QRect dcAboutDialog_t::dluRect(int x, int y, int width, int height) const {
  return QRect(x * baseX_ / 4, y * baseY_ / 8, width * baseX_ / 4, height * baseY_ / 8);
}
