// desktally-cli: the console without windows. The same start-up and load
// path as the window (settings, engine, command line, "qsAssetConsole.ini",
// data load with listing and gathering), then it prints the tree or one
// list as the viewer would fill it, in the export's file format or as
// comma-separated text, JSON or a workbook.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "dcCommandList.h"
#include "dcListFiles.h"
#include "dcListViews.h"
#include "dcRowFilter.h"

class dcQsGroup_t;

namespace dccli {

// Exit codes; when several apply, the lowest non-zero one.
constexpr int EXIT_OK = 0;
constexpr int EXIT_BAD_OPTION = 1;     // unknown option, missing or bad value
constexpr int EXIT_COMMAND_LINE = 2;   // the engine refused the command words
constexpr int EXIT_ARCHIVE_ERROR = 3;  // the group file ended early (output still written)
constexpr int EXIT_BAD_SITE = 4;       // settings, group file or data folder missing (output written)
constexpr int EXIT_NO_NODE = 5;        // no group or client of that name
constexpr int EXIT_OUTPUT = 6;         // the output file cannot be written
constexpr int EXIT_VIEW_FAILED = 7;    // the view reported a failure status

struct Options {
  bool help = false;
  bool tree = false;
  dcViewKind_t view = dcViewKind_t::NONE;
  // CP949, converted from the terminal's UTF-8.
  std::optional<std::string> group;
  std::optional<std::string> client;
  std::optional<dcViewDate_t> from;
  std::optional<dcViewDate_t> to;
  // Only the rows with this text in some cell, as the window's filter bar.
  std::optional<dcRowFilter_t> filter;
  dcListFormat_t format = dcListFormat_t::TSV;
  bool utf8 = false;
  std::optional<std::string> outputFile;  // host path, as given
  // The folder that drive C: maps to for this run (host path, as given).
  std::optional<std::string> site;
  // The words after the options, as the terminal gave them.
  std::vector<std::string> words;
};

// Parses the arguments after the program name. Options come first; the
// first word that is no option, or "--", starts the command words. Returns
// an error message, or nothing when options holds the result.
std::optional<std::string> parseOptions(const std::vector<std::string>& args, Options& options);

// The command words as one raw command line that the engine reads back as
// exactly those words, or why a word cannot be carried (dcJoinTerminalWords).
dcJoinedCommandLine_t rawCommandLine(const std::vector<std::string>& words);

// The tree as the tree pane shows it: a group, then its sub-groups, then its
// clients; one name a line ("\n"), two blanks of indent a level.
std::string treeText(dcQsGroup_t* root);

// Start-up, load and output with parsed options; messages go to err.
int run(const Options& options, std::ostream& out, std::ostream& err);

// The whole program: parse, then run (or print the help).
int consoleMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The help text.
const char* usageText();

}  // namespace dccli
