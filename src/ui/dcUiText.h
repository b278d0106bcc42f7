// The edge between the core's CP949 texts and the screen: decoding for
// display, the console's fonts and its 0x00BBGGRR colour values.
#pragma once

#include <QColor>
#include <QFont>
#include <QLocale>
#include <QString>
#include <cstdint>
#include <string_view>

// A CP949 text decoded for display (a null text gives an empty string).
QString dcUiString(const char* cp949);
QString dcUiString(std::string_view cp949);

// A colour value laid out as 0x00BBGGRR (red in the low byte).
inline QColor dcUiColour(std::uint32_t colourRef) {
  return QColor(static_cast<int>(colourRef & 0xFF), static_cast<int>((colourRef >> 8) & 0xFF),
                static_cast<int>((colourRef >> 16) & 0xFF));
}

// The console's face ("굴림", then "NanumGothic", then "Noto Sans CJK KR")
// at a cell height in pixels and a weight on the 0-1000 scale (400 normal,
// 700 bold).
QFont dcUiFont(int pixelHeight, int weight);

// Pixel height of the forms' 9-point face: the lists, menus, status bar and
// dialogs all show their texts in it.
constexpr int DC_UI_FONT_HEIGHT = 12;

// The console speaks Korean whatever the session's locale: Qt's own texts
// (file dialog, message box buttons, edit menus) come from Qt's Korean
// catalogue, and calendars name months and days in Korean.
QLocale dcKoreanLocale();
// Loads Qt's Korean catalogue into the running application, once; later
// calls find it there. False when the catalogue cannot be read.
bool dcInstallQtKorean();
