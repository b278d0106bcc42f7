// Sites in the window: the first start without one says how to open one;
// File > open site refuses a folder without settings and loads a site from
// scratch; the recent list keeps the last four, survives a restart, and
// its entries open their site; the configuration file as the core reads it.
#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QtTest>

#include "CDcOverlookApp.h"
#include "CMainFrame.h"
#include "dcAssetConsoleEngine.h"
#include "dcCommandIds.h"
#include "dcObjectHierarchyForm.h"
#include "dcQsGroup.h"
#include "inifile.h"
#include "uiSupport.h"
#include "winfs.h"

namespace {

const QString kDemoSite = QDir::cleanPath(QStringLiteral(DESKTALLY_SOURCE_DIR "/examples/demo-site"));

struct SiteApp : uitest::App {
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

class SiteTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void cleanup();
  void site_firstStartHintThenOpenFromMenu();
  void site_recentListKeepsFour();

 private:
  QTemporaryDir home_;
};

void SiteTest::initTestCase() {
  // Nothing of the user's: no drive in the environment, a home and a
  // configuration of the test's own.
  QVERIFY(home_.isValid());
  qunsetenv("DESKTALLY_DRIVE_C");
  qputenv("HOME", home_.path().toUtf8());
  qputenv("XDG_CONFIG_HOME", (home_.path() + QStringLiteral("/config")).toUtf8());
}

void SiteTest::cleanup() {
  winfs::setDriveFolder('C', "");
  QFile::remove(QString::fromStdString(winfs::configurationFile()));
}

void SiteTest::site_firstStartHintThenOpenFromMenu() {
  SiteApp app;
  QVERIFY(app.InitInstance(""));
  QCOMPARE(app.loads, 1);
  QVERIFY(app.mainFrame->siteHint().contains(QStringLiteral("qss/qslook.xml")));
  QCOMPARE(topGroups(), 0);

  // The fixed File entries keep their places; the site entries follow.
  const QList<QAction*> file = app.mainFrame->menuBar()->actions().first()->menu()->actions();
  QCOMPARE(file[0]->data().toInt(), dcCmd::EXPORT_LIST);
  QVERIFY(file[1]->isSeparator());
  QCOMPARE(file[2]->data().toInt(), dcCmd::APP_EXIT);
  QCOMPARE(file[4]->data().toInt(), dcCmd::OPEN_SITE);

  // A folder without qss/qslook.xml is refused with a message; nothing moves.
  const QString empty = home_.path();
  app.nextSiteFolder = empty;
  app.choose(dcCmd::OPEN_SITE);
  QCOMPARE(app.messages.size(), 1);
  QVERIFY(app.messages[0].contains(empty) && app.messages[0].contains(QStringLiteral("qss/qslook.xml")));
  QVERIFY(app.loads == 1 && app.recentSites().isEmpty() && !configuredDriveC());

  // The demo site: read, loaded from scratch, remembered, hint gone.
  app.nextSiteFolder = kDemoSite;
  app.choose(dcCmd::OPEN_SITE);
  QCOMPARE(app.loads, 2);
  QVERIFY(app.mainFrame->siteHint().isEmpty() && topGroups() > 0);
  QCOMPARE(QString::fromStdString(theSettingMgr->hostPath()), kDemoSite + QStringLiteral("/qss/qslook.xml"));
  QCOMPARE(configuredDriveC(), kDemoSite.toStdString());
  QCOMPARE(app.recentSites(), QStringList{kDemoSite});
}

void SiteTest::site_recentListKeepsFour() {
  // Names the configuration file must quote or escape, each a copy of the
  // demo site's settings.
  const QStringList names{QStringLiteral("plain"), QStringLiteral("a, b; c"), QStringLiteral("q\"uo\\te"),
                          QString::fromUtf8("한글 사이트"), QStringLiteral("  & blanks ")};
  QStringList sites;
  for (const QString& name : names) {
    const QString site = home_.path() + QStringLiteral("/") + name;
    testutil::writeFile((site + QStringLiteral("/qss/qslook.xml")).toStdString(),
                        testutil::readFile((kDemoSite + QStringLiteral("/qss/qslook.xml")).toStdString()));
    sites << site;
  }
  {
    SiteApp app;
    QVERIFY(app.InitInstance(""));
    for (const QString& site : sites) {
      QVERIFY(app.openSite(site));
      QCOMPARE(configuredDriveC(), site.toStdString());
    }
    QCOMPARE(app.recentSites(), (QStringList{sites[4], sites[3], sites[2], sites[1]}));
    // Opening a listed site moves it to the front, once.
    QVERIFY(app.openSite(sites[2]));
    QCOMPARE(app.recentSites(), (QStringList{sites[2], sites[4], sites[3], sites[1]}));
  }
  // A new start reads the list back; its third entry opens that site.
  SiteApp app;
  QVERIFY(app.InitInstance(""));
  QCOMPARE(app.recentSites(), (QStringList{sites[2], sites[4], sites[3], sites[1]}));
  const QAction* third = app.mainFrame->commandAction(dcCmd::RECENT_SITE_FIRST + 2);
  QVERIFY(third->isVisible() && third->text().endsWith(names[3]));
  QVERIFY(app.mainFrame->commandAction(dcCmd::RECENT_SITE_FIRST + 1)
              ->text()
              .endsWith(QStringLiteral("&& blanks ")));
  const int loads = app.loads;
  app.choose(dcCmd::RECENT_SITE_FIRST + 2);
  QCOMPARE(app.loads, loads + 1);
  QCOMPARE(winfs::driveFolder('C'), sites[3].toStdString());
  QCOMPARE(app.recentSites().first(), sites[3]);
}

QTEST_MAIN(SiteTest)
#include "test_ui_site.moc"
