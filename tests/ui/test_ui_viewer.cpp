// The list viewer: the views with their widths and export, the period band
// and the statuses, the header sort with its shared state, rows made as
// needed, the stripes, the export's answers and file types, the filter bar
// and copying rows.
#include <random>

#include "../support/inventorySite.h"
#include "../support/listreaders.h"
#include "dcCaptionLabel.h"
#include "uiSupport.h"

namespace {

using uitest::Viewer;
const std::string GA = mb::fromUtf8("가");
enum { WINDOWS, HARDWARE, SOFTWARE_VIEW, USAGE };  // title pane's view index

// Root with client R1, groups A (A1, sub-group AA with AA1) and B (B1), and
// group S whose clients differ only in the letters of their names.
struct Site {
  InventorySite settings{mb::fromUtf8("<q><pcname>PC 이름</pcname></q>")};
  dcAssetConsoleEngine_t engine;
  dcQsGroup_t &root = engine.root, *a = root.addChild(1, "A");
  dcQsClient_t *r1 = root.addClient("R1"), *a1 = a->addClient("A1"),
               *aa1 = a->addChild(2, "AA")->addClient("AA1"), *b1 = root.addChild(3, "B")->addClient("B1");
  dcQsGroup_t* s = root.addChild(4, "S");

  Site() {
    r1->windowsInfo.add("WindowsVersion", "Windows 10 Pro");
    a1->windowsInfo.add("WindowsVersion", "Windows 11 Pro");
    a1->windowsInfo.add("Workgroup", "CORP");
    aa1->windowsInfo.add("Workgroup", "HOME");
    for (dcQsClient_t* c : {r1, a1, b1}) c->softwareList.add("Editor", "editor.exe", "1.0");
    a1->softwareList.add(GA.c_str(), "ga.exe", "1.0");
    aa1->softwareList.add("Viewer", "viewer.exe", "2.0");
    // Three-minute ticks per program and day.
    setUsage(a1->usageDocument,
             "<unit><progname>editor.exe</progname><date tick='10'>2024.03.01</date></unit>"
             "<unit><progname>game.exe</progname><date tick='100'>2024.03.02</date></unit>");
    for (auto [name, version] : {std::pair{"pc", "b"}, {"PC", "a"}, {GA.c_str(), "b"}, {"Zeta", "a"}})
      s->addClient(name)->windowsInfo.add("WindowsVersion", version);
    root.gatherGroupInfo();
  }
};

// The viewer shows a list of its own, to export for a PC.
void showList(Viewer& v, dcViewList_t list) {
  static dcObject_t pc{"PC", "dcQsClient_t", 0};
  v.selection.object = &pc;
  v.form.resize(600, 300);
  v.form.listControl()->fill(std::move(list));
  v.form.show();
}

dcViewList_t machines() {
  return {{{"PC", 100}, {"OS", 200}},
          {{"pc-b", "Windows 11 Pro"},
           {"PC-a", "windows 10"},
           {mb::fromUtf8("서버"), "Windows Server"},
           {"host", mb::fromUtf8("리눅스")},
           {"pc-c", "Windows 11 Home"}}};
}

}  // namespace

class ViewerTest : public QObject {
  Q_OBJECT

 private slots:
  void views_dispatchPeriodBandAndExport() {
    Site site;
    Viewer v;
    QVERIFY(uitest::shown(v.form));
    dcStripedListCtrl_t* list = v.form.listControl();

    // Usage: the 30-pixel band with pickers, tilde and search; the period
    // button stays hidden. A start after the end jumps to the end: one day.
    v.form.setPeriod({{2024, 4, 9}, {2024, 3, 2}});
    QCOMPARE(uitest::values({v.show(site.a1, USAGE), v.form.startPicker->date(), v.column(0)}),
             "0 2024-03-02 game.exe| ");
    QVERIFY(list->geometry() == QRect(0, 30, 800, 370) && v.form.periodMode == 1 &&
            list->columnWidth(0) == 400 && list->columnWidth(1) == 150);
    QVERIFY(v.form.startPicker->isVisible() && v.form.endPicker->isVisible() &&
            v.form.tildeLabel->isVisible() && v.form.searchButton->isVisible() &&
            !v.form.periodButton->isVisible());
    // The form's dark blue shows in the band.
    QCOMPARE(v.form.grab().toImage().pixel(790, 15), dcUiColour(0x581D08).rgb());
    // The search button recomputes with the pickers' new period.
    v.form.setPeriod({{2024, 3, 1}, {2024, 3, 1}});
    QTest::mouseClick(v.form.searchButton, Qt::LeftButton);
    QCOMPARE(v.column(1), "     30 min|");

    // Other views: no band; the columns take the view's widths.
    QVERIFY(v.show(site.a1, WINDOWS) == 0 && list->geometry() == QRect(0, 0, 800, 400));
    QVERIFY(list->columnWidth(0) == 150 && list->columnWidth(1) == 500 && !v.form.startPicker->isVisible() &&
            !v.form.searchButton->isVisible());

    // A title of no view, or an object neither client nor group: list and
    // status stay. No selection: 112. No title pane or no list: 201.
    v.title.setCurrentTitle(mb::fromUtf8("프로그램 사용내역").c_str());
    QCOMPARE(uitest::values({v.form.refresh(), v.column(0)}), "0 WindowsVersion|Workgroup| ");
    dcObject_t banner("b", "dcBanner_t", 0);
    QCOMPARE(uitest::values({v.show(&banner, HARDWARE), v.column(0)}), "0 WindowsVersion|Workgroup| ");
    QCOMPARE(v.show(nullptr, HARDWARE), 112u);
    {
      const QScopedValueRollback<dcFunctionTitleForm_t*> noTitlePane(theFunctionTitleForm, nullptr);
      QCOMPARE(v.show(site.a1, HARDWARE), 201u);
    }

    // Export, of the client's usage over the month.
    v.form.setPeriod({{2024, 3, 1}, {2024, 3, 31}});
    QCOMPARE(v.show(site.a1, USAGE), 0u);
    const std::string base = (v.out.path() / "usage").string();
    auto exportAs = [&](const std::string& name, int type) {
      v.chooser.choice = {true, QString::fromStdString(name), type};
      return v.form.exportList();
    };

    // A name without extension takes the chosen type's; a typed one stays.
    const std::string usage = "소프트웨어\t사용 시간\r\neditor.exe\t     30 min\r\ngame.exe\t    300 min\r\n";
    QCOMPARE(exportAs(base, 2), 0u);
    QCOMPARE(mb::toUtf8(testutil::readFile(base + ".txt")), usage);
    QVERIFY(exportAs(base + ".csv", 1) == 0 && std::filesystem::exists(base + ".csv"));
    // The name offered: the object's name and today's date, not padded.
    const dcViewDate_t today = dcViewDate_t::today();
    QCOMPARE(v.chooser.initialName, QString::asprintf("A1_%d-%d-%d", today.year, today.month, today.day));

    // An existing file: the question, then No (601; that the file stays is
    // the console test's, through the real dialogs).
    testutil::writeFile(base + ".txt", "keep me");
    v.chooser.answer = false;
    QVERIFY(exportAs(base, 2) == 601u && v.form.status == 601u);
    QCOMPARE(v.chooser.question, QString::fromStdString(base + ".txtFile already exists, overwrite?"));
    v.chooser.answer = true;
    QCOMPARE(v.form.exportList(), 0u);
    QCOMPARE(mb::toUtf8(testutil::readFile(base + ".txt")), usage);

    // Cancel: 7, status unchanged; no selection 112; no tree pane 201.
    v.chooser.choice.accepted = false;
    v.form.status = 0;
    QVERIFY(v.form.exportList() == 7u && v.form.status == 0u);
    v.selection.object = nullptr;
    QCOMPARE(v.form.exportList(), 112u);
    dcUnregisterPane<dcTreePane_t>(theTreePane, &v.selection);
    QCOMPARE(v.form.exportList(), 201u);
    // A file that cannot be created is passed over: 0.
    dcRegisterPane<dcTreePane_t>(theTreePane, &v.selection);
    v.selection.object = site.a1;
    QCOMPARE(exportAs(base + "/no/such/folder.xls", 1), 0u);

    // The workbook type, of the filtered and sorted list: a name without
    // extension takes ".xlsx"; the sheet is the view's, the widths the list's.
    QCOMPARE(v.show(site.a, SOFTWARE_VIEW), 0u);
    dcStripedListCtrl_t::lastSortColumn = -1;
    list->onColumnClick(0);
    list->onColumnClick(0);  // descending
    v.form.openFilterBar();
    v.form.filterBar->setText(QStringLiteral("a1"));  // hides Viewer (AA)
    list->setColumnWidth(0, 250);
    QCOMPARE(exportAs(base, dcexport::FILTER_WORKBOOK), 0u);
    const auto book = testutil::readWorkbook(base + ".xlsx");
    QVERIFY(book && book->sheetName == "소프트웨어 정보");
    QCOMPARE(book->columnPixels, (std::map<int, int>{{0, 250}, {1, 500}}));
    QCOMPARE(book->texts(),
             (testutil::Records{{"소프트웨어", "사용자"}, {"가", "A1, "}, {"Editor", "A1, "}}));
    // The two original types keep writing tab-separated text, whatever the
    // typed extension.
    QCOMPARE(exportAs(base + ".xlsx", dcexport::FILTER_EXCEL), 0u);
    QCOMPARE(mb::toUtf8(testutil::readFile(base + ".xlsx")),
             "소프트웨어\t사용자\r\n가\tA1, \r\nEditor\tA1, \r\n");
    QCOMPARE(QString(dcexport::FILTER).section('|', 0, 3),
             "Excel Files (*.xls)|*.xls|Text Files(*.txt)|*.txt");

    // Without the list: 201.
    delete list;
    QCOMPARE(uitest::values({v.show(site.a1, WINDOWS), exportAs(base + ".xls", 1),
                             std::filesystem::exists(base + ".xls")}),
             "201 201 false ");
  }

  void sort_headerClicksSharedStateAndRowsMadeAsNeeded() {
    Site site;
    Viewer v;
    dcStripedListCtrl_t::lastSortColumn = -1;
    dcStripedListCtrl_t::lastSortAscending = 1;
    QCOMPARE(v.show(site.s, WINDOWS), 0u);
    QHeaderView* header = v.form.listControl()->horizontalHeader();
    QVERIFY(uitest::shown(v.form));
    // Stripes: grey on even rows, white on odd ones, in the cells, right of
    // the last column and below the last row alike.
    const QImage shot = v.form.listControl()->viewport()->grab().toImage();
    const int h = v.form.listControl()->rowHeight(0);
    for (int row = 0; row < 7; ++row)
      for (int x : {2, 500})
        QCOMPARE(shot.pixel(x, row * h + h / 2), dcUiColour(row % 2 == 0 ? 0xE6E6E6 : 0xFFFFFF).rgb());
    // Clicks header c and gives the first column as it then stands.
    auto click = [&](int c) {
      const QPoint at(header->sectionViewportPosition(c) + 10, header->height() / 2);
      QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
      return v.column(0);
    };
    // Each header click on its own ("|" ends a cell, " " a click).
    // Equal texts are never exchanged, so equal keys come out in the order
    // the partitioning leaves them, not in a stable order.
    QCOMPARE(uitest::values({click(1), click(1)}), QString::fromUtf8("Zeta|PC|가|pc| pc|가|PC|Zeta| "));
    // Another column: ascending, byte order, capitals before small letters
    // before double-byte characters.
    QCOMPARE(uitest::values({click(0), click(0)}), QString::fromUtf8("PC|Zeta|pc|가| 가|pc|Zeta|PC| "));

    // A refresh gives the view's order back but keeps the state: the next
    // click on column 0 reverses the last (descending) direction.
    QCOMPARE(uitest::values({v.form.refresh(), v.column(0), dcStripedListCtrl_t::lastSortColumn, click(0)}),
             QString::fromUtf8("0 pc|PC|가|Zeta| 0 PC|Zeta|pc|가| "));
    // The state is shared by every list: another one continues it
    // (descending). A column beyond the header is stored but sorts nothing.
    dcStripedListCtrl_t other;
    other.fill({{{"h", 50}}, {{"x"}, {"y"}}});
    for (int c : {0, 5}) other.onColumnClick(c);
    QVERIFY(dcStripedListCtrl_t::lastSortColumn == 5 && other.listModel()->cellText(0, 0) == "y");

    // A by-PC view hands its rows to the list as a maker. Random reads, sorts
    // and filters on it must give what the same steps give on the whole view
    // handed over at once; once every row is made, the list no longer reads the
    // inventories.
    std::mt19937 random(16);
    for (int round = 0; round < 40; ++round) {
      const int view = round % 2 ? HARDWARE : WINDOWS;
      dcObject_t* group = round % 3 ? static_cast<dcObject_t*>(&site.root) : site.s;
      QCOMPARE(v.show(group, view), 0u);
      dcViewList_t whole;
      dcViewPeriod_t period = v.form.period();
      dcviews::refresh(group, dcFunctionTitleForm_t::tabText(view), period, whole);
      dcListModel_t plain;
      plain.fill(std::move(whole));
      dcListModel_t& made = v.model();
      for (int step = 0; step < 4; ++step) {
        QCOMPARE(made.rowCount(), plain.rowCount());
        const int row = static_cast<int>(random() % static_cast<unsigned>(plain.rowCount() + 1));
        const int column = static_cast<int>(random() % static_cast<unsigned>(plain.columnCount()));
        QCOMPARE(made.cellText(row, column), plain.cellText(row, column));
        const unsigned what = random() % 12, choice = random() % 4;  // sort a third, filter a sixth
        for (dcListModel_t* m : {&made, &plain}) {
          if (what < 4)
            m->sortRows(column, choice % 2);
          else if (what < 6)
            m->setFilter(dcRowFilter_t(std::array{"", "core", "w", "a"}[choice]));
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

  void filter_typingSortEscapeCopyAndNarrowing() {
    Viewer v;
    showList(v, machines());
    dcStripedListCtrl_t* list = v.form.listControl();
    QLineEdit* bar = v.form.filterBar;
    // Ctrl+C and what it left on the clipboard.
    auto copy = [&] {
      QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
      return QGuiApplication::clipboard()->text();
    };
    QVERIFY(!bar->isVisible());

    // The bar opens above the list and filters as the operator types
    // (letters fold; the filter's rule itself is the row filter's tests').
    v.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&v.form));
    v.form.openFilterBar();
    QCOMPARE(list->geometry().top(), bar->geometry().bottom() + 1);
    QTest::keyClicks(bar, QStringLiteral("WINDOWS 1"));
    QCOMPARE(v.column(0), "pc-b|PC-a|pc-c|");

    // A header click sorts what is shown.
    dcStripedListCtrl_t::lastSortColumn = -1;
    list->onColumnClick(1);
    QCOMPARE(v.column(1), "Windows 11 Home|Windows 11 Pro|windows 10|");  // byte order

    // Escape closes and clears: every row again, in the sorted order, and the
    // list back at the form's top.
    QTest::keyClick(bar, Qt::Key_Escape);
    QVERIFY(!bar->isVisible() && bar->text().isEmpty() && list->geometry() == v.form.rect());
    QCOMPARE(v.column(0), "pc-c|pc-b|서버|PC-a|host|");

    // Copying: the selected rows in the order the screen shows them.
    showList(v, machines());
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QCOMPARE(copy(), QStringLiteral("before"));  // nothing selected: left alone

    list->selectRow(2);
    list->selectionModel()->select(list->model()->index(0, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QCOMPARE(copy(), QString("pc-b\tWindows 11 Pro\r\n서버\tWindows Server\r\n"));

    // Ctrl+A takes every row shown, not the ones the filter hides.
    v.form.openFilterBar();
    QTest::keyClicks(bar, QStringLiteral("pc-"));
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(copy(), QStringLiteral("pc-b\tWindows 11 Pro\r\nPC-a\twindows 10\r\npc-c\tWindows 11 Home\r\n"));

    // Typing re-tests only the rows still shown when the text grows: after
    // every random edit the rows shown are those a fresh filter keeps.
    const QStringList pieces = {"a", "A", "b", "가", "각", "1", " ", "?", "😀"};
    std::mt19937 random(15);
    dcViewList_t rows{{{"x", 50}, {"y", 50}}, {}};
    for (int r = 0; r < 300; ++r)
      for (std::string& cell : rows.rows.emplace_back(2))
        for (int k = random() % 6; k > 0; --k)
          cell += mb::fromUtf8(pieces[random() % 8].toStdString());  // no emoji
    bar->clear();
    showList(v, rows);
    for (int edit = 0; edit < 400; ++edit) {
      const unsigned what = random() % 10;
      if (what < 7)
        bar->insert(pieces[random() % pieces.size()]);
      else if (what < 9)
        bar->backspace();
      else
        bar->clear();
      dcViewList_t expected = v.model().list();
      dcRowFilter_t::fromUtf8(bar->text().toStdString()).keepMatching(expected);
      QCOMPARE(v.model().shownList().rows, expected.rows);
    }
  }
};

QTEST_MAIN(ViewerTest)
#include "test_ui_viewer.moc"
