// The console program: the window library and this entry.
#include <QApplication>

#include "CMainFrame.h"
#include "dcQtWindowServices.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // Scripts reach the window through these (find it, send it commands).
  dcQtWindowServices_t services;
  winsvc::ScopedServices installed(&services);
  CMainFrame frame;
  frame.show();
  return app.exec();
}
