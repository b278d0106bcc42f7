// The console program: the window library and this entry.
#include <QApplication>

#include "CDcOverlookApp.h"
#include "sys.h"

int main(int argc, char** argv) {
  sys::configureHeap();
  QApplication qt(argc, argv);
  // QApplication has taken its own options out of argv; the rest is the
  // console's command line.
  CDcOverlookApp app;
  return app.run(CDcOverlookApp::rawCommandLine(argc, argv));
}
