// desktally-cli: the console without windows.
#include <iostream>
#include <string>
#include <vector>

#include "dcHeadlessConsole.h"
#include "sys.h"

int main(int argc, char** argv) {
  sys::configureHeap();
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  return dccli::consoleMain(args, std::cout, std::cerr);
}
