#include "dcListModel.h"

#include <QColor>
#include <algorithm>
#include <utility>

#include "cp949.h"
#include "dcUiText.h"

namespace {
const std::string kNoText;

int compareText(const std::string& a, const std::string& b) { return mb::compare(a.c_str(), b.c_str()); }
}  // namespace

dcListModel_t::dcListModel_t(QObject* parent) : QAbstractTableModel(parent) {}

void dcListModel_t::reset() {
  beginResetModel();
  list_.reset();
  maker_.reset();
  made_.clear();
  rowData_.clear();
  kept_.clear();
  shown_.clear();
  endResetModel();
}

void dcListModel_t::fill(dcViewList_t&& list, std::unique_ptr<dcRowMaker_t> later) {
  beginResetModel();
  list_ = std::move(list);
  maker_ = std::move(later);
  made_.clear();
  if (maker_) {
    list_.rows.assign(maker_->rowCount(), {});
    made_.assign(list_.rows.size(), 0);
  }
  // Every row holds one cell per column, whatever the view gave.
  if (!maker_)
    for (auto& row : list_.rows) row.resize(list_.columns.size());
  rowData_.assign(list_.rows.size(), RowData{});
  if (filter_.empty()) {
    kept_.assign(list_.rows.size(), 1);
  } else {
    makeAllRows();
    kept_.resize(list_.rows.size());
    for (std::size_t r = 0; r < list_.rows.size(); ++r) kept_[r] = filter_.matches(list_.rows[r]);
  }
  collectShown();
  endResetModel();
}

const std::vector<std::string>& dcListModel_t::madeRow(std::size_t r) const {
  std::vector<std::string>& row = list_.rows[r];
  if (maker_ && !made_[r]) {
    row = maker_->makeRow(r);
    row.resize(list_.columns.size());
    made_[r] = 1;
  }
  return row;
}

void dcListModel_t::makeAllRows() const {
  if (!maker_) return;
  for (std::size_t r = 0; r < list_.rows.size(); ++r) madeRow(r);
  maker_.reset();
  made_.clear();
}

void dcListModel_t::setFilter(dcRowFilter_t filter) {
  beginResetModel();
  // A text that only grows by whole characters keeps a subset of the rows
  // kept so far: only those need testing again.
  const std::string& before = filter_.text();
  const std::string& after = filter.text();
  const bool narrowing = !filter_.empty() && !filter_.keepsNothing() && !filter.empty() &&
                         after.size() > before.size() && after.compare(0, before.size(), before) == 0 &&
                         mb::boundedLength(after.c_str(), before.size()) == before.size();
  filter_ = std::move(filter);
  if (!filter_.empty()) makeAllRows();
  if (narrowing) {
    for (int r : shown_)
      kept_[static_cast<std::size_t>(r)] = filter_.matches(list_.rows[static_cast<std::size_t>(r)]);
  } else {
    for (std::size_t r = 0; r < list_.rows.size(); ++r) kept_[r] = filter_.matches(list_.rows[r]);
  }
  collectShown();
  endResetModel();
}

void dcListModel_t::collectShown() {
  shown_.clear();
  shown_.reserve(list_.rows.size());
  for (std::size_t r = 0; r < kept_.size(); ++r)
    if (kept_[r]) shown_.push_back(static_cast<int>(r));
}

dcViewList_t dcListModel_t::shownList() const {
  makeAllRows();
  dcViewList_t shown;
  shown.columns = list_.columns;
  shown.rows.reserve(shown_.size());
  for (int r : shown_) shown.rows.push_back(list_.rows[static_cast<std::size_t>(r)]);
  return shown;
}

std::string dcListModel_t::rowsText(std::vector<int> rows) const {
  makeAllRows();
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::vector<std::size_t> at;
  at.reserve(rows.size());
  for (int row : rows)
    if (row >= 0 && row < rowCount()) at.push_back(listRow(row));
  return dcviews::exportRows(list_, at);
}

const std::string& dcListModel_t::cellText(int row, int column) const {
  if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount()) return kNoText;
  return madeRow(listRow(row))[static_cast<std::size_t>(column)];
}

void dcListModel_t::setRowData(int row, const RowData& data) {
  if (row >= 0 && row < rowCount()) rowData_[listRow(row)] = data;
}

int dcListModel_t::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int dcListModel_t::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(list_.columns.size());
}

QVariant dcListModel_t::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  switch (role) {
    case Qt::DisplayRole:
      return dcUiString(cellText(index.row(), index.column()));
    case Qt::BackgroundRole:
      return dcUiColour(index.row() % 2 == 0 ? EVEN_ROW_COLOUR : ODD_ROW_COLOUR);
    case Qt::ForegroundRole:
      return dcUiColour(TEXT_COLOUR);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default:
      return {};
  }
}

QVariant dcListModel_t::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
  if (role == Qt::DisplayRole) return dcUiString(list_.columns[static_cast<std::size_t>(section)].header);
  if (role == Qt::TextAlignmentRole)
    return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
  return {};
}

Qt::ItemFlags dcListModel_t::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void dcListModel_t::sortRows(int column, bool ascending) {
  if (column < 0 || column >= columnCount() || list_.rows.size() < 2) return;
  makeAllRows();
  emit layoutAboutToBeChanged();
  // rowAt[k]: the row of the list (as it was before the sort) now at k.
  std::vector<int> rowAt(list_.rows.size());
  for (std::size_t k = 0; k < rowAt.size(); ++k) rowAt[k] = static_cast<int>(k);
  const std::vector<int> shownBefore = shown_;
  quickSort(static_cast<std::size_t>(column), ascending, 0, -1, rowAt);
  collectShown();

  // Selection and current row follow their rows: screen row, list row
  // before, list row after, screen row after.
  std::vector<int> positionOf(rowAt.size());
  for (std::size_t k = 0; k < rowAt.size(); ++k)
    positionOf[static_cast<std::size_t>(rowAt[k])] = static_cast<int>(k);
  std::vector<int> screenRowOf(list_.rows.size(), -1);
  for (std::size_t k = 0; k < shown_.size(); ++k)
    screenRowOf[static_cast<std::size_t>(shown_[k])] = static_cast<int>(k);
  const QModelIndexList from = persistentIndexList();
  QModelIndexList to;
  to.reserve(from.size());
  for (const QModelIndex& old : from) {
    const int listRowBefore = shownBefore[static_cast<std::size_t>(old.row())];
    const int listRowAfter = positionOf[static_cast<std::size_t>(listRowBefore)];
    to.append(index(screenRowOf[static_cast<std::size_t>(listRowAfter)], old.column()));
  }
  changePersistentIndexList(from, to);
  emit layoutChanged();
}

void dcListModel_t::exchangeRows(int i, int j, std::vector<int>& rowAt) {
  std::swap(list_.rows[static_cast<std::size_t>(i)], list_.rows[static_cast<std::size_t>(j)]);
  std::swap(rowData_[static_cast<std::size_t>(i)], rowData_[static_cast<std::size_t>(j)]);
  std::swap(kept_[static_cast<std::size_t>(i)], kept_[static_cast<std::size_t>(j)]);
  std::swap(rowAt[static_cast<std::size_t>(i)], rowAt[static_cast<std::size_t>(j)]);
}

void dcListModel_t::quickSort(std::size_t column, bool ascending, int first, int last,
                              std::vector<int>& rowAt) {
  if (last == -1) last = static_cast<int>(list_.rows.size()) - 1;
  auto text = [&](int row) -> const std::string& {
    return list_.rows[static_cast<std::size_t>(row)][column];
  };
  // The two ranges left after a partition are disjoint, so sorting the
  // smaller one first (recursively) and the larger one in this loop gives
  // the same rows as sorting them in order, with a recursion depth that
  // stays logarithmic.
  while (first < last) {
    const std::string pivot = text((first + last) / 2);  // read once
    int i = first;
    int j = last;
    while (i <= j) {
      if (ascending) {
        while (i < last && compareText(text(i), pivot) < 0) ++i;
        while (j > first && compareText(text(j), pivot) > 0) --j;
      } else {
        while (i < last && compareText(text(i), pivot) > 0) ++i;
        while (j > first && compareText(text(j), pivot) < 0) --j;
      }
      if (i <= j) {
        if (compareText(text(i), text(j)) != 0) exchangeRows(i, j, rowAt);
        ++i;
        --j;
      }
    }
    const bool leftPart = first < j;
    const bool rightPart = i < last;
    if (leftPart && rightPart) {
      if (j - first < last - i) {
        quickSort(column, ascending, first, j, rowAt);
        first = i;
      } else {
        quickSort(column, ascending, i, last, rowAt);
        last = j;
      }
    } else if (leftPart) {
      last = j;
    } else if (rightPart) {
      first = i;
    } else {
      break;
    }
  }
}
