// The window's parts without a site: the drawn buttons, banners, pictures
// and the about box's icon; the main frame's bars, command and message
// routing and keyboard; the title pane's tabs and caption; the tree pane's
// items, selection, branch drawing, layout and a deep tree.
#include "CColorSplitterWnd.h"
#include "CDcOverlookDoc.h"
#include "dcAboutDialog.h"
#include "dcArtwork.h"
#include "dcLockKeys.h"
#include "dcQtWindowServices.h"
#include "uiSupport.h"

namespace {

using uitest::values;

using Model = dcHierarchyModel_t;

// A button whose cursor the test places.
struct SteeredButton : dcBitmapButton_t {
  QPoint cursor{-1000, -1000};
  QPoint cursorPosition() const override { return cursor; }
};

QRgb stateColour(int state) { return QColor::fromHsv(state * 40, 200, 200).rgb(); }

// A left-button event at `at`; `origin` is the widget's corner on the
// screen, by default where it is now.
constexpr QEvent::Type PRESS = QEvent::MouseButtonPress, RELEASE = QEvent::MouseButtonRelease;
void sendMouse(QWidget* w, QEvent::Type type, QPoint at = {5, 5}, std::optional<QPoint> origin = {}) {
  const Qt::MouseButtons held = type == RELEASE ? Qt::NoButton : Qt::LeftButton;
  const QPoint global = origin.value_or(w->mapToGlobal(QPoint(0, 0))) + at;
  QMouseEvent event(type, QPointF(at), QPointF(global), Qt::LeftButton, held, Qt::NoModifier);
  QApplication::sendEvent(w, &event);
}

// Drags the splitter's first bar by delta with the left button held and
// gives the first pane's size afterwards.
int drag(QSplitter* splitter, QPoint delta) {
  QSplitterHandle* bar = splitter->handle(1);
  const QPoint from(bar->width() / 2, bar->height() / 2);
  const QPoint origin = bar->mapToGlobal(QPoint(0, 0));  // fixed before the bar moves
  sendMouse(bar, PRESS, from, origin);
  sendMouse(bar, QEvent::MouseMove, from + delta, origin);
  sendMouse(bar, RELEASE, from + delta, origin);
  return splitter->sizes().at(0);
}

const QList<int> VIEW_COMMANDS{32773, 32775, 32774, 32776};  // the title pane's four tabs

// Stands in for the list viewer, counting exports, and for the document: it
// records the view commands and makes a view's tab text the current title.
// As an event filter it counts the paints of what it watches.
struct StandIn : QObject, dcViewerPane_t, dcCommandTarget_t {
  int exports = 0, paints = 0;
  QList<int> seen;
  dcStatus_t refresh() override { return 0; }
  dcStatus_t exportList() override { return ++exports, 0; }
  bool onCommand(int id) override {
    if (const qsizetype v = VIEW_COMMANDS.indexOf(id); v >= 0) {
      theFunctionTitleForm->setCurrentTitle(dcFunctionTitleForm_t::tabText(int(v)));
      theFunctionTitleForm->update();
    }
    return id >= 32772 && id <= 32776 ? (seen << id, true) : false;
  }
  bool eventFilter(QObject*, QEvent* e) override { return paints += e->type() == QEvent::Paint, false; }
};

// The one highlighted tab (-1: none, -2: several).
int activeTab(const dcFunctionTitleForm_t& form) {
  int active = -1;
  for (int v = 0; v < 4; ++v) active = form.tabButtons[v]->inactive ? active : active == -1 ? v : -2;
  return active;
}

QWidget* makeTree(QWidget* parent) { return new dcObjectHierarchyForm_t(parent); }

dcObject_t* objectOf(const QModelIndex& index) {
  return reinterpret_cast<dcObject_t*>(index.data(Model::ObjectRole).value<quintptr>());
}

}  // namespace

class FrameTest : public QObject {
  Q_OBJECT

 private slots:
  void button_statesCaptionsBannersAndIcons() {
    SteeredButton b;
    QPixmap picture(40, 20);  // each state's own colour; a fill detaches the copy set before
    for (int s = 1; s <= 8; ++s) {
      picture.fill(stateColour(s));
      b.setImage(s, picture);
    }
    b.move(30, 30);
    QVERIFY(uitest::shown(b));
    auto drawn = [&b] { return b.grab().toImage().pixel(2, 2) == stateColour(b.state) ? b.state : -1; };
    auto after = [&](QEvent::Type event) {
      sendMouse(&b, event);
      return drawn();
    };
    // The states drawn after a press and after the release.
    auto click = [&] { return values({after(PRESS), after(RELEASE), b.toggled}); };
    QCOMPARE(drawn(), 1);

    // The cursor arrives: the 10 ms timer sets hover; press and release.
    b.cursor = b.mapToGlobal(QPoint(5, 5));
    QTest::mouseMove(&b, QPoint(5, 5));
    QTRY_COMPARE_WITH_TIMEOUT(b.hover, 1, 200);
    QCOMPARE(drawn(), 2);
    QCOMPARE(click(), "3 2 0 ");  // toggle mode off: a click never toggles
    // Pressed and dragged out: the next tick clears pressed and hover.
    sendMouse(&b, PRESS);
    b.cursor = b.mapToGlobal(QPoint(-50, -50));
    QTRY_COMPARE_WITH_TIMEOUT(b.pressed, 0, 100);
    QCOMPARE(drawn(), 1);
    sendMouse(&b, RELEASE);

    // The state drawn for the flags: inactive shows 4, yet hover and press
    // still win; disabled is 4; toggled turns 1-4 into 5-8 (5 is drawn by the
    // release below).
    const int flags[][6] = {{0, 1, 0, 0, 0, 4}, {0, 1, 1, 0, 0, 2}, {0, 1, 1, 1, 0, 3}, {0, 0, 1, 1, 0, 4},
                            {1, 1, 1, 0, 1, 6}, {1, 1, 1, 1, 1, 7}, {0, 1, 0, 0, 1, 8}, {1, 1, 0, 0, 0, 1}};
    for (const auto& f : flags) {  // active, enabled, hover, pressed, toggled: state
      b.activate(f[0]);
      b.setEnabled(f[1]);
      std::tie(b.hover, b.pressed, b.toggled) = std::tie(f[2], f[3], f[4]);
      QCOMPARE(drawn(), f[5]);
    }
    // Toggle mode: a click flips toggled.
    b.toggleMode = 1;
    QSignalSpy clicks(&b, &QAbstractButton::clicked);
    QCOMPARE(click(), "7 5 1 ");
    // A double click flips once more and latches until the release.
    sendMouse(&b, QEvent::MouseButtonDblClick);
    QCOMPARE(values({b.toggled, b.doubleClickLatch}), "0 1 ");
    QCOMPARE(values({after(RELEASE), b.doubleClickLatch, b.pressed, clicks.count()}), "1 0 0 2 ");

    // Captions, banners and pictures.
    QCOMPARE(b.setCaption(9, "x", 0, 0, 0), 1u);
    // A long Korean caption is cut at a character boundary within 255 bytes.
    const std::string longText = QByteArray("\xB0\xCB").repeated(200).toStdString();  // 검 200 times
    QCOMPARE(b.setCaption(1, longText.c_str(), 0xFF, 1, 2), 0u);
    QCOMPARE(std::string(b.captions[1].text), longText.substr(0, 254));
    // Setting an image sizes the button to it and keeps its corner.
    b.move(7, 9);
    QVERIFY(b.loadImage(1, dcArt::SEARCH_NORMAL) == 0 && b.geometry() == QRect(7, 9, 54, 22));

    dcBanner_t banner("\xC1\xA4\xBA\xB8");                // 정보
    QVERIFY(banner.load(999) == 0 && banner.width == 0);  // no such picture: empty
    for (int id = 151; id <= 173; ++id) QCOMPARE(dcLoadBitmap(id).isNull(), id == 156);
    // Tree images: the white background turns transparent, the drawing stays.
    const QImage client = dcWhiteTransparent(dcLoadBitmap(dcArt::TREE_CLIENT)).toImage();
    QCOMPARE(values({client.pixelColor(0, 0).alpha(), client.pixelColor(8, 6).alpha()}), "0 255 ");

    // The about box's icon is drawn at its size.
    dcAboutDialog_t about;
    const QImage icon = about.icon->pixmap().toImage();
    for (QSize size : {icon.size(), about.icon->size()}) QCOMPARE(size, QSize(32, 32));
    // Drawn on the grid: a smaller picture scaled up would leave
    // half-transparent edges, or 2 x 2 cells of one colour.
    const QImage alpha = icon.convertToFormat(QImage::Format_Alpha8);
    const uchar* a = alpha.constBits();
    const auto clear = std::count(a, a + 32 * 32, 0), solid = std::count(a, a + 32 * 32, 255);
    QVERIFY(clear + solid == 32 * 32 && solid > 32 * 32 / 2 && icon.scaled(16, 16).scaled(32, 32) != icon);
    // The window's icon has its own 16 x 16 drawing beside it.
    QCOMPARE(dcMainIcon().availableSizes(), (QList<QSize>{QSize(16, 16), QSize(32, 32)}));
  }

  void frame_routingTabsBarsAndWindowMessages() {
    dcQtWindowServices_t ws;
    winsvc::ScopedServices installed(&ws);
    CMainFrame frame;
    // Export without a list viewer only records 201; with one it runs there.
    QSignalSpy sent(&frame, &CMainFrame::commandSent);
    QCOMPARE(values({frame.sendCommand(32780), frame.status}), "true 201 ");
    StandIn doc;
    dcRegisterPane<dcViewerPane_t>(theViewerPane, &doc);
    frame.status = 0;
    frame.commandAction(32780)->trigger();
    QCOMPARE(values({doc.exports, frame.status}), "1 0 ");
    dcUnregisterPane<dcViewerPane_t>(theViewerPane, &doc);
    // Other ids go to the registered targets; unknown ones are not handled.
    QVERIFY(!frame.sendCommand(32775));
    frame.addCommandTarget(&doc);
    QVERIFY(CMainFrame::sendToMainWindow(32775));
    frame.commandAction(32772)->trigger();
    QCOMPARE(values({frame.sendCommand(57601), sent.count()}), "false 6 ");
    QCOMPARE(doc.seen, (QList<int>{32775, 32772}));

    // The title pane's tabs send the view commands; the view's own banner
    // shows and its tab alone is highlighted.
    QVERIFY(uitest::shown(frame));
    dcFunctionTitleForm_t& form = *frame.titleForm();
    form.grab();
    QCOMPARE(activeTab(form), 1);
    // Once painted, the pane stays quiet: painting must not invalidate it again.
    QTest::qWait(50);
    form.installEventFilter(&doc);
    QTest::qWait(150);
    form.removeEventFilter(&doc);
    QCOMPARE(doc.paints, 0);
    for (int v : {0, 2, 3, 1, 1}) {
      QTest::mouseClick(form.tabButtons[v], Qt::LeftButton);
      QCOMPARE(sent.takeLast().at(0).toInt(), VIEW_COMMANDS[v]);
      const QColor banner = form.banners[v]->bitmap.toImage().pixelColor(50, 35);
      QVERIFY(form.grab().toImage().pixelColor(50, 35) == banner && activeTab(form) == v);
    }
    // The caption: "'<name>'의 <title>". The menu's usage text lacks the
    // blank before 내역: no tab matches, so banner and highlight stay, while
    // the caption shows the title as it is. Without a selection the caption
    // keeps its last text.
    dcObject_t client("PC-07", "dcQsClient_t", 0);
    uitest::Selection selection;
    const char* usage =
        "\xC7\xC1\xB7\xCE\xB1\xD7\xB7\xA5 \xBB\xE7\xBF\xEB\xB3\xBB\xBF\xAA";  // 프로그램 사용내역
    const std::string caption = std::string("'PC-07'\xC0\xC7 ") + usage;      // 'PC-07'의
    for (auto [title, object, view] :
         {std::tuple{usage, &client, 1}, {dcFunctionTitleForm_t::tabText(3), nullptr, 3}}) {
      selection.object = object;
      form.setCurrentTitle(title);
      form.grab();
      QVERIFY(form.viewIndex == view && activeTab(form) == view);
      QCOMPARE(form.caption, caption.c_str());
    }
    frame.removeCommandTarget(&doc);

    // The bar under the title pane is locked; the bar beside the tree moves.
    QSplitterHandle* inner = frame.innerSplitter->handle(1);
    QCOMPARE(inner->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(values({drag(frame.innerSplitter, {0, 60}), drag(frame.outerSplitter, {50, 0})}), "100 250 ");
    // Growing the window keeps the tree width and the title height.
    frame.resize(frame.width() + 200, frame.height() + 100);
    QTRY_COMPARE(values({frame.innerSplitter->sizes().at(0), frame.outerSplitter->sizes().at(0)}),
                 "100 250 ");
    // Unlocked, the inner bar drags too.
    frame.innerSplitter->setLocked(false);
    QCOMPARE(drag(frame.innerSplitter, QPoint(0, 30)), 130);

    // The flat bar between rows: dark blue, 2 pixels short at either end.
    const QImage bar = inner->grab().toImage();
    for (auto [x, blue] : {std::pair{1, false}, {2, true}, {bar.width() - 3, true}, {bar.width() - 2, false}})
      QCOMPARE(bar.pixelColor(x, bar.height() / 2) == QColor(8, 29, 88), blue);

    // Window services find the frame by class and title (titles compare as
    // CP949 bytes); timers; a stale window takes no message. (Messages to the
    // frame are the console tests' script lines.)
    QVERIFY(ws.findWindow("CMainFrame", "dcOverlook") == &frame && !ws.findWindow("dcOther_t", "dcOverlook"));
    const char* korean = "\xC0\xFC\xC3\xBC";  // 전체
    frame.setWindowTitle(dcUiString(korean));
    QCOMPARE(ws.findWindow(nullptr, korean), &frame);
    QVERIFY(ws.setTimer(&frame, 7, 1000) && ws.killTimer(&frame, 7) && !ws.killTimer(&frame, 7));
    QCOMPARE(ws.sendMessage(reinterpret_cast<void*>(0x10), winsvc::MESSAGE_CLOSE, 0, 0), 0);
  }

  void keys_panesStandardKeysAndLocks() {
    CMainFrame frame(
        {makeTree, [](QWidget* parent) -> QWidget* { return new dcDefaultViewerForm_t(parent); }});
    frame.show();
    QApplication::setActiveWindow(&frame);
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    QWidget *tree = theObjectHierarchyForm->tree, *list = theDefaultViewerForm->listControl();
    QSignalSpy sent(&frame, &CMainFrame::commandSent);

    // F6 and Shift+F6 go round the tree and the list, from wherever the focus
    // is; from outside both F6 starts at the tree, Shift+F6 at the list.
    auto press = [](QKeySequence keys) {
      QTest::keySequence(QApplication::focusWidget(), keys);
      return QApplication::focusWidget();
    };
    const QKeySequence f6(Qt::Key_F6), shiftF6(Qt::SHIFT | Qt::Key_F6);
    tree->setFocus();
    for (auto [keys, focus] : {std::pair{f6, list}, {f6, tree}, {shiftF6, list}, {shiftF6, tree}})
      QCOMPARE(press(keys), focus);
    for (auto [keys, focus] : {std::pair{f6, tree}, {shiftF6, list}}) {
      frame.titleForm()->setFocus();
      QCOMPARE(press(keys), focus);
    }
    QCOMPARE(sent.count(), 6);

    // The other standard keys send their commands and nothing else happens.
    const std::pair<QString, int> standard[] = {
        {"Ctrl+N", 57600},        {"Ctrl+O", 57601},    {"Ctrl+S", 57603},   {"Ctrl+P", 57607},
        {"Ctrl+Z", 57643},        {"Ctrl+X", 57635},    {"Ctrl+C", 57634},   {"Ctrl+V", 57637},
        {"Alt+Backspace", 57643}, {"Shift+Del", 57635}, {"Ctrl+Ins", 57634}, {"Shift+Ins", 57637}};
    tree->setFocus();
    for (auto [keys, id] : standard) {
      sent.clear();
      QCOMPARE(values({press(keys) == tree, sent.size(), sent.value(0).value(0)}), values({true, 1, id}));
    }
    QVERIFY(!QApplication::activeModalWidget());
    // The list keeps its own copy keys.
    sent.clear();
    list->setFocus();
    for (QKeySequence keys : {Qt::CTRL | Qt::Key_C, Qt::CTRL | Qt::Key_Insert}) press(keys);
    QVERIFY(sent.isEmpty());

    // Lock keys: blank where the platform cannot tell (here, offscreen).
    QVERIFY(!dcReadLockKeys());
    frame.setIndicator(CMainFrame::ID_INDICATOR_NUM, true);
    frame.updateKeyIndicators();
    for (const char* name : {"CAP", "NUM", "SCRL"})
      QVERIFY(frame.statusBarWidget->findChild<QLabel*>(QLatin1String(name))->text().isEmpty());
  }

  void tree_orderImagesLinesClickLayoutAndADeepTree() {
    // A lone pane: no engine yet.
    QCOMPARE(dcObjectHierarchyForm_t().rebuildTree(), dcStatus::MISSING_OBJECT);
    dcAssetConsoleEngine_t engine;
    dcQsGroup_t& root = engine.root;
    mb::copyBounded(root.name, dcQsGroup_t::ROOT_NAME);
    dcQsClient_t* rootClient = root.addClient("PC-R");
    dcQsGroup_t *a = root.addChild(1, "A"), *b = root.addChild(2, "B");
    dcQsClient_t *twinA = a->addClient("TWIN"), *twinB = b->addClient("TWIN");
    dcQsGroup_t* a1 = a->addChild(3, "A1");
    CDcOverlookDoc document;
    CMainFrame frame({makeTree, {}});
    frame.addCommandTarget(&document);
    QSignalSpy commands(&frame, &CMainFrame::commandSent);
    QVERIFY(uitest::shown(frame));
    dcObjectHierarchyForm_t& form = *theObjectHierarchyForm;

    QCOMPARE(form.rebuildTree(), dcStatus::OK);
    Model* m = form.model();
    const QModelIndex top = m->index(0, 0);
    QCOMPARE(values({m->rowCount(), top.data()}), QString::fromUtf8("1 전체 그룹 "));
    QVERIFY(objectOf(top) == &root && top.data(Model::ImageKindRole).toInt() == Model::ROOT_IMAGE &&
            form.tree->isExpanded(top));
    // Sub-groups first, then the group's own clients, each in insertion order.
    QVERIFY(m->rowCount(top) == 3 && objectOf(m->index(0, 0, top)) == a &&
            objectOf(m->index(1, 0, top)) == b && objectOf(m->index(2, 0, top)) == rootClient);
    const QModelIndex ai = m->index(0, 0, top);
    QVERIFY(objectOf(m->index(0, 0, ai)) == a1 && objectOf(m->index(1, 0, ai)) == twinA);
    QCOMPARE(m->index(1, 0, ai).data(Model::ImageKindRole).toInt(), int(Model::CLIENT_IMAGE));
    // Two clients of one name stay two items with their own objects.
    QCOMPARE(objectOf(m->index(0, 0, m->index(1, 0, top))), twinB);

    // Branch lines and boxes, at the joint of each item's own column: its
    // box centre or where its lines meet.
    QTreeView* tree = form.tree;
    const QImage image = tree->viewport()->grab().toImage();
    auto jointOf = [&](const QModelIndex& index) {
      const QRect item = tree->visualRect(index);
      const int x = item.left() - tree->indentation() + tree->indentation() / 2;
      return std::array{x, item.top() + item.height() / 2, item.top(), item.bottom()};
    };
    auto inked = [&](int x, int y) { return image.pixelColor(x, y).lightness() < 200; };
    // Any ink on the row or column from (x0, y0) to (x1, y1).
    auto anyInked = [&](int x0, int y0, int x1, int y1) {
      bool any = false;
      for (int x = x0, y = y0; x <= x1 && y <= y1; x += x0 != x1, y += x0 == x1) any = any || inked(x, y);
      return any;
    };
    // Minus box at the root, a line on to its picture, nothing above it.
    const auto [rx, ry, rtop, rbottom] = jointOf(top);
    QVERIFY(inked(rx, ry) && !inked(rx, ry - 2) && inked(rx - 4, ry - 4) && inked(rx + 4, ry + 4));
    QVERIFY(anyInked(rx + 5, ry, rx + 8, ry) && !anyInked(rx, rtop, rx, ry - 5));
    // Plus box on the collapsed group, joined to the item below it.
    const auto [gx, gy, gtop, gbottom] = jointOf(ai);
    QVERIFY(inked(gx, gy) && inked(gx, gy - 2) && inked(gx, gy + 2) && inked(gx - 4, gy));
    QVERIFY(anyInked(gx, gy + 5, gx, gbottom) && anyInked(gx, gtop, gx, gy - 5));
    // The last item: dotted lines up and across, none below.
    const auto [cx, cy, ctop, cbottom] = jointOf(m->index(2, 0, top));
    QVERIFY(anyInked(cx, ctop, cx, cy) && !anyInked(cx, cy + 2, cx, cbottom));
    QVERIFY(inked(cx + 2, cy) != inked(cx + 3, cy));

    // Selecting the root asks the document for the view.
    QVERIFY(form.selectRootItem() == dcStatus::OK && form.selectedObject() == &root);
    QCOMPARE(commands.takeFirst().at(0).toInt(), 32772);
    // A click on a client selects it and asks for the view again.
    form.tree->expand(ai);
    QTest::mouseClick(form.tree->viewport(), Qt::LeftButton, {},
                      form.tree->visualRect(m->index(1, 0, ai)).center());
    QVERIFY(form.selected == twinA && commands.takeFirst().at(0).toInt() == 32772);
    // A rebuild keeps the selected object.
    QVERIFY(form.rebuildTree() == dcStatus::OK && form.selected == twinA);

    // The picture keeps its size in the corner; the tree fills the rest.
    for (int width : {320, 150}) {
      frame.outerSplitter->setSizes({width, 400});
      QTRY_COMPARE(form.tree->geometry(), QRect(0, 70, width, form.height() - 70));
      QCOMPARE(form.pictureControl->geometry(), QRect(0, 0, 200, 70));
      if (width > 260) QCOMPARE(form.grab().toImage().pixelColor(260, 30), QColor(Qt::white));
    }

    // A chain of ten thousand groups under B, each under the one before.
    dcQsGroup_t* last = b;
    for (int g = 1; g <= 10000; ++g) last = last->addChild(10 + g, ("D" + std::to_string(g)).c_str());
    last->addClient("BOTTOM");
    form.rebuildTree();
    QModelIndex at = form.model()->index(1, 0, form.model()->index(0, 0));
    int depth = 0;
    for (QModelIndex next; (next = form.model()->index(0, 0, at)).isValid(); at = next) ++depth;
    QCOMPARE(depth, 10001);
    form.tree->setCurrentIndex(at);
    QCOMPARE(QString::fromLatin1(form.selected->name), QStringLiteral("BOTTOM"));
    form.detachTree();
  }
};

QTEST_MAIN(FrameTest)
#include "test_ui_frame.moc"
