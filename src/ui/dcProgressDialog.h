// A small window that follows a long data load: "데이터파일 읽기" (reading
// data files) with the files read of the files found and a bar. While the
// load runs, every progress report that comes at least a short while after
// the last one lets the window system paint (user input stays queued until
// the load is over), so the main window stays drawn. The dialog itself
// appears only when the load lasts long enough to be noticed; it changes
// nothing in the load's order or results.
//
//   dcProgressDialog_t dialog(mainWindow);
//   dcDataLoadProgress_t progress = dialog.progress();
//   runDataLoad(engine, &progress);   // may raise dcArchiveException_t
//   dialog.finish();                  // also done by the destructor
//
// or in one call: dcProgressDialog_t::runDataLoad(engine, mainWindow).
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <cstddef>

#include "dcDataLoad.h"

class QLabel;
class QProgressBar;

class dcProgressDialog_t : public QDialog {
  Q_OBJECT

 public:
  static constexpr int SHOW_AFTER_MS = 300;  // loads shorter than this show no dialog
  static constexpr int UPDATE_EVERY_MS = 40;

  explicit dcProgressDialog_t(QWidget* parent = nullptr);
  ~dcProgressDialog_t() override;

  // The callback to hand to runDataLoad; valid while this dialog lives.
  dcDataLoadProgress_t progress();
  // One report: filesRead of filesFound.
  void onFile(std::size_t filesRead, std::size_t filesFound);
  // The load is over: the dialog goes.
  void finish();

  // The data load of start-up, with this dialog over parent. Returns what
  // runDataLoad returns; its archive read error passes through.
  static dcStatus_t runDataLoad(dcAssetConsoleEngine_t* engine, QWidget* parent);

  // The text under the title, e.g. "120 / 40000".
  QString countText() const;

  std::size_t filesRead = 0;
  std::size_t filesFound = 0;
  int updates = 0;  // times the window system was let run

 private:
  void report(bool force);

  QLabel* label_;
  QProgressBar* bar_;
  QElapsedTimer started_;
  QElapsedTimer lastUpdate_;
};
