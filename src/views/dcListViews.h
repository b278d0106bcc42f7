// The lists the viewer shows, computed without any window: for the selected
// client or group and the current view, the columns (header text and width
// in pixels) and the rows of cell texts, all CP949. The console window
// fills its list control from here, the headless console prints the same,
// and the export writes it out as tab-separated text.
#pragma once

#include <compare>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dcStatus.h"

class dcObject_t;
class dcQsClient_t;
class dcQsGroup_t;
class dcSoftwareUsageDocument_t;

struct dcViewColumn_t {
  std::string header;
  int width = 0;
};

// Columns, and rows in the view's own order; every row holds one cell per
// column.
struct dcViewList_t {
  std::vector<dcViewColumn_t> columns;
  std::vector<std::vector<std::string>> rows;

  void reset() {
    columns.clear();
    rows.clear();
  }
};

// The rows of a list made one at a time, for a list that shows only some
// of its rows at first: row i is the i-th row of the view. It reads the
// inventories when a row is made, so rows made later are the view's rows
// only while the inventories stay as they are: a data load must come after
// the last row is made.
class dcRowMaker_t {
 public:
  virtual ~dcRowMaker_t() = default;
  virtual std::size_t rowCount() const = 0;
  // Row index, one cell per column.
  virtual std::vector<std::string> makeRow(std::size_t index) = 0;
};

// The four views, in the order of the title bar's tabs.
enum class dcViewKind_t { NONE, WINDOWS_INFO, SOFTWARE, HARDWARE, USAGE };

struct dcViewDate_t {
  int year = 0;
  int month = 0;
  int day = 0;
  auto operator<=>(const dcViewDate_t&) const = default;

  // "YYYY.MM.DD", as the usage documents write their days.
  std::string text() const;
  static dcViewDate_t today();
  // "YYYY.MM.DD" with a valid month and day, else nothing.
  static std::optional<dcViewDate_t> parse(const char* text);
};

// The two date pickers of the usage views.
struct dcViewPeriod_t {
  dcViewDate_t start;
  dcViewDate_t end;
};

// What a refresh did. status: the code to leave in the viewer, or nothing
// when its code stays as it was. kind: the view that was filled, NONE when
// the list was left unchanged.
struct dcViewRefresh_t {
  std::optional<dcStatus_t> status;
  dcViewKind_t kind = dcViewKind_t::NONE;
};

namespace dcviews {

// Widths of the columns, in pixels.
constexpr int ITEM_WIDTH = 150;
constexpr int DETAILS_WIDTH = 500;
constexpr int CLIENT_SOFTWARE_WIDTH = 800;
constexpr int GROUP_SOFTWARE_WIDTH = 300;
constexpr int USERS_WIDTH = 500;
constexpr int BY_PC_WIDTH = 150;
constexpr int USAGE_PROGRAM_WIDTH = 400;
constexpr int USAGE_TIME_WIDTH = 150;

// Longest users cell and hardware cell, in bytes.
constexpr std::size_t CELL_LIMIT = 1023;
// Longest header text the export writes, in bytes.
constexpr std::size_t EXPORT_HEADER_LIMIT = 255;

// The view whose tab text equals title exactly, or NONE.
dcViewKind_t viewOfTitle(const char* title);
// The tab text of a view (CP949), or nullptr for NONE.
const char* titleOfView(dcViewKind_t kind);

// The views. Each resets list, then adds its columns and rows; each returns
// its status: 0, 203 for a null client or group (rows added so far stay),
// 201 when the asset console engine is missing where a view needs it.
dcStatus_t clientWindowsInfo(dcQsClient_t* client, dcViewList_t& list);
dcStatus_t clientSoftware(dcQsClient_t* client, dcViewList_t& list);
dcStatus_t clientHardware(dcQsClient_t* client, dcViewList_t& list);
// The by-PC views of a group, one row per client of its subtree: with
// later, list gets the columns only and the rows are left to the maker put
// there (the rows up to a null client, as the status says).
dcStatus_t windowsInfoByPc(dcQsGroup_t* group, dcViewList_t& list,
                           std::unique_ptr<dcRowMaker_t>* later = nullptr);
dcStatus_t hardwareByPc(dcQsGroup_t* group, dcViewList_t& list,
                        std::unique_ptr<dcRowMaker_t>* later = nullptr);
dcStatus_t groupSoftware(dcQsGroup_t* group, dcViewList_t& list);
// The usage of a document over the period; a start later than the end is
// first moved to the end, in period itself.
dcStatus_t usage(const dcSoftwareUsageDocument_t* document, dcViewPeriod_t& period, dcViewList_t& list);

// The viewer's refresh once its forms are known to exist: no selection
// gives 112; an object that is neither client nor group, or a title that is
// no tab text, leaves list and status alone; otherwise the view of the
// title for the object fills list. With later, a by-PC view leaves its rows
// to a maker put there; later is emptied for every other outcome.
dcViewRefresh_t refresh(dcObject_t* selected, const char* title, dcViewPeriod_t& period, dcViewList_t& list,
                        std::unique_ptr<dcRowMaker_t>* later = nullptr);

// The export file's text: the header texts (each cut to 255 bytes on a whole
// character), then each row; a tab after every cell but the last, "\r\n"
// after the last. No columns: empty.
std::string exportText(const dcViewList_t& list);
// The row lines of the export alone, for the rows of list at the given
// positions (in that order): what copying rows puts on the clipboard.
std::string exportRows(const dcViewList_t& list, const std::vector<std::size_t>& rows);
// "name_Y-M-D", the name the export suggests for the selected object.
std::string exportName(const char* objectName, const dcViewDate_t& date);

}  // namespace dcviews
