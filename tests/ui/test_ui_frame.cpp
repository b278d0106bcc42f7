// The main frame: the two splitters (a fixed dark blue bar under the title
// pane, a draggable bar beside the tree), the menu bar with its command ids,
// the status bar and the routing of commands.
#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QtTest>

#include "CColorSplitterWnd.h"
#include "CMainFrame.h"
#include "dcFunctionTitleForm.h"
#include "dcQtWindowServices.h"
#include "dcUiText.h"

namespace {

// Drags a splitter bar by (dx, dy) with the left button held.
void drag(QWidget* bar, QPoint delta) {
  // Global positions are fixed before the bar starts moving.
  const QPoint from(bar->width() / 2, bar->height() / 2);
  const QPoint origin = bar->mapToGlobal(QPoint(0, 0));
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

int painterCalls = 0;

const QColor kDarkBlue(8, 29, 88);

}  // namespace

class FrameTest : public QObject {
  Q_OBJECT

 private slots:
  void splitters_lockedInnerBarFlatBlueOuterBarMoves();
  void menus_andStatusBar();
  void commands_routing();
  void windowServices_reachTheFrame();
};

void FrameTest::splitters_lockedInnerBarFlatBlueOuterBarMoves() {
  CMainFrame frame;
  frame.show();
  QVERIFY(QTest::qWaitForWindowExposed(&frame));
  QCOMPARE(frame.outerSplitter->sizes().at(0), 200);
  QCOMPARE(frame.innerSplitter->sizes().at(0), 100);

  QSplitterHandle* inner = frame.innerSplitter->handle(1);
  QCOMPARE(inner->cursor().shape(), Qt::ArrowCursor);
  drag(inner, QPoint(0, 60));
  QCOMPARE(frame.innerSplitter->sizes().at(0), 100);

  QSplitterHandle* outer = frame.outerSplitter->handle(1);
  QCOMPARE(outer->cursor().shape(), Qt::SplitHCursor);
  drag(outer, QPoint(50, 0));
  QCOMPARE(frame.outerSplitter->sizes().at(0), 250);

  // Growing the window keeps the tree width and the title height.
  frame.resize(frame.width() + 200, frame.height() + 100);
  QTRY_COMPARE(frame.innerSplitter->sizes().at(0), 100);
  QCOMPARE(frame.outerSplitter->sizes().at(0), 250);

  // Unlocked, the inner bar drags too.
  frame.innerSplitter->setLocked(false);
  QCOMPARE(inner->cursor().shape(), Qt::SplitVCursor);
  drag(inner, QPoint(0, 30));
  QCOMPARE(frame.innerSplitter->sizes().at(0), 130);

  // The bar between rows: dark blue, 2 pixels short at the left and right.
  const QImage bar = frame.innerSplitter->handle(1)->grab().toImage();
  const int mid = bar.height() / 2;
  QCOMPARE(bar.pixelColor(bar.width() / 2, 0), kDarkBlue);
  QCOMPARE(bar.pixelColor(2, mid), kDarkBlue);
  QCOMPARE(bar.pixelColor(bar.width() - 3, mid), kDarkBlue);
  QVERIFY(bar.pixelColor(1, mid) != kDarkBlue);
  QVERIFY(bar.pixelColor(bar.width() - 2, mid) != kDarkBlue);

  // Between columns the bar is shortened at its top and bottom instead.
  CColorSplitterWnd columns(Qt::Horizontal);
  columns.addWidget(new QWidget);
  columns.addWidget(new QWidget);
  columns.resize(200, 50);
  columns.flatBars = 1;
  columns.barColour = 0x0000FF;
  columns.barInset = 5;
  const QImage vertical = columns.handle(1)->grab().toImage();
  QCOMPARE(vertical.pixelColor(2, 5), QColor(Qt::red));
  QVERIFY(vertical.pixelColor(2, 4) != QColor(Qt::red));

  // A painter runs only while the bars are not flat.
  columns.pfnDrawSplitter = [](CColorSplitterWnd*, QPainter*, CColorSplitterWnd::ESplitType, const QRect&) {
    ++painterCalls;
  };
  columns.handle(1)->grab();
  QCOMPARE(painterCalls, 0);
  columns.flatBars = 0;
  columns.handle(1)->grab();
  QCOMPARE(painterCalls, 1);
}

void FrameTest::menus_andStatusBar() {
  CMainFrame frame;
  QCOMPARE(frame.windowTitle(), QStringLiteral("dcOverlook"));
  const QList<QAction*> menus = frame.menuBar()->actions();
  QCOMPARE(menus.size(), 3);
  QCOMPARE(menus[0]->text(), dcUiString("\xC6\xC4\xC0\xCF(&F)"));          // 파일(&F)
  QCOMPARE(menus[1]->text(), dcUiString("\xBA\xB8\xB1\xE2(&V)"));          // 보기(&V)
  QCOMPARE(menus[2]->text(), dcUiString("\xB5\xB5\xBF\xF2\xB8\xBB(&H)"));  // 도움말(&H)
  // The view entries in menu order, with their ids.
  QList<int> ids;
  for (QAction* a : menus[1]->menu()->actions())
    if (!a->isSeparator()) ids << a->data().toInt();
  QCOMPARE(ids, (QList<int>{32772, 32773, 32775, 32774, 32776, 59393}));
  for (int id : {32780, 57665, 57664}) QVERIFY(frame.commandAction(id));
  // The hardware entry reads as its tab; the usage entry lacks the tab's blank.
  QCOMPARE(frame.commandAction(32775)->text(), dcUiString(dcFunctionTitleForm_t::tabText(1)));
  QVERIFY(frame.commandAction(32776)->text() != dcUiString(dcFunctionTitleForm_t::tabText(3)));

  // Message pane "준비" and three lock-key panes, blank until switched on.
  QList<QLabel*> panes = frame.statusBar()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
  QCOMPARE(panes.size(), 4);
  QCOMPARE(panes[0]->text(), dcUiString("\xC1\xD8\xBA\xF1"));
  QCOMPARE(panes[1]->text(), QString());
  frame.setIndicator(CMainFrame::ID_INDICATOR_NUM, true);
  QCOMPARE(panes[2]->text(), QStringLiteral("NUM"));

  frame.show();
  QVERIFY(QTest::qWaitForWindowExposed(&frame));
  frame.commandAction(59393)->trigger();
  QVERIFY(!frame.statusBar()->isVisible());
  QVERIFY(!frame.commandAction(59393)->isChecked());
  QVERIFY(frame.sendCommand(59393));
  QVERIFY(frame.statusBar()->isVisible());
}

void FrameTest::commands_routing() {
  CMainFrame frame;
  QCOMPARE(CMainFrame::mainWindow(), &frame);
  QSignalSpy sent(&frame, &CMainFrame::commandSent);

  // Export without a list viewer only records 201; with one it runs there.
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

  // A form swapped into the viewer pane takes the placeholder's place.
  auto* form = new QWidget;
  frame.setViewerPane(form);
  QCOMPARE(frame.viewerPane, form);
  QCOMPARE(frame.innerSplitter->indexOf(form), 1);
}

void FrameTest::windowServices_reachTheFrame() {
  dcQtWindowServices_t services;
  winsvc::ScopedServices installed(&services);
  winsvc::WindowServices& ws = winsvc::current();
  CMainFrame frame;
  frame.show();
  QSignalSpy sent(&frame, &CMainFrame::commandSent);
  QCOMPARE(ws.findWindow(nullptr, "dcOverlook"), &frame);
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
