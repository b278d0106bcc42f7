// What the window tests share: a site's settings read for drive C:, the
// tree's selection, a save dialog that answers as it is told, and a list
// viewer with its neighbours.
#pragma once

#include <QtTest>
#include <QtWidgets>

#include "../support/testutil.h"
#include "CMainFrame.h"
#include "CSettingMgr.h"
#include "cp949.h"
#include "dcAssetConsoleEngine.h"
#include "dcBitmapButton.h"
#include "dcDefaultViewerForm.h"
#include "dcFunctionTitleForm.h"
#include "dcListModel.h"
#include "dcObjectHierarchyForm.h"
#include "dcStripedListCtrl.h"
#include "dcUiText.h"

namespace uitest {

inline const std::string DEMO_SITE = std::string(DESKTALLY_SOURCE_DIR) + "/examples/demo-site";

// Several values as one text, each followed by a blank: one comparison
// whose failure still shows every value.
inline QString values(std::initializer_list<QVariant> values) {
  QString text;
  for (const QVariant& value : values) text += value.toString() + ' ';
  return text;
}

// Shows the widget and waits until it is on the screen.
inline bool shown(QWidget& widget) {
  widget.show();
  return QTest::qWaitForWindowExposed(&widget);
}

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
    return initialName = request.initialName, choice;
  }
  bool askYesNo(const QString& q) override { return question = q, answer; }
};

// A viewer form beside the tree's selection and a title pane, with a folder
// of its own to export into.
struct Viewer {
  Selection selection;
  dcFunctionTitleForm_t title;
  Chooser chooser;
  testutil::TempDir out;
  dcDefaultViewerForm_t form;

  Viewer() {
    form.setExportChooser(&chooser);
    form.resize(800, 400);
    form.setPeriod({{2024, 3, 1}, {2024, 3, 31}});
  }
  // The view of the object, as the title pane and the tree would ask for it.
  dcStatus_t show(dcObject_t* object, int view) {
    selection.object = object;
    title.setCurrentTitle(dcFunctionTitleForm_t::tabText(view));
    return form.refresh();
  }
  dcListModel_t& model() { return *form.listControl()->listModel(); }
  // A column's cells as shown, each followed by '|'.
  QString column(int c) {
    QString cells;
    for (int r = 0; r < model().rowCount(); ++r)
      cells += QString::fromStdString(mb::toUtf8(model().cellText(r, c))) + '|';
    return cells;
  }
};

}  // namespace uitest
