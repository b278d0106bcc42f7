// What the window tests share: a site's settings read for drive C:, the
// tree's selection, a save dialog that answers as it is told, and an
// application whose loads run at once and whose messages are collected.
#pragma once

#include <QStringList>
#include <string>

#include "../support/testutil.h"
#include "CDcOverlookApp.h"
#include "CSettingMgr.h"
#include "dcListExport.h"
#include "dcPaneHooks.h"

namespace uitest {

inline const std::string DEMO_SITE = std::string(DESKTALLY_SOURCE_DIR) + "/examples/demo-site";

// The site's settings, read afresh for the test's drive mapping.
struct Site {
  explicit Site(const std::string& folder = DEMO_SITE) : drive('C', folder) {}
  testutil::DriveMapping drive;
  CSettingMgr settings{CSettingMgr::DEFAULT_PATH};
  CSettingMgrOverride use{&settings};
};

// The tree pane as the other panes see it, registered while it lives.
struct Selection : dcTreePane_t {
  dcObject_t* object = nullptr;
  Selection() { dcRegisterPane<dcTreePane_t>(theTreePane, this); }
  ~Selection() { dcUnregisterPane<dcTreePane_t>(theTreePane, this); }
  dcObject_t* selectedObject() const override { return object; }
};

struct Chooser : dcExportChooser_t {
  dcSaveDialogChoice_t choice;
  bool answer = true;
  QString initialName, question;
  dcSaveDialogChoice_t chooseSaveFile(const dcSaveDialogRequest_t& request) override {
    initialName = request.initialName;
    return choice;
  }
  bool askYesNo(const QString& q) override {
    question = q;
    return answer;
  }
};

// Loads run at once and are counted; messages are collected, never shown.
struct App : CDcOverlookApp {
  int loads = 0;
  QStringList messages;
  QString nextSiteFolder;
  App() {
    loadRunner = [this](const std::function<void(const dcDataLoadProgress_t*)>& load) {
      ++loads;
      onLoad();
      load(nullptr);
    };
    messageSink = [this](const QString&, const QString& text) { messages << text; };
    chooseSiteFolder = [this](QWidget*) { return nextSiteFolder; };
  }
  virtual void onLoad() {}
};

}  // namespace uitest
