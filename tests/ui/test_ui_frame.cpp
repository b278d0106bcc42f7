// The main frame: the locked bar under the title pane, the draggable bar
// beside the tree, the view menu's command ids, the keyboard, and the
// routing of commands and window messages.
#include <QAction>
#include <QLabel>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTreeView>
#include <QtTest>

#include "CColorSplitterWnd.h"
#include "CMainFrame.h"
#include "dcDefaultViewerForm.h"
#include "dcFunctionTitleForm.h"
#include "dcLockKeys.h"
#include "dcObjectHierarchyForm.h"
#include "dcQtWindowServices.h"
#include "dcStripedListCtrl.h"
#include "dcUiText.h"

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

struct FakeDocument : dcCommandTarget_t {
  QList<int> seen;
  bool onCommand(int id) override { return id >= 32772 && id <= 32776 ? (seen << id, true) : false; }
};

}  // namespace

class FrameTest : public QObject {
  Q_OBJECT

 private slots:
  void splitters_lockedInnerBarOuterBarMoves();
  void menusAndRouting();
  void keys_panesStandardKeysAndLocks();
  void windowServices_reachTheFrame();
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

QTEST_MAIN(FrameTest)
#include "test_ui_frame.moc"
