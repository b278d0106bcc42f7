// The console's one document: the commands that load the data and switch
// the list on the right. The main window routes command ids here: the data
// load (32771), the redraw (32772) and the four views (32773 to 32776).
// It is never saved or opened from a file.
#pragma once

#include <QString>
#include <cstddef>
#include <functional>

#include "dcPaneHooks.h"
#include "dcStatus.h"

struct dcDataLoadProgress_t;

class CDcOverlookDoc : public dcCommandTarget_t {
 public:
  // Tells the operator something: caption and text, ready for display.
  using MessageSink = std::function<void(const QString& caption, const QString& text)>;
  // Runs one data load; load is called once with the progress to report to
  // (or nullptr). A window can show a progress dialog around it.
  using LoadRunner = std::function<void(const std::function<void(const dcDataLoadProgress_t*)>& load)>;

  // The caption of the document's messages: the application title.
  static constexpr const char* MESSAGE_CAPTION = "dcOverlook";

  CDcOverlookDoc();
  ~CDcOverlookDoc();
  CDcOverlookDoc(const CDcOverlookDoc&) = delete;
  CDcOverlookDoc& operator=(const CDcOverlookDoc&) = delete;

  bool onCommand(int commandId) override;

  // 32771: clears and reloads the group tree from the group file and the
  // data folder, writes the listing, gathers, then rebuilds the tree form and
  // selects its root. A group file that ends early is reported through
  // messageSink and ends the command there.
  void OnLoadData();
  // 32772: the list viewer refills its list, the title form repaints.
  void OnRedraw();
  // 32773 to 32776: the view's tab text becomes the title form's current
  // title, then the redraw runs.
  void OnViewList(int commandId);

  // The tab text a view command writes (CP949), or nullptr.
  static const char* viewTitle(int commandId);

  // 201 when a command found a window or the engine missing.
  dcStatus_t status = dcStatus::OK;
  // Default: a modal message box over the main window.
  MessageSink messageSink;
  // Default: with a progress dialog over the main window.
  LoadRunner loadRunner;
};

// A message sink that writes to standard error and never blocks.
CDcOverlookDoc::MessageSink dcStandardErrorSink();
