// The console program: the window library and this entry.
#include <QApplication>

#include "CMainFrame.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  CMainFrame frame;
  frame.show();
  return app.exec();
}
