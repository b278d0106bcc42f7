#include "CDcOverlookDoc.h"

#include <QMessageBox>
#include <cstdio>

#include "CMainFrame.h"
#include "archive.h"
#include "dcAssetConsoleEngine.h"
#include "dcCommandIds.h"
#include "dcDataLoad.h"
#include "dcDisplayText.h"
#include "dcFunctionTitleForm.h"
#include "dcObjectHierarchyForm.h"
#include "dcUiText.h"

#if __has_include("dcProgressDialog.h")
#include "dcProgressDialog.h"
#define DC_HAVE_PROGRESS_DIALOG 1
#endif

namespace {

// 그룹 파일을 끝까지 읽지 못했습니다. (The group file could not be read to the end.)
constexpr const char* kArchiveErrorText =
    "\xB1\xD7\xB7\xEC \xC6\xC4\xC0\xCF\xC0\xBB \xB3\xA1\xB1\xEE\xC1\xF6 \xC0\xD0\xC1\xF6 "
    "\xB8\xF8\xC7\xDF\xBD\xC0\xB4\xCF\xB4\xD9.";

void messageBox(const QString& caption, const QString& text) {
  QMessageBox::warning(CMainFrame::mainWindow(), caption, text);
}

// A load that lasts shows a progress dialog over the main window, which
// keeps the window painted; the load itself runs as it would without it.
void withProgressDialog(const std::function<void(const dcDataLoadProgress_t*)>& load) {
#ifdef DC_HAVE_PROGRESS_DIALOG
  dcProgressDialog_t dialog(CMainFrame::mainWindow());
  const dcDataLoadProgress_t progress = dialog.progress();
  load(&progress);
#else
  load(nullptr);
#endif
}

}  // namespace

CDcOverlookDoc::MessageSink dcStandardErrorSink() {
  return [](const QString& caption, const QString& text) {
    std::fprintf(stderr, "%s: %s\n", caption.toUtf8().constData(), text.toUtf8().constData());
  };
}

CDcOverlookDoc::CDcOverlookDoc() : messageSink(messageBox), loadRunner(withProgressDialog) {}

CDcOverlookDoc::~CDcOverlookDoc() = default;

bool CDcOverlookDoc::onCommand(int commandId) {
  switch (commandId) {
    case dcCmd::LOAD_DATA:
      OnLoadData();
      return true;
    case dcCmd::REDRAW:
      OnRedraw();
      return true;
    case dcCmd::VIEW_WINDOWS:
    case dcCmd::VIEW_SOFTWARE:
    case dcCmd::VIEW_HARDWARE:
    case dcCmd::VIEW_USAGE:
      OnViewList(commandId);
      return true;
    default:
      return false;
  }
}

const char* CDcOverlookDoc::viewTitle(int commandId) {
  // The tab section lists the views in command order: Windows, software,
  // hardware, usage.
  if (commandId < dcCmd::VIEW_WINDOWS || commandId > dcCmd::VIEW_USAGE) return nullptr;
  return dcGetDisplayText(DST_TABS, commandId - dcCmd::REDRAW);
}

void CDcOverlookDoc::OnLoadData() {
  dcAssetConsoleEngine_t* engine = theAssetConsoleEngine;
  if (!engine) {
    status = dcStatus::MISSING_OBJECT;
    return;
  }
  // The load destroys every group and client the tree's items point to,
  // and those the list's rows not made yet would be made from.
  if (theObjectHierarchyForm) theObjectHierarchyForm->detachTree();
  if (theViewerPane) theViewerPane->makeAllRows();
  try {
    auto load = [engine](const dcDataLoadProgress_t* progress) { runDataLoad(engine, progress); };
    if (loadRunner)
      loadRunner(load);
    else
      load(nullptr);
  } catch (const dcArchiveException_t& e) {
    // The groups read so far stay; nothing was scanned or gathered, and the
    // tree stays empty.
    if (messageSink)
      messageSink(QString::fromLatin1(MESSAGE_CAPTION),
                  dcUiString(kArchiveErrorText) + QLatin1Char('\n') + dcUiString(e.what()));
    return;
  }
  if (!theObjectHierarchyForm) {
    status = dcStatus::MISSING_OBJECT;
    return;
  }
  theObjectHierarchyForm->rebuildTree();
  theObjectHierarchyForm->selectRootItem();
}

void CDcOverlookDoc::OnRedraw() {
  if (!theObjectHierarchyForm || !theFunctionTitleForm) {
    status = dcStatus::MISSING_OBJECT;
    return;
  }
  CMainFrame* frame = CMainFrame::mainWindow();
  if (!frame || !frame->viewerPane) {
    status = dcStatus::MISSING_OBJECT;
    return;
  }
  // The viewer refills its list before the title repaints.
  if (theViewerPane) theViewerPane->refresh();
  theFunctionTitleForm->update();
}

void CDcOverlookDoc::OnViewList(int commandId) {
  const char* title = viewTitle(commandId);
  if (!theFunctionTitleForm || !title) {
    status = dcStatus::MISSING_OBJECT;
    return;
  }
  theFunctionTitleForm->setCurrentTitle(title);
  OnRedraw();
}
