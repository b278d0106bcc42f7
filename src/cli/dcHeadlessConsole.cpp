#include "dcHeadlessConsole.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <ostream>

#include "CSettingMgr.h"
#include "archive.h"
#include "cp949.h"
#include "dcAssetConsoleEngine.h"
#include "dcCommandList.h"
#include "dcDataLoad.h"
#include "dcQsGroup.h"
#include "dcXml.h"
#include "winfs.h"

namespace dccli {

namespace {

constexpr const char* PROGRAM = "desktally-cli: ";
constexpr const char* SCRIPT = "qsAssetConsole.ini";

std::optional<dcViewKind_t> viewNamed(const std::string& name) {
  if (name == "windows") return dcViewKind_t::WINDOWS_INFO;
  if (name == "hardware") return dcViewKind_t::HARDWARE;
  if (name == "software") return dcViewKind_t::SOFTWARE;
  if (name == "usage") return dcViewKind_t::USAGE;
  return std::nullopt;
}

// Messages quote core texts in UTF-8, for the terminal.
std::string shown(const std::string& core) { return mb::toUtf8(core); }

// The host path of the file or folder that a setting names through the
// path rule.
std::string sitePath(const char* key, std::string* hostPath) {
  char path[DATA_PATH_SIZE];
  buildDataPath(CSettingMgr::GetInstance()->GetValue(key), path, sizeof path);
  *hostPath = winfs::hostPath(path);
  return path;
}

// One line for each piece of the site that the load goes without: the
// settings file, the group file and the data folder, each named with its
// Windows path and its path on disk. EXIT_BAD_SITE when a piece is missing.
int reportMissingSite(const CSettingMgr& settings, std::ostream& err) {
  int code = EXIT_OK;
  if (!settings.document || !settings.document->root) {
    err << PROGRAM << "cannot read the settings file " << CSettingMgr::DEFAULT_PATH << " ("
        << winfs::hostPath(CSettingMgr::DEFAULT_PATH)
        << "); give the folder that holds qss/qslook.xml with --site DIR\n";
    code = EXIT_BAD_SITE;
  }
  std::string host;
  const std::string groupFile = sitePath("qssgrp", &host);
  std::unique_ptr<std::FILE, winfs::FileCloser> file(winfs::openFile(groupFile.c_str(), "rb"));
  if (!file || winfs::isDirectory(groupFile.c_str())) {
    err << PROGRAM << "cannot read the group file " << shown(groupFile) << " (" << host << ")\n";
    code = EXIT_BAD_SITE;
  }
  const std::string folder = sitePath("logdata", &host);
  if (!winfs::isDirectory(folder.c_str())) {
    err << PROGRAM << "cannot read the data folder " << shown(folder) << " (" << host << ")\n";
    code = EXIT_BAD_SITE;
  }
  return code;
}

// The list as text in a format other than a workbook.
std::string listText(const dcViewList_t& list, dcListFormat_t format) {
  switch (format) {
    case dcListFormat_t::CSV:
      return dclistfile::csvText(list);
    case dcListFormat_t::JSON:
      return dclistfile::jsonText(list);
    case dcListFormat_t::TSV:
    case dcListFormat_t::XLSX:
      break;
  }
  return dcviews::exportText(list);
}

// The exit code of a run in which several things went wrong: the lowest
// non-zero code.
class ExitCode {
 public:
  void note(int code) {
    if (code != EXIT_OK && (code_ == EXIT_OK || code < code_)) code_ = code;
  }
  int code() const { return code_; }

 private:
  int code_ = EXIT_OK;
};

}  // namespace

const char* usageText() {
  return "usage: desktally-cli [options] [command words...]\n"
         "\n"
         "Loads the site as the console does (settings C:\\qss\\qslook.xml, the command\n"
         "words as one command line, qsAssetConsole.ini, group file and data folder,\n"
         "qsHierarchy.log, gathering) and prints what is asked:\n"
         "\n"
         "  --site DIR             use DIR, a folder that holds qss/qslook.xml, as\n"
         "                         drive C: for this run\n"
         "  --tree                 the group tree, sub-groups before clients, two blanks\n"
         "                         of indent a level\n"
         "  --view KIND            one list as the viewer fills it, tab-separated like an\n"
         "                         export: KIND is windows, hardware, software or usage\n"
         "  --group NAME           the list of that group (default: the root)\n"
         "  --client NAME          the list of that client\n"
         "  --from YYYY.MM.DD      first day of the usage period (default: today)\n"
         "  --to YYYY.MM.DD        last day of the usage period (default: today)\n"
         "  --filter TEXT          only the rows holding TEXT in some cell, as the\n"
         "                         window's filter bar keeps them (ASCII letters match\n"
         "                         either case)\n"
         "  --format FORMAT        how --view prints the list: tsv (the default, as\n"
         "                         above), csv (comma-separated, quoted as RFC 4180\n"
         "                         says), json (an array of objects keyed by the column\n"
         "                         headers, always UTF-8; a repeated header gets _2, _3)\n"
         "                         or xlsx (a workbook with one sheet named after the\n"
         "                         view, bold frozen header, usage minutes as numbers;\n"
         "                         needs -o)\n"
         "  --utf8                 print UTF-8 instead of CP949 bytes (tsv and csv)\n"
         "  -o FILE                write to FILE instead of standard output\n"
         "  --help                 this text\n"
         "\n"
         "Drive C: is the folder given by --site, else the one DESKTALLY_DRIVE_C names,\n"
         "else the one the console window last opened (key C of [drives] in\n"
         "~/.config/DeskTally/desktally.conf).\n"
         "A missing settings file, group file or data folder does not stop the load:\n"
         "the console goes on with what there is (the root alone when nothing could\n"
         "be loaded), as the window does, and names each missing piece on stderr.\n"
         "\n"
         "Exit codes: 0 done, 1 bad option, 2 command line refused (or a command word\n"
         "it cannot carry), 3 group file ended early (output written), 4 settings file,\n"
         "group file or data folder missing (output written), 5 no such group or\n"
         "client, 6 output file not written, 7 the list could not be built. When\n"
         "several apply, the lowest one is the exit code.\n";
}

std::optional<std::string> parseOptions(const std::vector<std::string>& args, Options& options) {
  options = Options{};
  std::size_t i = 0;
  for (; i < args.size(); ++i) {
    std::string arg = args[i];
    if (arg == "--") {
      ++i;
      break;
    }
    if (arg.empty() || arg[0] != '-') break;
    // "--name=value" is "--name value".
    std::optional<std::string> inlineValue;
    if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      inlineValue = arg.substr(eq + 1);
      arg.resize(eq);
    }
    auto value = [&]() -> std::optional<std::string> {
      if (inlineValue) return inlineValue;
      if (i + 1 < args.size()) return args[++i];
      return std::nullopt;
    };
    const bool takesValue = arg == "--view" || arg == "--group" || arg == "--client" || arg == "--from" ||
                            arg == "--to" || arg == "--filter" || arg == "--format" || arg == "-o" ||
                            arg == "--site";
    if (!takesValue && inlineValue) return "option " + arg + " takes no value";
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--tree") {
      options.tree = true;
    } else if (arg == "--utf8") {
      options.utf8 = true;
    } else if (!takesValue) {
      return "unknown option " + arg;
    } else {
      const std::optional<std::string> v = value();
      if (!v) return "option " + arg + " needs a value";
      if (arg == "--view") {
        const auto kind = viewNamed(*v);
        if (!kind) return "unknown view '" + *v + "' (windows, hardware, software or usage)";
        options.view = *kind;
      } else if (arg == "--group" || arg == "--client") {
        std::optional<std::string> name = dcTextFromTerminal(*v);
        if (!name) return "the name '" + *v + "' of " + arg + " holds a character that code page 949 lacks";
        (arg == "--group" ? options.group : options.client) = std::move(name);
      } else if (arg == "--filter") {
        options.filter = mb::isValidUtf8(*v) ? dcRowFilter_t::fromUtf8(*v) : dcRowFilter_t(*v);
      } else if (arg == "--format") {
        const auto format = dclistfile::formatNamed(*v);
        if (!format) return "unknown format '" + *v + "' (tsv, csv, json or xlsx)";
        options.format = *format;
      } else if (arg == "--site") {
        if (v->empty()) return "option --site needs a folder";
        options.site = *v;
      } else if (arg == "-o") {
        if (v->empty()) return "option -o needs a file name";
        options.outputFile = *v;
      } else {
        const auto date = dcViewDate_t::parse(v->c_str());
        if (!date) return "bad date '" + *v + "' for " + arg + " (YYYY.MM.DD)";
        (arg == "--from" ? options.from : options.to) = *date;
      }
    }
  }
  options.words.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());

  if (options.help) return std::nullopt;
  if (options.group && options.client) return "give --group or --client, not both";
  if ((options.group || options.client) && options.view == dcViewKind_t::NONE)
    return "--group and --client choose the node of --view";
  if ((options.from || options.to) && options.view != dcViewKind_t::USAGE)
    return "--from and --to apply to --view usage";
  if (options.filter && options.view == dcViewKind_t::NONE) return "--filter applies to the list of --view";
  if (options.format != dcListFormat_t::TSV && (options.view == dcViewKind_t::NONE || options.tree))
    return "--format csv, json and xlsx write the list of --view alone, without --tree";
  if (options.format == dcListFormat_t::XLSX && !options.outputFile) return "--format xlsx needs -o FILE";
  return std::nullopt;
}

dcJoinedCommandLine_t rawCommandLine(const std::vector<std::string>& words) {
  return dcJoinTerminalWords(words);
}

std::string treeText(dcQsGroup_t* root) {
  std::string text;
  if (!root) return text;
  auto line = [&text](const char* name, std::size_t depth) {
    text.append(2 * depth, ' ');
    text += name;
    text += '\n';
  };
  // A group's line, then its sub-groups' subtrees, then its clients; an
  // explicit stack, so that no depth of tree exhausts the call stack.
  struct Frame {
    dcQsGroup_t* group;
    std::size_t depth;
    dcQsGroupNode_t* nextChild;
  };
  std::vector<Frame> stack;
  line(root->name, 0);
  stack.push_back({root, 0, root->children});
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (dcQsGroupNode_t* node = frame.nextChild) {
      frame.nextChild = node->next;
      if (!node->pGroup) continue;
      const std::size_t depth = frame.depth + 1;
      line(node->pGroup->name, depth);
      stack.push_back({node->pGroup, depth, node->pGroup->children});
      continue;
    }
    for (dcQsClientNode_t* node = frame.group->clients; node; node = node->next)
      if (node->pClient) line(node->pClient->name, frame.depth + 1);
    stack.pop_back();
  }
  return text;
}

int run(const Options& options, std::ostream& out, std::ostream& err) {
  ExitCode exit;
  // The site given on the command line is drive C: while this run lasts.
  std::optional<winfs::DriveChoice> site;
  if (options.site) {
    if (!CSettingMgr::isSiteFolder(*options.site)) {
      err << PROGRAM << *options.site << " is not a site folder: it holds no qss/qslook.xml\n";
      return EXIT_BAD_SITE;
    }
    site.emplace('C', *options.site);
  }
  // 1. The settings the program read as it started; read afresh only when
  // the drive mapping now names another file (runs inside a test program).
  // Without the file every lookup is empty and the load goes on.
  std::optional<CSettingMgr> fresh;
  CSettingMgr* settings = theSettingMgr;
  if (!settings || settings->hostPath() != winfs::hostPath(CSettingMgr::DEFAULT_PATH))
    settings = &fresh.emplace(CSettingMgr::DEFAULT_PATH);
  CSettingMgrOverride useSettings(settings);

  // 2. The engine, 3. the command words as the process command line; a
  // refusal ends the run before the load, as it ends the window's start-up.
  auto engine = std::make_unique<dcAssetConsoleEngine_t>();
  const dcJoinedCommandLine_t commandLine = rawCommandLine(options.words);
  if (!commandLine) {
    err << PROGRAM << commandLine.error << "\n";
    exit.note(EXIT_COMMAND_LINE);
  } else if (const dcStatus_t result = engine->interpret(commandLine.line.c_str()); result != dcStatus::OK) {
    err << PROGRAM << "the command line '" << shown(commandLine.line) << "' was refused (status " << result;
    if (commandLine.line.size() > dcCommandList_t::MAX_LINE)
      err << ": longer than the " << dcCommandList_t::MAX_LINE << " bytes a command line may hold";
    err << ")\n";
    exit.note(EXIT_COMMAND_LINE);
  }
  if (exit.code() != EXIT_OK) {
    exit.note(reportMissingSite(*settings, err));
    return exit.code();
  }
  engine->initialize(nullptr);
  engine->loadIni(SCRIPT);

  // 4. The data load, with whatever the site holds; a group file that ends
  // early stops it where it is.
  exit.note(reportMissingSite(*settings, err));
  try {
    runDataLoad(engine.get());
  } catch (const dcArchiveException_t& e) {
    err << PROGRAM << "the group file ended early: " << e.what()
        << "; the tree holds what was read before, nothing was gathered\n";
    exit.note(EXIT_ARCHIVE_ERROR);
  }

  // 5. The output asked for.
  std::string text;
  std::optional<std::string> workbookError;
  if (options.tree) text += treeText(&engine->root);
  if (options.view != dcViewKind_t::NONE) {
    dcObject_t* node = &engine->root;
    if (options.client) {
      node = engine->root.findClient(options.client->c_str());
      if (!node) err << PROGRAM << "no client named '" << shown(*options.client) << "'\n";
    } else if (options.group) {
      node = engine->root.findGroup(options.group->c_str());
      if (!node) err << PROGRAM << "no group named '" << shown(*options.group) << "'\n";
    }
    if (!node) {
      exit.note(EXIT_NO_NODE);
      return exit.code();
    }
    const dcViewDate_t today = dcViewDate_t::today();
    dcViewPeriod_t period{options.from.value_or(today), options.to.value_or(today)};
    dcViewList_t list;
    const dcViewRefresh_t result = dcviews::refresh(node, dcviews::titleOfView(options.view), period, list);
    if (result.status.value_or(dcStatus::MISSING_OBJECT) != dcStatus::OK) {
      err << PROGRAM << "the list could not be built (status "
          << result.status.value_or(dcStatus::MISSING_OBJECT) << ")\n";
      exit.note(EXIT_VIEW_FAILED);
      return exit.code();
    }
    if (options.filter) options.filter->keepMatching(list);
    if (options.format == dcListFormat_t::XLSX)
      workbookError = dclistfile::writeWorkbook(*options.outputFile, list, options.view);
    else
      text += listText(list, options.format);
  }
  // JSON is UTF-8 already.
  if (options.utf8 && options.format != dcListFormat_t::JSON) text = mb::toUtf8(text);

  if (options.format == dcListFormat_t::XLSX) {
    if (workbookError) {
      err << PROGRAM << "cannot write " << *options.outputFile << ": " << *workbookError << "\n";
      exit.note(EXIT_OUTPUT);
    }
  } else if (options.outputFile) {
    std::ofstream file(*options.outputFile, std::ios::binary | std::ios::trunc);
    if (file) file.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!file || !file.flush()) {
      err << PROGRAM << "cannot write " << *options.outputFile << ": " << std::strerror(errno) << "\n";
      exit.note(EXIT_OUTPUT);
    }
  } else {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
  }
  return exit.code();
}

int consoleMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Options options;
  if (const auto error = parseOptions(args, options)) {
    err << PROGRAM << *error << "\n"
        << "try desktally-cli --help\n";
    return EXIT_BAD_OPTION;
  }
  if (options.help) {
    out << usageText();
    return EXIT_OK;
  }
  return run(options, out, err);
}

}  // namespace dccli
