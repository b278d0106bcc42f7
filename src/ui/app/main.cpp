// The console program: the window library and this entry.
#include <QApplication>
#include <cstdio>
#include <cstring>
#include <optional>

#include "CDcOverlookApp.h"
#include "sys.h"
#include "winfs.h"

int main(int argc, char** argv) {
  sys::configureHeap();
  // The help needs no window system.
  if (argc > 1 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(CDcOverlookApp::usageText(), stdout);
    return 0;
  }
  QApplication qt(argc, argv);
  QGuiApplication::setDesktopFileName(QStringLiteral("org.desktally.DeskTally"));
  // QApplication has taken its own options out of argv; the program's come
  // next, and the rest is the console's command line.
  const CDcOverlookApp::Arguments arguments = CDcOverlookApp::parseArguments(argc, argv);
  if (arguments.error) {
    std::fprintf(stderr, "desktally: %s\ntry desktally --help\n", arguments.error->c_str());
    return CDcOverlookApp::EXIT_STARTUP_FAILED;
  }
  if (arguments.help) {
    std::fputs(CDcOverlookApp::usageText(), stdout);
    return 0;
  }
  std::optional<winfs::DriveChoice> site;
  if (arguments.site) site.emplace('C', *arguments.site);
  CDcOverlookApp app;
  return app.run(arguments.commandLine);
}
