// Start-up on the demo site: the order (window shown, command line, script,
// title, one data load), the selected root, scripts and command lines that
// switch the view or close the window, a truncated group file, Qt's own
// dialogs in Korean.
#include <QAction>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>
#include <cstdio>
#include <fstream>

#include "CDcOverlookDoc.h"
#include "CMainFrame.h"
#include "dcAssetConsoleEngine.h"
#include "dcDefaultViewerForm.h"
#include "dcFunctionTitleForm.h"
#include "dcObjectHierarchyForm.h"
#include "dcStripedListCtrl.h"
#include "dcUiText.h"
#include "uiSupport.h"

namespace {

using uitest::DEMO_SITE;
using uitest::Site;
const std::string kShowHardware = "send window message 273 32775 0 to NULL dcOverlook";

// "qsAssetConsole.ini" in the working folder for the test's lifetime.
struct Script {
  explicit Script(const std::string& text) {
    std::ofstream(CDcOverlookApp::SCRIPT, std::ios::binary) << text;
  }
  ~Script() { std::remove(CDcOverlookApp::SCRIPT); }
};

// Loads also record the console's state as they start.
struct WatchedApp : uitest::App {
  QString titleAtLoad, viewAtLoad;
  void onLoad() override {
    titleAtLoad = mainFrame->isVisible() && theAssetConsoleEngine ? mainFrame->windowTitle() : QString();
    viewAtLoad = dcUiString(theFunctionTitleForm->currentTitle);
  }
};

QString caption() {
  theFunctionTitleForm->grab();
  return dcUiString(theFunctionTitleForm->caption);
}

}  // namespace

class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void startup_orderScriptAndSelectedRoot();
  void startup_commandLineAndExitScript();
  void load_truncatedGroupFileIsReported();
  void dialogs_speakKoreanWhateverTheLocale();
  void look_menusStatusBarAndDialogsInTheListFace();
};

void StartupTest::startup_orderScriptAndSelectedRoot() {
  Site site;
  Script script("ignore hardware X in hardware list\r\n" + kShowHardware + "\r\n");
  WatchedApp app;
  QVERIFY(app.InitInstance(""));

  // One load, after the window was shown and titled and the script ran.
  QCOMPARE(app.loads, 1);
  QCOMPARE(app.titleAtLoad, QStringLiteral("DeskTally Support"));
  QCOMPARE(app.viewAtLoad, QString::fromUtf8("하드웨어 정보"));
  QVERIFY(app.messages.isEmpty());

  dcObjectHierarchyForm_t* form = theObjectHierarchyForm;
  const QModelIndex top = form->model()->index(0, 0);
  QCOMPARE(form->selected, &app.engine->root);
  QVERIFY(form->tree->currentIndex() == top && form->tree->isExpanded(top));
  QCOMPARE(caption(), QString::fromUtf8("'전체 그룹'의 하드웨어 정보"));

  QCOMPARE(app.ExitInstance(0), 0);
  QVERIFY(!theAssetConsoleEngine && !theObjectHierarchyForm && !CMainFrame::mainWindow());
}

void StartupTest::startup_commandLineAndExitScript() {
  Site site;
  {
    WatchedApp app;  // the script's words on the command line
    QVERIFY(app.InitInstance(kShowHardware));
    QCOMPARE(app.loads, 1);
    QCOMPARE(app.viewAtLoad, QString::fromUtf8("하드웨어 정보"));
  }
  {
    WatchedApp app;  // words that fit no command end start-up before the load
    QVERIFY(!app.InitInstance("no such command"));
    QCOMPARE(app.loads, 0);
    QCOMPARE(app.ExitInstance(CDcOverlookApp::EXIT_STARTUP_FAILED), CDcOverlookApp::EXIT_STARTUP_FAILED);
    QVERIFY(!theAssetConsoleEngine);
  }
  {
    Script script("exit\r\n");  // closes the window: no title, no load
    WatchedApp app;
    QVERIFY(app.InitInstance(""));
    QVERIFY(!app.mainWindowOpen());
    QCOMPARE(app.loads, 0);
    QCOMPARE(app.mainFrame->windowTitle(), QStringLiteral("dcOverlook"));
  }
  QVERIFY(!theAssetConsoleEngine && !CMainFrame::mainWindow());
}

void StartupTest::load_truncatedGroupFileIsReported() {
  testutil::TempDir drive;
  const std::filesystem::path demo = std::filesystem::path(DEMO_SITE) / "qss";
  testutil::writeFile(drive.path() / "qss" / "qslook.xml", testutil::readFile(demo / "qslook.xml"));
  const std::string groups = testutil::readFile(demo / "qsgroup.dat");
  testutil::writeFile(drive.path() / "qss" / "qsgroup.dat", groups.substr(0, groups.size() / 2));
  Site site(drive.str());

  WatchedApp app;
  QVERIFY(app.InitInstance("") && app.mainWindowOpen());
  QCOMPARE(app.loads, 1);
  QCOMPARE(app.messages.size(), 1);
  // The items would point to destroyed objects: the tree stays empty.
  QCOMPARE(theObjectHierarchyForm->model()->rowCount(), 0);
  QVERIFY(!theObjectHierarchyForm->selected);
  // Loading again reports again and the console stays usable.
  QVERIFY(app.mainFrame->sendCommand(32771));
  QCOMPARE(app.messages.size(), 2);
  app.mainFrame->sendCommand(32775);
  theFunctionTitleForm->grab();
  QCOMPARE(theFunctionTitleForm->viewIndex, 1);
}

void StartupTest::dialogs_speakKoreanWhateverTheLocale() {
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  const auto restoreLocale = qScopeGuard([] { QLocale::setDefault(QLocale::system()); });
  Site site;
  testutil::TempDir dir;
  const std::filesystem::path existing = dir.path() / "list.xls";
  testutil::writeFile(existing, "kept");
  WatchedApp app;
  QVERIFY(app.InitInstance(""));

  // Export onto an existing file through the real dialogs, answering No.
  const QString existingPath = QString::fromStdString(existing.string());
  QString saveTitle, lookIn, chosen;
  QStringList buttons;
  QTimer operatorHand;
  connect(&operatorHand, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
      saveTitle = dialog->windowTitle();
      lookIn = dialog->findChild<QLabel*>(QStringLiteral("lookInLabel"))->text();
      dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(existingPath);
      chosen = dialog->selectedFiles().value(0);
      static_cast<QDialog*>(dialog)->accept();
    } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      for (QAbstractButton* b : box->buttons()) buttons << b->text();
      box->button(QMessageBox::No)->click();
    }
  });
  operatorHand.start(20);
  const dcStatus_t result = theDefaultViewerForm->exportList();
  QCOMPARE(chosen, existingPath);
  QCOMPARE(result, 601u);
  QCOMPARE(testutil::readFile(existing), std::string("kept"));
  QCOMPARE(saveTitle, QString::fromUtf8("다른 이름으로 저장"));
  QCOMPARE(lookIn, QString::fromUtf8("다음에서 찾기:"));
  buttons.sort();
  QCOMPARE(buttons, (QStringList{QString::fromUtf8("아니요(&N)"), QString::fromUtf8("예(&Y)")}));

  // The period pickers' calendar names the month in Korean.
  QCalendarWidget* calendar = theDefaultViewerForm->startPicker->calendarWidget();
  QVERIFY(calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"))
              ->text()
              .endsWith(QString::fromUtf8("월")));
}

void StartupTest::look_menusStatusBarAndDialogsInTheListFace() {
  Site site;
  WatchedApp app;
  QVERIFY(app.InitInstance(""));
  const QFontInfo list(theDefaultViewerForm->listControl()->font());
  auto inListFace = [&list](const QWidget& w) {
    const QFontInfo face(w.font());
    return face.family() == list.family() && face.pixelSize() == list.pixelSize();
  };
  QMenuBar* menus = app.mainFrame->menuBar();
  QVERIFY(inListFace(*menus) && inListFace(*menus->actions().at(0)->menu()));
  QVERIFY(inListFace(*app.mainFrame->statusBarWidget->findChild<QLabel*>()));
  QVERIFY(inListFace(QMessageBox(app.mainFrame.get())) && inListFace(QFileDialog()));
}

QTEST_MAIN(StartupTest)
#include "test_ui_startup.moc"
