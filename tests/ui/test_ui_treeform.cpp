// The tree pane: item order, images, the selected root, selection changes
// sending the view command, branch lines and boxes, layout, and a deep
// tree.
#include <QLabel>
#include <QTreeView>
#include <QtTest>
#include <string>

#include "CDcOverlookDoc.h"
#include "CMainFrame.h"
#include "cp949.h"
#include "dcAssetConsoleEngine.h"
#include "dcFunctionTitleForm.h"
#include "dcObjectHierarchyForm.h"
#include "dcQsClient.h"

namespace {

using Model = dcHierarchyModel_t;

dcObject_t* objectOf(const QModelIndex& index) {
  return reinterpret_cast<dcObject_t*>(index.data(Model::ObjectRole).value<quintptr>());
}

}  // namespace

class TreeFormTest : public QObject {
  Q_OBJECT

 private slots:
  void rebuild_orderImagesAndRoot();
  void selection_clickSendsTheViewCommand();
  void branches_linesAndPlusMinusBoxes();
  void layout_andADeepTree();
};

void TreeFormTest::rebuild_orderImagesAndRoot() {
  dcObjectHierarchyForm_t form;
  QCOMPARE(form.rebuildTree(), dcStatus::MISSING_OBJECT);  // no engine yet

  dcAssetConsoleEngine_t engine;
  dcQsGroup_t& root = engine.root;
  mb::copyBounded(root.name, dcQsGroup_t::ROOT_NAME);
  dcQsClient_t* rootClient = root.addClient("PC-R");
  dcQsGroup_t* a = root.addChild(1, "A");
  dcQsGroup_t* b = root.addChild(2, "B");
  dcQsClient_t* twinA = a->addClient("TWIN");
  dcQsGroup_t* a1 = a->addChild(3, "A1");
  dcQsClient_t* twinB = b->addClient("TWIN");

  QCOMPARE(form.rebuildTree(), dcStatus::OK);
  Model* m = form.model();
  QCOMPARE(m->rowCount(), 1);
  const QModelIndex top = m->index(0, 0);
  QCOMPARE(objectOf(top), &root);
  QCOMPARE(top.data().toString(), QString::fromUtf8("전체 그룹"));
  QVERIFY(top.data(Model::ImageKindRole).toInt() == Model::ROOT_IMAGE && form.tree->isExpanded(top));

  // Sub-groups first, then the group's own clients, each in insertion order.
  QCOMPARE(m->rowCount(top), 3);
  QVERIFY(objectOf(m->index(0, 0, top)) == a && objectOf(m->index(1, 0, top)) == b);
  QCOMPARE(objectOf(m->index(2, 0, top)), rootClient);
  const QModelIndex ai = m->index(0, 0, top);
  QCOMPARE(objectOf(m->index(0, 0, ai)), a1);
  QCOMPARE(objectOf(m->index(1, 0, ai)), twinA);
  QCOMPARE(m->index(1, 0, ai).data(Model::ImageKindRole).toInt(), int(Model::CLIENT_IMAGE));
  // Two clients of one name stay two items with their own objects.
  QCOMPARE(objectOf(m->index(0, 0, m->index(1, 0, top))), twinB);

  QCOMPARE(form.selectRootItem(), dcStatus::OK);
  QCOMPARE(form.selectedObject(), &root);

  // A rebuild keeps the selected object.
  form.tree->setCurrentIndex(m->index(1, 0, ai));
  form.rebuildTree();
  QCOMPARE(form.selected, twinA);
}

void TreeFormTest::selection_clickSendsTheViewCommand() {
  dcAssetConsoleEngine_t engine;
  mb::copyBounded(engine.root.name, dcQsGroup_t::ROOT_NAME);
  dcQsClient_t* pc = engine.root.addChild(1, "Sales")->addClient("PC-01");

  CDcOverlookDoc document;
  CMainFrame frame({[](QWidget* parent) -> QWidget* { return new dcObjectHierarchyForm_t(parent); }, {}});
  frame.addCommandTarget(&document);
  QSignalSpy commands(&frame, &CMainFrame::commandSent);
  frame.show();
  QVERIFY(QTest::qWaitForWindowExposed(&frame));

  dcObjectHierarchyForm_t* form = theObjectHierarchyForm;
  form->rebuildTree();
  form->selectRootItem();
  QCOMPARE(commands.takeFirst().at(0).toInt(), 32772);

  // A click on the client selects it and asks for the view again.
  const QModelIndex sales = form->model()->index(0, 0, form->model()->index(0, 0));
  form->tree->expand(sales);
  const QModelIndex item = form->model()->index(0, 0, sales);
  QTest::mouseClick(form->tree->viewport(), Qt::LeftButton, {}, form->tree->visualRect(item).center());
  QCOMPARE(form->selected, pc);
  QCOMPARE(commands.takeFirst().at(0).toInt(), 32772);
}

void TreeFormTest::branches_linesAndPlusMinusBoxes() {
  dcAssetConsoleEngine_t engine;
  mb::copyBounded(engine.root.name, dcQsGroup_t::ROOT_NAME);
  engine.root.addChild(1, "Sales")->addClient("PC-01");
  engine.root.addClient("PC-R");
  dcObjectHierarchyForm_t form;
  form.resize(240, 300);
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  form.rebuildTree();  // the root expanded, Sales collapsed, PC-R last
  QTreeView* tree = form.tree;
  const QImage image = tree->viewport()->grab().toImage();

  // The joint of an item's own column: box centre or where its lines meet.
  struct Joint {
    int x, y, top, bottom;
  };
  auto jointOf = [&](const QModelIndex& index) {
    const QRect item = tree->visualRect(index);
    const int left = item.left() - tree->indentation();
    return Joint{left + tree->indentation() / 2, item.top() + item.height() / 2, item.top(), item.bottom()};
  };
  auto inked = [&](int x, int y) { return image.pixelColor(x, y).lightness() < 200; };
  auto anyInked = [&](int x0, int y0, int x1, int y1) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x)
        if (inked(x, y)) return true;
    return false;
  };

  const QModelIndex root = form.model()->index(0, 0);
  const Joint r = jointOf(root);
  // Minus box at the root, a line on to its picture, nothing above it.
  QVERIFY(inked(r.x, r.y) && !inked(r.x, r.y - 2) && inked(r.x - 4, r.y - 4) && inked(r.x + 4, r.y + 4));
  QVERIFY(anyInked(r.x + 5, r.y, r.x + 8, r.y));
  QVERIFY(!anyInked(r.x, r.top, r.x, r.y - 5));

  // Plus box on the collapsed group, joined to the client below it.
  const Joint g = jointOf(form.model()->index(0, 0, root));
  QVERIFY(inked(g.x, g.y) && inked(g.x, g.y - 2) && inked(g.x, g.y + 2) && inked(g.x - 4, g.y));
  QVERIFY(anyInked(g.x, g.y + 5, g.x, g.bottom) && anyInked(g.x, g.top, g.x, g.y - 5));

  // The last item: dotted lines up and across, none below.
  const Joint c = jointOf(form.model()->index(1, 0, root));
  QVERIFY(anyInked(c.x, c.top, c.x, c.y) && !anyInked(c.x, c.y + 2, c.x, c.bottom));
  QVERIFY(inked(c.x + 2, c.y) != inked(c.x + 3, c.y));
}

void TreeFormTest::layout_andADeepTree() {
  // The picture keeps its size in the corner; the tree fills the rest.
  dcObjectHierarchyForm_t form;
  form.resize(320, 480);
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  QCOMPARE(form.tree->geometry(), QRect(0, 70, 320, 410));
  QCOMPARE(form.grab().toImage().pixelColor(260, 30), QColor(Qt::white));  // beside the picture
  form.resize(150, 300);
  QTRY_COMPARE(form.tree->geometry(), QRect(0, 70, 150, 230));
  QCOMPARE(form.pictureControl->geometry(), QRect(0, 0, 200, 70));
  {
    // A chain of ten thousand groups, each under the one before.
    dcAssetConsoleEngine_t engine;
    dcQsGroup_t* last = &engine.root;
    for (int g = 1; g <= 10000; ++g) last = last->addChild(g, ("D" + std::to_string(g)).c_str());
    last->addClient("BOTTOM");
    form.rebuildTree();
    form.selectRootItem();
    QModelIndex at = form.model()->index(0, 0);
    int depth = 0;
    for (QModelIndex next; (next = form.model()->index(0, 0, at)).isValid(); at = next) ++depth;
    QCOMPARE(depth, 10001);
    form.tree->setCurrentIndex(at);
    QCOMPARE(QString::fromLatin1(form.selected->name), QStringLiteral("BOTTOM"));
    form.detachTree();
  }
}

QTEST_MAIN(TreeFormTest)
#include "test_ui_treeform.moc"
