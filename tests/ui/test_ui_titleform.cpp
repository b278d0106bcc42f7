// The title pane: tab clicks sending the view commands, the highlight and
// banner following the current title byte for byte, and the caption.
#include <QSignalSpy>
#include <QtTest>
#include <cstring>

#include "CMainFrame.h"
#include "dcBitmapButton.h"
#include "dcFunctionTitleForm.h"
#include "dcObject.h"
#include "uiSupport.h"

namespace {

// What the document does with a view command: record the view's tab text as
// the current title and repaint the title pane.
struct ViewDocument : dcCommandTarget_t {
  bool onCommand(int id) override {
    const int views[] = {32773, 32775, 32774, 32776};
    for (int v = 0; v < 4; ++v) {
      if (views[v] != id) continue;
      theFunctionTitleForm->setCurrentTitle(dcFunctionTitleForm_t::tabText(v));
      theFunctionTitleForm->update();
      return true;
    }
    return false;
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

class TitleFormTest : public QObject {
  Q_OBJECT

 private slots:
  void tabs_clicksSendViewCommands();
  void caption_andByteExactTitles();
};

void TitleFormTest::tabs_clicksSendViewCommands() {
  CMainFrame frame;
  ViewDocument doc;
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

void TitleFormTest::caption_andByteExactTitles() {
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

QTEST_MAIN(TitleFormTest)
#include "test_ui_titleform.moc"
