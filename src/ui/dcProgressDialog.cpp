#include "dcProgressDialog.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <climits>

#include "dcDisplayText.h"
#include "dcUiText.h"

namespace {
constexpr int kReadDataFilesEntry = 1;  // "데이터파일 읽기" in the menu section
constexpr int kWidth = 360;

int clampToInt(std::size_t n) {
  return n > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(n);
}
}  // namespace

dcProgressDialog_t::dcProgressDialog_t(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("DeskTally Support"));
  setWindowModality(Qt::WindowModal);
  setWindowFlag(Qt::WindowCloseButtonHint, false);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  auto* layout = new QVBoxLayout(this);
  auto* title = new QLabel(dcUiString(dcGetDisplayText(DST_MENUS, kReadDataFilesEntry)), this);
  title->setFont(dcUiFont(13, 700));
  label_ = new QLabel(this);
  label_->setFont(dcUiFont(12, 400));
  bar_ = new QProgressBar(this);
  bar_->setTextVisible(false);
  layout->addWidget(title);
  layout->addWidget(label_);
  layout->addWidget(bar_);
  setFixedWidth(kWidth);
  started_.start();
  lastUpdate_.start();
}

dcProgressDialog_t::~dcProgressDialog_t() = default;

dcDataLoadProgress_t dcProgressDialog_t::progress() {
  return dcDataLoadProgress_t{[this](std::size_t read, std::size_t found) { onFile(read, found); }};
}

QString dcProgressDialog_t::countText() const {
  return QStringLiteral("%1 / %2").arg(filesRead).arg(filesFound);
}

void dcProgressDialog_t::onFile(std::size_t read, std::size_t found) {
  filesRead = read;
  filesFound = found;
  report(read == found);
}

// Reports come once per file, tens of thousands of them on a large site:
// the window system runs only when some time has passed since it last did.
void dcProgressDialog_t::report(bool force) {
  if (!force && lastUpdate_.elapsed() < UPDATE_EVERY_MS) return;
  if (!isVisible() && started_.elapsed() >= SHOW_AFTER_MS && filesRead < filesFound) show();
  if (isVisible()) {
    label_->setText(countText());
    bar_->setRange(0, clampToInt(filesFound));
    bar_->setValue(clampToInt(filesRead));
  }
  // Paint and timers only: a click or key waits until the load is over.
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  ++updates;
  lastUpdate_.restart();
}

void dcProgressDialog_t::finish() { hide(); }

dcStatus_t dcProgressDialog_t::runDataLoad(dcAssetConsoleEngine_t* engine, QWidget* parent) {
  dcProgressDialog_t dialog(parent);
  const dcDataLoadProgress_t progress = dialog.progress();
  const dcStatus_t result = ::runDataLoad(engine, &progress);
  dialog.finish();
  return result;
}
