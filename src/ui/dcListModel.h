// The rows behind the list viewer's report list: the columns and CP949 cell
// texts of one view. A thin table model over the views' own list; it
// decodes a cell only when the list paints it, paints the per-cell stripes,
// reorders its rows for a column sort and shows only the rows a filter
// keeps (all of them while the filter is empty). Row numbers are those on
// screen: the kept rows in the list's current order.
//
// A view with many rows may hand its rows over as a maker: the list then
// makes a row when it is first painted or read, and makes all of them as
// soon as something needs every row (a sort, a filter, the export, the whole
// list), after which the maker is let go. Until then the list depends on
// the inventories the maker reads: makeAllRows() ends that.
#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dcListViews.h"
#include "dcRowFilter.h"

class dcListModel_t : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr std::uint32_t EVEN_ROW_COLOUR = 0xE6E6E6;  // light grey, row 0 included
  static constexpr std::uint32_t ODD_ROW_COLOUR = 0xFFFFFF;
  static constexpr std::uint32_t TEXT_COLOUR = 0x000000;

  // What a report list keeps for a row beside its cell texts. The views set
  // none of these; a sort moves them with their row.
  struct RowData {
    int image = 0;
    std::uint32_t state = 0;
    std::intptr_t param = 0;
  };

  explicit dcListModel_t(QObject* parent = nullptr);

  // Deletes every row and every column.
  void reset();
  // Replaces the whole content by a view's columns and rows, in its order;
  // the filter stays and applies to the new rows. With a maker, the rows
  // are the maker's, made when needed.
  void fill(dcViewList_t&& list, std::unique_ptr<dcRowMaker_t> later = nullptr);
  // Makes every row not made yet and lets the maker go.
  void makeAllRows() const;

  // Shows only the rows that filter keeps, in the list's current order.
  void setFilter(dcRowFilter_t filter);
  const dcRowFilter_t& filter() const { return filter_; }
  // Rows of the list, kept by the filter or not.
  int totalRows() const { return static_cast<int>(list_.rows.size()); }

  // Every row, kept or not, in the list's current order.
  const dcViewList_t& list() const {
    makeAllRows();
    return list_;
  }
  // The rows on screen, in their order: what the export writes.
  dcViewList_t shownList() const;
  // The export lines of the given on-screen rows, in on-screen order
  // whatever the order given.
  std::string rowsText(std::vector<int> rows) const;
  const std::string& cellText(int row, int column) const;
  const RowData& rowData(int row) const { return rowData_[listRow(row)]; }
  void setRowData(int row, const RowData& data);

  // The report list's column sort: a quicksort over rows first to last (-1:
  // the last row) by the cell texts of column, compared byte for byte.
  // Rows whose texts are equal are never exchanged; an exchange moves all
  // cells of the two rows with their row data. A column outside the list
  // sorts nothing. The whole list is sorted, the rows the filter hides too,
  // so the rows on screen come out sorted and stay so when it changes.
  void sortRows(int column, bool ascending);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  void quickSort(std::size_t column, bool ascending, int first, int last, std::vector<int>& rowAt);
  void exchangeRows(int i, int j, std::vector<int>& rowAt);
  // Recomputes which rows are shown, from kept_.
  void collectShown();
  std::size_t listRow(int row) const {
    return static_cast<std::size_t>(shown_[static_cast<std::size_t>(row)]);
  }
  // Row r of list_, made first if it is not yet.
  const std::vector<std::string>& madeRow(std::size_t r) const;

  // Rows still to be made are empty here; rows are made in place, so list_
  // changes under const reads while a maker is held. No row moves while a
  // maker is held: a sort makes every row first.
  mutable dcViewList_t list_;
  mutable std::unique_ptr<dcRowMaker_t> maker_;
  mutable std::vector<char> made_;  // per row of list_, while maker_ is held
  std::vector<RowData> rowData_;
  dcRowFilter_t filter_;
  // Per row of list_: whether the filter keeps it; moves with its row.
  std::vector<char> kept_;
  // The rows of list_ on screen, in order.
  std::vector<int> shown_;
};
