#include "dcChartPane.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QHBoxLayout>
#include <QHorizontalBarSeries>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QPieSeries>
#include <QPushButton>
#include <QSet>
#include <QSvgGenerator>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

#include "dcDefaultViewerForm.h"
#include "dcObject.h"
#include "dcPaneHooks.h"
#include "dcUiText.h"

namespace {

// The three charts, in the order of the pane's choice box.
struct KindText {
  dcChartKind_t kind;
  const char* name;       // the choice and the chart's title
  const char* valueAxis;  // what the values count
};
const KindText kKinds[] = {
    {dcChartKind_t::WINDOWS_VERSIONS, "Windows \xB9\xF6\xC0\xFC", "PC \xBC\xF6"},  // Windows 버전, PC 수
    {dcChartKind_t::MOST_INSTALLED,
     "\xB8\xB9\xC0\xCC \xBC\xB3\xC4\xA1\xB5\xC8 \xC7\xC1\xB7\xCE\xB1\xD7\xB7\xA5 20",  // 많이 설치된 프로그램
                                                                                       // 20
     "PC \xBC\xF6"},
    {dcChartKind_t::MOST_USED,
     "\xB8\xB9\xC0\xCC \xBB\xE7\xBF\xEB\xC7\xD1 \xC7\xC1\xB7\xCE\xB1\xD7\xB7\xA5 20",  // 많이 사용한 프로그램
                                                                                       // 20
     "\xBB\xE7\xBF\xEB \xBD\xC3\xB0\xA3 (\xBA\xD0)"},  // 사용 시간 (분)
};
constexpr const char* kSavePng = "PNG\xB7\xCE \xC0\xFA\xC0\xE5";           // PNG로 저장
constexpr const char* kSaveSvg = "SVG\xB7\xCE \xC0\xFA\xC0\xE5";           // SVG로 저장
constexpr const char* kSaveCaption = "\xC2\xF7\xC6\xAE \xC0\xFA\xC0\xE5";  // 차트 저장
constexpr const char* kCannotWrite =  // 그림 파일을 쓸 수 없습니다
    "\xB1\xD7\xB8\xB2 \xC6\xC4\xC0\xCF\xC0\xBB \xBE\xB5 \xBC\xF6 \xBE\xF8\xBD\xC0\xB4\xCF\xB4\xD9";
constexpr const char* kTitleFormat = "'%1'\xC0\xC7 %2";  // '%1'의 %2, as the title pane's caption

constexpr int kLabelChars = 40;  // longer program names are cut with an ellipsis
constexpr int kTitleHeight = 16;
constexpr int kTextHeight = 12;

const KindText& kindText(dcChartKind_t kind) {
  for (const KindText& k : kKinds)
    if (k.kind == kind) return k;
  return kKinds[0];
}

// The chart of bars as drawn on screen and in the saved pictures. Program
// names become the categories of one horizontal bar set, largest on top;
// Windows versions the slices of a pie.
QChart* makeChart(dcChartKind_t kind, const QString& title, const std::vector<dcChartBar_t>& bars) {
  auto* chart = new QChart();
  chart->setAnimationOptions(QChart::NoAnimation);
  chart->setTitle(title);
  chart->setTitleFont(dcUiFont(kTitleHeight, 700));
  chart->legend()->setFont(dcUiFont(kTextHeight, 400));
  if (bars.empty()) {
    chart->legend()->hide();
    return chart;
  }
  if (kind == dcChartKind_t::WINDOWS_VERSIONS) {
    auto* pie = new QPieSeries();
    for (const dcChartBar_t& bar : bars) {
      QPieSlice* slice =
          pie->append(QStringLiteral("%1 (%2)").arg(dcUiString(bar.label)).arg(bar.value), double(bar.value));
      slice->setLabelFont(dcUiFont(kTextHeight, 400));
    }
    chart->addSeries(pie);
    chart->legend()->setAlignment(Qt::AlignRight);
    return chart;
  }

  auto* set = new QBarSet(dcUiString(kindText(kind).valueAxis));
  QStringList categories;
  QSet<QString> used;
  std::int64_t largest = 0;
  for (auto bar = bars.rbegin(); bar != bars.rend(); ++bar) {
    QString label = dcUiString(bar->label);
    if (label.size() > kLabelChars) label = label.left(kLabelChars - 1) + QChar(0x2026);
    // Categories must differ; two programs of one name get a number.
    const QString base = label;
    for (int n = 2; used.contains(label); ++n) label = QStringLiteral("%1 (%2)").arg(base).arg(n);
    used.insert(label);
    categories.append(label);
    set->append(double(bar->value));
    largest = std::max(largest, bar->value);
  }
  set->setLabelColor(Qt::black);  // beside the bar, on the chart's white
  set->setLabelFont(dcUiFont(kTextHeight - 1, 400));
  auto* series = new QHorizontalBarSeries();
  series->append(set);
  series->setLabelsVisible(true);
  series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
  series->setLabelsFormat(QStringLiteral("@value"));
  chart->addSeries(series);

  auto* names = new QBarCategoryAxis();
  names->append(categories);
  names->setLabelsFont(dcUiFont(kTextHeight - 1, 400));
  names->setTruncateLabels(false);  // names are already cut to kLabelChars
  chart->addAxis(names, Qt::AlignLeft);
  series->attachAxis(names);
  auto* values = new QValueAxis();
  values->setLabelFormat(QStringLiteral("%d"));
  values->setRange(0, double(largest) * 1.12 + 1);  // room for the value beside the longest bar
  values->applyNiceNumbers();
  values->setTitleText(dcUiString(kindText(kind).valueAxis));
  values->setTitleFont(dcUiFont(kTextHeight, 400));
  values->setLabelsFont(dcUiFont(kTextHeight - 1, 400));
  chart->addAxis(values, Qt::AlignBottom);
  series->attachAxis(values);
  chart->legend()->hide();
  return chart;
}

// Paints a chart of its own, detached from the screen, at size.
void paintChart(QPainter& painter, QChart* chart, QSize size) {
  QGraphicsScene scene;
  scene.addItem(chart);  // the scene owns it from here
  chart->setGeometry(QRectF(QPointF(0, 0), QSizeF(size)));
  scene.setSceneRect(chart->geometry());
  painter.setRenderHint(QPainter::Antialiasing);
  scene.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)), scene.sceneRect());
}

}  // namespace

dcChartPane_t::dcChartPane_t(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("dcChartPane_t"));
  setMinimumHeight(MIN_HEIGHT);
  kinds_ = new QComboBox(this);
  for (const KindText& k : kKinds) kinds_->addItem(dcUiString(k.name), static_cast<int>(k.kind));
  kinds_->setFont(dcUiFont(kTextHeight, 400));
  savePngButton_ = new QPushButton(dcUiString(kSavePng), this);
  saveSvgButton_ = new QPushButton(dcUiString(kSaveSvg), this);
  for (QPushButton* b : {savePngButton_, saveSvgButton_}) b->setFont(dcUiFont(kTextHeight, 400));
  view_ = new QChartView(this);
  view_->setRenderHint(QPainter::Antialiasing);
  view_->setChart(makeChart(kind(), {}, {}));

  auto* controls = new QHBoxLayout();
  controls->addWidget(kinds_);
  controls->addStretch(1);
  controls->addWidget(savePngButton_);
  controls->addWidget(saveSvgButton_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(controls);
  layout->addWidget(view_, 1);

  connect(kinds_, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
  connect(savePngButton_, &QPushButton::clicked, this, [this] { saveAs("png"); });
  connect(saveSvgButton_, &QPushButton::clicked, this, [this] { saveAs("svg"); });
}

dcChartPane_t::~dcChartPane_t() = default;

dcChartKind_t dcChartPane_t::kind() const {
  return static_cast<dcChartKind_t>(kinds_->currentData().toInt());
}

void dcChartPane_t::setKind(dcChartKind_t kind) {
  kinds_->setCurrentIndex(kinds_->findData(static_cast<int>(kind)));
}

void dcChartPane_t::refresh() {
  if (!isVisible()) return;
  dcObject_t* selected = theTreePane ? theTreePane->selectedObject() : nullptr;
  const dcViewDate_t today = dcViewDate_t::today();
  draw(selected, theDefaultViewerForm ? theDefaultViewerForm->period() : dcViewPeriod_t{today, today});
}

void dcChartPane_t::draw(dcObject_t* selected, const dcViewPeriod_t& period) {
  const dcChartKind_t shown = kind();
  bars_ = dccharts::chartData(shown, selected, period);
  // '<name>'의 <chart>; the usage chart adds its period.
  QString title = dcUiString(kindText(shown).name);
  if (selected) title = dcUiString(kTitleFormat).arg(dcUiString(selected->name), title);
  if (selected && shown == dcChartKind_t::MOST_USED) {
    dcViewPeriod_t used = period;
    if (used.start > used.end) used.start = used.end;
    title += QStringLiteral(" (%1 ~ %2)")
                 .arg(QString::fromStdString(used.start.text()), QString::fromStdString(used.end.text()));
  }
  QChart* old = view_->chart();
  view_->setChart(makeChart(shown, title, bars_));
  delete old;
}

QString dcChartPane_t::title() const { return view_->chart()->title(); }

void dcChartPane_t::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  refresh();
}

QSize dcChartPane_t::pictureSize() const { return view_->size().expandedTo(MIN_PICTURE); }

bool dcChartPane_t::savePng(const QString& path) {
  const QSize size = pictureSize();
  QImage picture(size, QImage::Format_ARGB32_Premultiplied);
  picture.fill(Qt::white);
  {
    QPainter painter(&picture);
    paintChart(painter, makeChart(kind(), title(), bars_), size);
  }
  return picture.save(path, "PNG");
}

bool dcChartPane_t::saveSvg(const QString& path) {
  const QSize size = pictureSize();
  QSvgGenerator svg;
  svg.setFileName(path);
  svg.setSize(size);
  svg.setViewBox(QRect(QPoint(0, 0), size));
  svg.setTitle(title());
  QPainter painter;
  if (!painter.begin(&svg)) return false;
  painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
  paintChart(painter, makeChart(kind(), title(), bars_), size);
  return painter.end() && QFileInfo(path).size() > 0;
}

void dcChartPane_t::saveAs(const char* format) {
  const QString extension = QString::fromLatin1(format);
  QString path =
      QFileDialog::getSaveFileName(this, dcUiString(kSaveCaption), QString(),
                                   QStringLiteral("%1 (*.%2)").arg(extension.toUpper(), extension));
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += "." + extension;
  const bool saved = extension == QLatin1String("png") ? savePng(path) : saveSvg(path);
  if (!saved) QMessageBox::warning(this, dcUiString(kSaveCaption), dcUiString(kCannotWrite) + "\n" + path);
}
