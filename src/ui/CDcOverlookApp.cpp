#include "CDcOverlookApp.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QEventLoop>
#include <QFileDialog>
#include <QPixmap>
#include <QSettings>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "CDcOverlookDoc.h"
#include "CMainFrame.h"
#include "CSettingMgr.h"
#include "cp949.h"
#include "dcAboutDialog.h"
#include "dcAssetConsoleEngine.h"
#include "dcChartPane.h"
#include "dcCommandIds.h"
#include "dcCommandList.h"
#include "dcObjectHierarchyForm.h"
#include "dcUiText.h"
#include "winfs.h"

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

// The configuration file's keys beside the drives the core reads.
constexpr const char* kDriveCKey = "drives/C";
constexpr const char* kRecentSitesKey = "sites/recent";
constexpr const char* kOpenSiteCaption = "사이트 열기";
constexpr const char* kNotASiteText =
    "'%1' 폴더는 사이트 폴더가 아닙니다.\n사이트 폴더에는 설정 파일 qss/qslook.xml이 있어야 합니다.";
constexpr const char* kNoSiteHint =
    "열려 있는 사이트가 없습니다.\n\n파일 메뉴의 \"사이트 열기...\"에서 qss/qslook.xml이 있는 사이트 폴더를 "
    "고르십시오.";

// The file the core reads its drive folders from, written in the toolkit's
// INI layout.
QString configurationPath() { return QString::fromStdString(winfs::configurationFile()); }

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
  chooseSiteFolder = [](QWidget* parent) {
    return QFileDialog::getExistingDirectory(parent, QString::fromUtf8(kOpenSiteCaption), QDir::homePath());
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
  useSiteSettings();
  recentSites_ = QSettings(configurationPath(), QSettings::IniFormat)
                     .value(QString::fromLatin1(kRecentSitesKey))
                     .toStringList();
  while (recentSites_.size() > dcCmd::RECENT_SITE_COUNT) recentSites_.removeLast();

  // The document, then the main window with its three forms.
  document = std::make_unique<CDcOverlookDoc>();
  if (messageSink) document->messageSink = messageSink;
  if (loadRunner) document->loadRunner = loadRunner;
  mainFrame = std::make_unique<CMainFrame>(paneFactories());
  mainFrame->setWindowIcon(dcMainIcon());
  mainFrame->addCommandTarget(document.get());
  mainFrame->addCommandTarget(this);
  addFindAndCharts();
  mainFrame->setRecentSites(recentSites_);

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
  showSiteHint();
  return true;
}

std::unique_ptr<CSettingMgr> CDcOverlookApp::useSiteSettings() {
  if (theSettingMgr && theSettingMgr->hostPath() == winfs::hostPath(CSettingMgr::DEFAULT_PATH))
    return nullptr;
  std::unique_ptr<CSettingMgr> previous = std::move(siteSettings_);
  useSiteSettings_.reset();
  siteSettings_ = std::make_unique<CSettingMgr>(CSettingMgr::DEFAULT_PATH);
  useSiteSettings_ = std::make_unique<CSettingMgrOverride>(siteSettings_.get());
  return previous;
}

void CDcOverlookApp::showSiteHint() {
  // Without a site the tree would stand empty: say how to open one instead.
  const bool haveSite = CSettingMgr::isSiteFolder(winfs::driveFolder('C'));
  mainFrame->setSiteHint(haveSite ? QString() : QString::fromUtf8(kNoSiteHint));
}

bool CDcOverlookApp::openSite(const QString& folder) {
  const std::string host = QDir::cleanPath(QDir(folder).absolutePath()).toStdString();
  if (folder.isEmpty() || !CSettingMgr::isSiteFolder(host)) {
    if (document && document->messageSink)
      document->messageSink(QString::fromUtf8(kOpenSiteCaption),
                            QString::fromUtf8(kNotASiteText).arg(folder));
    return false;
  }
  const QString site = QString::fromStdString(host);
  winfs::setDriveFolder('C', host);
  recentSites_.removeAll(site);
  recentSites_.prepend(site);
  while (recentSites_.size() > dcCmd::RECENT_SITE_COUNT) recentSites_.removeLast();
  {
    QSettings config(configurationPath(), QSettings::IniFormat);
    config.setValue(QString::fromLatin1(kDriveCKey), site);
    config.setValue(QString::fromLatin1(kRecentSitesKey), recentSites_);
  }
  if (!mainFrame) return true;
  mainFrame->setRecentSites(recentSites_);
  // The site's own settings, then everything loaded again from scratch; the
  // old settings go only once nothing built from them is left.
  const std::unique_ptr<CSettingMgr> previous = useSiteSettings();
  mainFrame->sendCommand(dcCmd::LOAD_DATA);
  showSiteHint();
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
  useSiteSettings_.reset();
  siteSettings_.reset();
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

CDcOverlookApp::Arguments CDcOverlookApp::parseArguments(int argc, char** argv) {
  Arguments arguments;
  int i = 1;
  for (; i < argc && argv[i]; ++i) {
    std::string arg = argv[i];
    if (arg == "--") {
      ++i;
      break;
    }
    if (arg.rfind("--", 0) != 0) break;
    if (arg == "--help") {
      arguments.help = true;
    } else if (arg == "--site" || arg.rfind("--site=", 0) == 0) {
      std::string folder;
      if (arg == "--site") {
        if (i + 1 >= argc || !argv[i + 1]) {
          arguments.error = "option --site needs a folder";
          break;
        }
        folder = argv[++i];
      } else {
        folder = arg.substr(std::strlen("--site="));
      }
      if (folder.empty()) {
        arguments.error = "option --site needs a folder";
        break;
      }
      arguments.site = folder;
    } else {
      arguments.error = "unknown option " + arg;
      break;
    }
  }
  // The rest is the engine's, joined as the whole command line would be.
  std::vector<char*> rest{argv[0]};
  for (; i < argc; ++i) rest.push_back(argv[i]);
  arguments.commandLine = rawCommandLine(static_cast<int>(rest.size()), rest.data());
  return arguments;
}

const char* CDcOverlookApp::usageText() {
  return "usage: desktally [--site DIR] [command words...]\n"
         "\n"
         "Opens the console window. The command words go to the console's command\n"
         "engine as one command line; qsAssetConsole.ini in the current folder runs\n"
         "next, then the site loads.\n"
         "\n"
         "  --site DIR   use DIR, a folder that holds qss/qslook.xml, as drive C: for\n"
         "               this run\n"
         "  --help       this text\n"
         "\n"
         "Without --site, drive C: is the folder DESKTALLY_DRIVE_C names, else the site\n"
         "last opened from the File menu (key C of [drives] in\n"
         "~/.config/DeskTally/desktally.conf).\n";
}

bool CDcOverlookApp::onCommand(int commandId) {
  switch (commandId) {
    case dcCmd::APP_ABOUT:
      OnAppAbout();
      return true;
    case dcCmd::OPEN_SITE:
      if (chooseSiteFolder) {
        const QString folder = chooseSiteFolder(mainFrame.get());
        if (!folder.isEmpty()) openSite(folder);
      }
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
      if (commandId >= dcCmd::RECENT_SITE_FIRST &&
          commandId < dcCmd::RECENT_SITE_FIRST + dcCmd::RECENT_SITE_COUNT) {
        const int index = commandId - dcCmd::RECENT_SITE_FIRST;
        if (index < recentSites_.size()) openSite(recentSites_[index]);
        return true;
      }
      return false;
  }
}

void CDcOverlookApp::OnAppAbout() {
  if (showAbout) showAbout(mainFrame.get());
}
