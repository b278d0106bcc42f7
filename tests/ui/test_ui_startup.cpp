// Start-up of the console window on the demo site: the order (window shown,
// command line, script, title, then one data load), the root selected after
// the load, scripts and command lines that switch the view or close the
// window, the view commands from the menu and the tabs, and a group file
// that ends too early.
#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "../support/testutil.h"
#include "CDcOverlookApp.h"
#include "CDcOverlookDoc.h"
#include "CMainFrame.h"
#include "CSettingMgr.h"
#include "dcAboutDialog.h"
#include "dcAssetConsoleEngine.h"
#include "dcBitmapButton.h"
#include "dcFunctionTitleForm.h"
#include "dcObjectHierarchyForm.h"
#include "dcUiText.h"

#if __has_include("dcDefaultViewerForm.h")
#include "dcDefaultViewerForm.h"
#include "dcListModel.h"
#include "dcStripedListCtrl.h"
#define DC_HAVE_VIEWER_FORM 1
#endif

namespace {

const std::string kDemoSite =
    QFileInfo(QStringLiteral(__FILE__)).absolutePath().toStdString() + "/../../examples/demo-site";
const QString kHardware = QString::fromUtf8("하드웨어 정보");
const std::string kShowHardware = "send window message 273 32775 0 to NULL dcOverlook";

// The site's settings, read afresh for the test's drive mapping.
struct Site {
  explicit Site(const std::string& folder) : drive('C', folder) {}
  testutil::DriveMapping drive;
  CSettingMgr settings{CSettingMgr::DEFAULT_PATH};
  CSettingMgrOverride use{&settings};
};

// "qsAssetConsole.ini" in the working folder for the test's lifetime.
struct Script {
  explicit Script(const std::string& text) {
    std::ofstream(CDcOverlookApp::SCRIPT, std::ios::binary) << text;
  }
  ~Script() { std::remove(CDcOverlookApp::SCRIPT); }
};

// Records the state of the console when a data load starts.
struct LoadWatch {
  int loads = 0;
  QString windowTitle, viewTitle;
  bool visible = false, engine = false;
  void attach(CDcOverlookApp& app) {
    app.loadRunner = [this](const std::function<void(const dcDataLoadProgress_t*)>& load) {
      ++loads;
      windowTitle = CMainFrame::mainWindow()->windowTitle();
      visible = CMainFrame::mainWindow()->isVisible();
      viewTitle = dcUiString(theFunctionTitleForm->currentTitle);
      engine = theAssetConsoleEngine != nullptr;
      load(nullptr);
    };
    app.messageSink = [this](const QString&, const QString& text) { messages << text; };
  }
  QStringList messages;
};

QString caption() {
  theFunctionTitleForm->grab();
  return dcUiString(theFunctionTitleForm->caption);
}

int highlightedTab() {
  theFunctionTitleForm->grab();
  int shown = -1;
  for (int v = 0; v < dcFunctionTitleForm_t::VIEW_COUNT; ++v)
    if (!theFunctionTitleForm->tabButtons[v]->inactive) shown = shown < 0 ? v : 99;
  return shown;
}

}  // namespace

class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void startup_orderScriptAndSelectedRoot();
  void startup_commandLine();
  void startup_exitScriptClosesCleanly();
  void commands_viewMenuTabsAboutAndRedraw();
  void load_truncatedGroupFileIsReported();
};

void StartupTest::startup_orderScriptAndSelectedRoot() {
  Site site(kDemoSite);
  Script script("ignore hardware X in hardware list\r\n" + kShowHardware + "\r\n");
  LoadWatch watch;
  CDcOverlookApp app;
  watch.attach(app);
  QVERIFY(app.InitInstance(""));

  // One load, after the window was shown and titled and the script ran.
  QCOMPARE(watch.loads, 1);
  QCOMPARE(watch.windowTitle, QStringLiteral("DeskTally Support"));
  QVERIFY(watch.visible && watch.engine);
  QCOMPARE(watch.viewTitle, kHardware);
  QVERIFY(watch.messages.isEmpty());

  dcObjectHierarchyForm_t* form = theObjectHierarchyForm;
  QCOMPARE(form->selected, &app.engine->root);
  const QModelIndex top = form->model()->index(0, 0);
  QCOMPARE(form->model()->rowCount(), 1);
  QCOMPARE(form->tree->currentIndex(), top);
  QVERIFY(form->tree->isExpanded(top));
  QVERIFY(form->model()->rowCount(top) > 0);
  QCOMPARE(caption(), QString::fromUtf8("'전체 그룹'의 하드웨어 정보"));
  QCOMPARE(highlightedTab(), 1);
#ifdef DC_HAVE_VIEWER_FORM
  // The list shows the root's hardware, as the view computes it.
  dcViewList_t expected;
  dcViewPeriod_t period{dcViewDate_t::today(), dcViewDate_t::today()};
  dcviews::refresh(&app.engine->root, dcFunctionTitleForm_t::tabText(1), period, expected);
  const dcListModel_t* list = theDefaultViewerForm->listControl()->listModel();
  QVERIFY(!expected.rows.empty());
  QCOMPARE(list->rowCount(), int(expected.rows.size()));
  QCOMPARE(list->cellText(0, 0), expected.rows[0][0]);
#endif

  QCOMPARE(app.ExitInstance(0), 0);
  QVERIFY(!theAssetConsoleEngine && !theObjectHierarchyForm && !CMainFrame::mainWindow());
}

void StartupTest::startup_commandLine() {
  Site site(kDemoSite);
  {
    // The same words on the command line switch the view before the load.
    LoadWatch watch;
    CDcOverlookApp app;
    watch.attach(app);
    QVERIFY(app.InitInstance(kShowHardware));
    QCOMPARE(watch.loads, 1);
    QCOMPARE(watch.viewTitle, kHardware);
  }
  {
    // A command line that fits no command ends start-up before the load.
    LoadWatch watch;
    CDcOverlookApp app;
    watch.attach(app);
    QVERIFY(!app.InitInstance("no such command"));
    QVERIFY(app.status != dcStatus::OK);
    QCOMPARE(watch.loads, 0);
    QCOMPARE(app.ExitInstance(CDcOverlookApp::EXIT_STARTUP_FAILED), CDcOverlookApp::EXIT_STARTUP_FAILED);
    QVERIFY(!theAssetConsoleEngine);
  }
  char prog[] = "desktally", a[] = "name", b[] = "this application", c[] = "전체";
  char* argv[] = {prog, a, b, c};
  QCOMPARE(CDcOverlookApp::rawCommandLine(4, argv),
           std::string("name \"this application\" \xC0\xFC\xC3\xBC"));
}

void StartupTest::startup_exitScriptClosesCleanly() {
  Site site(kDemoSite);
  Script script("exit\r\n");
  LoadWatch watch;
  CDcOverlookApp app;
  watch.attach(app);
  QVERIFY(app.InitInstance(""));
  QVERIFY(!app.mainWindowOpen());
  QCOMPARE(watch.loads, 0);
  QCOMPARE(app.mainFrame->windowTitle(), QStringLiteral("dcOverlook"));
  QCOMPARE(app.ExitInstance(0), 0);
  QVERIFY(!theAssetConsoleEngine && !CMainFrame::mainWindow());
}

void StartupTest::commands_viewMenuTabsAboutAndRedraw() {
  Site site(kDemoSite);
  LoadWatch watch;
  CDcOverlookApp app;
  watch.attach(app);
  int abouts = 0;
  app.showAbout = [&abouts](QWidget*) { ++abouts; };
  QVERIFY(app.InitInstance(""));
  CMainFrame& frame = *app.mainFrame;
  QCOMPARE(highlightedTab(), 0);  // Windows information until told otherwise

  frame.commandAction(32774)->trigger();
  QCOMPARE(dcUiString(theFunctionTitleForm->currentTitle), QString::fromUtf8("소프트웨어 정보"));
  QCOMPARE(highlightedTab(), 2);
  frame.commandAction(32776)->trigger();
  QCOMPARE(dcUiString(theFunctionTitleForm->currentTitle), QString::fromUtf8("프로그램 사용 내역"));
  QCOMPARE(highlightedTab(), 3);
  QCOMPARE(caption(), QString::fromUtf8("'전체 그룹'의 프로그램 사용 내역"));
  QTest::mouseClick(theFunctionTitleForm->tabButtons[1], Qt::LeftButton);
  QCOMPARE(dcUiString(theFunctionTitleForm->currentTitle), kHardware);
  QCOMPARE(highlightedTab(), 1);

  frame.commandAction(57664)->trigger();
  QCOMPARE(abouts, 1);
  // New and open leave the loaded data alone.
  QVERIFY(frame.sendCommand(57600) && frame.sendCommand(57601));
  QCOMPARE(theObjectHierarchyForm->selected, &app.engine->root);
  QCOMPARE(watch.loads, 1);
  QCOMPARE(app.document->status, dcStatus::OK);

  // Without the tree form the redraw does nothing but note the loss.
  delete theObjectHierarchyForm;
  QVERIFY(frame.sendCommand(32772));
  QCOMPARE(app.document->status, dcStatus::MISSING_OBJECT);

  dcAboutDialog_t about;
  QCOMPARE(about.windowTitle(), QString::fromUtf8("DeskTally Support 정보"));
  QCOMPARE(about.versionText->text(), QString::fromUtf8("DeskTally Support 버전 1.0"));
  QCOMPARE(about.okButton->text(), QString::fromUtf8("확인"));
}

void StartupTest::load_truncatedGroupFileIsReported() {
  testutil::TempDir drive;
  namespace fs = std::filesystem;
  const fs::path qss = drive.path() / "qss";
  fs::create_directories(qss);
  fs::copy_file(fs::path(kDemoSite) / "qss" / "qslook.xml", qss / "qslook.xml");
  const std::string groups = testutil::readFile(fs::path(kDemoSite) / "qss" / "qsgroup.dat");
  testutil::writeFile(qss / "qsgroup.dat", groups.substr(0, groups.size() / 2));
  Site site(drive.str());

  LoadWatch watch;
  CDcOverlookApp app;
  watch.attach(app);
  QVERIFY(app.InitInstance(""));
  QCOMPARE(watch.loads, 1);
  QCOMPARE(watch.messages.size(), 1);
  QVERIFY(app.mainWindowOpen());
  QCOMPARE(theObjectHierarchyForm->model()->rowCount(), 0);
  QVERIFY(!theObjectHierarchyForm->selected);
  // Loading again reports again and stays usable.
  QVERIFY(app.mainFrame->sendCommand(32771));
  QCOMPARE(watch.messages.size(), 2);
  app.mainFrame->sendCommand(32775);
  QCOMPARE(highlightedTab(), 1);
}

QTEST_MAIN(StartupTest)
#include "test_ui_startup.moc"
