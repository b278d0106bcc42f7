#include "dcFunctionTitleForm.h"

#include <QPainter>
#include <cstdio>
#include <cstring>

#include "CMainFrame.h"
#include "cp949.h"
#include "dcArtwork.h"
#include "dcBitmapButton.h"
#include "dcDisplayText.h"
#include "dcObject.h"
#include "dcPaneHooks.h"
#include "dcUiText.h"

dcFunctionTitleForm_t* theFunctionTitleForm = nullptr;

namespace {
// Entries of the tab section by view index: the section lists Windows,
// software, hardware, usage; the tab row shows hardware second.
constexpr int kTabEntries[dcFunctionTitleForm_t::VIEW_COUNT] = {1, 3, 2, 4};
constexpr int kCaptionEntry = 10;  // "'%s'의 %s" in the menu section
constexpr std::uint32_t kTabTextColour = 0xFFFFFF;
constexpr std::uint32_t kInactiveTabTextColour = 0xA46149;
constexpr std::uint32_t kCaptionColour = 0x581D08;
constexpr int kCaptionLeft = 100;
constexpr int kCaptionTop = 30;
}  // namespace

dcFunctionTitleForm_t::dcFunctionTitleForm_t(QWidget* parent) : QWidget(parent) {
  for (int v = 0; v < VIEW_COUNT; ++v) {
    banners[v] = std::make_unique<dcBanner_t>(tabText(v));
    tabButtons[v] = new dcBitmapButton_t(this);
    tabButtons[v]->setObjectName(QString::number(TAB_CONTROL_IDS[v]));
    const int command = TAB_COMMANDS[v];
    // Sent even for the tab already shown, so that the list refreshes.
    connect(tabButtons[v], &QAbstractButton::clicked, this,
            [command] { CMainFrame::sendToMainWindow(command); });
  }
  std::snprintf(caption, sizeof caption, "dcFunctionTitleForm_t version %s", VERSION);
  mb::copyBounded(currentTitle, "Not defined");
  setCurrentTitle(tabText(0));
  theFunctionTitleForm = this;
  initialUpdate();
}

dcFunctionTitleForm_t::~dcFunctionTitleForm_t() {
  if (theFunctionTitleForm == this) theFunctionTitleForm = nullptr;
}

const char* dcFunctionTitleForm_t::tabText(int view) {
  if (view < 0 || view >= VIEW_COUNT) return nullptr;
  return dcGetDisplayText(DST_TABS, kTabEntries[view]);
}

void dcFunctionTitleForm_t::setCurrentTitle(const char* title) {
  mb::copyBounded(currentTitle, title ? title : "");
}

void dcFunctionTitleForm_t::initialUpdate() {
  for (int v = 0; v < VIEW_COUNT; ++v) banners[v]->load(BANNER_BITMAPS[v]);
  tabImages[TAB_IMAGE_NORMAL] = dcLoadBitmap(dcArt::TAB_NORMAL);
  tabImages[TAB_IMAGE_HOVER] = dcLoadBitmap(dcArt::TAB_HOVER);
  tabImages[TAB_IMAGE_INACTIVE] = dcLoadBitmap(dcArt::TAB_INACTIVE);

  for (int v = 0; v < VIEW_COUNT; ++v) {
    dcBitmapButton_t* b = tabButtons[v];
    b->setImage(dcBitmapButton_t::NORMAL, tabImages[TAB_IMAGE_NORMAL]);
    b->setImage(dcBitmapButton_t::HOVER, tabImages[TAB_IMAGE_HOVER]);
    // The pressed picture stays empty; a tab held down keeps the cursor-over
    // look rather than vanishing.
    b->setImage(dcBitmapButton_t::PRESSED, tabImages[TAB_IMAGE_HOVER]);
    b->setImage(dcBitmapButton_t::INACTIVE, tabImages[TAB_IMAGE_INACTIVE]);
    for (int s = dcBitmapButton_t::NORMAL; s <= dcBitmapButton_t::PRESSED; ++s)
      b->setCaption(s, tabText(v), kTabTextColour, 0, 0);
    b->setCaption(dcBitmapButton_t::INACTIVE, tabText(v), kInactiveTabTextColour, 0, 0);
    b->activate(false);
  }

  const int top = banners[0]->height + gap;
  const int w = tabButtons[0]->imageWidth;
  const int h = tabButtons[0]->imageHeight;
  for (int k = 0; k < VIEW_COUNT; ++k) tabButtons[k]->setGeometry(margin + k * w, top, w, h);
}

void dcFunctionTitleForm_t::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);

  // The first tab whose text is the current title, byte for byte, becomes
  // the shown view; a title matching none leaves banner and tabs as they were.
  for (int v = 0; v < VIEW_COUNT; ++v) {
    const char* tab = tabText(v);
    if (!tab || std::strcmp(currentTitle, tab) != 0) continue;
    viewIndex = v;
    // Only tabs that change are touched: invalidating a tab repaints this
    // pane under it, which would paint here again without end.
    for (int k = 0; k < VIEW_COUNT; ++k)
      if (tabButtons[k]->inactive != (k != v ? 1 : 0)) tabButtons[k]->activate(k == v);
    break;
  }

  const dcBanner_t& banner = *banners[viewIndex];
  if (!banner.bitmap.isNull()) p.drawPixmap(0, 0, banner.bitmap);

  if (theTreePane) {
    const dcObject_t* selected = theTreePane->selectedObject();
    const char* format = dcGetDisplayText(DST_MENUS, kCaptionEntry);
    if (selected && format) {
      // Both parts are at most 255 bytes, so the whole caption fits before
      // it is cut to the field at a character boundary.
      char text[CAPTION_SIZE + 2 * TITLE_SIZE];
      std::snprintf(text, sizeof text, format, selected->name, currentTitle);
      mb::copyBounded(caption, text);
    }
  }

  p.setPen(dcUiColour(kCaptionColour));
  p.setFont(dcUiFont(18, 700));
  p.drawText(rect().adjusted(kCaptionLeft, kCaptionTop, 0, 0),
             Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, dcUiString(caption));
}
