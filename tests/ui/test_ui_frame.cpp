// The main frame: the locked bar under the title pane, the draggable bar
// beside the tree, the routing of commands and window messages, the
// keyboard; the title pane's tabs, banners and caption.
#include <QAction>
#include <QLabel>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTreeView>
#include <QtTest>
#include <cstring>

#include "CColorSplitterWnd.h"
#include "CMainFrame.h"
#include "dcBitmapButton.h"
#include "dcDefaultViewerForm.h"
#include "dcFunctionTitleForm.h"
#include "dcLockKeys.h"
#include "dcObjectHierarchyForm.h"
#include "dcQtWindowServices.h"
#include "dcStripedListCtrl.h"
#include "dcUiText.h"
#include "uiSupport.h"

namespace {

// Drags a splitter bar by delta with the left button held.
void drag(QWidget* bar, QPoint delta) {
  const QPoint from(bar->width() / 2, bar->height() / 2);
  const QPoint origin = bar->mapToGlobal(QPoint(0, 0));  // fixed before the bar moves
  auto send = [bar, origin](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(at), QPointF(origin + at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(bar, &e);
  };
  send(QEvent::MouseButtonPress, from, Qt::LeftButton);
  send(QEvent::MouseMove, from + delta, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, from + delta, Qt::NoButton);
}

struct FakeViewer : dcViewerPane_t {
  int exports = 0;
  dcStatus_t refresh() override { return 0; }
  dcStatus_t exportList() override { return ++exports, 0; }
};

// What the document does with a view command: records it, and for the four
// views makes the view's tab text the current title.
struct FakeDocument : dcCommandTarget_t {
  QList<int> seen;
  bool onCommand(int id) override {
    const int views[] = {32773, 32775, 32774, 32776};
    for (int v = 0; v < 4; ++v)
      if (views[v] == id) {
        theFunctionTitleForm->setCurrentTitle(dcFunctionTitleForm_t::tabText(v));
        theFunctionTitleForm->update();
      }
    return id >= 32772 && id <= 32776 ? (seen << id, true) : false;
  }
};

struct PaintCounter : QObject {
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    paints += e->type() == QEvent::Paint;
    return false;
  }
};

// The one highlighted tab (-1: none, -2: several).
int activeTab(const dcFunctionTitleForm_t& form) {
  int active = -1;
  for (int v = 0; v < 4; ++v)
    if (!form.tabButtons[v]->inactive) active = active == -1 ? v : -2;
  return active;
}

}  // namespace

class FrameTest : public QObject {
  Q_OBJECT

 private slots:
  void splitters_lockedInnerBarOuterBarMoves();
  void menusAndRouting();
  void keys_panesStandardKeysAndLocks();
  void windowServices_reachTheFrame();
  void titlePane_tabsSendViewCommands();
  void titlePane_captionAndByteExactTitles();
};

void FrameTest::splitters_lockedInnerBarOuterBarMoves() {
  CMainFrame frame;
  frame.show();
  QVERIFY(QTest::qWaitForWindowExposed(&frame));
  QSplitterHandle* inner = frame.innerSplitter->handle(1);
  QCOMPARE(inner->cursor().shape(), Qt::ArrowCursor);
  drag(inner, QPoint(0, 60));
  QCOMPARE(frame.innerSplitter->sizes().at(0), 100);
  drag(frame.outerSplitter->handle(1), QPoint(50, 0));
  QCOMPARE(frame.outerSplitter->sizes().at(0), 250);

  // Growing the window keeps the tree width and the title height.
  frame.resize(frame.width() + 200, frame.height() + 100);
  QTRY_COMPARE(frame.innerSplitter->sizes().at(0), 100);
  QCOMPARE(frame.outerSplitter->sizes().at(0), 250);

  // Unlocked, the inner bar drags too.
  frame.innerSplitter->setLocked(false);
  drag(inner, QPoint(0, 30));
  QCOMPARE(frame.innerSplitter->sizes().at(0), 130);

  // The flat bar between rows: dark blue, 2 pixels short at either end.
  const QColor darkBlue(8, 29, 88);
  const QImage bar = inner->grab().toImage();
  const int mid = bar.height() / 2;
  QCOMPARE(bar.pixelColor(2, mid), darkBlue);
  QCOMPARE(bar.pixelColor(bar.width() - 3, mid), darkBlue);
  QVERIFY(bar.pixelColor(1, mid) != darkBlue && bar.pixelColor(bar.width() - 2, mid) != darkBlue);
}

void FrameTest::menusAndRouting() {
  CMainFrame frame;
  QCOMPARE(CMainFrame::mainWindow(), &frame);
  // Export without a list viewer only records 201; with one it runs there.
  QSignalSpy sent(&frame, &CMainFrame::commandSent);
  QVERIFY(frame.sendCommand(32780));
  QCOMPARE(frame.status, 201u);
  FakeViewer viewer;
  dcRegisterPane<dcViewerPane_t>(theViewerPane, &viewer);
  frame.status = 0;
  frame.commandAction(32780)->trigger();
  QCOMPARE(viewer.exports, 1);
  QCOMPARE(frame.status, 0u);
  dcUnregisterPane<dcViewerPane_t>(theViewerPane, &viewer);

  // Other ids go to the registered targets; unknown ones are not handled.
  FakeDocument doc;
  QVERIFY(!frame.sendCommand(32775));
  frame.addCommandTarget(&doc);
  QVERIFY(CMainFrame::sendToMainWindow(32775));
  frame.commandAction(32772)->trigger();
  QVERIFY(!frame.sendCommand(57601));
  QCOMPARE(doc.seen, (QList<int>{32775, 32772}));
  QCOMPARE(sent.count(), 6);
  frame.removeCommandTarget(&doc);
}

void FrameTest::keys_panesStandardKeysAndLocks() {
  CMainFrame frame({[](QWidget* parent) -> QWidget* { return new dcObjectHierarchyForm_t(parent); },
                    [](QWidget* parent) -> QWidget* { return new dcDefaultViewerForm_t(parent); }});
  frame.show();
  QApplication::setActiveWindow(&frame);
  QVERIFY(QTest::qWaitForWindowActive(&frame));
  QWidget* tree = theObjectHierarchyForm->tree;
  QWidget* list = theDefaultViewerForm->listControl();
  QSignalSpy sent(&frame, &CMainFrame::commandSent);

  // F6 and Shift+F6 go round the tree and the list, from wherever the focus is.
  auto press = [](QKeySequence keys) {
    QTest::keySequence(QApplication::focusWidget(), keys);
    return QApplication::focusWidget();
  };
  tree->setFocus();
  QCOMPARE(press(Qt::Key_F6), list);
  QCOMPARE(press(Qt::Key_F6), tree);
  QCOMPARE(press(Qt::SHIFT | Qt::Key_F6), list);
  QCOMPARE(press(Qt::SHIFT | Qt::Key_F6), tree);
  frame.titleForm()->setFocus();  // outside both: F6 starts at the tree, Shift+F6 at the list
  QCOMPARE(press(Qt::Key_F6), tree);
  frame.titleForm()->setFocus();
  QCOMPARE(press(Qt::SHIFT | Qt::Key_F6), list);
  QCOMPARE(sent.count(), 6);

  // The other standard keys send their commands and nothing else happens.
  sent.clear();
  tree->setFocus();
  for (QKeySequence keys :
       {QKeySequence(Qt::CTRL | Qt::Key_N), QKeySequence(Qt::CTRL | Qt::Key_O),
        QKeySequence(Qt::CTRL | Qt::Key_S), QKeySequence(Qt::CTRL | Qt::Key_P),
        QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_X),
        QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_V),
        QKeySequence(Qt::ALT | Qt::Key_Backspace), QKeySequence(Qt::SHIFT | Qt::Key_Delete),
        QKeySequence(Qt::CTRL | Qt::Key_Insert), QKeySequence(Qt::SHIFT | Qt::Key_Insert)})
    QCOMPARE(press(keys), tree);
  QList<int> ids;
  for (const QList<QVariant>& s : sent) ids << s.at(0).toInt();
  QCOMPARE(ids,
           (QList<int>{57600, 57601, 57603, 57607, 57643, 57635, 57634, 57637, 57643, 57635, 57634, 57637}));
  QVERIFY(!QApplication::activeModalWidget());
  // The list keeps its own copy keys.
  sent.clear();
  list->setFocus();
  press(QKeySequence(Qt::CTRL | Qt::Key_C));
  press(QKeySequence(Qt::CTRL | Qt::Key_Insert));
  QVERIFY(sent.isEmpty());

  // Lock keys: blank where the platform cannot tell (here, offscreen).
  QVERIFY(!dcReadLockKeys());
  frame.setIndicator(CMainFrame::ID_INDICATOR_NUM, true);
  frame.updateKeyIndicators();
  for (const char* name : {"CAP", "NUM", "SCRL"})
    QVERIFY(frame.statusBarWidget->findChild<QLabel*>(QLatin1String(name))->text().isEmpty());
}

void FrameTest::windowServices_reachTheFrame() {
  dcQtWindowServices_t services;
  winsvc::ScopedServices installed(&services);
  winsvc::WindowServices& ws = winsvc::current();
  CMainFrame frame;
  frame.show();
  QSignalSpy sent(&frame, &CMainFrame::commandSent);
  QCOMPARE(ws.findWindow("CMainFrame", "dcOverlook"), &frame);
  QVERIFY(!ws.findWindow("dcOther_t", "dcOverlook"));
  const char* korean = "\xC0\xFC\xC3\xBC";  // 전체: titles compare as CP949 bytes
  frame.setWindowTitle(dcUiString(korean));
  QCOMPARE(ws.findWindow(nullptr, korean), &frame);

  // "send window message 273 32775 0" runs the hardware view command.
  ws.sendMessage(&frame, winsvc::MESSAGE_COMMAND, 32775, 0);
  QCOMPARE(sent.takeFirst().at(0).toInt(), 32775);
  QVERIFY(ws.setTimer(&frame, 7, 1000) && ws.killTimer(&frame, 7) && !ws.killTimer(&frame, 7));
  ws.sendMessage(&frame, winsvc::MESSAGE_CLOSE, 0, 0);
  QVERIFY(!frame.isVisible());
  QCOMPARE(ws.sendMessage(reinterpret_cast<void*>(0x10), winsvc::MESSAGE_CLOSE, 0, 0), 0);
}

void FrameTest::titlePane_tabsSendViewCommands() {
  CMainFrame frame;
  FakeDocument doc;
  frame.addCommandTarget(&doc);
  frame.show();
  QVERIFY(QTest::qWaitForWindowExposed(&frame));
  dcFunctionTitleForm_t& form = *frame.titleForm();
  form.grab();
  QCOMPARE(activeTab(form), 0);

  // Once painted, the pane stays quiet: painting must not invalidate it again.
  QTest::qWait(50);
  PaintCounter counter;
  form.installEventFilter(&counter);
  QTest::qWait(150);
  QCOMPARE(counter.paints, 0);
  form.removeEventFilter(&counter);

  QSignalSpy sent(&frame, &CMainFrame::commandSent);
  const int expected[] = {32773, 32775, 32774, 32776};
  for (int v : {1, 2, 3, 0, 0}) {
    QTest::mouseClick(form.tabButtons[v], Qt::LeftButton);
    QCOMPARE(sent.takeLast().at(0).toInt(), expected[v]);
    const QImage shot = form.grab().toImage();
    QCOMPARE(activeTab(form), v);
    // The view's own banner is on screen.
    QCOMPARE(shot.pixelColor(50, 35), form.banners[v]->bitmap.toImage().pixelColor(50, 35));
  }
}

void FrameTest::titlePane_captionAndByteExactTitles() {
  dcFunctionTitleForm_t form;
  form.resize(700, 100);
  // With a selection: "'<name>'의 <title>".
  dcObject_t client("PC-07", "dcQsClient_t", 0);
  uitest::Selection selection;
  selection.object = &client;
  form.setCurrentTitle(dcFunctionTitleForm_t::tabText(1));
  form.grab();
  QCOMPARE(form.caption,
           "'PC-07'\xC0\xC7 \xC7\xCF\xB5\xE5\xBF\xFE\xBE\xEE \xC1\xA4\xBA\xB8");  // 'PC-07'의 하드웨어 정보

  // The menu's usage text lacks the blank before 내역: no tab matches, so
  // banner and highlight stay, while the caption shows the title as it is.
  form.setCurrentTitle(
      "\xC7\xC1\xB7\xCE\xB1\xD7\xB7\xA5 \xBB\xE7\xBF\xEB\xB3\xBB\xBF\xAA");  // 프로그램 사용내역
  form.grab();
  QCOMPARE(form.viewIndex, 1);
  QCOMPARE(activeTab(form), 1);
  QVERIFY(std::strstr(form.caption, "\xBB\xE7\xBF\xEB\xB3\xBB"));

  // Without a selection the caption keeps its last text.
  selection.object = nullptr;
  form.setCurrentTitle(dcFunctionTitleForm_t::tabText(3));
  form.grab();
  QCOMPARE(form.viewIndex, 3);
  QVERIFY(std::strstr(form.caption, "\xBB\xE7\xBF\xEB\xB3\xBB"));
}

QTEST_MAIN(FrameTest)
#include "test_ui_frame.moc"
