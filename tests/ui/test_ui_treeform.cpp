// The tree pane: item order (sub-groups before clients), images, the
// expanded and selected root, selection changes reaching the title caption
// through the redraw command, the picture and tree layout, and large or
// deep trees.
#include <QElapsedTimer>
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
#include "dcUiText.h"

namespace {

using Model = dcHierarchyModel_t;

dcObject_t* objectOf(const QModelIndex& index) {
  return reinterpret_cast<dcObject_t*>(index.data(Model::ObjectRole).value<quintptr>());
}

QString nameAt(const QModelIndex& index) { return index.data(Qt::DisplayRole).toString(); }

}  // namespace

class TreeFormTest : public QObject {
  Q_OBJECT

 private slots:
  void rebuild_orderImagesAndRoot();
  void selection_reachesCaptionThroughRedraw();
  void layout_pictureStaysTreeFills();
  void scale_wideAndDeepTrees();
};

void TreeFormTest::rebuild_orderImagesAndRoot() {
  dcObjectHierarchyForm_t form;
  QCOMPARE(form.rebuildTree(), dcStatus::MISSING_OBJECT);  // no engine yet
  QCOMPARE(form.model()->rowCount(), 0);

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
  QCOMPARE(nameAt(top), QString::fromUtf8("전체 그룹"));
  QCOMPARE(top.data(Model::ImageKindRole).toInt(), int(Model::ROOT_IMAGE));
  QVERIFY(form.tree->isExpanded(top));

  // Sub-groups first, then the group's own clients, each in insertion order.
  QCOMPARE(m->rowCount(top), 3);
  QCOMPARE(objectOf(m->index(0, 0, top)), a);
  QCOMPARE(objectOf(m->index(1, 0, top)), b);
  QCOMPARE(objectOf(m->index(2, 0, top)), rootClient);
  const QModelIndex ai = m->index(0, 0, top);
  QCOMPARE(objectOf(m->index(0, 0, ai)), a1);
  QCOMPARE(objectOf(m->index(1, 0, ai)), twinA);
  QCOMPARE(m->index(0, 0, ai).data(Model::ImageKindRole).toInt(), int(Model::GROUP_IMAGE));
  QCOMPARE(m->index(1, 0, ai).data(Model::ImageKindRole).toInt(), int(Model::CLIENT_IMAGE));
  // Two clients of one name stay two items with their own objects.
  QCOMPARE(objectOf(m->index(0, 0, m->index(1, 0, top))), twinB);
  QCOMPARE(m->parent(m->index(0, 0, ai)), ai);

  // The selected picture is the normal one, untinted.
  const QIcon icon = top.data(Qt::DecorationRole).value<QIcon>();
  QCOMPARE(icon.pixmap(16, 16, QIcon::Selected).toImage(), icon.pixmap(16, 16, QIcon::Normal).toImage());

  QVERIFY(!form.selectedObject());
  QCOMPARE(form.selectRootItem(), dcStatus::OK);
  QCOMPARE(form.selectedObject(), &root);
  QCOMPARE(theTreePane, static_cast<dcTreePane_t*>(&form));

  // A rebuild keeps the selected object; detaching forgets it.
  form.tree->setCurrentIndex(m->index(1, 0, ai));
  QCOMPARE(form.selected, twinA);
  form.rebuildTree();
  QCOMPARE(form.selected, twinA);
  form.detachTree();
  QVERIFY(!form.selected);
  QCOMPARE(m->rowCount(), 0);
}

void TreeFormTest::selection_reachesCaptionThroughRedraw() {
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
  QVERIFY(form && frame.treePane() == form);
  form->rebuildTree();
  form->selectRootItem();
  QCOMPARE(commands.count(), 1);
  QCOMPARE(commands.takeFirst().at(0).toInt(), 32772);

  // A click on the client selects it and refreshes the caption.
  const QModelIndex sales = form->model()->index(0, 0, form->model()->index(0, 0));
  form->tree->expand(sales);
  const QModelIndex item = form->model()->index(0, 0, sales);
  QTest::mouseClick(form->tree->viewport(), Qt::LeftButton, {}, form->tree->visualRect(item).center());
  QCOMPARE(form->selected, pc);
  QCOMPARE(QString::fromLatin1(form->selected->className), QStringLiteral("dcQsClient_t"));
  QCOMPARE(commands.count(), 1);
  QCOMPARE(commands.takeFirst().at(0).toInt(), 32772);
  frame.titleForm()->grab();  // paints with the new selection
  QCOMPARE(dcUiString(frame.titleForm()->caption), QString::fromUtf8("'PC-01'의 Windows 정보"));
  QCOMPARE(document.status, dcStatus::OK);
}

void TreeFormTest::layout_pictureStaysTreeFills() {
  dcObjectHierarchyForm_t form;
  form.resize(320, 480);
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  QCOMPARE(form.pictureControl->geometry(), QRect(0, 0, 200, 70));
  QCOMPARE(form.tree->geometry(), QRect(0, 70, 320, 410));
  QCOMPARE(form.grab().toImage().pixelColor(260, 30), QColor(Qt::white));  // beside the picture
  form.resize(150, 300);
  QTRY_COMPARE(form.tree->geometry(), QRect(0, 70, 150, 230));
  QCOMPARE(form.pictureControl->geometry(), QRect(0, 0, 200, 70));
}

void TreeFormTest::scale_wideAndDeepTrees() {
  dcObjectHierarchyForm_t form;
  form.resize(220, 600);
  form.show();
  {
    // Ten thousand clients in a hundred groups.
    dcAssetConsoleEngine_t engine;
    for (int g = 0; g < 100; ++g) {
      dcQsGroup_t* group = engine.root.addChild(g + 1, ("G" + std::to_string(g)).c_str());
      for (int c = 0; c < 100; ++c) group->addClient(("PC" + std::to_string(g * 100 + c)).c_str());
    }
    QElapsedTimer clock;
    clock.start();
    form.rebuildTree();
    form.selectRootItem();
    QCoreApplication::processEvents();
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(form.model()->itemCount(), 1 + 100 + 10000);
    form.detachTree();
  }
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
    QCOMPARE(QString::fromLatin1(objectOf(at)->name), QStringLiteral("BOTTOM"));
    form.tree->setCurrentIndex(at);
    QCOMPARE(form.selected, objectOf(at));
    QCoreApplication::processEvents();
    form.detachTree();
  }
}

QTEST_MAIN(TreeFormTest)
#include "test_ui_treeform.moc"
