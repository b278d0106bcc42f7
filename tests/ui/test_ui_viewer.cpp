// The list viewer: the eight views with their exact cells (checked through
// the export file, byte for byte), the period band and rule, the header
// sort with its shared state, the stripes, the export's answers, and the
// progress of a real data load on the demo site (with screenshots).
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QtTest>
#include <filesystem>
#include <memory>
#include <random>

#include "../support/inventorySite.h"
#include "../support/listreaders.h"
#include "dcAssetConsoleEngine.h"
#include "dcBitmapButton.h"
#include "dcCaptionLabel.h"
#include "dcDefaultViewerForm.h"
#include "dcFunctionTitleForm.h"
#include "dcListModel.h"
#include "dcProgressDialog.h"
#include "dcStripedListCtrl.h"
#include "dcUiText.h"
#include "uiSupport.h"

namespace {

const char* const PC_NAME = "PC \xC0\xCC\xB8\xA7";  // PC 이름
const char* const GA = "\xB0\xA1";                  // 가
const std::string ITEM_DETAILS =
    "\xC7\xD7\xB8\xF1\t\xBB\xF3\xBC\xBC \xC1\xA4\xBA\xB8\r\n";            // 항목, 상세 정보
const std::string SOFTWARE = "\xBC\xD2\xC7\xC1\xC6\xAE\xBF\xFE\xBE\xEE";  // 소프트웨어
const std::string USAGE_HEADER = SOFTWARE + "\t\xBB\xE7\xBF\xEB \xBD\xC3\xB0\xA3\r\n";  // 사용 시간

enum { WINDOWS, HARDWARE, SOFTWARE_VIEW, USAGE };  // title pane's view index

// Root with client R1, groups A (A1, sub-group AA with AA1) and B (B1), and
// group S whose clients differ only in the letters of their names.
struct Site {
  InventorySite settings{std::string("<q><pcname>") + PC_NAME + "</pcname></q>"};
  dcAssetConsoleEngine_t engine;
  dcQsGroup_t &root = engine.root, *a, *s;
  dcQsClient_t *r1, *a1;

  Site() {
    r1 = root.addClient("R1");
    a = root.addChild(1, "A");
    a1 = a->addClient("A1");
    dcQsClient_t* aa1 = a->addChild(2, "AA")->addClient("AA1");
    dcQsClient_t* b1 = root.addChild(3, "B")->addClient("B1");
    r1->windowsInfo.add("WindowsVersion", "Windows 10 Pro");
    a1->windowsInfo.add("WindowsVersion", "Windows 11 Pro");
    a1->windowsInfo.add("Workgroup", "CORP");
    aa1->windowsInfo.add("Workgroup", "HOME");
    for (dcQsClient_t* c : {r1, a1, b1}) c->softwareList.add("Editor", "editor.exe", "1.0");
    a1->softwareList.add(GA, "ga.exe", "1.0");
    aa1->softwareList.add("Viewer", "viewer.exe", "2.0");
    // Three-minute ticks per program and day.
    setUsage(a1->usageDocument,
             "<unit><progname>editor.exe</progname><date tick='10'>2024.03.01</date></unit>"
             "<unit><progname>game.exe</progname><date tick='100'>2024.03.02</date></unit>");
    setUsage(aa1->usageDocument,
             "<unit><progname>editor.exe</progname><date tick='5'>2024.03.02</date></unit>");
    s = root.addChild(4, "S");
    const char* names[] = {"pc", "PC", GA, "Zeta"};
    const char* versions[] = {"b", "a", "b", "a"};
    for (int k = 0; k < 4; ++k) s->addClient(names[k])->windowsInfo.add("WindowsVersion", versions[k]);
    root.gatherGroupInfo();
  }
};

// A viewer with its two neighbours: the tree selection and the title pane.
struct Viewer {
  uitest::Selection selection;
  dcFunctionTitleForm_t title;
  dcDefaultViewerForm_t form;
  uitest::Chooser chooser;
  testutil::TempDir out;

  Viewer() {
    form.setExportChooser(&chooser);
    form.resize(800, 400);
    form.setPeriod({{2024, 3, 1}, {2024, 3, 31}});
  }

  dcStatus_t show(dcObject_t* object, int view) {
    selection.object = object;
    title.setCurrentTitle(dcFunctionTitleForm_t::tabText(view));
    return form.refresh();
  }
  dcListModel_t& model() { return *form.listControl()->listModel(); }
  // Exports to a fresh file and returns its bytes.
  std::string exported() {
    const QString path = QString::fromStdString((out.path() / "list.xls").string());
    QFile::remove(path);
    chooser.choice = {true, path, 1};
    if (form.exportList() != 0) return "export failed";
    return testutil::readFile(path.toStdString());
  }
  std::vector<std::string> column(int c) {
    std::vector<std::string> cells;
    for (int r = 0; r < model().rowCount(); ++r) cells.push_back(model().cellText(r, c));
    return cells;
  }
};

}  // namespace

class ViewerTest : public QObject {
  Q_OBJECT

 private slots:
  void views_listsWidthsAndExport();
  void views_dispatchAndPeriodBand();
  void sort_headerClicksAndSharedState();
  void rows_madeAsNeededAgreeWithTheWholeView();
  void stripes_rowsAndEmptyArea();
  void export_answersAndFileRules();
  void export_workbookOfTheFilteredSortedList();
  void demoSite_progressAndScreenshots();
};

void ViewerTest::views_listsWidthsAndExport() {
  Site site;
  Viewer v;
  struct Case {
    dcObject_t* object;
    int view;
    std::string text;
    QList<int> widths;
  };
  // The lists themselves are the views' own; here the form shows them with
  // their widths, and its export writes them.
  const Case cases[] = {
      {site.a1, WINDOWS, ITEM_DETAILS + "WindowsVersion\tWindows 11 Pro\r\nWorkgroup\tCORP\r\n", {150, 500}},
      {site.a,
       SOFTWARE_VIEW,
       SOFTWARE + "\t\xBB\xE7\xBF\xEB\xC0\xDA\r\nEditor\tA1, \r\n" + GA +
           "\tA1, \r\nViewer\tAA, \r\n",  // 사용자
       {300, 500}},
      {site.a, USAGE, USAGE_HEADER + "editor.exe\t     45 min\r\ngame.exe\t    300 min\r\n", {400, 150}},
  };
  for (const Case& c : cases) {
    QCOMPARE(v.show(c.object, c.view), 0u);
    QCOMPARE(v.exported(), c.text);
    QList<int> widths;
    for (int k = 0; k < v.model().columnCount(); ++k) widths.append(v.form.listControl()->columnWidth(k));
    QCOMPARE(widths, c.widths);
    QCOMPARE(v.form.periodMode, c.view == USAGE ? 1 : 0);
  }
  // The file name offered: the object's name and today's date, not padded.
  const dcViewDate_t today = dcViewDate_t::today();
  QCOMPARE(v.chooser.initialName, QString::asprintf("A_%d-%d-%d", today.year, today.month, today.day));
}

void ViewerTest::views_dispatchAndPeriodBand() {
  Site site;
  Viewer v;
  v.form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&v.form));
  dcStripedListCtrl_t* list = v.form.listControl();

  // Usage: the 30-pixel band with pickers, tilde and search; the period
  // button stays hidden. A start after the end jumps to the end: one day.
  v.form.setPeriod({{2024, 4, 9}, {2024, 3, 2}});
  QCOMPARE(v.show(site.a1, USAGE), 0u);
  QCOMPARE(v.form.startPicker->date(), QDate(2024, 3, 2));
  QCOMPARE(v.column(0), (std::vector<std::string>{"game.exe"}));
  QCOMPARE(list->geometry(), QRect(0, 30, 800, 370));
  QVERIFY(v.form.startPicker->isVisible() && v.form.endPicker->isVisible() && v.form.tildeLabel->isVisible());
  QVERIFY(v.form.searchButton->isVisible() && !v.form.periodButton->isVisible());
  QCOMPARE(v.form.grab().toImage().pixel(790, 15),
           dcUiColour(0x581D08).rgb());  // the form's dark blue shows in the band
  // The search button recomputes with the pickers' new period.
  v.form.setPeriod({{2024, 3, 1}, {2024, 3, 1}});
  QTest::mouseClick(v.form.searchButton, Qt::LeftButton);
  QCOMPARE(v.column(1), (std::vector<std::string>{"     30 min"}));

  QCOMPARE(v.show(site.a1, WINDOWS), 0u);
  QCOMPARE(list->geometry(), QRect(0, 0, 800, 400));
  QVERIFY(!v.form.startPicker->isVisible() && !v.form.searchButton->isVisible());

  // Unknown title, or an object neither client nor group: list and status
  // stay. No selection: 112. No title pane or no list: 201.
  v.title.setCurrentTitle(
      "\xC7\xC1\xB7\xCE\xB1\xD7\xB7\xA5 \xBB\xE7\xBF\xEB\xB3\xBB\xBF\xAA");  // 프로그램 사용내역
  QCOMPARE(v.form.refresh(), 0u);
  QCOMPARE(v.model().columnCount(), 2);
  QCOMPARE(v.form.periodMode, 0);
  dcObject_t banner("b", "dcBanner_t", 0);
  QCOMPARE(v.show(&banner, HARDWARE), 0u);
  QCOMPARE(v.column(0), (std::vector<std::string>{"WindowsVersion", "Workgroup"}));
  QCOMPARE(v.show(nullptr, HARDWARE), 112u);
  {
    dcFunctionTitleForm_t* saved = theFunctionTitleForm;
    theFunctionTitleForm = nullptr;
    QCOMPARE(v.show(site.a1, HARDWARE), 201u);
    theFunctionTitleForm = saved;
  }
  delete list;
  QCOMPARE(v.show(site.a1, WINDOWS), 201u);
  v.chooser.choice = {true, QString::fromStdString((v.out.path() / "x.xls").string()), 1};
  QCOMPARE(v.form.exportList(), 201u);
  QVERIFY(!std::filesystem::exists(v.out.path() / "x.xls"));
}

void ViewerTest::sort_headerClicksAndSharedState() {
  Site site;
  Viewer v;
  dcStripedListCtrl_t::lastSortColumn = -1;
  dcStripedListCtrl_t::lastSortAscending = 1;
  QCOMPARE(v.show(site.s, WINDOWS), 0u);
  QHeaderView* header = v.form.listControl()->horizontalHeader();
  v.form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&v.form));
  // Clicks header c and gives the first column as it then stands.
  auto click = [&](int c) {
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(c) + 10, header->height() / 2));
    return v.column(0);
  };
  using Cells = std::vector<std::string>;
  // Equal texts are never exchanged, so equal keys come out in the order
  // the partitioning leaves them, not in a stable order.
  QCOMPARE(click(1), (Cells{"Zeta", "PC", GA, "pc"}));
  QCOMPARE(click(1), (Cells{"pc", GA, "PC", "Zeta"}));
  QCOMPARE(v.column(1), (Cells{"b", "b", "a", "a"}));
  // Another column: ascending, byte order, capitals before small letters
  // before double-byte characters.
  QCOMPARE(click(0), (Cells{"PC", "Zeta", "pc", GA}));
  QCOMPARE(click(0), (Cells{GA, "pc", "Zeta", "PC"}));
  QCOMPARE(v.exported(),
           std::string(PC_NAME) + "\tWindowsVersion\r\n" + GA + "\tb\r\npc\tb\r\nZeta\ta\r\nPC\ta\r\n");

  // A refresh gives the view's order back but keeps the state: the next
  // click on column 0 reverses the last (descending) direction.
  QCOMPARE(v.form.refresh(), 0u);
  QCOMPARE(v.column(0), (Cells{"pc", "PC", GA, "Zeta"}));
  QCOMPARE(dcStripedListCtrl_t::lastSortColumn, 0);
  QCOMPARE(click(0), (Cells{"PC", "Zeta", "pc", GA}));
  // The state is shared by every list: another one continues it
  // (descending). A column beyond the header is stored but sorts nothing.
  dcStripedListCtrl_t other;
  other.fill({{{"h", 50}}, {{"x"}, {"y"}}});
  other.onColumnClick(0);
  other.onColumnClick(5);
  QCOMPARE(dcStripedListCtrl_t::lastSortColumn, 5);
  QCOMPARE(other.listModel()->cellText(0, 0), "y");
}

// A by-PC view hands its rows to the list as a maker. Random reads, sorts
// and filters on it must give what the same steps give on the whole view
// handed over at once; once every row is made, the list no longer reads the
// inventories.
void ViewerTest::rows_madeAsNeededAgreeWithTheWholeView() {
  Site site;
  Viewer v;
  std::mt19937 random(16);
  for (int round = 0; round < 40; ++round) {
    const int view = round % 2 ? HARDWARE : WINDOWS;
    dcObject_t* group = round % 3 ? static_cast<dcObject_t*>(&site.root) : site.s;
    QCOMPARE(v.show(group, view), 0u);
    dcViewPeriod_t period = v.form.period();
    dcViewList_t whole;
    dcviews::refresh(group, dcFunctionTitleForm_t::tabText(view), period, whole);
    dcListModel_t plain;
    plain.fill(std::move(whole));
    dcListModel_t& made = v.model();
    for (int step = 0; step < 4; ++step) {
      QCOMPARE(made.rowCount(), plain.rowCount());
      const int row = static_cast<int>(random() % static_cast<unsigned>(plain.rowCount() + 1));
      const int column = static_cast<int>(random() % static_cast<unsigned>(plain.columnCount()));
      QCOMPARE(made.cellText(row, column), plain.cellText(row, column));
      if (random() % 3 == 0) {
        const bool ascending = random() % 2;
        made.sortRows(column, ascending);
        plain.sortRows(column, ascending);
      } else if (random() % 4 == 0) {
        const char* texts[] = {"", "core", "w", "a"};
        const char* text = texts[random() % 4];
        for (dcListModel_t* m : {&made, &plain}) m->setFilter(dcRowFilter_t(text));
      }
    }
    QCOMPARE(dcviews::exportText(made.shownList()), dcviews::exportText(plain.shownList()));
    for (dcListModel_t* m : {&made, &plain}) m->setFilter({});
  }
  QCOMPARE(v.show(&site.root, WINDOWS), 0u);
  v.form.makeAllRows();
  site.a1->windowsInfo.add("WindowsVersion", "changed");
  QCOMPARE(v.model().cellText(1, 1), "Windows 11 Pro");
}

void ViewerTest::stripes_rowsAndEmptyArea() {
  dcStripedListCtrl_t list;
  list.resize(300, 200);
  list.fill({{{"a", 60}, {"b", 60}}, {{"1", "x"}, {"2", "y"}, {"3", "z"}}});
  list.show();
  QVERIFY(QTest::qWaitForWindowExposed(&list));
  const QImage shot = list.viewport()->grab().toImage();
  const int h = list.rowHeight(0);
  // Grey on even rows, white on odd ones, in the cells, right of the last
  // column and below the last row alike.
  for (int row = 0; row < 7; ++row) {
    const QRgb expected = dcUiColour(row % 2 == 0 ? 0xE6E6E6 : 0xFFFFFF).rgb();
    for (int x : {2, 200}) QCOMPARE(shot.pixel(x, row * h + h / 2), expected);
  }
}

void ViewerTest::export_answersAndFileRules() {
  Site site;
  Viewer v;
  QCOMPARE(v.show(site.a1, USAGE), 0u);
  const std::string base = (v.out.path() / "usage").string();

  // A name without extension takes the chosen type's; a typed one stays.
  v.chooser.choice = {true, QString::fromStdString(base), 2};
  QCOMPARE(v.form.exportList(), 0u);
  QCOMPARE(testutil::readFile(base + ".txt"),
           USAGE_HEADER + "editor.exe\t     30 min\r\ngame.exe\t    300 min\r\n");
  v.chooser.choice = {true, QString::fromStdString(base + ".csv"), 1};
  QCOMPARE(v.form.exportList(), 0u);
  QVERIFY(std::filesystem::exists(base + ".csv"));

  // An existing file: the question, then No leaves it untouched (601).
  testutil::writeFile(base + ".txt", "keep me");
  v.chooser.answer = false;
  v.chooser.choice = {true, QString::fromStdString(base), 2};
  QCOMPARE(v.form.exportList(), 601u);
  QCOMPARE(v.form.status, 601u);
  QCOMPARE(v.chooser.question, QString::fromStdString(base + ".txtFile already exists, overwrite?"));
  QCOMPARE(testutil::readFile(base + ".txt"), std::string("keep me"));
  v.chooser.answer = true;
  QCOMPARE(v.form.exportList(), 0u);
  QCOMPARE(testutil::readFile(base + ".txt").substr(0, USAGE_HEADER.size()), USAGE_HEADER);

  // Cancel: 7, status unchanged; no selection 112; no tree pane 201.
  v.chooser.choice.accepted = false;
  v.form.status = 0;
  QCOMPARE(v.form.exportList(), 7u);
  QCOMPARE(v.form.status, 0u);
  v.selection.object = nullptr;
  QCOMPARE(v.form.exportList(), 112u);
  dcUnregisterPane<dcTreePane_t>(theTreePane, &v.selection);
  QCOMPARE(v.form.exportList(), 201u);
  // A file that cannot be created is passed over: 0.
  dcRegisterPane<dcTreePane_t>(theTreePane, &v.selection);
  v.selection.object = site.a1;
  v.chooser.choice = {true, QString::fromStdString(base + "/no/such/folder.xls"), 1};
  QCOMPARE(v.form.exportList(), 0u);
}

void ViewerTest::export_workbookOfTheFilteredSortedList() {
  Site site;
  Viewer v;
  QCOMPARE(v.show(site.a, SOFTWARE_VIEW), 0u);
  dcStripedListCtrl_t* list = v.form.listControl();
  dcStripedListCtrl_t::lastSortColumn = -1;
  list->onColumnClick(0);
  list->onColumnClick(0);  // descending
  v.form.openFilterBar();
  v.form.filterBar->setText(QStringLiteral("a1"));  // hides Viewer (AA)
  list->setColumnWidth(0, 250);
  // The third file type: a name without extension takes ".xlsx".
  const std::string base = (v.out.path() / "software").string();
  v.chooser.choice = {true, QString::fromStdString(base), dcexport::FILTER_WORKBOOK};
  QCOMPARE(v.form.exportList(), 0u);
  const auto book = testutil::readWorkbook(base + ".xlsx");
  QVERIFY(book);
  QCOMPARE(book->sheetName, std::string("소프트웨어 정보"));
  QCOMPARE(book->columnPixels, (std::map<int, int>{{0, 250}, {1, 500}}));
  QCOMPARE(book->texts(), (testutil::Records{{"소프트웨어", "사용자"}, {"가", "A1, "}, {"Editor", "A1, "}}));
  QVERIFY(book->cell(0, 1)->bold && !book->cell(1, 1)->bold);

  // The two original types keep writing tab-separated text, whatever the
  // typed extension.
  v.chooser.choice = {true, QString::fromStdString(base + ".xlsx"), dcexport::FILTER_EXCEL};
  QCOMPARE(v.form.exportList(), 0u);
  QCOMPARE(testutil::readFile(base + ".xlsx"),
           SOFTWARE + "\t\xBB\xE7\xBF\xEB\xC0\xDA\r\n" + GA + "\tA1, \r\nEditor\tA1, \r\n");
  QCOMPARE(QString::fromLatin1(dcexport::FILTER).section('|', 0, 3),
           QStringLiteral("Excel Files (*.xls)|*.xls|Text Files(*.txt)|*.txt"));
}

void ViewerTest::demoSite_progressAndScreenshots() {
  uitest::Site site;
  testutil::WorkFolder work;  // the load writes its listing in the current folder
  dcAssetConsoleEngine_t engine;
  Viewer v;
  v.form.resize(1000, 420);
  v.form.setPeriod({{2026, 11, 1}, {2026, 11, 30}});
  dcProgressDialog_t progress;
  const dcDataLoadProgress_t callback = progress.progress();
  QCOMPARE(runDataLoad(&engine, &callback), 0u);
  progress.finish();
  QVERIFY(progress.filesFound > 0);
  QCOMPARE(progress.filesRead, progress.filesFound);
  QVERIFY(progress.updates > 0);  // the window system ran during the load
  // A load that lasts shows the dialog with its count until it is over.
  dcProgressDialog_t slow;
  QTest::qWait(dcProgressDialog_t::SHOW_AFTER_MS + 20);
  slow.onFile(1, 10);
  QVERIFY(slow.isVisible());
  QCOMPARE(slow.countText(), QStringLiteral("1 / 10"));
  slow.finish();
  QVERIFY(!slow.isVisible());

  // The first client met going down the first sub-groups.
  dcQsClient_t* client = nullptr;
  for (dcQsGroup_t* g = &engine.root; g && !client; g = g->children ? g->children->pGroup : nullptr)
    client = g->clients ? g->clients->pClient : nullptr;
  QVERIFY(client);
  const QString shots = qEnvironmentVariable("DESKTALLY_SCREENSHOT_DIR");
  const char* names[] = {"windows", "hardware", "software", "usage"};
  for (dcObject_t* object : {static_cast<dcObject_t*>(&engine.root), static_cast<dcObject_t*>(client)}) {
    for (int view = 0; view < 4; ++view) {
      QCOMPARE(v.show(object, view), 0u);
      QVERIFY(v.model().rowCount() > 0);
      const QPixmap shot = v.form.grab();
      if (!shots.isEmpty())
        shot.save(shots + "/viewer-" + (object == client ? "client-" : "root-") + names[view] + ".png");
    }
  }
}

QTEST_MAIN(ViewerTest)
#include "test_ui_viewer.moc"
