// Finding and seeing: the filter bar over a list (its rule, with a sort,
// the export, the row count), copying rows, and on the demo site the View
// menu's new entries, the status bar and the chart pane following the tree.
#include <QAction>
#include <QClipboard>
#include <QDockWidget>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTreeView>
#include <QtTest>
#include <random>

#include "CDcOverlookApp.h"
#include "CMainFrame.h"
#include "cp949.h"
#include "dcAssetConsoleEngine.h"
#include "dcChartPane.h"
#include "dcDefaultViewerForm.h"
#include "dcListModel.h"
#include "dcObjectHierarchyForm.h"
#include "dcStripedListCtrl.h"
#include "uiSupport.h"

namespace {

// A viewer form showing a list of its own, with a selection to export for.
struct FilteredViewer {
  uitest::Selection selection;
  dcObject_t pc{"PC", "dcQsClient_t", 0};
  uitest::Chooser chooser;
  testutil::TempDir out;
  dcDefaultViewerForm_t form;

  explicit FilteredViewer(dcViewList_t list) {
    selection.object = &pc;
    form.setExportChooser(&chooser);
    form.resize(600, 300);
    form.listControl()->fill(std::move(list));
    form.show();
  }
  dcListModel_t& model() { return *form.listControl()->listModel(); }
  std::string column(int c) {
    std::string cells;
    for (int r = 0; r < model().rowCount(); ++r) cells += mb::toUtf8(model().cellText(r, c)) + "|";
    return cells;
  }
  std::string exported() {
    chooser.choice = {true, QString::fromStdString((out.path() / "list.txt").string()), 1};
    return form.exportList() == 0 ? mb::toUtf8(testutil::readFile(chooser.choice.path.toStdString()))
                                  : "failed";
  }
  // Keys for Latin text; Korean arrives composed, as an input method gives it.
  void type(const char* utf8) {
    const QString text = QString::fromUtf8(utf8);
    for (QChar c : text)
      if (c.unicode() >= 0x80) return form.filterBar->insert(text);
    QTest::keyClicks(form.filterBar, text);
  }
};

dcViewList_t machines() {
  dcViewList_t list;
  list.columns = {{"PC", 100}, {"OS", 200}};
  for (const char* pc : {"pc-b|Windows 11 Pro", "PC-a|windows 10", "서버|Windows Server", "host|리눅스",
                         "pc-c|Windows 11 Home"}) {
    const std::string row = mb::fromUtf8(pc);
    list.rows.push_back({row.substr(0, row.find('|')), row.substr(row.find('|') + 1)});
  }
  return list;
}

}  // namespace

class FindTest : public QObject {
  Q_OBJECT

 private slots:
  void filter_typingSortExportAndEscape();
  void copy_selectedRowsInScreenOrder();
  void filter_narrowingAgreesWithAFreshFilter();
  void demoSite_menuStatusBarAndCharts();
};

void FindTest::filter_typingSortExportAndEscape() {
  FilteredViewer v(machines());
  dcStripedListCtrl_t* list = v.form.listControl();
  QSignalSpy counts(&v.form, &dcDefaultViewerForm_t::rowCountChanged);
  QVERIFY(!v.form.filterBar->isVisible());
  QCOMPARE(v.form.rowCountText(), QString());

  // The bar opens above the list; letters fold, Korean is exact.
  v.form.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&v.form));
  v.form.openFilterBar();
  QCOMPARE(list->geometry().top(), v.form.filterBar->geometry().bottom() + 1);
  v.type("WIN");
  QCOMPARE(v.column(0), "pc-b|PC-a|서버|pc-c|");
  v.type("dows 1");
  QCOMPARE(v.column(0), "pc-b|PC-a|pc-c|");
  QCOMPARE(v.form.rowCountText(), QStringLiteral("3 / 5"));
  QCOMPARE(counts.last().at(0).toString(), QStringLiteral("3 / 5"));

  // A header click sorts what is shown; the export writes it in that order.
  dcStripedListCtrl_t::lastSortColumn = -1;
  list->onColumnClick(1);
  QCOMPARE(v.column(1), "Windows 11 Home|Windows 11 Pro|windows 10|");  // byte order
  QCOMPARE(v.exported(), "PC\tOS\r\npc-c\tWindows 11 Home\r\npc-b\tWindows 11 Pro\r\nPC-a\twindows 10\r\n");
  v.form.filterBar->clear();
  v.type("리눅");
  QCOMPARE(v.column(0), "host|");
  v.type("😀");
  QCOMPARE(v.form.rowCountText(), QStringLiteral("0 / 5"));

  // Escape closes and clears: every row again, in the sorted order, and the
  // list back at the form's top.
  QTest::keyClick(v.form.filterBar, Qt::Key_Escape);
  QVERIFY(!v.form.filterBar->isVisible());
  QVERIFY(v.form.filterBar->text().isEmpty());
  QCOMPARE(v.column(0), "pc-c|pc-b|서버|PC-a|host|");
  QCOMPARE(list->geometry(), v.form.rect());
  QCOMPARE(counts.last().at(0).toString(), QString());
}

void FindTest::copy_selectedRowsInScreenOrder() {
  FilteredViewer v(machines());
  dcStripedListCtrl_t* list = v.form.listControl();
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);  // nothing selected: left alone
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));

  list->selectRow(2);
  list->selectionModel()->select(list->model()->index(0, 0),
                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
  QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(QGuiApplication::clipboard()->text(),
           QString::fromUtf8("pc-b\tWindows 11 Pro\r\n서버\tWindows Server\r\n"));

  // Ctrl+A takes every row shown, not the ones the filter hides.
  v.form.openFilterBar();
  v.type("pc-");
  QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(QGuiApplication::clipboard()->text(),
           QStringLiteral("pc-b\tWindows 11 Pro\r\nPC-a\twindows 10\r\npc-c\tWindows 11 Home\r\n"));
}

// Typing re-tests only the rows still shown when the text grows: after every
// random edit the rows shown are those a fresh filter keeps.
void FindTest::filter_narrowingAgreesWithAFreshFilter() {
  const QStringList pieces = {"a", "A", "b", "가", "각", "1", " ", "?", "😀"};
  std::mt19937 random(15);
  dcViewList_t list;
  list.columns = {{"x", 50}, {"y", 50}};
  for (int r = 0; r < 300; ++r) {
    QString cells[2];
    for (QString& cell : cells)
      for (int k = random() % 6; k > 0; --k) cell += pieces[random() % (pieces.size() - 1)];
    list.rows.push_back({mb::fromUtf8(cells[0].toStdString()), mb::fromUtf8(cells[1].toStdString())});
  }
  FilteredViewer v(list);
  v.form.openFilterBar();
  for (int edit = 0; edit < 400; ++edit) {
    const unsigned what = random() % 10;
    if (what < 7)
      v.form.filterBar->insert(pieces[random() % pieces.size()]);
    else if (what < 9)
      v.form.filterBar->backspace();
    else
      v.form.filterBar->clear();
    const QByteArray typed = v.form.filterBar->text().toUtf8();
    dcViewList_t expected = v.model().list();
    dcRowFilter_t::fromUtf8(typed.toStdString()).keepMatching(expected);
    QCOMPARE(v.model().shownList().rows, expected.rows);
  }
}

void FindTest::demoSite_menuStatusBarAndCharts() {
  uitest::Site site;
  uitest::App app;
  QVERIFY(app.InitInstance(""));
  CMainFrame& frame = *app.mainFrame;
  frame.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&frame));
  frame.sendCommand(32775);  // hardware by PC
  // The new entries follow the View menu's own, which keep their ids.
  QList<int> ids;
  for (QAction* a : frame.menuBar()->actions().at(1)->menu()->actions())
    if (!a->isSeparator()) ids << a->data().toInt();
  QCOMPARE(ids, (QList<int>{32772, 32773, 32775, 32774, 32776, 59393, 32790, 32791}));
  QCOMPARE(frame.commandAction(32790)->shortcut(), QKeySequence(QKeySequence::Find));

  // The row count shows in the status bar while the filter bar is open.
  auto* count = frame.statusBar()->findChild<QLabel*>(QStringLiteral("rowCount"));
  QVERIFY(count && !count->isVisible());
  auto* viewer = qobject_cast<dcDefaultViewerForm_t*>(frame.viewerPane);
  const int pcs = viewer->listControl()->listModel()->totalRows();
  frame.commandAction(32790)->trigger();
  QTest::keyClicks(viewer->filterBar, QStringLiteral("pc-001"));
  QVERIFY(count->isVisible());
  const int shown = viewer->listControl()->listModel()->rowCount();
  QVERIFY2(shown > 0 && shown < pcs,
           qPrintable(QStringLiteral("%1 of %2: %3").arg(shown).arg(pcs).arg(viewer->filterBar->text())));
  QCOMPARE(count->text(), QStringLiteral("%1 / %2").arg(shown).arg(pcs));
  QTest::keyClick(viewer->listControl(), Qt::Key_Escape);
  QVERIFY(!count->isVisible() && !viewer->filterBar->isVisible());

  // The chart pane shows the selected group's values, and follows the tree.
  QVERIFY(!app.chartDock->isVisible());
  frame.sendCommand(32791);
  QVERIFY(app.chartDock->isVisible() && frame.commandAction(32791)->isChecked());
  dcChartPane_t& charts = *app.chartPane;
  dcQsGroup_t* root = &app.engine->root;
  QCOMPARE(charts.bars(), dccharts::windowsVersions(root));
  QCOMPARE(charts.title(), QString::fromUtf8("'전체 그룹'의 Windows 버전"));
  charts.setKind(dcChartKind_t::MOST_INSTALLED);
  QCOMPARE(charts.bars(), dccharts::mostInstalled(root));
  QCOMPARE(charts.bars().size(), dccharts::TOP_COUNT);
  viewer->setPeriod({{2026, 11, 1}, {2026, 11, 30}});
  charts.setKind(dcChartKind_t::MOST_USED);
  QCOMPARE(charts.bars(), dccharts::mostUsed(root, viewer->period()));
  QVERIFY(!charts.bars().empty());

  // Selecting a group in the tree redraws the chart for it.
  QTreeView* tree = theObjectHierarchyForm->tree;
  const QModelIndex firstGroup = tree->model()->index(0, 0, tree->model()->index(0, 0));
  tree->setCurrentIndex(firstGroup);
  auto* group = static_cast<dcQsGroup_t*>(theObjectHierarchyForm->selected);
  QVERIFY(group != root);
  QCOMPARE(charts.bars(), dccharts::mostUsed(group, viewer->period()));

  // Saved pictures: a PNG of the pane's size at least, an SVG document.
  testutil::TempDir out;
  const QString png = QString::fromStdString((out.path() / "c.png").string());
  const QString svg = QString::fromStdString((out.path() / "c.svg").string());
  QVERIFY(charts.savePng(png) && charts.saveSvg(svg));
  QVERIFY(QImage(png).width() >= dcChartPane_t::MIN_PICTURE.width());
  QVERIFY(testutil::readFile(svg.toStdString()).find("<svg") != std::string::npos);
  QVERIFY(!charts.savePng(QString::fromStdString((out.path() / "no" / "c.png").string())));
  frame.sendCommand(32791);
  QVERIFY(!app.chartDock->isVisible());
}

QTEST_MAIN(FindTest)
#include "test_ui_find.moc"
