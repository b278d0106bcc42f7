// The top pane of the right column: the banner of the current view, a
// caption naming the selected group or client and the view, and the row of
// four view tabs. The current title (a tab text, CP949) is the one record of
// which view is shown: the document writes it, the list viewer reads it.
#pragma once

#include <QPixmap>
#include <QWidget>
#include <cstddef>
#include <memory>

#include "dcBanner.h"

class dcBitmapButton_t;

class dcFunctionTitleForm_t : public QWidget {
  Q_OBJECT

 public:
  static constexpr int VIEW_COUNT = 4;
  static constexpr std::size_t CAPTION_SIZE = 1024;
  static constexpr std::size_t TITLE_SIZE = 256;
  static constexpr const char* VERSION = "alpha0,200412021230";
  static constexpr int PANE_HEIGHT = 100;
  // By view index: Windows information, hardware, software, program usage.
  static constexpr int TAB_CONTROL_IDS[VIEW_COUNT] = {1004, 1005, 1006, 1007};
  static constexpr int TAB_COMMANDS[VIEW_COUNT] = {32773, 32775, 32774, 32776};
  static constexpr int BANNER_BITMAPS[VIEW_COUNT] = {152, 153, 154, 155};
  // Tab button pictures.
  enum { TAB_IMAGE_NORMAL, TAB_IMAGE_HOVER, TAB_IMAGE_PRESSED, TAB_IMAGE_INACTIVE, TAB_IMAGE_COUNT };

  explicit dcFunctionTitleForm_t(QWidget* parent = nullptr);
  ~dcFunctionTitleForm_t() override;

  // The tab text of a view (CP949), or nullptr outside 0 to 3.
  static const char* tabText(int view);
  // Copies a title into currentTitle (cut to 255 bytes at a character
  // boundary); the next paint shows it.
  void setCurrentTitle(const char* title);

  QSize sizeHint() const override { return QSize(10, PANE_HEIGHT); }

  int margin = 0;  // left edge of the tab row
  int gap = 1;     // between banner and tab row
  QPixmap tabImages[TAB_IMAGE_COUNT];
  int viewIndex = 0;
  std::unique_ptr<dcBanner_t> banners[VIEW_COUNT];
  char caption[CAPTION_SIZE];
  char currentTitle[TITLE_SIZE];
  dcBitmapButton_t* tabButtons[VIEW_COUNT];  // by view index

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void initialUpdate();
};

// The one title form, while it exists.
extern dcFunctionTitleForm_t* theFunctionTitleForm;
