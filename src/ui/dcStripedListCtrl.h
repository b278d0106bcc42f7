// The list viewer's report list: columns with fixed starting widths, rows
// shaded light grey and white in turn (grey on row 0), black text, and the
// empty space below the last row striped on in the same pattern. A click on
// a column header sorts the rows by that column, ascending first and then
// alternating; the last sorted column and direction are shared by every
// list of this kind and outlive a refill. Ctrl+C copies the selected rows
// as the export's lines, Ctrl+A selects every row shown.
#pragma once

#include <QTableView>
#include <memory>

#include "dcListViews.h"

class dcListModel_t;

class dcStripedListCtrl_t : public QTableView {
  Q_OBJECT

 public:
  static constexpr int ROW_PADDING = 4;  // pixels above and below the text

  explicit dcStripedListCtrl_t(QWidget* parent = nullptr);
  ~dcStripedListCtrl_t() override;

  dcListModel_t* listModel() const { return model_; }

  // Deletes all rows and columns.
  void resetList();
  // Shows a view: its columns (header text and width) and rows, in order;
  // with a maker, the rows are the maker's, made as they are needed.
  void fill(dcViewList_t&& list, std::unique_ptr<dcRowMaker_t> later = nullptr);

  // What a click on the header of column c does: ascending when c is not
  // the column sorted last or the last sort was descending, else
  // descending; the new state is stored, then the rows are sorted.
  void onColumnClick(int column);

  // Puts the selected rows on the clipboard as UTF-8 text, one export line
  // each (tabs between cells), in on-screen order; nothing selected leaves
  // the clipboard alone.
  void copySelectedRows();

  // The shared sort state: last sorted column (-1: none yet) and its
  // direction (1 ascending, 0 descending).
  static int lastSortColumn;
  static int lastSortAscending;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void paintStripes();

  dcListModel_t* model_;
};
