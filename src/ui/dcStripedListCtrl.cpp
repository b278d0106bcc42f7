#include "dcStripedListCtrl.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include "cp949.h"
#include "dcListModel.h"
#include "dcUiText.h"

int dcStripedListCtrl_t::lastSortColumn = -1;
int dcStripedListCtrl_t::lastSortAscending = 1;

namespace {
constexpr int kFontHeight = 12;  // the form's 9-point face
constexpr int kStripeBandsPerRowSpan = 5;
constexpr int kStripeWidthFactor = 10;

// Cells keep their stripe and black text when they hold the keyboard
// focus; only selected rows are drawn highlighted.
class CellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    option->state &= ~QStyle::State_HasFocus;
  }
};
}  // namespace

dcStripedListCtrl_t::dcStripedListCtrl_t(QWidget* parent)
    : QTableView(parent), model_(new dcListModel_t(this)) {
  setModel(model_);
  setItemDelegate(new CellDelegate(this));
  setFont(dcUiFont(kFontHeight, 400));
  setShowGrid(false);
  setWordWrap(false);
  setTextElideMode(Qt::ElideRight);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSortingEnabled(false);  // the header click runs our own sort
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setCornerButtonEnabled(false);

  // Uniform rows: a fixed height for every row, no row header.
  QHeaderView* rows = verticalHeader();
  rows->hide();
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setMinimumSectionSize(1);
  rows->setDefaultSectionSize(fontMetrics().height() + ROW_PADDING);

  QHeaderView* header = horizontalHeader();
  header->setFont(dcUiFont(kFontHeight, 400));
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  header->setSectionResizeMode(QHeaderView::Interactive);
  header->setStretchLastSection(false);
  header->setHighlightSections(false);
  header->setSortIndicatorShown(false);
  header->setSectionsClickable(true);
  connect(header, &QHeaderView::sectionClicked, this, &dcStripedListCtrl_t::onColumnClick);
}

dcStripedListCtrl_t::~dcStripedListCtrl_t() = default;

void dcStripedListCtrl_t::resetList() { model_->reset(); }

void dcStripedListCtrl_t::fill(dcViewList_t&& list, std::unique_ptr<dcRowMaker_t> later) {
  std::vector<int> widths;
  widths.reserve(list.columns.size());
  for (const dcViewColumn_t& column : list.columns) widths.push_back(column.width);
  model_->fill(std::move(list), std::move(later));
  for (std::size_t c = 0; c < widths.size(); ++c)
    horizontalHeader()->resizeSection(static_cast<int>(c), widths[c]);
  scrollToTop();
}

void dcStripedListCtrl_t::onColumnClick(int column) {
  const int ascending = (column != lastSortColumn || !lastSortAscending) ? 1 : 0;
  lastSortColumn = column;
  lastSortAscending = ascending;
  model_->sortRows(column, ascending != 0);
}

void dcStripedListCtrl_t::copySelectedRows() {
  std::vector<int> rows;
  for (const QModelIndex& index : selectionModel()->selectedRows()) rows.push_back(index.row());
  if (rows.empty()) return;
  const std::string text = mb::toUtf8(model_->rowsText(std::move(rows)));
  QGuiApplication::clipboard()->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

bool dcStripedListCtrl_t::event(QEvent* event) {
  // The copy keys stay with the list, ahead of the window's accelerators.
  if (event->type() == QEvent::ShortcutOverride &&
      static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
    event->accept();
    return true;
  }
  return QTableView::event(event);
}

void dcStripedListCtrl_t::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    copySelectedRows();
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

void dcStripedListCtrl_t::paintEvent(QPaintEvent* event) {
  paintStripes();
  QTableView::paintEvent(event);
}

// The empty part of the list continues the row pattern: white first, then
// bands one row high from the first visible even row downwards, grey and
// white in turn. The arithmetic runs in the list's own client coordinates,
// which include the header above the rows.
void dcStripedListCtrl_t::paintStripes() {
  QPainter painter(viewport());
  const QRect client = viewport()->rect();
  const int scrollX = horizontalScrollBar()->value();
  painter.fillRect(client.adjusted(-scrollX, 0, 0, 0), dcUiColour(dcListModel_t::ODD_ROW_COLOUR));

  int top = rowAt(0);
  if (top < 0 || model_->columnCount() == 0) return;
  if (top % 2 != 0) --top;
  const int h = rowHeight(top);
  if (h <= 0) return;
  const int headerHeight = horizontalHeader()->isVisible() ? horizontalHeader()->height() : 0;
  const int rowTop = rowViewportPosition(top);
  const int rowBottom = rowTop + h + headerHeight;
  const int clientBottom = client.bottom() + 1 + headerHeight;
  const int lastColumn = model_->columnCount() - 1;
  const int rowRight = columnViewportPosition(lastColumn) + columnWidth(lastColumn);
  // A row ending at or above the client's top cannot divide the height:
  // enough bands to cover the client are painted instead.
  const int n = rowBottom > 0 ? clientBottom / rowBottom : (clientBottom + h - 1) / h;

  QRect band(-scrollX, rowTop, kStripeWidthFactor * rowRight + scrollX, h);
  for (int k = 0; k <= kStripeBandsPerRowSpan * n; ++k, band.translate(0, h)) {
    if (band.top() > client.bottom()) break;  // the rest lies below the client
    painter.fillRect(band,
                     dcUiColour(k % 2 == 0 ? dcListModel_t::EVEN_ROW_COLOUR : dcListModel_t::ODD_ROW_COLOUR));
  }
}
