// The list filter: which rows of a list hold a typed text. A row is kept
// when any of its cells contains the text, compared the way the console
// compares names case-insensitively: ASCII letters fold, a double-byte
// character compares as one unit, exactly, and a match starts and ends on a
// character boundary of the cell (never on a trail byte). The window's
// filter bar and the headless console's --filter share this rule.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "dcListViews.h"

class dcRowFilter_t {
 public:
  // The empty filter: every row is kept.
  dcRowFilter_t() = default;
  // A filter for a CP949 text.
  explicit dcRowFilter_t(std::string text);
  // A filter for text typed as UTF-8 (the screen and the terminal). A text
  // holding a character that CP949 cannot write keeps no row, since no cell
  // can contain it.
  static dcRowFilter_t fromUtf8(std::string_view typed);

  // True when every row is kept.
  bool empty() const { return text_.empty() && !impossible_; }
  // True when the typed text cannot occur in any cell.
  bool keepsNothing() const { return impossible_; }
  // The CP949 text looked for.
  const std::string& text() const { return text_; }

  // cell (NUL-terminated, CP949) contains the text.
  bool matchesCell(const char* cell) const;
  bool matchesCell(const std::string& cell) const { return matchesCell(cell.c_str()); }
  // Some cell of row contains the text.
  bool matches(const std::vector<std::string>& row) const;

  // The positions of the rows of list that are kept, in list order.
  std::vector<std::size_t> matchingRows(const dcViewList_t& list) const;
  // Drops the rows of list that are not kept; the order of the rest stays.
  void keepMatching(dcViewList_t& list) const;

 private:
  std::string text_;
  bool impossible_ = false;
  // The bytes a match can start with: the text's first byte, and the other
  // case of it when it is an ASCII letter.
  char firstBytes_[3] = {};
};
