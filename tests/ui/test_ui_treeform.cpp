// The tree pane: item order, the selected root kept across rebuilds, and a
// very deep tree.
#include <QTreeView>
#include <QtTest>
#include <string>

#include "cp949.h"
#include "dcAssetConsoleEngine.h"
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
  void rebuild_orderAndRoot();
  void scale_deepTree();
};

void TreeFormTest::rebuild_orderAndRoot() {
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
  QVERIFY(form.tree->isExpanded(top));

  // Sub-groups first, then the group's own clients, each in insertion order;
  // two clients of one name stay two items with their own objects.
  QCOMPARE(m->rowCount(top), 3);
  QVERIFY(objectOf(m->index(0, 0, top)) == a && objectOf(m->index(1, 0, top)) == b);
  QCOMPARE(objectOf(m->index(2, 0, top)), rootClient);
  const QModelIndex ai = m->index(0, 0, top);
  QVERIFY(objectOf(m->index(0, 0, ai)) == a1 && objectOf(m->index(1, 0, ai)) == twinA);
  QCOMPARE(objectOf(m->index(0, 0, m->index(1, 0, top))), twinB);

  QCOMPARE(form.selectRootItem(), dcStatus::OK);
  QCOMPARE(form.selectedObject(), &root);
  // A rebuild keeps the selected object.
  form.tree->setCurrentIndex(m->index(1, 0, ai));
  form.rebuildTree();
  QCOMPARE(form.selected, twinA);
}

void TreeFormTest::scale_deepTree() {
  dcObjectHierarchyForm_t form;
  form.resize(320, 480);
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
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
