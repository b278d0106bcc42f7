// The console's main window: the menu bar, the status bar and two
// splitters holding the three forms: the tree on the left, the title pane
// above the list viewer on the right. Menu entries and the forms' buttons
// send numeric command ids here; sendCommand routes them.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "dcPaneHooks.h"
#include "dcStatus.h"

class CColorSplitterWnd;
class QAction;
class QKeySequence;
class QLabel;
class QMenu;
class QStatusBar;
class dcFunctionTitleForm_t;

// Makers of the forms that live in other files; a maker left empty gives an
// empty pane of the same place and size, to be swapped in later.
struct dcPaneFactories_t {
  std::function<QWidget*(QWidget* parent)> tree;
  std::function<QWidget*(QWidget* parent)> viewer;
};

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  // Status bar panes after the message pane.
  static constexpr int ID_INDICATOR_CAPS = 59137;
  static constexpr int ID_INDICATOR_NUM = 59138;
  static constexpr int ID_INDICATOR_SCRL = 59139;
  static constexpr int INNER_BAR_COLOUR = 0x581D08;  // 0x00BBGGRR: dark blue
  static constexpr int TITLE_PANE_HEIGHT = 100;

  explicit CMainFrame(const dcPaneFactories_t& factories = {}, QWidget* parent = nullptr);
  ~CMainFrame() override;

  // The main window of the run, while it exists.
  static CMainFrame* mainWindow();
  // Sends a command to the main window and waits for it; false when there
  // is no main window or nobody handled the id.
  static bool sendToMainWindow(int commandId);

  // Runs command commandId now: the frame's own commands (export, exit,
  // status bar), then the registered targets in order until one handles it.
  bool sendCommand(int commandId);
  void addCommandTarget(dcCommandTarget_t* target);
  void removeCommandTarget(dcCommandTarget_t* target);

  // The menu entry of a command id, or nullptr.
  QAction* commandAction(int commandId) const;
  // Appends an entry to the View menu, after its fixed entries and a
  // separator before the first one added; it sends commandId.
  QAction* addViewEntry(int commandId, const QString& text, const QKeySequence& shortcut = {});

  // The right-hand status bar text before the lock keys (the list's
  // "shown / total" rows); an empty text hides it.
  void setRowCountText(const QString& text);

  // Swap a form into the tree or viewer pane; the old pane is deleted and
  // the splitter sizes stay. setViewerPane also records viewerPane.
  void setTreePane(QWidget* pane);
  void setViewerPane(QWidget* pane);
  QWidget* treePane() const;
  dcFunctionTitleForm_t* titleForm() const;

  // Shows or blanks a lock-key indicator of the status bar.
  void setIndicator(int indicatorId, bool on);
  // Sets the three lock-key indicators from the keyboard; blank where the
  // platform cannot tell.
  void updateKeyIndicators();

  // The File menu's recent-site entries: one per folder, newest first, at
  // most dcCmd::RECENT_SITE_COUNT; the rest hidden.
  void setRecentSites(const QStringList& folders);
  // Covers the tree pane with text (how to open a site); empty: uncovered.
  void setSiteHint(const QString& text);
  QString siteHint() const;

  dcStatus_t status = dcStatus::OK;
  CColorSplitterWnd* outerSplitter = nullptr;
  CColorSplitterWnd* innerSplitter = nullptr;
  QWidget* viewerPane = nullptr;
  QStatusBar* statusBarWidget = nullptr;

 signals:
  // Every command id sendCommand receives, before it is run.
  void commandSent(int commandId);

 private:
  void OnCreate();
  void OnCreateClient(const dcPaneFactories_t& factories);
  void createMenus();
  void createAccelerators();
  // Moves the focus to the next (or previous) of the tree and list panes.
  void activateNextPane(bool next);
  void OnExportList();
  void replacePane(CColorSplitterWnd* splitter, int index, QWidget* pane);
  void createSiteEntries(QMenu* fileMenu);
  bool eventFilter(QObject* watched, QEvent* event) override;

  QMenu* viewMenu_ = nullptr;
  QAction* viewExtrasSeparator_ = nullptr;
  QLabel* rowCount_ = nullptr;
  std::map<int, QAction*> actions_;
  std::map<int, QLabel*> indicators_;
  std::vector<dcCommandTarget_t*> targets_;
  QPointer<QLabel> siteHint_;
};
