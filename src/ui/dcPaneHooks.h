// How the panes of the main window reach one another. The tree form and the
// list viewer form register themselves here while they exist (constructor
// sets, destructor clears only if it still names them); code that finds a
// slot empty treats the form as missing (status 201).
#pragma once

#include "dcStatus.h"

class dcObject_t;

// The hierarchy tree form as the other panes see it.
class dcTreePane_t {
 public:
  // The object of the selected tree item (a group or a client, told apart by
  // its class name), or nullptr when nothing is selected.
  virtual dcObject_t* selectedObject() const = 0;

 protected:
  ~dcTreePane_t() = default;
};

// The list viewer form as the frame and the document see it.
class dcViewerPane_t {
 public:
  // Refills the list for the selected object and the current view (what the
  // redraw command 32772 sent to the viewer does).
  virtual dcStatus_t refresh() = 0;
  // Saves the list as a tab-separated file (command 32780).
  virtual dcStatus_t exportList() = 0;
  // Makes every row the list has not made yet from the inventories, so that
  // it holds nothing of them (before a data load replaces them).
  virtual void makeAllRows() {}

 protected:
  ~dcViewerPane_t() = default;
};

// Something that handles command ids sent to the main window: the document,
// the application. Answers true when it handled the id.
class dcCommandTarget_t {
 public:
  virtual bool onCommand(int commandId) = 0;

 protected:
  ~dcCommandTarget_t() = default;
};

extern dcTreePane_t* theTreePane;
extern dcViewerPane_t* theViewerPane;

// Registration helpers for the global pointers of the forms.
template <class T>
void dcRegisterPane(T*& slot, T* pane) {
  slot = pane;
}
template <class T>
void dcUnregisterPane(T*& slot, T* pane) {
  if (slot == pane) slot = nullptr;
}
