// The right-hand pane under the title bar: one report list showing one
// inventory of the client or group selected in the tree, as the title
// pane's current title chooses (Windows information, software, hardware or
// program usage). The usage view adds a 30-pixel band above the list with
// the period (start and end date pickers) and the search button. A filter
// bar, closed until asked for, sits between that band and the list: while
// it is open the list shows only the rows holding its text.
#pragma once

#include <QDate>
#include <QWidget>
#include <memory>

#include "dcListExport.h"
#include "dcListViews.h"
#include "dcPaneHooks.h"
#include "dcStatus.h"

class QDateEdit;
class QLineEdit;
class QShortcut;
class dcBitmapButton_t;
class dcCaptionLabel_t;
class dcStripedListCtrl_t;

class dcDefaultViewerForm_t : public QWidget, public dcViewerPane_t {
  Q_OBJECT

 public:
  // Controls of the form, named by their ids.
  static constexpr int IDC_LIST = 1001;
  static constexpr int IDC_PERIOD_BUTTON = 1008;
  static constexpr int IDC_START_PICKER = 1009;
  static constexpr int IDC_END_PICKER = 1010;
  static constexpr int IDC_SEARCH_BUTTON = 1011;
  static constexpr int IDC_TILDE = 1012;
  static constexpr int PERIOD_BAND = 30;  // pixels kept above the list in period mode
  static constexpr std::uint32_t BACKGROUND_COLOUR = 0x581D08;

  explicit dcDefaultViewerForm_t(QWidget* parent = nullptr);
  ~dcDefaultViewerForm_t() override;

  // Refills the list for the tree's selected object and the title pane's
  // current title: 201 without either form, 112 without a selection; an
  // object that is neither client nor group, or a title that is no tab
  // text, leaves list and status as they were. Else the view's status.
  dcStatus_t refresh() override;
  // Saves the list as a tab-separated file, or as a workbook when that file
  // type is chosen: 0, 7 (dialog cancelled, status unchanged), 112, 201 or
  // 601 (overwrite refused, file untouched).
  dcStatus_t exportList() override;
  void makeAllRows() override;

  // Shows or hides the period controls (mode non-zero: the usage views) and
  // places the list under the band. Nothing before the initial update; 201
  // when the list control is gone.
  dcStatus_t layoutStep(int mode);
  // Deletes all rows and columns of the list; 201 when it is gone.
  dcStatus_t resetList();
  // The list control (id 1001), looked up afresh, or nullptr.
  dcStripedListCtrl_t* listControl() const;

  // The pickers' dates as the usage views read them.
  dcViewPeriod_t period() const;
  void setPeriod(const dcViewPeriod_t& period);

  // The filter bar: opening shows it above the list and puts the keyboard
  // in it (its text selected); closing empties it, so every row shows
  // again, and hides it. Escape closes it from anywhere in the form.
  void openFilterBar();
  void closeFilterBar();
  bool filterBarOpen() const;
  // "shown / total" rows while the filter bar is open, else empty.
  QString rowCountText() const;

  // Who answers the save dialog and the overwrite question; nullptr: the
  // platform's dialogs. Not owned.
  void setExportChooser(dcExportChooser_t* chooser) { chooser_ = chooser; }

  dcStatus_t status = dcStatus::OK;
  int periodMode = 0;
  int initialized = 0;
  int topBand = 0;
  dcBitmapButton_t* periodButton = nullptr;
  dcCaptionLabel_t* tildeLabel = nullptr;
  dcBitmapButton_t* searchButton = nullptr;
  QDateEdit* endPicker = nullptr;
  QDateEdit* startPicker = nullptr;
  QLineEdit* filterBar = nullptr;

 signals:
  // The text of rowCountText changed: other rows, another filter, the bar
  // opened or closed.
  void rowCountChanged(const QString& text);
  // A refresh filled the list for the selected object (and, in the usage
  // view, the period).
  void refreshed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void createControls();
  void initialUpdate();
  void onPeriodButton();
  void onFilterText(const QString& text);

  // The view the list shows, since the last refresh that filled it.
  dcViewKind_t listKind_ = dcViewKind_t::NONE;
  dcExportChooser_t* chooser_ = nullptr;
  std::unique_ptr<dcQtExportChooser_t> platformChooser_;
  QShortcut* closeFilterKey_ = nullptr;
};

// The one list viewer form, while it exists.
extern dcDefaultViewerForm_t* theDefaultViewerForm;
