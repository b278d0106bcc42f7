#include "dcListModel.h"

#include <QColor>
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
  rowData_.clear();
  endResetModel();
}

void dcListModel_t::fill(dcViewList_t&& list) {
  beginResetModel();
  list_ = std::move(list);
  // Every row holds one cell per column, whatever the view gave.
  for (auto& row : list_.rows) row.resize(list_.columns.size());
  rowData_.assign(list_.rows.size(), RowData{});
  endResetModel();
}

const std::string& dcListModel_t::cellText(int row, int column) const {
  if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount()) return kNoText;
  return list_.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void dcListModel_t::setRowData(int row, const RowData& data) {
  if (row >= 0 && row < rowCount()) rowData_[static_cast<std::size_t>(row)] = data;
}

int dcListModel_t::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(list_.rows.size());
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
  if (column < 0 || column >= columnCount() || rowCount() < 2) return;
  emit layoutAboutToBeChanged();
  // rowAt[k]: the row (as it was before the sort) now at position k.
  std::vector<int> rowAt(list_.rows.size());
  for (std::size_t k = 0; k < rowAt.size(); ++k) rowAt[k] = static_cast<int>(k);
  quickSort(static_cast<std::size_t>(column), ascending, 0, -1, rowAt);

  // Selection and current row follow their rows.
  std::vector<int> positionOf(rowAt.size());
  for (std::size_t k = 0; k < rowAt.size(); ++k)
    positionOf[static_cast<std::size_t>(rowAt[k])] = static_cast<int>(k);
  const QModelIndexList from = persistentIndexList();
  QModelIndexList to;
  to.reserve(from.size());
  for (const QModelIndex& old : from)
    to.append(index(positionOf[static_cast<std::size_t>(old.row())], old.column()));
  changePersistentIndexList(from, to);
  emit layoutChanged();
}

void dcListModel_t::exchangeRows(int i, int j, std::vector<int>& rowAt) {
  std::swap(list_.rows[static_cast<std::size_t>(i)], list_.rows[static_cast<std::size_t>(j)]);
  std::swap(rowData_[static_cast<std::size_t>(i)], rowData_[static_cast<std::size_t>(j)]);
  std::swap(rowAt[static_cast<std::size_t>(i)], rowAt[static_cast<std::size_t>(j)]);
}

void dcListModel_t::quickSort(std::size_t column, bool ascending, int first, int last,
                              std::vector<int>& rowAt) {
  if (last == -1) last = rowCount() - 1;
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
