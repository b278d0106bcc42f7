// The chart pane: one chart of the group or PC selected in the tree, drawn
// from the values the views compute: its Windows versions with their PCs,
// the 20 programs installed on most of its PCs, or the 20 programs used
// longest in the list viewer's period. It follows the selection and the
// period whenever the list viewer refills, and saves the chart as PNG or
// SVG.
#pragma once

#include <QWidget>
#include <vector>

#include "dcChartData.h"
#include "dcListViews.h"

class QChartView;
class QComboBox;
class QPushButton;
class dcObject_t;

class dcChartPane_t : public QWidget {
  Q_OBJECT

 public:
  explicit dcChartPane_t(QWidget* parent = nullptr);
  ~dcChartPane_t() override;

  dcChartKind_t kind() const;
  void setKind(dcChartKind_t kind);

  // Draws the current kind of chart for the tree's selection and the list
  // viewer's period (today without a viewer). Nothing is computed while the
  // pane is hidden; showing it catches up.
  void refresh();
  // Draws a chart of selected over period, hidden or not.
  void draw(dcObject_t* selected, const dcViewPeriod_t& period);

  // What is drawn: the chart's title and its values.
  QString title() const;
  const std::vector<dcChartBar_t>& bars() const { return bars_; }

  // Writes the chart as a picture at its size on screen (at least
  // MIN_PICTURE); false when the file cannot be written.
  bool savePng(const QString& path);
  bool saveSvg(const QString& path);

  QChartView* chartView() const { return view_; }
  QSize sizeHint() const override { return PREFERRED_SIZE; }

  static constexpr QSize MIN_PICTURE{800, 520};
  static constexpr QSize PREFERRED_SIZE{800, 380};
  static constexpr int MIN_HEIGHT = 300;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void saveAs(const char* format);
  QSize pictureSize() const;

  QComboBox* kinds_ = nullptr;
  QPushButton* savePngButton_ = nullptr;
  QPushButton* saveSvgButton_ = nullptr;
  QChartView* view_ = nullptr;
  std::vector<dcChartBar_t> bars_;
};
