#include "dcAssetConsoleEngine.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <future>
#include <initializer_list>
#include <string>
#include <tuple>
#include <vector>

#include "cp949.h"
#include "dcLog.h"
#include "sys.h"
#include "winfs.h"

dcAssetConsoleEngine_t* theAssetConsoleEngine = nullptr;

namespace {

using Token = dcCommandList_t::Token;

// Paths of the scan: 259 characters and a zero.
constexpr std::size_t PATH_SIZE = 260;
// Each word of an inventory file name: 255 bytes and a zero.
constexpr std::size_t WORD_SIZE = 256;

// The engine a handler works on: none when there is no engine or the
// handler was called without its list or line.
dcAssetConsoleEngine_t* engineFor(dcCommandList_t* list, const char* line) {
  return (list && line) ? theAssetConsoleEngine : nullptr;
}

void traceCall(dcAssetConsoleEngine_t* engine, const char* handler, dcCommandList_t* list, const char* line) {
  theLog.pfWrite(engine, 1, "[dcAssetConsoleEngine_t::%s] instance=0x%x, pCommandLine=%s", handler,
                 dcTraceTag(list), line);
}

// --- "ignore" commands -------------------------------------------------------

// What one "ignore" command adds to which list, and what it says then.
struct IgnoreCommand {
  const char* handler;
  int tokenCount;    // tokens of the pattern
  int namePosition;  // index of the "_string" token
  const char* what;  // what the name stands for, in the trace line
  dcStringList_t dcAssetFilters_t::*list;
};

dcStatus_t ignoreName(const IgnoreCommand& command, dcCommandList_t* list, const char* line) {
  dcAssetConsoleEngine_t* engine = engineFor(list, line);
  if (!engine) return dcStatus::MISSING_OBJECT;
  traceCall(engine, command.handler, list, line);
  Token words[8];
  if (list->readTokens(line, words, command.tokenCount) != dcStatus::OK) return dcStatus::BAD_ARGUMENT;
  const char* name = words[command.namePosition];
  dcStringList_t& names = engine->filters.*command.list;
  // A name already listed is not an error; it is not added twice.
  if (names.find(name)) return dcStatus::OK;
  if (!names.add(name)) return dcStatus::NO_MEMORY;
  theLog.pfWrite(engine, 1, "[dcAssetConsoleEngine_t::%s] %s %s is set to be ignored.", command.handler,
                 command.what, name);
  return dcStatus::OK;
}

constexpr IgnoreCommand IGNORE_HARDWARE = {"_cmd_ignoreHardwareInHardwareList", 6, 2, "hardware",
                                           &dcAssetFilters_t::ignoredHardwares};
constexpr IgnoreCommand IGNORE_DEVICE = {"_cmd_ignoreDeviceInHardwareList", 6, 2, "device",
                                         &dcAssetFilters_t::ignoredDevices};
constexpr IgnoreCommand IGNORE_PACKAGE = {"_cmd_ignorePackageInSoftwareList", 6, 2, "package",
                                          &dcAssetFilters_t::ignoredPackages};
constexpr IgnoreCommand IGNORE_PACKAGE_CONTAINING = {"_cmd_ignorePackageContainingInSoftwareList", 7, 3,
                                                     "package containing",
                                                     &dcAssetFilters_t::ignoredPackagesContaining};
constexpr IgnoreCommand IGNORE_FILENAME = {"_cmd_ignoreFileNameInSoftwareList", 6, 2, "file",
                                           &dcAssetFilters_t::ignoredFileNames};
constexpr IgnoreCommand IGNORE_FILENAME_UNDER = {"_cmd_ignoreFileNameUnderInSoftwareList", 7, 3, "file under",
                                                 &dcAssetFilters_t::ignoredFileNamesUnder};
constexpr IgnoreCommand IGNORE_USAGE_PACKAGE = {"_cmd_ignorePackageInSoftwareUsageList", 7, 2, "package",
                                                &dcAssetFilters_t::ignoredUsagePackages};
constexpr IgnoreCommand IGNORE_USAGE_FILENAME = {"_cmd_ignoreFileNameInSoftwareUsageList", 7, 2, "file",
                                                 &dcAssetFilters_t::ignoredUsageFileNames};
constexpr IgnoreCommand IGNORE_USAGE_FILENAME_UNDER = {"_cmd_ignoreFileNameUnderInSoftwareUsageList", 8, 3,
                                                       "file under",
                                                       &dcAssetFilters_t::ignoredUsageFileNamesUnder};
constexpr IgnoreCommand IGNORE_WINDOWS_ITEM = {"_cmd_ignoreItemInWindowsInfo", 6, 2, "item",
                                               &dcAssetFilters_t::ignoredWindowsItems};

dcStatus_t _cmd_ignoreHardwareInHardwareList(dcCommandList_t* list, const char* line) {
  return ignoreName(IGNORE_HARDWARE, list, line);
}
dcStatus_t _cmd_ignoreDeviceInHardwareList(dcCommandList_t* list, const char* line) {
  return ignoreName(IGNORE_DEVICE, list, line);
}
dcStatus_t _cmd_ignorePackageInSoftwareList(dcCommandList_t* list, const char* line) {
  return ignoreName(IGNORE_PACKAGE, list, line);
}
dcStatus_t _cmd_ignorePackageContainingInSoftwareList(dcCommandList_t* list, const char* line) {
  return ignoreName(IGNORE_PACKAGE_CONTAINING, list, line);
}
dcStatus_t _cmd_ignoreFileNameInSoftwareList(dcCommandList_t* list, const char* line) {
  return ignoreName(IGNORE_FILENAME, list, line);
}
dcStatus_t _cmd_ignoreFileNameUnderInSoftwareList(dcCommandList_t* list, const char* line) {
  return ignoreName(IGNORE_FILENAME_UNDER, list, line);
}
dcStatus_t _cmd_ignorePackageInSoftwareUsageList(dcCommandList_t* list, const char* line) {
  return ignoreName(IGNORE_USAGE_PACKAGE, list, line);
}
dcStatus_t _cmd_ignoreFileNameInSoftwareUsageList(dcCommandList_t* list, const char* line) {
  return ignoreName(IGNORE_USAGE_FILENAME, list, line);
}
dcStatus_t _cmd_ignoreFileNameUnderInSoftwareUsageList(dcCommandList_t* list, const char* line) {
  return ignoreName(IGNORE_USAGE_FILENAME_UNDER, list, line);
}
dcStatus_t _cmd_ignoreItemInWindowsInfo(dcCommandList_t* list, const char* line) {
  return ignoreName(IGNORE_WINDOWS_ITEM, list, line);
}

// --- "clear" commands --------------------------------------------------------

// Empties the lists in the order given and traces `cleared`; the first
// non-zero result of a clear, if any, is returned.
dcStatus_t clearLists(const char* handler, const char* cleared, dcCommandList_t* list, const char* line,
                      std::initializer_list<dcStringList_t dcAssetFilters_t::*> lists) {
  dcAssetConsoleEngine_t* engine = engineFor(list, line);
  if (!engine) return dcStatus::MISSING_OBJECT;
  traceCall(engine, handler, list, line);
  dcStatus_t result = dcStatus::OK;
  for (auto member : lists) {
    const dcStatus_t one = (engine->filters.*member).clear();
    if (result == dcStatus::OK) result = one;
  }
  theLog.pfWrite(engine, 1, "[dcAssetConsoleEngine_t::%s] %s", handler, cleared);
  return result;
}

dcStatus_t _cmd_clearHardwareFilters(dcCommandList_t* list, const char* line) {
  return clearLists("_cmd_clearHardwareFilters", "hardware filters cleared.", list, line,
                    {&dcAssetFilters_t::ignoredHardwares, &dcAssetFilters_t::ignoredDevices});
}
dcStatus_t _cmd_clearSoftwareFilters(dcCommandList_t* list, const char* line) {
  return clearLists("_cmd_clearSoftwareFilters", "clear software filters.", list, line,
                    {&dcAssetFilters_t::ignoredPackages, &dcAssetFilters_t::ignoredFileNames});
}
dcStatus_t _cmd_clearSoftwareUsageFilters(dcCommandList_t* list, const char* line) {
  return clearLists("_cmd_clearSoftwareUsageFilters", "software usage filters cleared.", list, line,
                    {&dcAssetFilters_t::ignoredUsagePackages, &dcAssetFilters_t::ignoredUsageFileNames});
}
dcStatus_t _cmd_clearWindowsFilters(dcCommandList_t* list, const char* line) {
  return clearLists("_cmd_clearWindowsFilters", "windows filters cleared.", list, line,
                    {&dcAssetFilters_t::ignoredWindowsItems});
}

// --- listing priorities ------------------------------------------------------

dcStatus_t setListing(const char* handler, std::uint32_t dcAssetConsoleEngine_t::*field, std::uint32_t value,
                      dcCommandList_t* list, const char* line) {
  dcAssetConsoleEngine_t* engine = engineFor(list, line);
  if (!engine) return dcStatus::MISSING_OBJECT;
  traceCall(engine, handler, list, line);
  engine->*field = value;
  return dcStatus::OK;
}

dcStatus_t _cmd_setPcPriorityListingOfHardwares(dcCommandList_t* list, const char* line) {
  return setListing("_cmd_setPcPriorityListingOfHardwares", &dcAssetConsoleEngine_t::hardwareListing,
                    dcAssetConsoleEngine_t::LISTING_BY_PC, list, line);
}
dcStatus_t _cmd_setItemPriorityListingOfHardwares(dcCommandList_t* list, const char* line) {
  return setListing("_cmd_setItemPriorityListingOfHardwares", &dcAssetConsoleEngine_t::hardwareListing,
                    dcAssetConsoleEngine_t::LISTING_BY_ITEM, list, line);
}
dcStatus_t _cmd_setPcPriorityListingOfWindowsInfo(dcCommandList_t* list, const char* line) {
  return setListing("_cmd_setPcPriorityListingOfWindowsInfo", &dcAssetConsoleEngine_t::windowsInfoListing,
                    dcAssetConsoleEngine_t::LISTING_BY_PC, list, line);
}
dcStatus_t _cmd_setVersionPriorityListingOfWindowsInfo(dcCommandList_t* list, const char* line) {
  return setListing("_cmd_setVersionPriorityListingOfWindowsInfo",
                    &dcAssetConsoleEngine_t::windowsInfoListing, dcAssetConsoleEngine_t::LISTING_BY_VERSION,
                    list, line);
}

struct AssetCommand {
  const char* pattern;
  const char* help;
  dcCommandHandler_t handler;
};

// In registration order, after the commander's built-in commands.
constexpr AssetCommand ASSET_COMMANDS[] = {
    {"clear hardware filters", "[command] clear hardware filters", _cmd_clearHardwareFilters},
    {"ignore hardware _string in hardware list", "[command] ignore hardware $name in hardware list",
     _cmd_ignoreHardwareInHardwareList},
    {"ignore device _string in hardware list", "[command] ignore device $name in hardware list",
     _cmd_ignoreDeviceInHardwareList},
    {"clear software filters", "[command] clear software filters", _cmd_clearSoftwareFilters},
    {"ignore package _string in software list", "[command] ignore package $name in software list",
     _cmd_ignorePackageInSoftwareList},
    {"ignore package containing _string in software list",
     "[command] ignore package containing $name in software list",
     _cmd_ignorePackageContainingInSoftwareList},
    {"ignore filename _string in software list", "[command] ignore filename $name in software list",
     _cmd_ignoreFileNameInSoftwareList},
    {"ignore filename under _string in software list",
     "[command] ignore filename under $name in software list", _cmd_ignoreFileNameUnderInSoftwareList},
    {"clear software usage filters", "[command] clear software usage filters",
     _cmd_clearSoftwareUsageFilters},
    {"ignore package _string in software usage list", "[command] ignore package $name in software usage list",
     _cmd_ignorePackageInSoftwareUsageList},
    {"ignore filename _string in software usage list",
     "[command] ignore filename $name in software usage list", _cmd_ignoreFileNameInSoftwareUsageList},
    {"ignore filename under _string in software usage list",
     "[command] ignore filename under $name in software usage list",
     _cmd_ignoreFileNameUnderInSoftwareUsageList},
    {"clear windows filters", "[command] clear windows filters", _cmd_clearWindowsFilters},
    {"ignore item _string in windows info", "[command] ignore item $name in windows info",
     _cmd_ignoreItemInWindowsInfo},
    {"set pc priority listing of hardwares", "[command] set pc priority listing of hardwares",
     _cmd_setPcPriorityListingOfHardwares},
    {"set item priority listing of hardwares", "[command] set item priority listing of hardwares",
     _cmd_setItemPriorityListingOfHardwares},
    {"set pc priority listing of windows info", "[command] set pc priority listing of windows info",
     _cmd_setPcPriorityListingOfWindowsInfo},
    {"set version priority listing of windows info", "[command] set version priority listing of windows info",
     _cmd_setVersionPriorityListingOfWindowsInfo},
};

// The "%s %s" scan of an inventory file name: two words separated by white
// space, each kept to 255 bytes on a character boundary (the rest of a
// longer first word is where the second word starts). False when fewer than
// two words are found.
bool splitTwoWords(const char* text, char (&first)[WORD_SIZE], char (&second)[WORD_SIZE]) {
  const char* p = text;
  for (char* word : {first, second}) {
    while (mb::isAsciiSpace(static_cast<unsigned char>(*p))) ++p;
    if (*p == '\0') return false;
    std::size_t length = 0;
    while (p[length] != '\0' && !mb::isAsciiSpace(static_cast<unsigned char>(p[length]))) ++length;
    const std::size_t kept = mb::boundedLength(p, std::min(length, WORD_SIZE - 1));
    std::memcpy(word, p, kept);
    word[kept] = '\0';
    p += kept;
  }
  return true;
}

// folder + separator + tail into out (PATH_SIZE bytes); false when it does
// not fit.
bool joinPath(char (&out)[PATH_SIZE], const char* folder, const char* separator, const char* tail) {
  std::size_t at = 0;
  for (const char* part : {folder, separator, tail}) {
    const std::size_t length = std::strlen(part);
    if (length >= sizeof out - at) return false;
    std::memcpy(out + at, part, length);
    at += length;
  }
  out[at] = '\0';
  return true;
}

}  // namespace

dcAssetConsoleEngine_t::dcAssetConsoleEngine_t() : root(ROOT_START_NAME) {
  theLog.pfWrite(
      this, 1, "[dcAssetConsoleEngine_t::dcAssetConsoleEngine_t] Starting dcAssetConsoleEngine_t version %s",
      VERSION);
  theAssetConsoleEngine = this;
  _ceNative_registerCommand();
  groupLoader = nullptr;
  hardwareListing = LISTING_BY_PC;
  windowsInfoListing = LISTING_BY_PC;
}

dcAssetConsoleEngine_t::~dcAssetConsoleEngine_t() {
  if (theAssetConsoleEngine == this) theAssetConsoleEngine = nullptr;
  theLog.pfWrite(this, 1, "[dcAssetConsoleEngine_t::~dcAssetConsoleEngine_t] Closed.");
  // The root group, then the filter set, then the commander part go as
  // members and base.
}

dcStatus_t dcAssetConsoleEngine_t::_ceNative_registerCommand() {
  theLog.pfWrite(this, 1, "[dcAssetConsoleEngine_t::_ceNative_registerCommand]");
  for (const AssetCommand& command : ASSET_COMMANDS)
    commands.addCommand(command.handler, command.pattern, command.help);
  status = dcStatus::OK;
  return status;
}

dcStatus_t dcAssetConsoleEngine_t::initialize(winsvc::WindowHandle mainWindow) {
  theLog.pfWrite(this, 1, "[dcAssetConsoleEngine_t::initialize] hWnd=0x%x", dcTraceTag(mainWindow));
  window = mainWindow;
  return status = dcStatus::OK;
}

dcStatus_t dcAssetConsoleEngine_t::deinitialize() {
  theLog.pfWrite(this, 1, "[dcAssetConsoleEngine_t::deinitialize]");
  return status = dcStatus::OK;
}

namespace {

// The data-type word of a data file into dataType; false for a file that
// names no data file. The path is only measured: a path of 260 bytes or
// more names no file.
bool dataTypeOf(const dcDataFile_t& file, char (&dataType)[WORD_SIZE]) {
  char path[PATH_SIZE];
  char pcName[WORD_SIZE];
  return joinPath(path, file.folder->path(), "\\", file.name) && splitTwoWords(file.name, pcName, dataType);
}

}  // namespace

dcPreparedAssetData_t dcAssetConsoleEngine_t::prepareDataFile(const dcDataFile_t& file,
                                                              winfs::FileReader& reader) {
  char dataType[WORD_SIZE];
  if (!dataTypeOf(file, dataType)) return {};
  return dcQsClient_t::prepareAssetData(*file.folder, file.name, dataType, reader);
}

bool dcAssetConsoleEngine_t::readsDataFile(const dcDataFile_t& file) {
  char dataType[WORD_SIZE];
  return dataTypeOf(file, dataType) && dcQsClient_t::readsDataType(dataType);
}

std::uint32_t dcAssetConsoleEngine_t::Test_loadfromFile(const char* folder) {
  return Test_loadfromFile(folder, nullptr);
}

std::uint32_t dcAssetConsoleEngine_t::Test_loadfromFile(const char* folder,
                                                        const dcDataLoadProgress_t* progress) {
  theLog.pfWrite(this, 1, "[dcAssetConsoleEngine_t::Test_loadfromFile]");
  // The folder is listed while the group file is read: neither needs the
  // other. The listing leaves errno as it would have on this thread.
  char pattern[PATH_SIZE];
  const bool listed = folder && joinPath(pattern, folder, "\\", "*.xml");
  std::future<std::pair<winfs::FileList, int>> listing;
  if (listed && groupLoader)
    listing = std::async(std::launch::async, [&pattern] {
      errno = 0;
      auto entries = winfs::listFiles(pattern);
      return std::pair(std::move(entries), errno);
    });
  if (groupLoader) groupLoader(this);
  if (!listed) return 1;
  winfs::FileList found;
  if (listing.valid()) {
    int error = 0;
    std::tie(found, error) = listing.get();
    if (error) errno = error;
  } else {
    found = winfs::listFiles(pattern);
  }
  const auto report = [&](std::size_t done) {
    if (progress && progress->onFile) progress->onFile(done, found.size());
  };
  report(0);
  // The path, PC name and data type of a data file; false for what names
  // no data file.
  char fullPath[PATH_SIZE];
  char pcName[WORD_SIZE];
  char dataType[WORD_SIZE];
  const auto dataFile = [&](std::size_t entry) {
    // A path longer than 259 characters names no file the agents write.
    return !found.isDirectory(entry) && joinPath(fullPath, folder, "\\", found.name(entry)) &&
           splitTwoWords(found.name(entry), pcName, dataType);
  };

  // The client of every entry that names a data file of a PC the group
  // file holds (nullptr for the others), and those files in order.
  // The preparer opens them under the folder as the disk spells it, so
  // that each file opens at once, with no look-up of every component.
  std::vector<dcQsClient_t*> clientOf(found.size(), nullptr);
  std::vector<dcDataFile_t> files;
  if (preparer) files.reserve(found.size());
  const winfs::Folder diskFolder(preparer ? winfs::spelledAsOnDisk(folder).c_str() : nullptr);
  for (std::size_t i = 0; i < found.size(); ++i) {
    if (!dataFile(i)) continue;
    clientOf[i] = root.findClient(pcName);
    if (clientOf[i] && preparer) files.push_back({&diskFolder, found.name(i)});
  }
  const std::unique_ptr<dcFilePreparer_t> prepared = preparer ? preparer(std::move(files)) : nullptr;

  for (std::size_t i = 0; i < found.size(); ++i) {
    if (dcQsClient_t* client = clientOf[i]; client && dataFile(i)) {
      const dcStatus_t code = client->applyAssetData(
          fullPath, pcName, dataType,
          prepared ? prepared->next() : dcQsClient_t::prepareAssetData(fullPath, pcName, dataType));
      if (code != dcStatus::OK) {
        theLog.pfWrite(this, 0, "[dcQsClientList_t::loadFromFile] pdcQsClient->loadFromFile failed %d %d",
                       static_cast<int>(code), sys::lastError());
      }
    }
    report(i + 1);
  }
  return 1;
}
