#include "CDcOverlookApp.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QEventLoop>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "CDcOverlookDoc.h"
#include "CMainFrame.h"
#include "cp949.h"
#include "dcAboutDialog.h"
#include "dcAssetConsoleEngine.h"
#include "dcChartPane.h"
#include "dcCommandIds.h"
#include "dcCommandList.h"
#include "dcObjectHierarchyForm.h"
#include "dcUiText.h"

// The list viewer form lives in files of its own; until they are there the
// right-hand lower pane stays an empty pane of the same place and size.
#if __has_include("dcDefaultViewerForm.h")
#include "dcDefaultViewerForm.h"
#define DC_HAVE_VIEWER_FORM 1
#endif

namespace {

constexpr const char* kProgram = "desktally";
constexpr int kScreenshotSettleMs = 100;
constexpr const char* kFilterEntry = "\xB8\xF1\xB7\xCF \xC7\xCA\xC5\xCD(&L)";  // 목록 필터(&L)
constexpr const char* kChartsEntry = "\xC2\xF7\xC6\xAE(&C)";                   // 차트(&C)
constexpr const char* kChartsTitle = "\xC2\xF7\xC6\xAE";                       // 차트
constexpr int kChartPaneHeight = 360;

dcPaneFactories_t paneFactories() {
  dcPaneFactories_t factories;
  factories.tree = [](QWidget* parent) -> QWidget* { return new dcObjectHierarchyForm_t(parent); };
#ifdef DC_HAVE_VIEWER_FORM
  factories.viewer = [](QWidget* parent) -> QWidget* { return new dcDefaultViewerForm_t(parent); };
#endif
  return factories;
}

}  // namespace

CDcOverlookApp::CDcOverlookApp() {
  showAbout = [](QWidget* parent) {
    dcAboutDialog_t about(parent);
    about.exec();
  };
}

CDcOverlookApp::~CDcOverlookApp() { ExitInstance(0); }

bool CDcOverlookApp::InitInstance(const std::string& commandLine) {
  // Qt's own dialogs speak Korean, whatever the session's locale, and menus,
  // status bar and dialogs show the lists' face.
  dcInstallQtKorean();
  QApplication::setFont(dcUiFont(DC_UI_FONT_HEIGHT, 400));
  // Scripts find the console's window and send it commands through these.
  installedServices_.emplace(&services_);

  // The document, then the main window with its three forms.
  document = std::make_unique<CDcOverlookDoc>();
  if (messageSink) document->messageSink = messageSink;
  if (loadRunner) document->loadRunner = loadRunner;
  mainFrame = std::make_unique<CMainFrame>(paneFactories());
  mainFrame->setWindowIcon(dcMainIcon());
  mainFrame->addCommandTarget(document.get());
  mainFrame->addCommandTarget(this);
  addFindAndCharts();

  // Shown under the application title, which scripts use to reach it.
  mainFrame->show();
  mainFrame->repaint();

  engine = std::make_unique<dcAssetConsoleEngine_t>();
  if (const dcStatus_t result = engine->interpret(commandLine.c_str()); result != dcStatus::OK) {
    status = result;
    return false;
  }
  // Their results do not stop start-up.
  engine->initialize(mainFrame.get());
  engine->loadIni(SCRIPT);

  // A script that ran "exit" closed the window: there is nothing to load into.
  if (!mainWindowOpen()) return true;

  mainFrame->setWindowTitle(QString::fromLatin1(MAIN_TITLE));
  mainFrame->sendCommand(dcCmd::LOAD_DATA);
  return true;
}

int CDcOverlookApp::ExitInstance(int result) {
  // The window and its forms go first, as when it closes; then the document
  // and the engine with the whole group tree.
  if (mainFrame) {
    mainFrame->removeCommandTarget(this);
    if (document) mainFrame->removeCommandTarget(document.get());
    mainFrame.reset();
  }
  document.reset();
  engine.reset();
  installedServices_.reset();
  return result;
}

void CDcOverlookApp::addFindAndCharts() {
  mainFrame->addViewEntry(dcCmd::VIEW_FILTER, dcUiString(kFilterEntry), QKeySequence::Find);
  QAction* charts = mainFrame->addViewEntry(dcCmd::VIEW_CHARTS, dcUiString(kChartsEntry));
  charts->setCheckable(true);

  chartDock = new QDockWidget(dcUiString(kChartsTitle), mainFrame.get());
  chartDock->setObjectName(QStringLiteral("chartDock"));
  chartPane = new dcChartPane_t(chartDock);
  chartDock->setWidget(chartPane);
  chartDock->hide();
  mainFrame->addDockWidget(Qt::BottomDockWidgetArea, chartDock);
  QObject::connect(chartDock->toggleViewAction(), &QAction::toggled, charts, &QAction::setChecked);
  // The main window offers no menu of its docks: the View menu has the entry.
  mainFrame->setContextMenuPolicy(Qt::PreventContextMenu);

#ifdef DC_HAVE_VIEWER_FORM
  if (auto* viewer = qobject_cast<dcDefaultViewerForm_t*>(mainFrame->viewerPane)) {
    QObject::connect(viewer, &dcDefaultViewerForm_t::rowCountChanged, mainFrame.get(),
                     &CMainFrame::setRowCountText);
    QObject::connect(viewer, &dcDefaultViewerForm_t::refreshed, chartPane, &dcChartPane_t::refresh);
  }
#endif
}

bool CDcOverlookApp::mainWindowOpen() const { return mainFrame && mainFrame->isVisible(); }

int CDcOverlookApp::run(const std::string& commandLine) {
  const char* screenshot = std::getenv("DESKTALLY_SCREENSHOT");
  const bool takeScreenshot = screenshot && *screenshot;
  // An unattended run must not wait for anybody to close a message box.
  if (takeScreenshot && !messageSink) messageSink = dcStandardErrorSink();

  if (!InitInstance(commandLine)) {
    std::fprintf(stderr, "%s: the command line '%s' was refused (status %u)\n", kProgram,
                 mb::toUtf8(commandLine).c_str(), static_cast<unsigned>(status));
    return ExitInstance(EXIT_STARTUP_FAILED);
  }
  if (!mainWindowOpen()) return ExitInstance(0);
  const int result = takeScreenshot ? saveScreenshot(screenshot) : QApplication::exec();
  return ExitInstance(result);
}

int CDcOverlookApp::saveScreenshot(const std::string& path) {
  // Let the loaded window lay itself out and paint once.
  QEventLoop settle;
  QTimer::singleShot(kScreenshotSettleMs, &settle, &QEventLoop::quit);
  settle.exec();
  const QPixmap picture = mainFrame->grab();
  const bool saved = picture.save(QString::fromLocal8Bit(path.c_str()), "PNG");
  mainFrame->close();
  if (!saved) {
    std::fprintf(stderr, "%s: cannot write the screenshot %s\n", kProgram, path.c_str());
    return EXIT_STARTUP_FAILED;
  }
  std::printf("%s: screenshot of the main window saved to %s\n", kProgram, path.c_str());
  return 0;
}

int CDcOverlookApp::run(const dcJoinedCommandLine_t& joined) {
  if (!joined) {
    std::fprintf(stderr, "%s: %s\n", kProgram, joined.error.c_str());
    return EXIT_STARTUP_FAILED;
  }
  return run(joined.line);
}

dcJoinedCommandLine_t CDcOverlookApp::rawCommandLine(int argc, char** argv) {
  std::vector<std::string> words;
  for (int i = 1; i < argc; ++i)
    if (argv[i]) words.emplace_back(argv[i]);
  return dcJoinTerminalWords(words);
}

bool CDcOverlookApp::onCommand(int commandId) {
  switch (commandId) {
    case dcCmd::APP_ABOUT:
      OnAppAbout();
      return true;
    case dcCmd::FILE_NEW:
    case dcCmd::FILE_OPEN:
    case dcCmd::FILE_PRINT_SETUP:
      // Nothing is kept in a file: these neither save nor reload the data.
      return true;
    case dcCmd::VIEW_FILTER:
#ifdef DC_HAVE_VIEWER_FORM
      if (auto* viewer = qobject_cast<dcDefaultViewerForm_t*>(mainFrame ? mainFrame->viewerPane : nullptr))
        viewer->openFilterBar();
#endif
      return true;
    case dcCmd::VIEW_CHARTS:
      if (chartDock) {
        const bool show = !chartDock->isVisible();
        chartDock->setVisible(show);
        if (show) mainFrame->resizeDocks({chartDock}, {kChartPaneHeight}, Qt::Vertical);
      }
      return true;
    default:
      return false;
  }
}

void CDcOverlookApp::OnAppAbout() {
  if (showAbout) showAbout(mainFrame.get());
}
