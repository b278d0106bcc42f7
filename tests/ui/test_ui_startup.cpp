// The console on the demo site: the start-up order (window shown, command
// line, script, title, one data load) and the selected root; the menus, the
// filter's row count and the chart pane; Qt's own dialogs in Korean and in
// the list's face; command lines and scripts that fail or close the window;
// a truncated group file; the load's progress; opening sites and the
// recent list.
#include <cstdio>

#include "CDcOverlookApp.h"
#include "dcChartPane.h"
#include "dcCommandIds.h"
#include "dcProgressDialog.h"
#include "inifile.h"
#include "uiSupport.h"
#include "winfs.h"

namespace {

using uitest::DEMO_SITE;
using uitest::Site;
const QString kDemoSite = QDir::cleanPath(QString::fromStdString(DEMO_SITE));

// "qsAssetConsole.ini" in the working folder for the test's lifetime.
struct Script {
  explicit Script(std::string_view text) { std::ofstream(CDcOverlookApp::SCRIPT, std::ios::binary) << text; }
  ~Script() { std::remove(CDcOverlookApp::SCRIPT); }
};

// Loads run at once, are counted and record the console's state as they
// start; messages are collected, never shown.
struct App : CDcOverlookApp {
  int loads = 0;
  QStringList messages;
  QString nextSiteFolder, titleAtLoad, viewAtLoad;
  App() {
    loadRunner = [this](const std::function<void(const dcDataLoadProgress_t*)>& load) {
      ++loads;
      titleAtLoad = mainFrame->isVisible() && theAssetConsoleEngine ? mainFrame->windowTitle() : QString();
      viewAtLoad = dcUiString(theFunctionTitleForm->currentTitle);
      load(nullptr);
    };
    messageSink = [this](const QString&, const QString& text) { messages << text; };
    chooseSiteFolder = [this](QWidget*) { return nextSiteFolder; };
  }
  void choose(int commandId) { mainFrame->commandAction(commandId)->trigger(); }
};

// Drive C: as the configuration file gives it to the core.
std::optional<std::string> configuredDriveC() {
  const auto text = inifile::readFile(winfs::configurationFile());
  return text ? inifile::readValue(*text, "drives", "C") : std::nullopt;
}

int topGroups() {
  return theObjectHierarchyForm->model()->rowCount(theObjectHierarchyForm->model()->index(0, 0));
}

}  // namespace

class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    // Nothing of the user's: no drive in the environment, a home and a
    // configuration of the test's own.
    QVERIFY(home_.isValid());
    qunsetenv("DESKTALLY_DRIVE_C");
    qputenv("HOME", home_.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home_.path() + QStringLiteral("/config")).toUtf8());
  }

  void cleanup() {
    winfs::setDriveFolder('C', "");
    QFile::remove(QString::fromStdString(winfs::configurationFile()));
  }

  void demoSite_startupMenusChartsAndDialogs() {
    // Qt's dialogs speak Korean whatever the locale.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const auto restoreLocale = qScopeGuard([] { QLocale::setDefault(QLocale::system()); });
    Site site;
    Script script(
        "ignore hardware X in hardware list\r\nsend window message 273 32775 0 to NULL dcOverlook\r\n");
    App app;
    QVERIFY(app.InitInstance(""));

    // One load, after the window was shown and titled and the script ran.
    QCOMPARE(uitest::values({app.loads, app.titleAtLoad, app.viewAtLoad, app.messages.size()}),
             QString::fromUtf8("1 DeskTally Support 하드웨어 정보 0 "));
    dcObjectHierarchyForm_t* form = theObjectHierarchyForm;
    const QModelIndex top = form->model()->index(0, 0);
    QVERIFY(form->selected == &app.engine->root && form->tree->currentIndex() == top);

    // Menus, status bar and Qt's dialogs are drawn in the list's face: its
    // family and pixel size.
    CMainFrame& frame = *app.mainFrame;
    auto* viewer = qobject_cast<dcDefaultViewerForm_t*>(frame.viewerPane);
    auto face = [](const QWidget& w) {
      return uitest::values({QFontInfo(w.font()).family(), QFontInfo(w.font()).pixelSize()});
    };
    const QString list = face(*viewer->listControl());
    QVERIFY(face(*frame.menuBar()) == list && face(*frame.menuBar()->actions().at(0)->menu()) == list);
    QVERIFY(face(*frame.statusBarWidget->findChild<QLabel*>()) == list && face(QMessageBox(&frame)) == list &&
            face(QFileDialog()) == list);

    // The new View entries follow the menu's own, which keep their ids.
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    QList<int> ids;
    for (QAction* a : frame.menuBar()->actions().at(1)->menu()->actions())
      if (!a->isSeparator()) ids << a->data().toInt();
    QCOMPARE(ids, (QList<int>{32772, 32773, 32775, 32774, 32776, 59393, 32790, 32791}));
    QCOMPARE(frame.commandAction(32790)->shortcut(), QKeySequence(QKeySequence::Find));

    // The row count shows in the status bar while the filter bar is open.
    auto* count = frame.statusBar()->findChild<QLabel*>(QStringLiteral("rowCount"));
    QVERIFY(count && !count->isVisible());
    frame.commandAction(32790)->trigger();
    QTest::keyClicks(viewer->filterBar, QStringLiteral("pc-001"));  // PC-0010 to PC-0019 of the 40
    QCOMPARE(uitest::values({count->isVisible(), count->text()}), "true 10 / 40 ");
    QTest::keyClick(viewer->listControl(), Qt::Key_Escape);
    QVERIFY(!count->isVisible() && !viewer->filterBar->isVisible());

    // The chart pane shows the selected group's values, and follows the tree.
    QVERIFY(!app.chartDock->isVisible());
    frame.sendCommand(32791);
    QVERIFY(app.chartDock->isVisible() && frame.commandAction(32791)->isChecked());
    dcChartPane_t& charts = *app.chartPane;
    QCOMPARE(charts.bars(), dccharts::windowsVersions(&app.engine->root));
    QCOMPARE(charts.title(), QString::fromUtf8("'전체 그룹'의 Windows 버전"));
    charts.setKind(dcChartKind_t::MOST_INSTALLED);
    QCOMPARE(charts.bars(), dccharts::mostInstalled(&app.engine->root));
    viewer->setPeriod({{2026, 11, 1}, {2026, 11, 30}});
    charts.setKind(dcChartKind_t::MOST_USED);
    form->tree->setCurrentIndex(form->model()->index(0, 0, top));
    QVERIFY(form->selected != &app.engine->root);
    QCOMPARE(charts.bars(), dccharts::mostUsed(static_cast<dcQsGroup_t*>(form->selected), viewer->period()));
    // Saved pictures: a PNG of the pane's size at least, an SVG document.
    QTemporaryDir dir;
    QVERIFY(charts.savePng(dir.filePath("c.png")) && charts.saveSvg(dir.filePath("c.svg")));
    QVERIFY(QImage(dir.filePath("c.png")).width() >= dcChartPane_t::MIN_PICTURE.width());
    QVERIFY(testutil::readFile(dir.filePath("c.svg").toStdString()).find("<svg") != std::string::npos);
    QVERIFY(!charts.savePng(dir.filePath("no/c.png")));
    QVERIFY(frame.sendCommand(32791) && !app.chartDock->isVisible());

    // Export onto an existing file through the real dialogs, answering No.
    const QString existing = dir.filePath("list.xls");
    testutil::writeFile(existing.toStdString(), "kept");
    QStringList seen;  // the dialogs' texts and the name chosen
    QTimer operatorHand;
    connect(&operatorHand, &QTimer::timeout, [&] {
      if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(existing);
        seen << dialog->windowTitle() << dialog->findChild<QLabel*>("lookInLabel")->text()
             << dialog->selectedFiles().value(0);
        static_cast<QDialog*>(dialog)->accept();
      } else if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        for (QAbstractButton* b : box->buttons()) seen << b->text();
        box->button(QMessageBox::No)->click();
      }
    });
    operatorHand.start(20);
    QCOMPARE(viewer->exportList(), 601u);
    QCOMPARE(seen, (QStringList{"다른 이름으로 저장", "다음에서 찾기:", existing, "예(&Y)", "아니요(&N)"}));
    QCOMPARE(testutil::readFile(existing.toStdString()), std::string("kept"));
    // The period pickers' calendar names the month in Korean.
    const auto* month =
        viewer->startPicker->calendarWidget()->findChild<QToolButton*>("qt_calendar_monthbutton");
    QVERIFY(month->text().endsWith(QString::fromUtf8("월")));

    QVERIFY(app.ExitInstance(0) == 0 && !theAssetConsoleEngine && !theObjectHierarchyForm &&
            !CMainFrame::mainWindow());
  }

  void startup_failedCommandLineExitScriptAndTruncatedGroupFile() {
    {
      Site site;
      App app;  // words that fit no command end start-up before the load
      QVERIFY(!app.InitInstance("no such command") && app.loads == 0);
      const int failed = CDcOverlookApp::EXIT_STARTUP_FAILED;
      QVERIFY(app.ExitInstance(failed) == failed && !theAssetConsoleEngine);
    }
    {
      Site site;
      Script script("exit\r\n");  // closes the window: no title, no load
      App app;
      QVERIFY(app.InitInstance("") && !app.mainWindowOpen() && app.loads == 0);
      QCOMPARE(app.mainFrame->windowTitle(), QStringLiteral("dcOverlook"));
    }
    QVERIFY(!theAssetConsoleEngine && !CMainFrame::mainWindow());

    // A truncated group file is reported.
    testutil::TempDir drive;
    const std::string demo = DEMO_SITE + "/qss/", groups = testutil::readFile(demo + "qsgroup.dat");
    testutil::writeFile(drive.path() / "qss" / "qslook.xml", testutil::readFile(demo + "qslook.xml"));
    testutil::writeFile(drive.path() / "qss" / "qsgroup.dat", groups.substr(0, groups.size() / 2));
    Site site(drive.str());
    App app;
    QVERIFY(app.InitInstance("") && app.mainWindowOpen());
    // The items would point to destroyed objects: the tree stays empty.
    QCOMPARE(uitest::values({app.loads, app.messages.size(), theObjectHierarchyForm->model()->rowCount()}),
             "1 1 0 ");
    QVERIFY(!theObjectHierarchyForm->selected);
    // Loading again reports again and the console stays usable.
    QVERIFY(app.mainFrame->sendCommand(32771) && app.messages.size() == 2);
    app.mainFrame->sendCommand(32775);
    theFunctionTitleForm->grab();
    QCOMPARE(theFunctionTitleForm->viewIndex, 1);
  }

  void load_progressDialog() {
    Site site;
    testutil::WorkFolder work;  // the load writes its listing in the current folder
    dcAssetConsoleEngine_t engine;
    dcProgressDialog_t progress;
    const dcDataLoadProgress_t callback = progress.progress();
    QCOMPARE(runDataLoad(&engine, &callback), 0u);
    progress.finish();
    // Every file found was read; the window system ran during the load.
    QVERIFY(progress.filesFound > 0 && progress.filesRead == progress.filesFound && progress.updates > 0);
    // A load that lasts shows the dialog with its count until it is over.
    dcProgressDialog_t slow;
    QTest::qWait(dcProgressDialog_t::SHOW_AFTER_MS + 20);
    slow.onFile(1, 10);
    QCOMPARE(uitest::values({slow.isVisible(), slow.countText()}), "true 1 / 10 ");
    slow.finish();
    QVERIFY(!slow.isVisible());
  }

  void site_firstStartOpenAndRecentList() {
    // Sites named as the configuration file must quote or escape, each a
    // copy of the demo site's settings.
    const QStringList names{"plain", "a, b; c", "q\"uo\\te", "한글 사이트", "  & blanks "};
    const std::string settings = testutil::readFile(DEMO_SITE + "/qss/qslook.xml");
    QStringList sites;
    for (const QString& name : names) sites << home_.filePath(name);
    for (const QString& site : sites) testutil::writeFile((site + "/qss/qslook.xml").toStdString(), settings);
    const QStringList recent{sites[2], sites[4], sites[3], sites[1]};
    {
      App app;
      QVERIFY(app.InitInstance("") && app.loads == 1 && topGroups() == 0);
      QVERIFY(app.mainFrame->siteHint().contains(QStringLiteral("qss/qslook.xml")));

      // The fixed File entries keep their places; the site entries follow.
      const QList<QAction*> file = app.mainFrame->menuBar()->actions().first()->menu()->actions();
      QCOMPARE(uitest::values({file[0]->data().toInt(), file[1]->isSeparator(), file[2]->data().toInt(),
                               file[4]->data().toInt()}),
               uitest::values({dcCmd::EXPORT_LIST, true, dcCmd::APP_EXIT, dcCmd::OPEN_SITE}));

      // A folder without qss/qslook.xml is refused with a message; nothing moves.
      app.nextSiteFolder = home_.path();
      app.choose(dcCmd::OPEN_SITE);
      QVERIFY(app.messages.size() == 1 && app.messages[0].contains(app.nextSiteFolder) &&
              app.messages[0].contains(QStringLiteral("qss/qslook.xml")));
      QVERIFY(app.loads == 1 && app.recentSites().isEmpty() && !configuredDriveC());

      // The demo site: read, loaded from scratch, remembered, hint gone.
      app.nextSiteFolder = kDemoSite;
      app.choose(dcCmd::OPEN_SITE);
      QVERIFY(app.loads == 2 && app.mainFrame->siteHint().isEmpty() && topGroups() > 0);
      QCOMPARE(theSettingMgr->hostPath(), kDemoSite.toStdString() + "/qss/qslook.xml");
      QCOMPARE(app.recentSites(), QStringList{kDemoSite});

      // Five more: the recent list keeps the last four.
      for (const QString& site : sites)
        QVERIFY(app.openSite(site) && configuredDriveC() == site.toStdString());
      QCOMPARE(app.recentSites(), (QStringList{sites[4], sites[3], sites[2], sites[1]}));
      // Opening a listed site moves it to the front, once.
      QVERIFY(app.openSite(sites[2]) && app.recentSites() == recent);
    }
    // A new start reads the list back; its third entry opens that site.
    App app;
    QVERIFY(app.InitInstance(""));
    QCOMPARE(app.recentSites(), recent);
    const QAction* third = app.mainFrame->commandAction(dcCmd::RECENT_SITE_FIRST + 2);
    QVERIFY(third->isVisible() && third->text().endsWith(names[3]));
    QVERIFY(app.mainFrame->commandAction(dcCmd::RECENT_SITE_FIRST + 1)->text().endsWith("&& blanks "));
    const int loads = app.loads;
    app.choose(dcCmd::RECENT_SITE_FIRST + 2);
    QVERIFY(app.loads == loads + 1 && winfs::driveFolder('C') == sites[3].toStdString() &&
            app.recentSites().first() == sites[3]);
  }

 private:
  QTemporaryDir home_;
};

QTEST_MAIN(StartupTest)
#include "test_ui_startup.moc"
