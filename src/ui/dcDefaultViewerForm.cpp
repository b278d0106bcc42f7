#include "dcDefaultViewerForm.h"

#include <QDateEdit>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPainter>
#include <QResizeEvent>
#include <QShortcut>
#include <algorithm>

#include "dcArtwork.h"
#include "dcBitmapButton.h"
#include "dcCaptionLabel.h"
#include "dcDisplayText.h"
#include "dcFunctionTitleForm.h"
#include "dcListModel.h"
#include "dcObject.h"
#include "dcQsClient.h"
#include "dcQsGroup.h"
#include "dcRowFilter.h"
#include "dcStripedListCtrl.h"
#include "dcUiText.h"

dcDefaultViewerForm_t* theDefaultViewerForm = nullptr;

namespace {

constexpr std::uint32_t kCaptionColour = 0xFFFFFF;
constexpr int kPeriodTextEntry = 1;  // "기간설정" (set period) in the button table
constexpr int kSearchTextEntry = 2;  // "검색" (search)
// 이 글자가 있는 행만 보기 (Esc: 닫기): show only the rows holding this text.
constexpr const char* kFilterHint =
    "\xC0\xCC \xB1\xDB\xC0\xDA\xB0\xA1 \xC0\xD6\xB4\xC2 \xC7\xE0\xB8\xB8 \xBA\xB8\xB1\xE2 (Esc: "
    "\xB4\xDD\xB1\xE2)";

// The form's template places its controls in dialog units of its 9-point
// face: a quarter of the face's average letter width across, an eighth of
// its height down. Across, a unit is widened when a date picker (50 units
// wide) would not show a whole date otherwise, so the template keeps its
// proportions on any face.
struct DialogUnits {
  double x = 1.5;
  double y = 1.5;
  QRect rect(int left, int top, int w, int h) const {
    return QRect(qRound(left * x), qRound(top * y), qRound(w * x), qRound(h * y));
  }
};

constexpr int kPickerUnitsWide = 50;

DialogUnits dialogUnits(const QWidget& picker) {
  const QFontMetrics metrics(picker.font());
  const double letters =
      metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
      52.0;
  DialogUnits units;
  units.x = std::max(letters / 4.0, picker.sizeHint().width() / double(kPickerUnitsWide));
  units.y = metrics.height() / 8.0;
  return units;
}

// Search button states 1 to 4, period button states 1 to 8.
constexpr int kSearchImages[] = {dcArt::SEARCH_NORMAL, dcArt::SEARCH_HOVER, dcArt::SEARCH_PRESSED,
                                 dcArt::SEARCH_DISABLED};
constexpr QPoint kSearchOffsets[] = {{0, 0}, {0, 0}, {2, 2}, {0, 0}};
constexpr int kPeriodImages[] = {dcArt::PERIOD_OFF,        dcArt::PERIOD_OFF_HOVER, dcArt::PERIOD_OFF_PRESSED,
                                 dcArt::PERIOD_DISABLED,   dcArt::PERIOD_ON,        dcArt::PERIOD_ON_HOVER,
                                 dcArt::PERIOD_ON_PRESSED, dcArt::PERIOD_DISABLED};
constexpr QPoint kPeriodOffsets[] = {{10, 0}, {10, 0}, {12, 2}, {10, 0}, {10, 0}, {10, 0}, {12, 2}, {10, 0}};

QDate toQDate(const dcViewDate_t& d) { return QDate(d.year, d.month, d.day); }
dcViewDate_t fromQDate(const QDate& d) { return {d.year(), d.month(), d.day()}; }

QDateEdit* makePicker(QWidget* parent, int id) {
  auto* picker = new QDateEdit(QDate::currentDate(), parent);
  picker->setObjectName(QString::number(id));
  picker->setCalendarPopup(true);
  picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  picker->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  picker->setFont(dcUiFont(12, 400));
  // The calendar names its months and days in Korean.
  picker->setLocale(dcKoreanLocale());
  return picker;
}

}  // namespace

dcDefaultViewerForm_t::dcDefaultViewerForm_t(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("dcDefaultViewerForm_t"));
  createControls();
  dcRegisterPane<dcViewerPane_t>(theViewerPane, this);
  theDefaultViewerForm = this;
  initialUpdate();
}

dcDefaultViewerForm_t::~dcDefaultViewerForm_t() {
  dcUnregisterPane<dcViewerPane_t>(theViewerPane, this);
  if (theDefaultViewerForm == this) theDefaultViewerForm = nullptr;
}

// The controls of the form's template, in its order, with its visibility.
void dcDefaultViewerForm_t::createControls() {
  auto* list = new dcStripedListCtrl_t(this);
  list->setObjectName(QString::number(IDC_LIST));

  startPicker = makePicker(this, IDC_START_PICKER);
  startPicker->hide();

  tildeLabel = new dcCaptionLabel_t(QStringLiteral("~"), this);
  tildeLabel->setObjectName(QString::number(IDC_TILDE));
  tildeLabel->hide();

  endPicker = makePicker(this, IDC_END_PICKER);

  searchButton = new dcBitmapButton_t(this);
  searchButton->setObjectName(QString::number(IDC_SEARCH_BUTTON));
  connect(searchButton, &QAbstractButton::clicked, this, [this] { refresh(); });

  periodButton = new dcBitmapButton_t(this);
  periodButton->setObjectName(QString::number(IDC_PERIOD_BUTTON));
  connect(periodButton, &QAbstractButton::clicked, this, &dcDefaultViewerForm_t::onPeriodButton);

  filterBar = new QLineEdit(this);
  filterBar->setObjectName(QStringLiteral("filterBar"));
  filterBar->setFont(dcUiFont(12, 400));
  filterBar->setPlaceholderText(dcUiString(kFilterHint));
  filterBar->setClearButtonEnabled(true);
  filterBar->hide();
  connect(filterBar, &QLineEdit::textChanged, this, &dcDefaultViewerForm_t::onFilterText);
  closeFilterKey_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  closeFilterKey_->setContext(Qt::WidgetWithChildrenShortcut);
  closeFilterKey_->setEnabled(false);
  connect(closeFilterKey_, &QShortcut::activated, this, &dcDefaultViewerForm_t::closeFilterBar);

  const DialogUnits units = dialogUnits(*startPicker);
  list->setGeometry(units.rect(7, 28, 313, 168));
  startPicker->setGeometry(units.rect(7, 1, kPickerUnitsWide, 15));
  tildeLabel->setGeometry(units.rect(62, 5, 8, 8));
  endPicker->setGeometry(units.rect(72, 1, kPickerUnitsWide, 15));
  searchButton->setGeometry(units.rect(127, 1, 35, 14));
  periodButton->setGeometry(units.rect(174, 5, 50, 14));
}

void dcDefaultViewerForm_t::initialUpdate() {
  const char* searchText = dcGetDisplayText(DST_BUTTONS, kSearchTextEntry);
  for (int s = 0; s < 4; ++s) {
    searchButton->loadImage(s + 1, kSearchImages[s]);
    searchButton->setCaption(s + 1, searchText, kCaptionColour, kSearchOffsets[s].x(), kSearchOffsets[s].y());
  }
  const char* periodText = dcGetDisplayText(DST_BUTTONS, kPeriodTextEntry);
  for (int s = 0; s < 8; ++s) {
    periodButton->loadImage(s + 1, kPeriodImages[s]);
    periodButton->setCaption(s + 1, periodText, kCaptionColour, kPeriodOffsets[s].x(), kPeriodOffsets[s].y());
  }
  periodButton->toggleMode = 1;
  initialized = 1;
}

dcStripedListCtrl_t* dcDefaultViewerForm_t::listControl() const {
  return findChild<dcStripedListCtrl_t*>(QString::number(IDC_LIST), Qt::FindDirectChildrenOnly);
}

dcStatus_t dcDefaultViewerForm_t::layoutStep(int mode) {
  if (!initialized) return status;
  periodMode = mode;
  topBand = mode ? PERIOD_BAND : 0;
  periodButton->hide();
  const bool show = mode != 0;
  for (QWidget* control : {static_cast<QWidget*>(startPicker), static_cast<QWidget*>(endPicker),
                           static_cast<QWidget*>(searchButton), static_cast<QWidget*>(tildeLabel)})
    control->setVisible(show);
  for (QWidget* control : {static_cast<QWidget*>(periodButton), static_cast<QWidget*>(startPicker),
                           static_cast<QWidget*>(endPicker), static_cast<QWidget*>(searchButton)})
    control->setEnabled(true);
  dcStripedListCtrl_t* list = listControl();
  if (!list) return status = dcStatus::MISSING_OBJECT;
  int top = topBand;
  if (filterBarOpen()) {
    const int height = filterBar->sizeHint().height();
    filterBar->setGeometry(0, top, width(), height);
    top += height;
  }
  list->setGeometry(rect().adjusted(0, top, 0, 0));
  return status = dcStatus::OK;
}

bool dcDefaultViewerForm_t::filterBarOpen() const { return filterBar->isVisibleTo(this); }

void dcDefaultViewerForm_t::openFilterBar() {
  if (!filterBarOpen()) {
    filterBar->show();
    closeFilterKey_->setEnabled(true);
    layoutStep(periodMode);
    emit rowCountChanged(rowCountText());
  }
  filterBar->setFocus(Qt::ShortcutFocusReason);
  filterBar->selectAll();
}

void dcDefaultViewerForm_t::closeFilterBar() {
  if (!filterBarOpen()) return;
  const bool hadFocus = filterBar->hasFocus();
  filterBar->clear();
  filterBar->hide();
  closeFilterKey_->setEnabled(false);
  layoutStep(periodMode);
  if (dcStripedListCtrl_t* list = listControl(); list && hadFocus) list->setFocus(Qt::OtherFocusReason);
  emit rowCountChanged(rowCountText());
}

void dcDefaultViewerForm_t::onFilterText(const QString& text) {
  dcStripedListCtrl_t* list = listControl();
  if (!list) return;
  const QByteArray typed = text.toUtf8();
  list->listModel()->setFilter(dcRowFilter_t::fromUtf8(std::string_view(typed.constData(), typed.size())));
  emit rowCountChanged(rowCountText());
}

QString dcDefaultViewerForm_t::rowCountText() const {
  dcStripedListCtrl_t* list = listControl();
  if (!list || !filterBarOpen()) return {};
  const dcListModel_t* model = list->listModel();
  return QStringLiteral("%1 / %2").arg(model->rowCount()).arg(model->totalRows());
}

void dcDefaultViewerForm_t::makeAllRows() {
  if (dcStripedListCtrl_t* list = listControl()) list->listModel()->makeAllRows();
}

dcStatus_t dcDefaultViewerForm_t::resetList() {
  dcStripedListCtrl_t* list = listControl();
  if (!list) return status = dcStatus::MISSING_OBJECT;
  list->resetList();
  return status = dcStatus::OK;
}

// Erasing the background: dark blue wherever the list does not cover the
// form (the period band). The form draws nothing else of its own.
void dcDefaultViewerForm_t::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), dcUiColour(BACKGROUND_COLOUR));
}

void dcDefaultViewerForm_t::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layoutStep(periodMode);
}

void dcDefaultViewerForm_t::onPeriodButton() {
  for (QWidget* control : {static_cast<QWidget*>(periodButton), static_cast<QWidget*>(startPicker),
                           static_cast<QWidget*>(endPicker), static_cast<QWidget*>(searchButton)})
    control->setEnabled(true);
  refresh();
}

dcViewPeriod_t dcDefaultViewerForm_t::period() const {
  return {fromQDate(startPicker->date()), fromQDate(endPicker->date())};
}

void dcDefaultViewerForm_t::setPeriod(const dcViewPeriod_t& period) {
  startPicker->setDate(toQDate(period.start));
  endPicker->setDate(toQDate(period.end));
}

dcStatus_t dcDefaultViewerForm_t::refresh() {
  if (!theTreePane || !theFunctionTitleForm) return status = dcStatus::MISSING_OBJECT;
  dcObject_t* selected = theTreePane->selectedObject();
  if (!selected) return status = dcStatus::NOTHING_SELECTED;
  if (!selected->isA(dcQsClient_t::CLASS_NAME) && !selected->isA(dcQsGroup_t::CLASS_NAME)) return status;
  const char* title = theFunctionTitleForm->currentTitle;
  const dcViewKind_t kind = dcviews::viewOfTitle(title);
  if (kind == dcViewKind_t::NONE) return status;

  layoutStep(kind == dcViewKind_t::USAGE ? 1 : 0);
  dcStripedListCtrl_t* list = listControl();
  if (!list) return status = dcStatus::MISSING_OBJECT;
  dcViewPeriod_t shown = period();
  const dcViewDate_t start = shown.start;
  dcViewList_t rows;
  // A by-PC view's rows are made as the list shows them, so that a group of
  // many PCs comes up at once.
  std::unique_ptr<dcRowMaker_t> later;
  const dcViewRefresh_t result = dcviews::refresh(selected, title, shown, rows, &later);
  list->fill(std::move(rows), std::move(later));
  listKind_ = result.kind;
  // A start after the end has moved to the end: the start picker shows it.
  if (kind == dcViewKind_t::USAGE && shown.start != start) startPicker->setDate(toQDate(shown.start));
  if (result.status) status = *result.status;
  if (filterBarOpen()) emit rowCountChanged(rowCountText());
  emit refreshed();
  return status;
}

dcStatus_t dcDefaultViewerForm_t::exportList() {
  if (!theTreePane) return status = dcStatus::MISSING_OBJECT;
  dcObject_t* selected = theTreePane->selectedObject();
  if (!selected) return status = dcStatus::NOTHING_SELECTED;

  dcSaveDialogRequest_t request;
  request.initialName = dcUiString(dcexport::suggestedName(selected->name, dcViewDate_t::today()));
  if (!chooser_ && !platformChooser_) platformChooser_ = std::make_unique<dcQtExportChooser_t>(window());
  dcExportChooser_t& chooser = chooser_ ? *chooser_ : *platformChooser_;
  const dcSaveDialogChoice_t choice = chooser.chooseSaveFile(request);
  if (!choice.accepted) return dcStatus::CANCELLED;

  const QString path = dcexport::withExtension(choice.path, choice.filterIndex);
  if (dcexport::fileExists(path) && !chooser.askYesNo(dcexport::overwriteQuestion(path)))
    return status = dcStatus::REFUSED_OVERWRITE;

  dcStripedListCtrl_t* list = listControl();
  if (!list) return status = dcStatus::MISSING_OBJECT;
  // What the list shows (the rows the filter keeps), in its on-screen
  // order; a file that cannot be created is passed over silently.
  dcViewList_t shown = list->listModel()->shownList();
  if (choice.filterIndex != dcexport::FILTER_WORKBOOK) {
    dcexport::writeFile(path, dcviews::exportText(shown));
    return status = dcStatus::OK;
  }
  // The workbook's columns are as wide as the operator left them.
  for (std::size_t c = 0; c < shown.columns.size(); ++c)
    shown.columns[c].width = list->columnWidth(static_cast<int>(c));
  dcexport::writeWorkbook(path, shown, listKind_);
  return status = dcStatus::OK;
}
