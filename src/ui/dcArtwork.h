// The console's pictures, painted in code and looked up by the bitmap
// number the forms ask for: the tree pane's heading picture, the four view
// banners, the tab and button state images and the tree item images.
#pragma once

#include <QPixmap>

namespace dcArt {
constexpr int MAIN_ICON = 128;     // 32 x 32 and 16 x 16, each drawn at its size
constexpr int TREE_PICTURE = 151;  // 200 x 70, heads the tree pane
constexpr int BANNER_WINDOWS = 152;
constexpr int BANNER_HARDWARE = 153;
constexpr int BANNER_SOFTWARE = 154;
constexpr int BANNER_USAGE = 155;
constexpr int TAB_NORMAL = 157;
constexpr int TAB_HOVER = 158;
constexpr int TAB_INACTIVE = 159;
constexpr int TREE_ROOT = 160;  // 16 x 16, white is transparent
constexpr int TREE_GROUP = 161;
constexpr int TREE_CLIENT = 162;
constexpr int SEARCH_PRESSED = 163;
constexpr int SEARCH_DISABLED = 164;
constexpr int SEARCH_NORMAL = 165;
constexpr int SEARCH_HOVER = 166;
constexpr int PERIOD_ON_PRESSED = 167;
constexpr int PERIOD_ON = 168;
constexpr int PERIOD_ON_HOVER = 169;
constexpr int PERIOD_OFF_PRESSED = 170;
constexpr int PERIOD_DISABLED = 171;
constexpr int PERIOD_OFF = 172;
constexpr int PERIOD_OFF_HOVER = 173;

constexpr int TREE_PICTURE_WIDTH = 200;
constexpr int TREE_PICTURE_HEIGHT = 70;
constexpr int BANNER_WIDTH = 960;
constexpr int BANNER_HEIGHT = 72;
constexpr int TAB_WIDTH = 120;
constexpr int TAB_HEIGHT = 26;
constexpr int SEARCH_WIDTH = 54;
constexpr int PERIOD_WIDTH = 80;
constexpr int BUTTON_HEIGHT = 22;
constexpr int TREE_IMAGE_SIZE = 16;
constexpr int ICON_LARGE = 32;
constexpr int ICON_SMALL = 16;
}  // namespace dcArt

// The picture with that number, or a null pixmap when there is none.
// Needs the GUI application; pictures are painted once and then shared.
QPixmap dcLoadBitmap(int resourceId);

// The icon with that number at 32 or 16 pixels square, or a null pixmap.
// Icons are drawn pixel by pixel: every pixel is opaque or transparent.
QPixmap dcLoadIcon(int resourceId, int size);

// The picture with its pure white pixels made transparent (tree images).
QPixmap dcWhiteTransparent(const QPixmap& picture);
