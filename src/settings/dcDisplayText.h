// The compiled-in display texts of tabs, buttons and list columns.
//
// One table of 256-byte slots. A slot holding a section name in square
// brackets starts that section; the slots after it, up to the next section,
// are its entries 1, 2, ... Entry 0 of a section is its own name.
#pragma once

#include <cstddef>

constexpr std::size_t DISPLAY_TEXT_SIZE = 256;
constexpr std::size_t DISPLAY_TEXT_COUNT = 46;

extern const char dcDisplayTexts[DISPLAY_TEXT_COUNT][DISPLAY_TEXT_SIZE];

// Section names.
constexpr const char* DST_IMPORTS = "[dstImports]";
constexpr const char* DST_EXPORTS = "[dstExports]";
constexpr const char* DST_TABS = "[dstTabs]";
constexpr const char* DST_BUTTONS = "[dstButtons]";
constexpr const char* DST_MENUS = "[dstMenus]";
constexpr const char* DST_TABLE_COLUMNS = "[dstTableColumns]";
constexpr const char* DST_WINDOWS_INFO_COLUMNS = "[dstWindowsInfoColumns]";
constexpr const char* DST_HARDWARE_COLUMNS = "[dstHardwareColumns]";
constexpr const char* DST_SOFTWARE_COLUMNS = "[dstSoftwareColumns]";
constexpr const char* DST_SOFTWARE_USAGE_COLUMNS = "[dstSoftwareUsageColumns]";

// Entry `entry` of the section named `section` (0 = the section's name), or
// nullptr when there is no such section or entry.
const char* dcGetDisplayText(const char* section, int entry);
