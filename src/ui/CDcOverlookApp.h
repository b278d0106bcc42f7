// The application: builds the document and the main window, starts the
// engine, runs the command line and the start-up script, titles the window
// and loads the data once; at exit it takes everything down again.
//
//   QApplication qt(argc, argv);
//   CDcOverlookApp app;
//   return app.run(CDcOverlookApp::rawCommandLine(argc, argv));
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "dcCommandList.h"
#include "dcPaneHooks.h"
#include "dcQtWindowServices.h"
#include "dcStatus.h"

class CDcOverlookDoc;
class CMainFrame;
class QDockWidget;
class QWidget;
class CSettingMgr;
class CSettingMgrOverride;
class dcAssetConsoleEngine_t;
class dcChartPane_t;
struct dcDataLoadProgress_t;

class CDcOverlookApp : public dcCommandTarget_t {
 public:
  // The start-up script, read from the current folder.
  static constexpr const char* SCRIPT = "qsAssetConsole.ini";
  // The main window's title once start-up has run (string 57346).
  static constexpr const char* MAIN_TITLE = "DeskTally Support";
  // Exit code of a start-up that failed (the command line was refused).
  static constexpr int EXIT_STARTUP_FAILED = 1;

  CDcOverlookApp();
  ~CDcOverlookApp();
  CDcOverlookApp(const CDcOverlookApp&) = delete;
  CDcOverlookApp& operator=(const CDcOverlookApp&) = delete;

  // Start-up, in this order: document, main window with its three forms,
  // shown as "dcOverlook"; the engine; commandLine (CP949) interpreted as
  // one line, a non-zero result failing start-up; initialize with the main
  // window; "qsAssetConsole.ini"; the title "DeskTally Support"; the data
  // load, once and to the end. A script that closed the window ends
  // start-up there: nothing is loaded. False when start-up failed.
  bool InitInstance(const std::string& commandLine);
  // Takes down the window, the document and the engine (with the whole
  // group tree); returns result.
  int ExitInstance(int result);

  // InitInstance, the message loop while the window is open, ExitInstance.
  // With DESKTALLY_SCREENSHOT set, saves a picture of the main window to
  // that file once the loaded window has painted, and ends instead.
  int run(const std::string& commandLine);
  // The same with the joined arguments; when one of them cannot be carried
  // on a command line, says so and fails start-up without running it.
  int run(const dcJoinedCommandLine_t& joined);

  // The program's arguments after its name as one command line, CP949,
  // that the engine reads back as exactly those words (dcJoinCommandWords).
  // An argument with a character that CP949 cannot hold is refused too.
  static dcJoinedCommandLine_t rawCommandLine(int argc, char** argv);

  // The program's own options, which come first and begin with "--"; the
  // first other word, or "--", starts the engine's command line.
  struct Arguments {
    std::optional<std::string> site;  // --site DIR: drive C: for this run
    bool help = false;
    dcJoinedCommandLine_t commandLine;  // the rest, as rawCommandLine joins it
    std::optional<std::string> error;   // an unknown option or a missing value
  };
  static Arguments parseArguments(int argc, char** argv);
  static const char* usageText();

  // Opens the site in folder: refused with a message unless the folder holds
  // qss/qslook.xml; otherwise drive C: maps to it, it is kept in the
  // configuration file as drive C: and as the newest recent site, its
  // settings are read and the data load runs again. False when refused.
  bool openSite(const QString& folder);
  // The sites opened last, newest first, at most four.
  QStringList recentSites() const { return recentSites_; }

  // True while the main window exists and has not been closed.
  bool mainWindowOpen() const;

  // About, the file commands that have no effect on the data, the filter
  // bar and the chart pane.
  bool onCommand(int commandId) override;
  void OnAppAbout();

  // The status of the last start-up step that failed (the engine's refusal
  // of the command line), else 0.
  dcStatus_t status = dcStatus::OK;
  std::unique_ptr<CDcOverlookDoc> document;
  std::unique_ptr<CMainFrame> mainFrame;
  std::unique_ptr<dcAssetConsoleEngine_t> engine;
  // The chart pane, docked below the forms and hidden until asked for;
  // owned by the main window.
  QDockWidget* chartDock = nullptr;
  dcChartPane_t* chartPane = nullptr;
  // Where the document's messages go; empty: message boxes (or standard
  // error when taking a screenshot).
  std::function<void(const QString& caption, const QString& text)> messageSink;
  // Shows the about box; tests replace it to avoid a modal loop.
  std::function<void(QWidget* parent)> showAbout;
  // How the data load runs (handed to the document); empty: with the
  // document's progress dialog.
  std::function<void(const std::function<void(const dcDataLoadProgress_t*)>& load)> loadRunner;
  // Asks for a site folder (File > open site); an empty answer cancels.
  std::function<QString(QWidget* parent)> chooseSiteFolder;

 private:
  int saveScreenshot(const std::string& path);
  // The View menu's filter and chart entries after its fixed ones, the
  // chart pane, and the links from the list viewer to the status bar and
  // the charts.
  void addFindAndCharts();
  // Reads the settings file anew when drive C: no longer leads to the one
  // in use; the manager replaced is handed back to be let go after the load.
  std::unique_ptr<CSettingMgr> useSiteSettings();
  void showSiteHint();

  QStringList recentSites_;
  std::unique_ptr<CSettingMgr> siteSettings_;
  std::unique_ptr<CSettingMgrOverride> useSiteSettings_;

  dcQtWindowServices_t services_;
  std::optional<winsvc::ScopedServices> installedServices_;
};
