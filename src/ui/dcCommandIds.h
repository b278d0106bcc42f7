// The console's command ids: menu entries, tab buttons and the commands the
// forms send one another all travel as these numbers.
#pragma once

namespace dcCmd {
constexpr int LOAD_DATA = 32771;      // read the group file and the data folder, gather
constexpr int REDRAW = 32772;         // refill the list, repaint the title
constexpr int VIEW_WINDOWS = 32773;   // Windows information
constexpr int VIEW_SOFTWARE = 32774;  // installed software
constexpr int VIEW_HARDWARE = 32775;  // hardware
constexpr int VIEW_USAGE = 32776;     // program usage
constexpr int EXPORT_LIST = 32780;    // save the list as a tab-separated file
constexpr int VIEW_FILTER = 32790;    // open the list's filter bar
constexpr int VIEW_CHARTS = 32791;    // show or hide the chart pane
constexpr int FILE_NEW = 57600;
constexpr int FILE_OPEN = 57601;
constexpr int FILE_SAVE = 57603;
constexpr int FILE_PRINT_SETUP = 57606;
constexpr int FILE_PRINT = 57607;
constexpr int EDIT_COPY = 57634;
constexpr int EDIT_CUT = 57635;
constexpr int EDIT_PASTE = 57637;
constexpr int EDIT_UNDO = 57643;
constexpr int APP_ABOUT = 57664;
constexpr int APP_EXIT = 57665;
constexpr int NEXT_PANE = 57680;  // F6: the focus to the next pane
constexpr int PREV_PANE = 57681;  // Shift+F6: to the previous one
constexpr int VIEW_STATUS_BAR = 59393;

// The File menu's site entries, after its fixed ones.
constexpr int OPEN_SITE = 32800;          // choose a site folder and load it
constexpr int RECENT_SITE_FIRST = 32801;  // the last sites opened, newest first
constexpr int RECENT_SITE_COUNT = 4;
}  // namespace dcCmd
