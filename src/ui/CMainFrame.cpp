#include "CMainFrame.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>

#include "CColorSplitterWnd.h"
#include "dcArtwork.h"
#include "dcCommandIds.h"
#include "dcFunctionTitleForm.h"
#include "dcLockKeys.h"
#include "dcUiText.h"

namespace {

CMainFrame* theMainFrame = nullptr;

// Window titles: the application title until start-up sets the main title.
constexpr const char* kApplicationTitle = "dcOverlook";
constexpr const char* kIdleText = "\xC1\xD8\xBA\xF1";  // 준비 (ready)

constexpr const char* kOpenSiteText = "사이트 열기(&O)...";
constexpr int kSiteHintMargin = 16;

constexpr int kInitialWidth = 1024;
constexpr int kInitialHeight = 720;
// How often the lock-key indicators look at the keyboard.
constexpr int kIndicatorPollMs = 250;

// An empty pane standing in for a form made elsewhere.
QWidget* placeholderPane(QWidget* parent, const char* name) {
  auto* pane = new QWidget(parent);
  pane->setObjectName(QString::fromLatin1(name));
  pane->setAutoFillBackground(true);
  QPalette palette = pane->palette();
  palette.setColor(QPalette::Window, Qt::white);
  pane->setPalette(palette);
  return pane;
}

}  // namespace

CMainFrame::CMainFrame(const dcPaneFactories_t& factories, QWidget* parent) : QMainWindow(parent) {
  theMainFrame = this;
  setWindowTitle(QString::fromLatin1(kApplicationTitle));
  resize(kInitialWidth, kInitialHeight);
  createMenus();
  createAccelerators();
  OnCreate();
  OnCreateClient(factories);
}

CMainFrame::~CMainFrame() {
  if (theMainFrame == this) theMainFrame = nullptr;
}

CMainFrame* CMainFrame::mainWindow() { return theMainFrame; }

bool CMainFrame::sendToMainWindow(int commandId) {
  return theMainFrame && theMainFrame->sendCommand(commandId);
}

void CMainFrame::OnCreate() {
  statusBarWidget = statusBar();
  statusBarWidget->setObjectName(QStringLiteral("59393"));
  statusBarWidget->addWidget(new QLabel(dcUiString(kIdleText), statusBarWidget), 1);
  // Shown only while the list is filtered, so that the bar is otherwise
  // exactly the message pane and the three lock keys.
  rowCount_ = new QLabel(statusBarWidget);
  rowCount_->setObjectName(QStringLiteral("rowCount"));
  rowCount_->setAlignment(Qt::AlignCenter);
  rowCount_->setFrameShape(QFrame::StyledPanel);
  rowCount_->setFrameShadow(QFrame::Sunken);
  rowCount_->hide();
  statusBarWidget->addPermanentWidget(rowCount_);
  const std::pair<int, const char*> panes[] = {
      {ID_INDICATOR_CAPS, "CAP"}, {ID_INDICATOR_NUM, "NUM"}, {ID_INDICATOR_SCRL, "SCRL"}};
  for (const auto& [id, text] : panes) {
    auto* label = new QLabel(statusBarWidget);
    label->setObjectName(QString::fromLatin1(text));
    label->setAlignment(Qt::AlignCenter);
    // Sized for the text, blank while the key is off.
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QString::fromLatin1(text)) + 8);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    statusBarWidget->addPermanentWidget(label);
    indicators_[id] = label;
  }
  // The lock keys may change in any window: the indicators follow them
  // while the platform can tell.
  if (dcReadLockKeys()) {
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, &CMainFrame::updateKeyIndicators);
    poll->start(kIndicatorPollMs);
  }
  updateKeyIndicators();
}

void CMainFrame::updateKeyIndicators() {
  const std::optional<dcLockKeys_t> keys = dcReadLockKeys();
  setIndicator(ID_INDICATOR_CAPS, keys && keys->caps);
  setIndicator(ID_INDICATOR_NUM, keys && keys->num);
  setIndicator(ID_INDICATOR_SCRL, keys && keys->scroll);
}

void CMainFrame::setRowCountText(const QString& text) {
  rowCount_->setText(text);
  rowCount_->setVisible(!text.isEmpty());
}

void CMainFrame::setIndicator(int indicatorId, bool on) {
  auto it = indicators_.find(indicatorId);
  if (it == indicators_.end()) return;
  it->second->setText(on ? it->second->objectName() : QString());
}

void CMainFrame::OnCreateClient(const dcPaneFactories_t& factories) {
  outerSplitter = new CColorSplitterWnd(Qt::Horizontal, this);
  outerSplitter->setObjectName(QStringLiteral("outerSplitter"));
  setCentralWidget(outerSplitter);

  // The tree column starts as wide as the picture that heads it.
  const int treeWidth = dcLoadBitmap(dcArt::TREE_PICTURE).width();

  QWidget* tree = factories.tree ? factories.tree(outerSplitter) : nullptr;
  outerSplitter->addWidget(tree ? tree : placeholderPane(outerSplitter, "treePane"));

  innerSplitter = new CColorSplitterWnd(Qt::Vertical, outerSplitter);
  innerSplitter->setObjectName(QStringLiteral("innerSplitter"));
  outerSplitter->addWidget(innerSplitter);

  innerSplitter->addWidget(new dcFunctionTitleForm_t(innerSplitter));
  QWidget* viewer = factories.viewer ? factories.viewer(innerSplitter) : nullptr;
  innerSplitter->addWidget(viewer ? viewer : placeholderPane(innerSplitter, "viewerPane"));
  viewerPane = innerSplitter->widget(1);

  // The first pane keeps its size when the window grows; the last takes the rest.
  outerSplitter->setStretchFactor(0, 0);
  outerSplitter->setStretchFactor(1, 1);
  outerSplitter->setSizes({treeWidth, std::max(10, width() - treeWidth)});
  innerSplitter->setStretchFactor(0, 0);
  innerSplitter->setStretchFactor(1, 1);
  innerSplitter->setSizes({TITLE_PANE_HEIGHT, std::max(10, height() - TITLE_PANE_HEIGHT)});

  // The bar under the title pane is fixed and painted as a dark blue band.
  innerSplitter->setLocked(true);
  innerSplitter->flatBars = 1;
  innerSplitter->barColour = INNER_BAR_COLOUR;
}

void CMainFrame::replacePane(CColorSplitterWnd* splitter, int index, QWidget* pane) {
  if (!pane) return;
  const QList<int> sizes = splitter->sizes();
  QWidget* old = splitter->replaceWidget(index, pane);
  if (old && old != pane) old->deleteLater();
  splitter->setSizes(sizes);
}

void CMainFrame::setTreePane(QWidget* pane) { replacePane(outerSplitter, 0, pane); }

void CMainFrame::setViewerPane(QWidget* pane) {
  replacePane(innerSplitter, 1, pane);
  viewerPane = innerSplitter->widget(1);
}

QWidget* CMainFrame::treePane() const { return outerSplitter->widget(0); }

dcFunctionTitleForm_t* CMainFrame::titleForm() const {
  return qobject_cast<dcFunctionTitleForm_t*>(innerSplitter->widget(0));
}

void CMainFrame::createMenus() {
  struct Entry {
    int id;  // 0: separator
    const char* text;
  };
  auto addMenu = [this](const char* title, std::initializer_list<Entry> entries) {
    QMenu* menu = menuBar()->addMenu(dcUiString(title));
    for (const Entry& e : entries) {
      if (e.id == 0) {
        menu->addSeparator();
        continue;
      }
      QAction* action = menu->addAction(dcUiString(e.text));
      action->setData(e.id);
      const int id = e.id;
      connect(action, &QAction::triggered, this, [this, id] { sendCommand(id); });
      actions_[id] = action;
    }
    return menu;
  };
  QMenu* fileMenu =
      addMenu("\xC6\xC4\xC0\xCF(&F)",  // 파일(&F)
              {{dcCmd::EXPORT_LIST,
                "\xBF\xA2\xBC\xBF \xC6\xC4\xC0\xCF\xB7\xCE \xC0\xFA\xC0\xE5"},  // 엑셀 파일로 저장
               {0, nullptr},
               {dcCmd::APP_EXIT, "\xC1\xBE\xB7\xE1(&X)"}});  // 종료(&X)
  viewMenu_ = addMenu(
      "\xBA\xB8\xB1\xE2(&V)",                                                         // 보기(&V)
      {{dcCmd::REDRAW, "\xC8\xAD\xB8\xE9 \xB4\xD9\xBD\xC3\xB1\xD7\xB8\xAE\xB1\xE2"},  // 화면 다시그리기
       {0, nullptr},
       {dcCmd::VIEW_WINDOWS, "Windows \xC1\xA4\xBA\xB8"},                            // Windows 정보
       {dcCmd::VIEW_HARDWARE, "\xC7\xCF\xB5\xE5\xBF\xFE\xBE\xEE \xC1\xA4\xBA\xB8"},  // 하드웨어 정보
       {dcCmd::VIEW_SOFTWARE,
        "\xBC\xD2\xC7\xC1\xC6\xAE\xBF\xFE\xBE\xEE \xC1\xA4\xBA\xB8"},  // 소프트웨어 정보
       {dcCmd::VIEW_USAGE,
        "\xC7\xC1\xB7\xCE\xB1\xD7\xB7\xA5 \xBB\xE7\xBF\xEB\xB3\xBB\xBF\xAA"},  // 프로그램 사용내역
       {0, nullptr},
       {dcCmd::VIEW_STATUS_BAR, "\xBB\xF3\xC5\xC2 \xC7\xA5\xBD\xC3\xC1\xD9(&S)"}});  // 상태 표시줄(&S)
  addMenu(
      "\xB5\xB5\xBF\xF2\xB8\xBB(&H)",                                      // 도움말(&H)
      {{dcCmd::APP_ABOUT, "DeskTally Support \xC1\xA4\xBA\xB8(&A)..."}});  // DeskTally Support 정보(&A)...
  createSiteEntries(fileMenu);
  QAction* statusBarEntry = actions_[dcCmd::VIEW_STATUS_BAR];
  statusBarEntry->setCheckable(true);
  statusBarEntry->setChecked(true);
}

QAction* CMainFrame::addViewEntry(int commandId, const QString& text, const QKeySequence& shortcut) {
  if (!viewExtrasSeparator_) viewExtrasSeparator_ = viewMenu_->addSeparator();
  QAction* action = viewMenu_->addAction(text);
  action->setData(commandId);
  action->setShortcut(shortcut);
  connect(action, &QAction::triggered, this, [this, commandId] { sendCommand(commandId); });
  actions_[commandId] = action;
  return action;
}

void CMainFrame::createAccelerators() {
  // The standard keys of the window, each sending its command. Only the
  // pane keys do something here; the file and editing commands find no
  // handler, and a text field that has the focus keeps its own editing keys.
  const std::pair<QKeySequence, int> keys[] = {
      {QKeySequence(Qt::CTRL | Qt::Key_N), dcCmd::FILE_NEW},
      {QKeySequence(Qt::CTRL | Qt::Key_O), dcCmd::FILE_OPEN},
      {QKeySequence(Qt::CTRL | Qt::Key_S), dcCmd::FILE_SAVE},
      {QKeySequence(Qt::CTRL | Qt::Key_P), dcCmd::FILE_PRINT},
      {QKeySequence(Qt::CTRL | Qt::Key_Z), dcCmd::EDIT_UNDO},
      {QKeySequence(Qt::CTRL | Qt::Key_X), dcCmd::EDIT_CUT},
      {QKeySequence(Qt::CTRL | Qt::Key_C), dcCmd::EDIT_COPY},
      {QKeySequence(Qt::CTRL | Qt::Key_V), dcCmd::EDIT_PASTE},
      {QKeySequence(Qt::ALT | Qt::Key_Backspace), dcCmd::EDIT_UNDO},
      {QKeySequence(Qt::SHIFT | Qt::Key_Delete), dcCmd::EDIT_CUT},
      {QKeySequence(Qt::CTRL | Qt::Key_Insert), dcCmd::EDIT_COPY},
      {QKeySequence(Qt::SHIFT | Qt::Key_Insert), dcCmd::EDIT_PASTE},
      {QKeySequence(Qt::Key_F6), dcCmd::NEXT_PANE},
      {QKeySequence(Qt::SHIFT | Qt::Key_F6), dcCmd::PREV_PANE},
  };
  for (const auto& [sequence, id] : keys) {
    auto* shortcut = new QShortcut(sequence, this);
    const int command = id;
    connect(shortcut, &QShortcut::activated, this, [this, command] { sendCommand(command); });
  }
}

void CMainFrame::activateNextPane(bool next) {
  QWidget* const panes[] = {treePane(), viewerPane};
  constexpr int kPanes = 2;
  const QWidget* focus = QApplication::focusWidget();
  int current = -1;
  for (int i = 0; i < kPanes; ++i)
    if (focus && panes[i] && (panes[i] == focus || panes[i]->isAncestorOf(focus))) current = i;
  int target = next ? 0 : kPanes - 1;
  if (current >= 0) target = (current + (next ? 1 : kPanes - 1)) % kPanes;
  QWidget* pane = panes[target];
  if (!pane) return;
  // The control that had the focus in that pane last, else its first
  // control that takes the focus.
  QWidget* control = pane->focusWidget();
  if (!control || !control->isVisible()) {
    control = nullptr;
    for (QWidget* w = pane->nextInFocusChain(); w && w != pane; w = w->nextInFocusChain()) {
      if (pane->isAncestorOf(w) && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
        control = w;
        break;
      }
    }
  }
  (control ? control : pane)->setFocus(Qt::ShortcutFocusReason);
}

void CMainFrame::createSiteEntries(QMenu* fileMenu) {
  // After the fixed entries, which keep their places.
  fileMenu->addSeparator();
  auto add = [this, fileMenu](int id, const QString& text) {
    QAction* action = fileMenu->addAction(text);
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { sendCommand(id); });
    actions_[id] = action;
    return action;
  };
  add(dcCmd::OPEN_SITE, QString::fromUtf8(kOpenSiteText));
  for (int i = 0; i < dcCmd::RECENT_SITE_COUNT; ++i)
    add(dcCmd::RECENT_SITE_FIRST + i, QString())->setVisible(false);
}

void CMainFrame::setRecentSites(const QStringList& folders) {
  for (int i = 0; i < dcCmd::RECENT_SITE_COUNT; ++i) {
    QAction* entry = actions_[dcCmd::RECENT_SITE_FIRST + i];
    const bool shown = i < folders.size();
    QString folder = shown ? folders[i] : QString();
    entry->setText(shown ? QStringLiteral("&%1 %2").arg(i + 1).arg(folder.replace(u'&', QStringLiteral("&&")))
                         : QString());
    entry->setVisible(shown);
  }
}

void CMainFrame::setSiteHint(const QString& text) {
  QWidget* pane = treePane();
  if (text.isEmpty() || !pane) {
    if (siteHint_) siteHint_->hide();
    return;
  }
  if (!siteHint_ || siteHint_->parentWidget() != pane) {
    delete siteHint_;
    siteHint_ = new QLabel(pane);
    siteHint_->setObjectName(QStringLiteral("siteHint"));
    siteHint_->setWordWrap(true);
    siteHint_->setAlignment(Qt::AlignCenter);
    siteHint_->setMargin(kSiteHintMargin);
    siteHint_->setAutoFillBackground(true);
    QPalette palette = siteHint_->palette();
    palette.setColor(QPalette::Window, Qt::white);
    siteHint_->setPalette(palette);
    pane->installEventFilter(this);
  }
  siteHint_->setText(text);
  siteHint_->setGeometry(pane->rect());
  siteHint_->raise();
  siteHint_->show();
}

QString CMainFrame::siteHint() const {
  return siteHint_ && !siteHint_->isHidden() ? siteHint_->text() : QString();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  // The hint keeps covering the tree pane as the pane changes size.
  if (siteHint_ && watched == siteHint_->parentWidget() && event->type() == QEvent::Resize)
    siteHint_->setGeometry(siteHint_->parentWidget()->rect());
  return QMainWindow::eventFilter(watched, event);
}

QAction* CMainFrame::commandAction(int commandId) const {
  auto it = actions_.find(commandId);
  return it == actions_.end() ? nullptr : it->second;
}

void CMainFrame::addCommandTarget(dcCommandTarget_t* target) {
  if (target && std::find(targets_.begin(), targets_.end(), target) == targets_.end())
    targets_.push_back(target);
}

void CMainFrame::removeCommandTarget(dcCommandTarget_t* target) {
  targets_.erase(std::remove(targets_.begin(), targets_.end(), target), targets_.end());
}

bool CMainFrame::sendCommand(int commandId) {
  emit commandSent(commandId);
  switch (commandId) {
    case dcCmd::EXPORT_LIST:
      OnExportList();
      return true;
    case dcCmd::APP_EXIT:
      close();
      return true;
    case dcCmd::NEXT_PANE:
    case dcCmd::PREV_PANE:
      activateNextPane(commandId == dcCmd::NEXT_PANE);
      return true;
    case dcCmd::VIEW_STATUS_BAR: {
      const bool show = !statusBarWidget->isVisibleTo(this);
      statusBarWidget->setVisible(show);
      if (QAction* entry = commandAction(dcCmd::VIEW_STATUS_BAR)) entry->setChecked(show);
      return true;
    }
    default:
      break;
  }
  // A target may remove itself while handling; walk a copy.
  const std::vector<dcCommandTarget_t*> targets = targets_;
  for (dcCommandTarget_t* target : targets)
    if (target->onCommand(commandId)) return true;
  return false;
}

void CMainFrame::OnExportList() {
  if (!theViewerPane) {
    status = dcStatus::MISSING_OBJECT;
    return;
  }
  theViewerPane->exportList();
}
